#include "game/wine_prefixes.hpp"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

#include "core/text.hpp"
#include "game/lutris_games.hpp"
#include "game/steam_libraries.hpp"
#include "platform/path_text.hpp"
#include "platform/whole_file.hpp"

namespace kartwerk::game {
namespace {

namespace fs = std::filesystem;

bool IsFolder(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

bool IsFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

std::string ReadText(const fs::path& path) { return platform::ReadFileText(path).value_or(std::string()); }

// Steam app numbers by value, other names as a case-insensitive listing orders them.
bool NameOrder(const fs::path& a, const fs::path& b) {
  const std::string x = a.filename().string();
  const std::string y = b.filename().string();
  const auto isNumber = [](const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
  };
  if (isNumber(x) && isNumber(y) && x.size() != y.size()) return x.size() < y.size();
  return core::LessIgnoreCase(x, y);
}

// The entries of folder that pass keep, in name order; none when it cannot be read.
template <class Keep>
std::vector<fs::path> Entries(const fs::path& folder, Keep keep) {
  std::vector<fs::path> out;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (keep(it->path())) out.push_back(it->path());
  }
  std::sort(out.begin(), out.end(), NameOrder);
  return out;
}

std::vector<fs::path> SubFolders(const fs::path& folder) { return Entries(folder, IsFolder); }

// The list being found: only prefixes with a registry, each folder once however it was reached.
class PrefixList {
 public:
  void Add(const fs::path& folder, std::string origin) {
    if (folder.empty() || !IsFile(folder / "system.reg")) return;
    std::error_code ec;
    fs::path identity = fs::weakly_canonical(folder, ec);
    if (ec) identity = folder.lexically_normal();
    if (seen_.insert(identity).second) found_.push_back({folder, std::move(origin)});
  }
  std::vector<FoundWinePrefix> Take() { return std::move(found_); }

 private:
  std::set<fs::path> seen_;
  std::vector<FoundWinePrefix> found_;
};

std::vector<fs::path> SteamFolders(const fs::path& home) {
  return {home / ".local" / "share" / "Steam", home / ".steam" / "steam",
          home / ".var" / "app" / "com.valvesoftware.Steam" / ".local" / "share" / "Steam"};
}

void AddProtonPrefixes(PrefixList& list, const fs::path& home) {
  std::vector<fs::path> libraries;
  for (const fs::path& steam : SteamFolders(home)) {
    if (!IsFolder(steam)) continue;
    libraries.push_back(steam);
    // Older Steam versions kept the list under config/.
    for (const fs::path& vdf : {steam / "steamapps" / "libraryfolders.vdf", steam / "config" / "libraryfolders.vdf"}) {
      for (const fs::path& library : SteamLibraryFolders(ReadText(vdf))) libraries.push_back(library);
    }
  }
  for (const fs::path& library : libraries) {
    for (const fs::path& app : SubFolders(library / "steamapps" / "compatdata")) {
      list.Add(app / "pfx", "Proton prefix of Steam app " + platform::TextFromPath(app.filename()));
    }
  }
}

void AddLutrisPrefixes(PrefixList& list, const fs::path& home) {
  const auto isConfiguration = [](const fs::path& p) { return p.extension() == ".yml" && IsFile(p); };
  for (const fs::path& games :
       {home / ".config" / "lutris" / "games", home / ".local" / "share" / "lutris" / "games"}) {
    for (const fs::path& configuration : Entries(games, isConfiguration)) {
      list.Add(LutrisGamePrefix(ReadText(configuration), home),
               "Lutris prefix of " + platform::TextFromPath(configuration.stem()));
    }
  }
  // Where Lutris puts a new game's prefix unless told otherwise.
  for (const fs::path& folder : SubFolders(home / "Games")) list.Add(folder, "Lutris prefix");
}

void AddBottles(PrefixList& list, const fs::path& home) {
  for (const fs::path& bottles : {home / ".local" / "share" / "bottles" / "bottles",
                                  home / ".var" / "app" / "com.usebottles.bottles" / "data" / "bottles" / "bottles"}) {
    for (const fs::path& bottle : SubFolders(bottles))
      list.Add(bottle, "Bottles bottle " + platform::TextFromPath(bottle.filename()));
  }
}

}  // namespace

std::vector<FoundWinePrefix> FindWinePrefixes(const fs::path& home) {
  PrefixList list;
  list.Add(home / ".wine", "Wine prefix");
  AddProtonPrefixes(list, home);
  AddLutrisPrefixes(list, home);
  AddBottles(list, home);
  return list.Take();
}

std::string WinePrefixPlacesText(const fs::path& home) {
  const std::string h = home.string();
  return h + "/.wine, Proton's steamapps/compatdata/*/pfx in the Steam libraries of " + h + "/.local/share/Steam and " +
         h + "/.steam/steam, Lutris's game prefixes and " + h + "/Games/*, and the bottles in " + h +
         "/.local/share/bottles/bottles";
}

}  // namespace kartwerk::game
