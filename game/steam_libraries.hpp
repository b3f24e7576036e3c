// Steam's library folders, as its "libraryfolders.vdf" lists them. Steam writes the file in its
// KeyValues text form: quoted keys and values, braces around nested blocks, "//" comments.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace kartwerk::game {

// The folders of the libraries the text lists, in its order: the "path" of each numbered block
// ("libraryfolders" { "0" { "path" "/games/steam" ... } }), or the value of each numbered key in
// the older form ("LibraryFolders" { "1" "/games/steam" }). A text that breaks off yields the
// folders read so far.
std::vector<std::filesystem::path> SteamLibraryFolders(std::string_view vdf);

}  // namespace kartwerk::game
