// The Wine prefixes of a home folder in which Windows games are installed: Wine's own ~/.wine,
// then the prefixes of Steam's Proton, of Lutris and of Bottles, each of which keeps its own.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kartwerk::game {

struct FoundWinePrefix {
  std::filesystem::path folder;
  // Who made it, as `kartwerk installs` names it: "Wine prefix", "Proton prefix of Steam app 1234",
  // "Lutris prefix of vornmark-ii", "Lutris prefix", "Bottles bottle Games".
  std::string origin;
};

// Every prefix under home that holds a registry ("system.reg"), in this order:
//   ~/.wine;
//   Proton: steamapps/compatdata/*/pfx in each Steam library of ~/.local/share/Steam, ~/.steam/steam
//     and Steam's Flatpak, the libraries read from steamapps/libraryfolders.vdf (the Steam folder first);
//   Lutris: the prefixes named by its game configurations (~/.config/lutris/games/*.yml,
//     ~/.local/share/lutris/games/*.yml), then ~/Games/*;
//   Bottles: ~/.local/share/bottles/bottles/* and its Flatpak's bottles.
// Within each place the folders are taken in name order (numbers by value). A folder reached twice,
// for example through ~/.steam/steam linking to ~/.local/share/Steam, is listed once.
std::vector<FoundWinePrefix> FindWinePrefixes(const std::filesystem::path& home);

// The places FindWinePrefixes looks, for a message saying where no prefix was found.
std::string WinePrefixPlacesText(const std::filesystem::path& home);

}  // namespace kartwerk::game
