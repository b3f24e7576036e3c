// Which installation the commands use: every installation listed however many, the one whose
// folder holds the map, the first one that has its editor, and messages that name each folder
// and what it lacks when none can be used.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "game/complete_installation.hpp"
#include "game/game_location.hpp"
#include "game/wine_registry.hpp"
#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "tests/support/folder_tree.hpp"
#include "tests/support/run_program.hpp"
#include "tests/support/wine_prefix.hpp"

namespace kartwerk {
namespace {

using mapmaker::ScratchFolder;
using testing::Lines;
using testing::MakeGameFolder;
using testing::MakeWinePrefix;
using testing::RunProgram;
using testing::TreeFiles;
using testing::WineInstallationKey;

// A Wine prefix with `count` installations C:\VM1 ... C:\VMn; those listed in `withoutEditor`
// (numbers from 1) lack editor\scridll.dll.
struct Prefix {
  Prefix(int count, std::vector<int> withoutEditor = {}) {
    std::string body;
    for (int i = 1; i <= count; ++i)
      body += WineInstallationKey({"Install " + std::to_string(i), "C:\\VM" + std::to_string(i), "2.2", "English"});
    MakeWinePrefix(path(), body);
    for (int i = 1; i <= count; ++i) {
      const bool editor = std::find(withoutEditor.begin(), withoutEditor.end(), i) == withoutEditor.end();
      folders.push_back(std::filesystem::canonical(MakeGameFolder(path(), "VM" + std::to_string(i), editor)));
    }
  }
  std::filesystem::path path() const { return scratch.path() / "prefix"; }
  game::GameInstallations Installations() const {
    game::GameInstallations installs;
    installs.registry = game::OpenWinePrefixRegistry(path());
    game::EnumerateInstallations(installs);
    return installs;
  }
  std::vector<std::string> Env() const { return {"WINEPREFIX=" + path().string()}; }
  std::filesystem::path Slot(int installation, const std::string& number) const {
    return folders[static_cast<std::size_t>(installation - 1)] / "editor" / "maps.src" / ("map." + number);
  }

  mapmaker::ScratchFolder scratch;
  std::vector<std::filesystem::path> folders;
};

std::filesystem::path WriteMap(const std::filesystem::path& path) {
  std::filesystem::create_directories(path.parent_path());
  mapmaker::WriteBytes(
      path, mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, {}), path.stem().string()));
  return path;
}

TEST(InstallationChoice, EveryInstallationIsListedAndAMapChoosesTheOneHoldingIt) {
  const Prefix prefix(8);
  game::GameInstallations installs = prefix.Installations();
  ASSERT_EQ(installs.installedVersions.size(), 8u);
  EXPECT_EQ(installs.installedVersions[7].subKey, "Install 8");
  game::ChooseInstallationForMap(installs, prefix.folders[6] / "game" / "maps" / "single" / "x.qdm");
  EXPECT_EQ(installs.chosenVersion, 7);
  ASSERT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameFolder, prefix.folders[6]);
}

TEST(InstallationChoice, TheFirstCompleteOneIsUsedAndThoseSkippedAreNamed) {
  const Prefix prefix(4, {1, 2});
  game::GameInstallations installs = prefix.Installations();
  EXPECT_EQ(game::MissingEditorFile(installs.installedVersions[0]), "editor\\scridll.dll");
  EXPECT_EQ(game::MissingEditorFile(installs.installedVersions[2]), "");
  const std::vector<std::size_t> skipped = game::ChooseFirstCompleteInstallation(installs);
  EXPECT_EQ(skipped, (std::vector<std::size_t>{1, 2}));
  EXPECT_EQ(installs.chosenVersion, 3);
  ASSERT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameFolder, prefix.folders[2]);
  const std::string first = prefix.folders[0].string(), third = prefix.folders[2].string();
  const std::vector<std::string> lines = game::SkippedInstallationLines(installs, skipped);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "skipped installation 1 (English 2.2, " + first + "): editor\\scridll.dll is missing");
  EXPECT_EQ(lines[2], "using installation 3 (English 2.2, " + third + ")");

  // A choice already made is kept, whatever it lacks: the map's folder decides the game.
  game::GameInstallations chosen = prefix.Installations();
  chosen.chosenVersion = 2;
  EXPECT_TRUE(game::ChooseFirstCompleteInstallation(chosen).empty());
  EXPECT_EQ(chosen.chosenVersion, 2);
  EXPECT_FALSE(game::LocateGame(chosen));
  const std::string details = game::GameNotLocatedDetails(chosen);
  EXPECT_EQ(Lines(details).size(), 1u) << details;
  EXPECT_NE(details.find("installation 2 (English 2.2, " + prefix.folders[1].string() + "): editor\\scridll.dll"),
            std::string::npos)
      << details;
  EXPECT_EQ(details.find(first), std::string::npos) << "only the chosen installation is named";
}

