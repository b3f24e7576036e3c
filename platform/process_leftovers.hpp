// Names of the short-lived files and folders a run makes beside the user's ones ("<prefix><process
// number>-<random>"): a run killed at any moment leaves them behind, and the next run removes those
// whose process has ended.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/folder_entries.hpp"

namespace kartwerk::platform {

// prefix, this process's number, '-', ten random letters and digits.
std::string ProcessMarkedName(std::string_view prefix);

// The process number in a name made by ProcessMarkedName(prefix), or 0 when name is not one.
unsigned long MarkedProcess(std::string_view name, std::string_view prefix);

// Removes the entries of folder named with prefix by processes that have ended.
void RemoveEndedProcessLeftovers(const std::filesystem::path& folder, std::string_view prefix);
// The same for several prefixes, from entries already read from folder (which lose those removed),
// so that a folder listed once for other reasons is not read again.
void RemoveEndedProcessLeftovers(const std::filesystem::path& folder, std::vector<FolderEntry>& entries,
                                 std::initializer_list<std::string_view> prefixes);

}  // namespace kartwerk::platform
