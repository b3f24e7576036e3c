// Finding the game in every Wine prefix of a home folder: Wine's own, Proton's, Lutris's and
// Bottles', laid out in a scratch home as each program lays them out.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "game/game_location.hpp"
#include "game/lutris_games.hpp"
#include "game/steam_libraries.hpp"
#include "game/wine_prefixes.hpp"
#include "game/wine_registry.hpp"
#include "mapmaker/map_builder.hpp"
#include "tests/support/run_program.hpp"
#include "tests/support/wine_prefix.hpp"

namespace kartwerk {
namespace {

namespace fs = std::filesystem;
using mapmaker::ScratchFolder;
using testing::MakeGameFolder;
using testing::MakeWinePrefix;
using testing::RunProgram;
using testing::WineInstallationKey;

void WriteText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

TEST(SteamLibraryFolders, ReadsBothFormsWithEscapesAndComments) {
  const std::string current = R"("libraryfolders"
{
	"0"
	{
		"path"		"/home/u/.local/share/Steam"
		"apps" { "228980" "1" }
	}
	// a second disk
	"1" { "label" "big" "path" "/mnt/games/Steam \"Lib\"" }
})";
  EXPECT_EQ(game::SteamLibraryFolders(current),
            (std::vector<fs::path>{"/home/u/.local/share/Steam", "/mnt/games/Steam \"Lib\""}));
  const std::string older = "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\"1\"\n\t\"1\"\t\"D:\\\\Steam\"\n}\n";
  EXPECT_EQ(game::SteamLibraryFolders(older), (std::vector<fs::path>{"D:\\Steam"}));
  EXPECT_TRUE(game::SteamLibraryFolders("\"libraryfolders\" { \"0\" { \"path\" \"/cut").empty());
}

TEST(LutrisGamePrefix, TakesThePrefixOfTheGameSection) {
  const fs::path home = "/home/u";
  EXPECT_EQ(
      game::LutrisGamePrefix("game:\n  exe: x.exe\n  prefix: /home/u/Games/vornmark\nwine:\n  version: lutris\n", home),
      "/home/u/Games/vornmark");
  EXPECT_EQ(game::LutrisGamePrefix("game:\n  prefix: '~/Games/it''s here'  \n", home), "/home/u/Games/it's here");
  EXPECT_EQ(game::LutrisGamePrefix("game:\n  prefix: \"/p q\" # comment\n", home), "/p q");
  // A prefix of another section, or none at all, names nothing.
  EXPECT_EQ(game::LutrisGamePrefix("system:\n  prefix: /elsewhere\ngame:\n  exe: x.exe\n", home), fs::path());
}

// A home with prefixes of every kind, each holding the game in its own folder.
struct PrefixHome {
  mapmaker::ScratchFolder scratch;
  fs::path home = scratch.path() / "home";
  fs::path library = scratch.path() / "disk" / "SteamLibrary";

  fs::path Prefix(const fs::path& prefix, const std::string& game) {
    MakeWinePrefix(prefix, WineInstallationKey({"1", "C:\\Games\\" + game, "2.2", game}));
    MakeGameFolder(prefix, "Games/" + game);
    return prefix;
  }