TEST(InstallationChoice, WithNoneCompleteEachFolderAndItsMissingFileIsNamed) {
  const Prefix prefix(2, {1, 2});
  game::GameInstallations installs = prefix.Installations();
  EXPECT_EQ(game::ChooseFirstCompleteInstallation(installs), (std::vector<std::size_t>{1, 2}));
  EXPECT_EQ(installs.chosenVersion, 0);
  EXPECT_TRUE(game::SkippedInstallationLines(installs, {1, 2}).empty())
      << "nothing used, so nothing to say was skipped";
  EXPECT_EQ(game::GameNotLocatedDetails(installs),
            std::string(game::kGameNotLocatedMessage) + " installation 1 (English 2.2, " + prefix.folders[0].string() +
                "): editor\\scridll.dll is missing; installation 2 (English 2.2, " + prefix.folders[1].string() +
                "): editor\\scridll.dll is missing");

  // One line wherever it is shown: as the slots command's answer and as an error that ends convert.
  const auto cli = RunProgram(KARTWERK_EXE, {"slots"}, prefix.Env());
  EXPECT_EQ(cli.status, 1);
  EXPECT_EQ(Lines(cli.err).size(), 1u) << cli.err;
  const auto convert = RunProgram(KARTWERK_EXE, {"backups", "--slot", "3"}, prefix.Env());
  EXPECT_EQ(convert.status, 1);
  EXPECT_EQ(convert.err.find("\\n"), std::string::npos) << convert.err;
  EXPECT_NE(convert.err.find("reinstall the game. installation 1 ("), std::string::npos) << convert.err;
  EXPECT_NE(cli.err.find(prefix.folders[1].string() + "): editor\\scridll.dll is missing"), std::string::npos);
}

TEST(InstallationChoice, RegistryValuesAreWrittenOutWhereTheyNameAnInstallation) {
  game::GameInstallations installs;
  game::InstalledVersion planted;
  planted.language = "English\x1b]0;owned\x07";
  planted.version = "2.2\r";
  planted.hostFolder = "/games/VM\n2";
  installs.installedVersions.push_back(planted);
  EXPECT_EQ(game::InstallationName(installs, 1), "installation 1 (English\\x1b]0;owned\\x07 2.2\\r, /games/VM\\n2)");
  EXPECT_EQ(Lines(game::GameNotLocatedDetails(installs)).size(), 1u) << "one line, however the installation is named";
}

TEST(InstallsCommand, ListsAllSevenAndWhatAnEditorlessOneLacks) {
  const Prefix prefix(7, {2});
  const auto text = RunProgram(KARTWERK_EXE, {"installs"}, prefix.Env());
  ASSERT_EQ(text.status, 0) << text.err;
  const std::vector<std::string> lines = Lines(text.out);
  ASSERT_EQ(lines.size(), 8u) << text.out;
  EXPECT_EQ(lines[6].rfind("7  English 2.2  " + prefix.folders[6].string(), 0), 0u) << lines[6];
  EXPECT_NE(lines[1].find("editor\\scridll.dll is missing"), std::string::npos) << lines[1];
  EXPECT_EQ(lines[0].find("missing"), std::string::npos) << lines[0];
  EXPECT_NE(lines[7].find("--game DIR"), std::string::npos) << "how to reach those the windows do not offer";

  const auto json = RunProgram(KARTWERK_EXE, {"installs", "--json"}, prefix.Env());
  ASSERT_EQ(json.status, 0) << json.err;
  const auto list = nlohmann::json::parse(json.out);
  ASSERT_EQ(list.size(), 7u);
  EXPECT_EQ(list[6]["number"], 7);
  EXPECT_EQ(list[1]["editor"], false);
  EXPECT_EQ(list[1]["missing"], nlohmann::json::array({"editor\\scridll.dll"}));
  EXPECT_EQ(list[0]["missing"], nlohmann::json::array());
}

