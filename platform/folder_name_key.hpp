// Folder names compared as the file system that holds them compares them: two maps whose names
// the system takes as one folder would overwrite each other's files.
#pragma once

#include <string>
#include <string_view>

namespace kartwerk::platform {

// The form under which two names that name one folder are equal. On Windows: trailing dots and
// blanks removed (the system drops them) and upper-cased over all of Unicode, as the system
// compares names. On Linux: ASCII letters lower-cased, since the game's own file system, under
// Wine, finds a name whatever the case of its ASCII letters.
std::string FolderNameKey(std::string_view name);

}  // namespace kartwerk::platform