  PrefixHome() {
    const fs::path steam = home / ".local/share/Steam";
    Prefix(steam / "steamapps/compatdata/1020/pfx", "Proton");
    fs::create_directories(steam / "steamapps/compatdata/999");  // an app without a prefix
    WriteText(steam / "steamapps/libraryfolders.vdf", "\"libraryfolders\" { \"0\" { \"path\" \"" + steam.string() +
                                                          "\" }\n \"1\" { \"path\" \"" + library.string() + "\" } }");
    Prefix(library / "steamapps/compatdata/7/pfx", "Library");
    fs::create_directories(home / ".steam");
    fs::create_directory_symlink(steam, home / ".steam/steam");  // Steam's own link: seen once
    Prefix(scratch.path() / "elsewhere/lutris-game", "Lutris");
    WriteText(home / ".config/lutris/games/vornmark-1700000000.yml",
              "game:\n  prefix: " + (scratch.path() / "elsewhere/lutris-game").string() + "\n");
    Prefix(home / "Games/other", "Games");
    Prefix(home / ".local/share/bottles/bottles/Strategy", "Bottles");
  }
};

TEST(FindWinePrefixes, WineThenProtonLutrisAndBottlesEachOnce) {
  PrefixHome h;
  h.Prefix(h.home / ".wine", "Wine");
  const std::vector<game::FoundWinePrefix> found = game::FindWinePrefixes(h.home);
  std::vector<std::pair<fs::path, std::string>> got;
  for (const game::FoundWinePrefix& p : found) got.emplace_back(p.folder, p.origin);
  const std::vector<std::pair<fs::path, std::string>> want = {
      {h.home / ".wine", "Wine prefix"},
      {h.home / ".local/share/Steam/steamapps/compatdata/1020/pfx", "Proton prefix of Steam app 1020"},
      {h.library / "steamapps/compatdata/7/pfx", "Proton prefix of Steam app 7"},
      {h.scratch.path() / "elsewhere/lutris-game", "Lutris prefix of vornmark-1700000000"},
      {h.home / "Games/other", "Lutris prefix"},
      {h.home / ".local/share/bottles/bottles/Strategy", "Bottles bottle Strategy"}};
  EXPECT_EQ(got, want);
}

TEST(LocateGame, TheChosenInstallationIsOpenedInItsOwnPrefix) {
  PrefixHome h;
  // Both prefixes name their installation by the same sub-key "1".
  const fs::path first = h.home / "Games/other";
  const fs::path second = h.home / ".local/share/bottles/bottles/Strategy";
  game::GameInstallations installs;
  installs.registry.Add({game::OpenWinePrefixRegistry(first), "Lutris prefix", first});
  installs.registry.Add({game::OpenWinePrefixRegistry(second), "Bottles bottle Strategy", second});
  game::EnumerateInstallations(installs);
  ASSERT_EQ(installs.installedVersions.size(), 2u);
  installs.chosenVersion = 2;
  ASSERT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameFolder, second / "drive_c/Games/Bottles");
  EXPECT_EQ(installs.gameWinePrefix, second);
  installs.chosenVersion = 0;
  ASSERT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameWinePrefix, first);
}

TEST(InstallsCommand, FindsTheGameInEveryPrefixOfTheHomeFolder) {
  PrefixHome h;
  const std::vector<std::string> env = {"HOME=" + h.home.string(), "WINEPREFIX="};
  auto r = RunProgram(KARTWERK_EXE, {"installs", "--json"}, env);
  ASSERT_EQ(r.status, 0) << r.err;
  const auto list = nlohmann::json::parse(r.out);
  // One installation in each of the five prefixes, in the order they were found.
  ASSERT_EQ(list.size(), 5u) << r.out;
  EXPECT_EQ(list[0]["language"], "Proton");
  EXPECT_EQ(list[0]["origin"], "Proton prefix of Steam app 1020");
  EXPECT_EQ(list[2]["language"], "Lutris");
  EXPECT_EQ(list[2]["prefix"], (h.scratch.path() / "elsewhere/lutris-game").string());
  EXPECT_EQ(list[4]["language"], "Bottles");
  EXPECT_EQ(list[4]["folder"],
            fs::canonical(h.home / ".local/share/bottles/bottles/Strategy/drive_c/Games/Bottles").string());

  // The first found is the one located: its slots are listed, from the Proton prefix.
  auto slots = RunProgram(KARTWERK_EXE, {"slots", "--json"}, env);
  ASSERT_EQ(slots.status, 0) << slots.err;
  EXPECT_EQ(nlohmann::json::parse(slots.out)["game_folder"],
            fs::canonical(h.home / ".local/share/Steam/steamapps/compatdata/1020/pfx/drive_c/Games/Proton").string());

  auto text = RunProgram(KARTWERK_EXE, {"installs"}, env);
  EXPECT_NE(text.out.find("(C:\\Games\\Bottles; Bottles bottle Strategy " +
                          (h.home / ".local/share/bottles/bottles/Strategy").string() + ")\n"),
            std::string::npos)
      << text.out;
}

TEST(InstallsCommand, NoPrefixAnywhereSaysWhereItLookedAndHowToNameTheGame) {
  mapmaker::ScratchFolder scratch;
  auto r = RunProgram(KARTWERK_EXE, {"slots"}, {"HOME=" + scratch.path().string(), "WINEPREFIX="});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(testing::Lines(r.err).size(), 1u) << r.err;
  EXPECT_NE(r.err.find((scratch.path() / ".wine").string()), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("steamapps/compatdata"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--wine-prefix DIR"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--game DIR"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace kartwerk
