// A folder that holds the user's own files (the backups of replaced slots): readable by the user
// alone, and never silently placed where others can read it.
#pragma once

#include <filesystem>
#include <stdexcept>

namespace kartwerk::platform {

// A folder that may not hold the user's files; the message names it and says why.
class PrivateFolderError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Creates folder (and its parents) when missing and makes it private (0700 on Linux). A symbolic
// link in its place is followed only when the link and the folder it leads to both belong to the
// user (a data folder moved to another disk); anything else throws PrivateFolderError before
// anything is written there.
void MakePrivateFolder(const std::filesystem::path& folder);

}  // namespace kartwerk::platform