TEST(ConvertIntoSlot, AMapInTheSeventhInstallationGoesIntoTheSeventhsSlotAndTheFolderIsPrinted) {
  const Prefix prefix(7);
  const auto map = WriteMap(prefix.folders[6] / "game" / "maps" / "single" / "Dunes.qdm");
  const auto r = RunProgram(KARTWERK_EXE, {"convert", map.string(), "--slot", "7", "--quiet"}, prefix.Env());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Slot 7: " + prefix.Slot(7, "007").string() + "\n") << "printed even when quiet";
  EXPECT_TRUE(std::filesystem::is_regular_file(prefix.Slot(7, "007") / "desc"));
  for (int i = 1; i <= 6; ++i) EXPECT_FALSE(std::filesystem::exists(prefix.Slot(i, "007"))) << i;
}

TEST(ConvertIntoSlot, AnEditorlessFirstInstallationIsSkippedAndSaidSo) {
  const Prefix prefix(3, {1});
  const auto map = WriteMap(prefix.scratch.path() / "Downloads" / "m.qdm");
  // "010" is slot ten, not an octal eight.
  const auto r = RunProgram(KARTWERK_EXE, {"convert", map.string(), "--slot", "010", "--quiet"}, prefix.Env());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::is_regular_file(prefix.Slot(2, "010") / "desc"));
  EXPECT_FALSE(std::filesystem::exists(prefix.Slot(1, "010")));
  const std::vector<std::string> err = Lines(r.err);
  ASSERT_EQ(err.size(), 2u) << r.err;
  EXPECT_EQ(err[0], "kartwerk: skipped installation 1 (English 2.2, " + prefix.folders[0].string() +
                        "): editor\\scridll.dll is missing");
  EXPECT_EQ(err[1], "kartwerk: using installation 2 (English 2.2, " + prefix.folders[1].string() + ")");

  const auto slots = RunProgram(KARTWERK_EXE, {"slots", "--json"}, prefix.Env());
  ASSERT_EQ(slots.status, 0) << slots.err;
  EXPECT_EQ(nlohmann::json::parse(slots.out)["game_folder"], prefix.folders[1].string());
  EXPECT_NE(slots.err.find("skipped installation 1"), std::string::npos) << slots.err;

  // A complete folder named with --game is used as it is.
  const auto named = RunProgram(KARTWERK_EXE, {"slots", "--game", prefix.folders[2].string()});
  EXPECT_EQ(named.status, 0) << named.err;
  EXPECT_EQ(named.err, "");
}

TEST(ConvertIntoSlot, TheMapsOwnMistakesComeBeforeTheGamesAndNothingIsWritten) {
  const Prefix prefix(1);
  const auto before = TreeFiles(prefix.scratch.path());
  const std::string missing = (prefix.scratch.path() / "missing.qdm").string();
  const auto gone = RunProgram(KARTWERK_EXE, {"convert", missing, "--slot", "7", "--wine-prefix",
                                              (prefix.scratch.path() / "no prefix").string()});
  EXPECT_EQ(gone.status, 1);
  EXPECT_EQ(gone.err, "kartwerk: \"" + missing + "\" does not exist\n");

  const auto map = WriteMap(prefix.scratch.path() / "m.qdm");
  for (const char* text : {"abc", "255", "-1", "7x", ""}) {
    const auto r = RunProgram(KARTWERK_EXE, {"convert", map.string(), "--slot", text}, prefix.Env());
    EXPECT_EQ(r.status, 2) << text;
    EXPECT_NE(r.err.find("'" + std::string(text) + "' is not a slot number (0 to 254)"), std::string::npos) << r.err;
  }
  std::filesystem::remove(map);
  EXPECT_EQ(TreeFiles(prefix.scratch.path()), before);
}

}  // namespace
}  // namespace kartwerk
