// Reading a Wine prefix's registry file the way Wine writes it, and reaching the folders it
// names through the prefix's drives.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "game/wine_paths.hpp"
#include "game/wine_registry.hpp"
#include "mapmaker/map_builder.hpp"
#include "tests/support/run_program.hpp"
#include "tests/support/wine_prefix.hpp"

namespace kartwerk {
namespace {

using mapmaker::ScratchFolder;
using testing::MakeGameFolder;
using testing::MakeWinePrefix;
using testing::RunProgram;
using testing::WineEscape;
using testing::WineInstallation;
using testing::WineInstallationKey;

std::string Decoded(std::string_view text, char endChar = '"') {
  std::optional<game::WineText> parsed = game::ParseWineText(text, endChar);
  return parsed ? parsed->text : "<unterminated>";
}

TEST(WineText, DecodesWinesEscapes) {
  EXPECT_EQ(Decoded(R"(C:\\Games\\Vornmark II")"), "C:\\Games\\Vornmark II");
  EXPECT_EQ(Decoded(R"(say \"hi\"")"), "say \"hi\"");
  EXPECT_EQ(Decoded(R"(a\tb\nc\rd")"), "a\tb\nc\rd");
  EXPECT_EQ(Decoded(R"(\x41\x42")"), "AB");
  // Up to four hex digits: Wine pads to four when a hex digit follows.
  EXPECT_EQ(Decoded(R"(Vornmark \xc4")"), "Vornmark \xC3\x84");
  EXPECT_EQ(Decoded(R"(\x00c4b")"),
            "\xC3\x84"
            "b");
  EXPECT_EQ(Decoded(R"(\x2122")"), "\xE2\x84\xA2");
  // A surrogate pair becomes one character; a lone surrogate the replacement character.
  EXPECT_EQ(Decoded(R"(\xd83d\xde00")"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Decoded(R"(\xd83dx")"), "\xEF\xBF\xBDx");
  EXPECT_EQ(Decoded(R"(\xz")"), "xz");
  EXPECT_EQ(Decoded(R"(\101\0")").size(), 2u);
  EXPECT_EQ(Decoded(R"(\101\0")")[0], 'A');
  // Raw UTF-8 passes through; a stray byte is taken as Latin-1.
  EXPECT_EQ(Decoded("Stra\xC3\x9F"
                    "e\""),
            "Stra\xC3\x9F"
            "e");
  EXPECT_EQ(Decoded("\xC4\""), "\xC3\x84");
}

TEST(WineText, StopsAtItsDelimiterAndReportsWhatItRead) {
  std::optional<game::WineText> key = game::ParseWineText(R"(Software\\A\]B] 1700000000)", ']');
  ASSERT_TRUE(key);
  EXPECT_EQ(key->text, "Software\\A]B");
  EXPECT_EQ(key->consumed, std::string_view(R"(Software\\A\]B])").size());
  EXPECT_FALSE(game::ParseWineText("no end", '"'));
  EXPECT_FALSE(game::ParseWineText("ends in an escape\\", '"'));
}

TEST(WineText, RoundTripsWhatWineWrites) {
  for (const std::string text : {"C:\\Spiele\\Vornmark Ä\\", "Édition spéciale \"2.2\"", "日本語 1a", "plain"}) {
    EXPECT_EQ(Decoded(WineEscape(text) + "\""), text) << text;
  }
}

game::RegistryTree Parse(const std::string& body) {
  return game::ParseWineRegistry(testing::WineRegistryHeader() + body);
}

std::string StringAt(const game::RegistryTree& tree, std::string_view key, const std::string& value) {
  const game::RegistryNode* node = tree.FindKey(key);
  if (!node) return "<no key>";
  auto it = node->values.find(value);
  if (it == node->values.end()) return "<no value>";
  return it->second ? *it->second : "<not a string>";
}

TEST(WineRegistryFile, ReadsKeysAndStringValuesAmongOtherTypes) {
  const game::RegistryTree tree = Parse(
      "[Software\\\\Brannox\\\\Vornmark II\\\\A] 1700000000\n"
      "#time=1da0c1f2e3d4c5b\n"
      "@=\"default\"\n"
      "\"Binary\"=hex:01,02,03,\\\n"
      "  04,05,06\n"
      "\"Count\"=dword:0000002a\n"
      "\"Expand\"=str(2):\"%ProgramFiles%\\\\Vornmark\"\n"
      "\"List\"=str(7):\"a\\0b\\0\"\n"
      "\"Plain\"=str:\"plain\"\n"
      "\"Quoted \\\"name\\\"\" = \"spaced\"\n"
      "\"Hex string\"=hex(1):43,00,3a,00,5c,00,58,00,00,00\n"
      "\"Odd\"=hex(1):41,00,42\n"
      "\"Zero\"=\"before\\0after\"\n");
  const std::string_view key = "Software\\Brannox\\Vornmark II\\A";
  EXPECT_EQ(StringAt(tree, key, ""), "default");
  EXPECT_EQ(StringAt(tree, key, "binary"), "<not a string>");
  EXPECT_EQ(StringAt(tree, key, "Count"), "<not a string>");
  EXPECT_EQ(StringAt(tree, key, "Expand"), "%ProgramFiles%\\Vornmark");
  EXPECT_EQ(StringAt(tree, key, "List"), "<not a string>");
  EXPECT_EQ(StringAt(tree, key, "Plain"), "plain");
  EXPECT_EQ(StringAt(tree, key, "quoted \"NAME\""), "spaced");
  EXPECT_EQ(StringAt(tree, key, "Hex string"), "C:\\X");
  EXPECT_EQ(StringAt(tree, key, "Odd"), "A");
  EXPECT_EQ(StringAt(tree, key, "Zero"), "before");
  // The continuation line of the binary value is no key or value of its own.
  EXPECT_EQ(tree.FindKey(key)->values.size(), 10u);
}

TEST(WineRegistryFile, BuildsParentsMergesRepeatedKeysAndKeepsTheLastValue) {
  const game::RegistryTree tree = Parse(
      "[Software\\\\Brannox\\\\Vornmark II\\\\B] 1700000000\n"
      "\"version\"=\"2.0\"\n"
      "\n"
      "[software\\\\brannox\\\\vornmark ii\\\\b] 1700000001\n"
      "\"VERSION\"=\"2.2\"\n"
      "\"language\"=\"English\"\n");
  const game::RegistryNode* game = tree.FindKey("Software\\Brannox\\Vornmark II");
  ASSERT_NE(game, nullptr);
  ASSERT_EQ(game->subKeys.size(), 1u);
  EXPECT_EQ(game->subKeys.begin()->second->name, "B");
  EXPECT_EQ(StringAt(tree, "Software\\Brannox\\Vornmark II\\B", "version"), "2.2");
  EXPECT_EQ(StringAt(tree, "Software\\Brannox\\Vornmark II\\B", "language"), "English");
}

TEST(WineRegistryFile, SkipsMalformedLinesAsWineDoes) {
  const game::RegistryTree tree = Parse(
      "\"orphan\"=\"before any key\"\n"
      "[Software\\\\Good] 1\n"
      "\"kept\"=\"yes\"\n"
      "\"unterminated=\"no\n"
      "\"no equals\" \"x\"\n"
      "garbage line\n"
      "\"bad hex\"=hex:zz\n"
      "\"after\"=\"still read\"\n"
      "[Software\\\\Broken\n"
      "\"lost\"=\"belongs to no key\"\n"
      "  [Software\\\\Indented] 2\n"
      "\"found\"=\"yes\"\n");
  EXPECT_EQ(tree.root().values.size(), 0u);
  EXPECT_EQ(StringAt(tree, "Software\\Good", "kept"), "yes");
  EXPECT_EQ(StringAt(tree, "Software\\Good", "after"), "still read");
  EXPECT_EQ(tree.FindKey("Software\\Good")->values.size(), 2u);
  EXPECT_EQ(StringAt(tree, "Software\\Indented", "found"), "yes");
  EXPECT_EQ(tree.FindKey("Software\\Broken"), nullptr);
}

TEST(WineRegistryFile, AcceptsWindowsLineEndsAndRejectsOtherFormats) {
  const game::RegistryTree tree =
      game::ParseWineRegistry("WINE REGISTRY Version 2\r\n[Software\\\\X] 1\r\n\"v\"=\"crlf\"\r\n");
  EXPECT_EQ(StringAt(tree, "Software\\X", "v"), "crlf");
  EXPECT_THROW(game::ParseWineRegistry(""), game::RegistryUnavailable);
  EXPECT_THROW(game::ParseWineRegistry("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software]\n"), game::RegistryUnavailable);
  EXPECT_THROW(game::ParseWineRegistry("WINE REGISTRY Version 1\n"), game::RegistryUnavailable);
}

TEST(WineRegistryFile, ACutOrDamagedFileNeverReadsPastItsEnd) {
  const std::string file = testing::WineRegistryHeader() +
                           WineInstallationKey({"Ä ]1", "C:\\Spiele\\Vornmark Ä\\", "2.2", "Deutsch \"DE\""}) +
                           "[Software\\\\X] 1\n\"h\"=hex(1):41,00,\\\n  42,00\n\"e\"=\"\\x\\1\\\n";
  for (std::size_t length = 24; length <= file.size(); ++length) {
    const game::RegistryTree tree = game::ParseWineRegistry(std::string_view(file).substr(0, length));
    EXPECT_LE(tree.root().subKeys.size(), 1u);
  }
  // Flipping single bytes to the format's special characters still parses.
  for (std::size_t at = 24; at < file.size(); ++at) {
    for (char c : {'\\', '"', '[', ']', '=', '\n', ':', '(', '\x80'}) {
      std::string damaged = file;
      damaged[at] = c;
      EXPECT_NO_THROW(game::ParseWineRegistry(damaged));
    }
  }
  const game::RegistryTree whole = game::ParseWineRegistry(file);
  EXPECT_EQ(StringAt(whole, "Software\\X", "h"), "AB");
  EXPECT_EQ(StringAt(whole, "Software\\Brannox\\Vornmark II\\Ä ]1", "language"), "Deutsch \"DE\"");
}

TEST(WinePaths, MapDrivePathsThroughDosdevicesWithoutRegardToCase) {
  mapmaker::ScratchFolder scratch;
  const auto prefix = scratch.path() / "prefix";
  MakeWinePrefix(prefix, "");
  const auto game = MakeGameFolder(prefix, "Games/Vornmark II");
  const auto real = std::filesystem::canonical(game);
  EXPECT_EQ(game::WineHostPath(prefix, "C:\\Games\\Vornmark II"), real);
  EXPECT_EQ(game::WineHostPath(prefix, "c:\\GAMES\\vornmark ii\\"), real);
  EXPECT_EQ(game::WineHostPath(prefix, "C:/Games//Vornmark II/."), real);
  EXPECT_EQ(game::WineHostPath(prefix, "C:\\Windows\\..\\Games\\Vornmark II"), real);
  EXPECT_EQ(game::WineHostPath(prefix, "\\\\?\\C:\\Games\\Vornmark II"), real);
  // A missing folder keeps its spelling below the last one found.
  EXPECT_EQ(game::WineHostPath(prefix, "C:\\games\\Missing\\x"),
            std::filesystem::canonical(prefix / "drive_c/Games") / "Missing/x");
  // No drive, a drive the prefix lacks, or a relative path name nothing reachable.
  EXPECT_TRUE(game::WineHostPath(prefix, "Games\\Vornmark II").empty());
  EXPECT_TRUE(game::WineHostPath(prefix, "\\Games\\Vornmark II").empty());
  EXPECT_FALSE(std::filesystem::exists(game::WineHostPath(prefix, "D:\\Games")));
}

TEST(WinePaths, OtherDrivesAndSharesFollowTheirLinks) {
  mapmaker::ScratchFolder scratch;
  const auto prefix = scratch.path() / "prefix";
  MakeWinePrefix(prefix, "");
  std::filesystem::create_directories(scratch.path() / "media/Spiele Ä");
  std::filesystem::create_directory_symlink(scratch.path() / "media", prefix / "dosdevices" / "e:");
  EXPECT_EQ(game::WineHostPath(prefix, "E:\\spiele ä"),
            std::filesystem::canonical(scratch.path() / "media") / "spiele ä");
  EXPECT_EQ(game::WineHostPath(prefix, "E:\\Spiele Ä"), std::filesystem::canonical(scratch.path() / "media/Spiele Ä"));

  std::filesystem::create_directories(scratch.path() / "server/share/Games");
  std::filesystem::create_directories(prefix / "dosdevices" / "unc");
  std::filesystem::create_directory_symlink(scratch.path() / "server", prefix / "dosdevices" / "unc" / "nas");
  EXPECT_EQ(std::filesystem::canonical(game::WineHostPath(prefix, "\\\\NAS\\share\\games")),
            std::filesystem::canonical(scratch.path() / "server/share/Games"));
  EXPECT_TRUE(game::WineHostPath(prefix, "\\\\NAS").empty());
}

TEST(WinePaths, APrefixWithoutDriveLinksStillHasDriveC) {
  mapmaker::ScratchFolder scratch;
  const auto prefix = scratch.path() / "bare";
  std::filesystem::create_directories(prefix / "drive_c" / "Games");
  EXPECT_EQ(game::WineHostPath(prefix, "C:\\games"), std::filesystem::canonical(prefix / "drive_c/Games"));
}

TEST(WinePrefixRegistry, ReadsTheGameKeyAndMapsItsFolders) {
  mapmaker::ScratchFolder scratch;
  const auto prefix = scratch.path() / "prefix";
  MakeWinePrefix(prefix, WineInstallationKey({"1", "C:\\Spiele\\Vornmark Ä\\", "2.2", "Deutsch"}));
  const auto game = MakeGameFolder(prefix, "Spiele/Vornmark Ä");
  auto registry = game::OpenWinePrefixRegistry(prefix);
  auto key = registry->OpenMachineKey("Software\\Brannox\\Vornmark II\\1");
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ReadString("target folder"), "C:\\Spiele\\Vornmark Ä\\");
  EXPECT_EQ(key->ReadString("language"), "Deutsch");
  EXPECT_EQ(key->ReadString("InstallCount"), "");
  EXPECT_EQ(registry->HostFolder(key->ReadString("target folder")), std::filesystem::canonical(game));
}

TEST(WinePrefixRegistry, MissingOrForeignFilesAreReportedWithTheirPath) {
  mapmaker::ScratchFolder scratch;
  try {
    game::OpenWinePrefixRegistry(scratch.path() / "nowhere");
    FAIL() << "expected RegistryUnavailable";
  } catch (const game::RegistryUnavailable& e) {
    EXPECT_NE(std::string(e.what()).find("nowhere/system.reg"), std::string::npos) << e.what();
  }
  std::ofstream(scratch.path() / "system.reg") << "Windows Registry Editor Version 5.00\n";
  EXPECT_THROW(game::OpenWinePrefixRegistry(scratch.path()), game::RegistryUnavailable);
}

TEST(WinePrefixRegistry, DefaultPrefixIsWineprefixElseDotWine) {
  const char* saved = std::getenv("WINEPREFIX");
  const std::string savedValue = saved ? saved : "";
  ::setenv("WINEPREFIX", "/somewhere/prefix", 1);
  EXPECT_EQ(game::DefaultWinePrefix(), std::filesystem::path("/somewhere/prefix"));
  ::unsetenv("WINEPREFIX");
  const char* home = std::getenv("HOME");
  if (home) {
    EXPECT_EQ(game::DefaultWinePrefix(), std::filesystem::path(home) / ".wine");
  }
  if (saved) ::setenv("WINEPREFIX", savedValue.c_str(), 1);
}

// The whole road: a system.reg as Wine leaves it after several installers, read by the CLI.
TEST(InstallsCommand, ListsEveryExistingInstallationWithFolderVersionAndLanguage) {
  mapmaker::ScratchFolder scratch;
  const auto prefix = scratch.path() / "prefix with space";
  std::string body;
  body += WineInstallationKey({"Gold", "C:\\Games\\Vornmark II Gold", "2.2", "English"},
                              "Software\\Wow6432Node\\Brannox\\Vornmark II");
  body += WineInstallationKey({"Old", "C:\\Program Files\\Brannox\\Vornmark II\\", "1.9", "Français"},
                              "Software\\Wow6432Node\\Brannox\\Vornmark II");
  body += WineInstallationKey({"Removed", "C:\\Gone", "2.0", "English"}, "Software\\Wow6432Node\\Brannox\\Vornmark II");
  MakeWinePrefix(prefix, body);
  const auto gold = MakeGameFolder(prefix, "Games/Vornmark II Gold");
  const auto old = MakeGameFolder(prefix, "Program Files/Brannox/Vornmark II", false);

  auto r = RunProgram(KARTWERK_EXE, {"installs", "--wine-prefix", prefix.string(), "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto list = nlohmann::json::parse(r.out);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]["folder"], std::filesystem::canonical(gold).string());
  EXPECT_EQ(list[0]["version"], "2.2");
  EXPECT_EQ(list[0]["language"], "English");
  EXPECT_EQ(list[0]["editor"], true);
  EXPECT_EQ(list[1]["folder"], std::filesystem::canonical(old).string());
  EXPECT_EQ(list[1]["target_folder"], "C:\\Program Files\\Brannox\\Vornmark II\\");
  EXPECT_EQ(list[1]["version"], "1.9");
  EXPECT_EQ(list[1]["language"], "Français");
  EXPECT_EQ(list[1]["editor"], false);

  // WINEPREFIX is the default prefix; text output names each installation on one line, with
  // the prefix it was found in and what an installation without its editor lacks.
  auto text = RunProgram(KARTWERK_EXE, {"installs"}, {"WINEPREFIX=" + prefix.string()});
  ASSERT_EQ(text.status, 0) << text.err;
  const std::string from = "; Wine prefix " + prefix.string() + ")";
  EXPECT_EQ(text.out, "1  English 2.2  " + std::filesystem::canonical(gold).string() +
                          "  (C:\\Games\\Vornmark II Gold" + from + "\n2  Français 1.9  " +
                          std::filesystem::canonical(old).string() + "  (C:\\Program Files\\Brannox\\Vornmark II\\" +
                          from + "  editor\\scridll.dll is missing\n");
}

TEST(InstallsCommand, NoRegistryFailsAndNoGameKeyListsNothing) {
  mapmaker::ScratchFolder scratch;
  auto missing = RunProgram(KARTWERK_EXE, {"installs", "--wine-prefix", (scratch.path() / "none").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("system.reg"), std::string::npos) << missing.err;

  MakeWinePrefix(scratch.path() / "empty", "[Software\\\\Other] 1\n");
  auto empty = RunProgram(KARTWERK_EXE, {"installs", "--wine-prefix", (scratch.path() / "empty").string(), "--json"});
  EXPECT_EQ(empty.status, 0) << empty.err;
  EXPECT_EQ(nlohmann::json::parse(empty.out), nlohmann::json::array());
}

}  // namespace
}  // namespace kartwerk
