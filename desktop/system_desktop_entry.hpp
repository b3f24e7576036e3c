// Whether Kartwerk is already the handler of the compiled map types for every user: a desktop
// entry installed system-wide (by the package or `make install`). Where one is, the per-user
// association is not written, so removing the package leaves no per-user entry behind that
// would shadow another installation's.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace kartwerk::desktop {

// The folders the desktop reads for every user: XDG_DATA_DIRS (its absolute entries), else
// /usr/local/share and /usr/share.
std::vector<std::filesystem::path> SystemDataFolders();

// Whether a desktop entry's text starts kartwerk (its Exec line's program, by name) and lists
// all three compiled map types in its MimeType line.
bool DesktopEntryOpensMapTypes(std::string_view entry);

// The first desktop entry under folders' applications/ whose file name holds "kartwerk" (in any
// letter case) and that opens the map types; nothing when there is none.
std::optional<std::filesystem::path> SystemDesktopEntryForMapTypes(const std::vector<std::filesystem::path>& folders);

}  // namespace kartwerk::desktop
