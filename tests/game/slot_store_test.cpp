// The editor's slot list: numbering, the occupied and free lines, the map names read from
// "desc" files, and the slots command that prints them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <fstream>
#include <nlohmann/json.hpp>

#include "core/cp1252.hpp"
#include "format/section_directory.hpp"
#include "game/explicit_installation.hpp"
#include "game/slot_store.hpp"
#include "game/slot_target.hpp"
#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "tests/support/run_program.hpp"
#include "tests/support/wine_prefix.hpp"

namespace kartwerk {
namespace {

using mapmaker::Gzip;
using mapmaker::Le;
using mapmaker::ReadBytes;
using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;
using testing::MakeGameFolder;
using testing::MakeWinePrefix;
using testing::RunProgram;
using testing::WineInstallationKey;

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct NumberCase {
  int slot;
  const char* text;
};

class SlotNumbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(SlotNumbers, AreThreeDigitsInFolderNamesAndLines) {
  const NumberCase c = GetParam();
  EXPECT_EQ(game::SlotNumberText(c.slot), c.text);
  EXPECT_EQ(game::SlotFolderPath("/g", c.slot), std::filesystem::path("/g/editor/maps.src/map." + std::string(c.text)));
  EXPECT_EQ(game::SlotLine(c.slot, std::nullopt), "Map " + std::string(c.text) + ":    --- empty ---");
  EXPECT_EQ(game::SlotLine(c.slot, std::string("Dunes")), "Map " + std::string(c.text) + ": Dunes");
}

INSTANTIATE_TEST_SUITE_P(Edges, SlotNumbers,
                         ::testing::Values(NumberCase{0, "000"}, NumberCase{7, "007"}, NumberCase{9, "009"},
                                           NumberCase{10, "010"}, NumberCase{99, "099"}, NumberCase{100, "100"},
                                           NumberCase{123, "123"}, NumberCase{254, "254"}));

TEST(SlotTitle, IsTheFirstLineUpToCarriageReturnLineFeedOrZero) {
  EXPECT_EQ(game::SlotTitleFromDesc("Dunes\nsecond line\n"), "Dunes");
  EXPECT_EQ(game::SlotTitleFromDesc("Dunes\r\nsecond"), "Dunes");
  EXPECT_EQ(game::SlotTitleFromDesc("Dunes\rsecond"), "Dunes");
  EXPECT_EQ(game::SlotTitleFromDesc(std::string_view("Dun\0es", 6)), "Dun");
  EXPECT_EQ(game::SlotTitleFromDesc("no line end"), "no line end");
  EXPECT_EQ(game::SlotTitleFromDesc("  blanks kept \t\n"), "  blanks kept \t");
  EXPECT_EQ(game::SlotTitleFromDesc("\nname on line two"), "");
  EXPECT_EQ(game::SlotTitleFromDesc(""), "");
  EXPECT_EQ(game::SlotTitleFromDesc("Caf\xE9 \x99"), "Caf\xE9 \x99");  // the editor's own bytes, unchanged
}

// A game folder with occupied, free and odd slots.
struct SlotFixture {
  mapmaker::ScratchFolder scratch;
  std::filesystem::path game = MakeGameFolder(scratch.path(), "Vornmark II");
  std::filesystem::path slots = game / "editor" / "maps.src";

  SlotFixture() {
    WriteFile(slots / "map.000" / "desc", "First map\nby someone\n");
    WriteFile(slots / "map.007" / "desc", "Dunes\r\n");
    WriteFile(slots / "map.009" / "desc", "\nstarts with a line end");
    WriteFile(slots / "map.010" / "desc", "");
    WriteFile(slots / "map.099" / "desc", std::string("Zero\0after", 10));
    WriteFile(slots / "map.100" / "desc", "Caf\xE9 Vornmark II\x99");
    std::filesystem::create_directories(slots / "map.101");                     // a folder without desc
    std::filesystem::create_directories(slots / "map.102" / "desc");            // "desc" is a folder
    WriteFile(slots / "map.254" / "desc", std::string(10000, 'L') + "\nrest");  // longer than a title holds
    WriteFile(slots / "map.255" / "desc", "never listed");
    WriteFile(slots / "map.7" / "desc", "not a slot name");
  }

  // The lines the slot store must give for this folder, in order.
  std::string ExpectedLines() const {
    std::string out;
    for (int slot = 0; slot < 255; ++slot) {
      const std::string n = game::SlotNumberText(slot);
      std::string title;
      switch (slot) {
        case 0: title = "First map"; break;
        case 7: title = "Dunes"; break;
        case 9: title = ""; break;
        case 10: title = ""; break;
        case 99: title = "Zero"; break;
        case 100: title = "Caf\xE9 Vornmark II\x99"; break;
        case 254: title = std::string(255, 'L'); break;
        default: out += "Map " + n + ":    --- empty ---\n"; continue;
      }
      out += "Map " + n + ": " + title + "\n";
    }
    return out;
  }
};

TEST(BuildSlotList, ListsEverySlotWithItsMapOrAsFree) {
  SlotFixture f;
  game::GameInstallations installs;
  installs.registry = game::ExplicitInstallation(f.game);
  ASSERT_TRUE(game::BuildSlotList(installs));
  std::string lines;
  for (std::size_t slot = 0; slot < game::kSlotCount; ++slot) lines += installs.slotList[slot] + "\n";
  EXPECT_EQ(lines, f.ExpectedLines());
  EXPECT_EQ(installs.slotList[255], "");
  EXPECT_EQ(installs.slotList[9], "Map 009: ");
}

TEST(BuildSlotList, FindsSlotFoldersWhateverTheCaseOfTheirNames) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows finds a name in any case itself and keeps the spelling asked for";
#endif
  SlotFixture f;
  std::filesystem::rename(f.game / "editor", f.game / "Editor");
  std::filesystem::rename(f.game / "Editor" / "maps.src", f.game / "Editor" / "MAPS.SRC");
  std::filesystem::rename(f.game / "Editor" / "MAPS.SRC" / "map.007", f.game / "Editor" / "MAPS.SRC" / "MAP.007");
  std::filesystem::rename(f.game / "Editor" / "MAPS.SRC" / "MAP.007" / "desc",
                          f.game / "Editor" / "MAPS.SRC" / "MAP.007" / "DESC");
  game::GameInstallations installs;
  installs.registry = game::ExplicitInstallation(f.game);
  ASSERT_TRUE(game::BuildSlotList(installs));
  EXPECT_EQ(installs.slotList[7], "Map 007: Dunes");
  EXPECT_EQ(installs.slotList[0], "Map 000: First map");
  EXPECT_EQ(game::SlotFolderPath(installs.gameFolder, 7), f.game / "Editor" / "MAPS.SRC" / "MAP.007");
  EXPECT_EQ(game::SlotFolderPath(installs.gameFolder, 8), f.game / "Editor" / "MAPS.SRC" / "map.008");
}

TEST(BuildSlotList, AnUnreadableDescStillMarksTheSlotAsInUse) {
#ifdef _WIN32
  GTEST_SKIP() << "file permissions are POSIX ones";
#else
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
#endif
  SlotFixture f;
  std::filesystem::permissions(f.slots / "map.007" / "desc", std::filesystem::perms::none);
  EXPECT_EQ(game::ReadSlotTitle(f.game, 7), std::optional<std::string>(""));
}

TEST(BuildSlotList, WithoutTheGameTheResultIsFalseAndNoFolderIsRead) {
  SlotFixture f;
  game::GameInstallations installs;
  installs.registry = game::ExplicitInstallation(f.scratch.path() / "nothing here");
  EXPECT_FALSE(game::BuildSlotList(installs));
  EXPECT_TRUE(installs.gameFolder.empty());
  EXPECT_EQ(installs.slotList[7], "Map 007:    --- empty ---");

  // A game found before stays the folder listed, as the slot picker shows it.
  installs.registry = game::ExplicitInstallation(f.game);
  ASSERT_TRUE(game::BuildSlotList(installs));
  installs.registry = game::ExplicitInstallation(f.scratch.path() / "gone");
  EXPECT_FALSE(game::BuildSlotList(installs));
  EXPECT_EQ(installs.slotList[7], "Map 007: Dunes");
}

TEST(SlotsCommand, PrintsThe255LinesWithTheEditorsTitlesReadAsWindows1252) {
  SlotFixture f;
  auto r = RunProgram(KARTWERK_EXE, {"slots", "--game", f.game.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, core::Cp1252ToUtf8(f.ExpectedLines()));
  EXPECT_NE(r.out.find("Map 100: Caf\xC3\xA9 Vornmark II\xE2\x84\xA2\n"), std::string::npos);
}

// 255 slots sharing one large desc (hard links) cost the slot list what 255 short ones do.
TEST(SlotsCommand, ReadsNoMoreOfADescThanATitleHolds) {
  mapmaker::ScratchFolder scratch;
  const auto game = MakeGameFolder(scratch.path(), "Vornmark II");
  const auto slots = game / "editor" / "maps.src";
  WriteFile(slots / "map.000" / "desc", "Huge\n" + std::string(4 << 20, 'x'));
  for (int slot = 1; slot < 255; ++slot) {
    std::filesystem::create_directories(slots / ("map." + game::SlotNumberText(slot)));
    std::filesystem::create_hard_link(slots / "map.000" / "desc",
                                      slots / ("map." + game::SlotNumberText(slot)) / "desc");
  }
  // A desc of 4 MiB on one line: the title is the first 255 bytes.
  std::filesystem::remove(slots / "map.254" / "desc");
  WriteFile(slots / "map.254" / "desc", std::string(4 << 20, 'y'));
  EXPECT_EQ(game::ReadSlotTitle(game, 254), std::string(255, 'y'));
  const auto started = std::chrono::steady_clock::now();
  for (const char* form : {"", "--json"}) {
    std::vector<std::string> args = {"slots", "--game", game.string()};
    if (*form) args.push_back(form);
    auto r = RunProgram(KARTWERK_EXE, args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Huge"), std::string::npos);
    EXPECT_LT(r.out.size(), 400000u);  // 255 titles of 255 bytes, twice in JSON
  }
  // Generous for a busy machine and Wine's start; reading 255 x 4 MiB whole took minutes there.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}

TEST(SlotsCommand, FindsTheGameThroughAWinePrefix) {
#ifdef _WIN32
  GTEST_SKIP() << "a Wine prefix read from Linux; registry_windows_test reads the registry itself";
#endif
  SlotFixture f;
  const auto prefix = f.scratch.path() / "prefix";
  std::string body = WineInstallationKey({"1 stale", "C:\\Old Vornmark", "2.0", "English"});
  body += WineInstallationKey({"2 real", "C:\\Vornmark II\\", "1.9", "English"}, "Software\\Brannox\\Vornmark II");
  MakeWinePrefix(prefix, body);
  std::filesystem::rename(f.game, prefix / "drive_c" / "Vornmark II");

  auto r = RunProgram(KARTWERK_EXE, {"slots", "--wine-prefix", prefix.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, core::Cp1252ToUtf8(f.ExpectedLines()));

  auto json = RunProgram(KARTWERK_EXE, {"slots", "--json"}, {"WINEPREFIX=" + prefix.string()});
  ASSERT_EQ(json.status, 0) << json.err;
  const auto out = nlohmann::json::parse(json.out);
  EXPECT_EQ(out["game_folder"], std::filesystem::canonical(prefix / "drive_c" / "Vornmark II").string());
  EXPECT_EQ(out["game_version_kind"], 1);
  ASSERT_EQ(out["slots"].size(), 255u);
  EXPECT_EQ(out["slots"][7]["occupied"], true);
  EXPECT_EQ(out["slots"][7]["title"], "Dunes");
  EXPECT_EQ(out["slots"][8]["occupied"], false);
  EXPECT_TRUE(out["slots"][8]["title"].is_null());
  EXPECT_EQ(out["slots"][100]["title"], "Café Vornmark II™");
  EXPECT_EQ(out["slots"][123]["line"], "Map 123:    --- empty ---");
}

TEST(SlotsCommand, ReportsAGameItCannotLocate) {
  mapmaker::ScratchFolder scratch;
  auto r = RunProgram(KARTWERK_EXE, {"slots", "--game", scratch.path().string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(r.err.find("Could not locate Vornmark II due to missing or incorrect registry entries. "
                       "You might wish to reinstall the game."),
            std::string::npos)
      << r.err;
  EXPECT_EQ(RunProgram(KARTWERK_EXE, {"slots", "--game", "a", "--wine-prefix", "b"}).status, 2);
}

// ---- converting into a slot of the located game ----

// A single-player map with one script whose keywords differ between the two keyword sets:
// the later set writes "$sp_l" where the first writes nothing.
void WriteScriptedMap(const std::filesystem::path& path) {
  mapmaker::Le scripts;
  scripts.I32(1).U32(0).U32(0);
  for (std::uint16_t v = 1; v <= 4; ++v) scripts.U32(0x00010000u | v);
  scripts.U32(5).U32(0xFFFF);
  std::filesystem::create_directories(path.parent_path());
  mapmaker::WriteBytes(
      path, mapmaker::Gzip(mapmaker::ReplaceSection(
                               mapmaker::SampleMainContainer(format::SinglePlayerMap, {}),
                               format::SectionPosition(format::Section::Scripts, format::SinglePlayerMap), scripts),
                           path.stem().string()));
}

std::string FileText(const std::filesystem::path& path) {
  const core::Bytes bytes = mapmaker::ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

bool UsesFirstKeywordSet(const std::filesystem::path& slotFolder) {
  const std::string scripts = FileText(slotFolder / "mis.000" / "scripts2");
  EXPECT_FALSE(scripts.empty());
  return scripts.find("$sp_l\n") == std::string::npos;
}

TEST(ConvertIntoSlot, WritesIntoTheSlotOfTheInstallationHoldingTheMap) {
#ifdef _WIN32
  GTEST_SKIP() << "a Wine prefix read from Linux; registry_windows_test reads the registry itself";
#endif
  mapmaker::ScratchFolder scratch;
  const auto prefix = scratch.path() / "prefix";
  std::string body = WineInstallationKey({"1", "C:\\Games\\VM Gold", "2.2", "English"});
  body += WineInstallationKey({"2", "C:\\Spiele\\Vornmark Ä\\", "1.9", "Deutsch"});
  MakeWinePrefix(prefix, body);
  MakeGameFolder(prefix, "Games/VM Gold");
  const auto game = std::filesystem::canonical(MakeGameFolder(prefix, "Spiele/Vornmark Ä"));
  std::filesystem::rename(game / "editor", game / "Editor");
  std::filesystem::create_directories(game / "Editor" / "MAPS.SRC");
  const auto map = game / "game" / "maps" / "single" / "Dunes.qdm";
  WriteScriptedMap(map);

  auto r =
      RunProgram(KARTWERK_EXE, {"convert", map.string(), "--slot", "7", "--wine-prefix", prefix.string(), "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto slot = game / "Editor" / "MAPS.SRC" / "map.007";
  ASSERT_TRUE(std::filesystem::is_regular_file(slot / "desc")) << r.err;
  EXPECT_TRUE(std::filesystem::is_regular_file(slot / "mis.000" / "scripts2"));
  EXPECT_TRUE(UsesFirstKeywordSet(slot));
  EXPECT_FALSE(std::filesystem::exists(game / "editor"));

  // The slot list now shows the map in slot 7.
  auto list = RunProgram(KARTWERK_EXE, {"slots", "--game", game.string()});
  ASSERT_EQ(list.status, 0) << list.err;
  const std::string line = "Map 007: " + game::SlotTitleFromDesc(FileText(slot / "desc")) + "\n";
  EXPECT_NE(list.out.find(line), std::string::npos) << list.out.substr(0, 200);

  // A map outside every installation converts into the first one, with its version.
  const auto elsewhere = scratch.path() / "Downloads" / "Dunes.qdm";
  WriteScriptedMap(elsewhere);
  auto first = RunProgram(KARTWERK_EXE, {"convert", elsewhere.string(), "--slot", "254", "--quiet"},
                          {"WINEPREFIX=" + prefix.string()});
  ASSERT_EQ(first.status, 0) << first.err;
  const auto gold = std::filesystem::canonical(prefix / "drive_c" / "Games" / "VM Gold");
  EXPECT_FALSE(UsesFirstKeywordSet(gold / "editor" / "maps.src" / "map.254"));
}

TEST(ConvertIntoSlot, TheVersionGivenOverridesTheInstallationsOwn) {
  mapmaker::ScratchFolder scratch;
  const auto game = MakeGameFolder(scratch.path(), "Vornmark II");
  const auto map = scratch.path() / "maps" / "m.qdm";
  WriteScriptedMap(map);
  const auto slot7 = game / "editor" / "maps.src" / "map.007";

  auto older = RunProgram(KARTWERK_EXE, {"convert", map.string(), "--slot", "7", "--game", game.string(),
                                         "--game-version", "1.9", "--quiet"});
  ASSERT_EQ(older.status, 0) << older.err;
  EXPECT_TRUE(UsesFirstKeywordSet(slot7));

  auto standard =
      RunProgram(KARTWERK_EXE, {"convert", map.string(), "--slot", "7", "--game", game.string(), "--quiet"});
  ASSERT_EQ(standard.status, 0) << standard.err;
  EXPECT_FALSE(UsesFirstKeywordSet(slot7));

  // With a registry, --game-version still decides.
  const auto prefix = scratch.path() / "prefix";
  MakeWinePrefix(prefix, WineInstallationKey({"1", "C:\\VM", "2.2", "English"}));
  const auto registered = std::filesystem::canonical(MakeGameFolder(prefix, "VM"));
  auto overridden = RunProgram(KARTWERK_EXE, {"convert", map.string(), "--slot", "0", "--wine-prefix", prefix.string(),
                                              "--game-version", "1.9", "--quiet"});
  ASSERT_EQ(overridden.status, 0) << overridden.err;
  EXPECT_TRUE(UsesFirstKeywordSet(registered / "editor" / "maps.src" / "map.000"));

  const game::SlotTarget target =
      game::LocateSlot({registered, std::nullopt, std::nullopt}, 7, map, std::string("1.9"));
  EXPECT_EQ(target.gameFolder, registered);
  EXPECT_EQ(target.slotFolder, registered / "editor" / "maps.src" / "map.007");
  EXPECT_EQ(target.gameVersionKind, format::GameVersionKind::OlderKeywords);
}

TEST(ConvertIntoSlot, RejectsWrongUsageAndAGameItCannotLocate) {
  mapmaker::ScratchFolder scratch;
  const auto game = MakeGameFolder(scratch.path(), "VM");
  const auto map = scratch.path() / "m.qdm";
  WriteScriptedMap(map);
  const std::string m = map.string();
  EXPECT_EQ(RunProgram(KARTWERK_EXE, {"convert", m, "--slot", "255", "--game", game.string()}).status, 2);
  EXPECT_EQ(RunProgram(KARTWERK_EXE, {"convert", m, "--slot", "-1", "--game", game.string()}).status, 2);
  EXPECT_EQ(RunProgram(KARTWERK_EXE, {"convert", m, "--slot", "1", "--out", (scratch.path() / "o").string()}).status,
            2);
  EXPECT_EQ(RunProgram(KARTWERK_EXE, {"convert", m, "--out", (scratch.path() / "o").string(), "--game", game.string()})
                .status,
            2);
  EXPECT_EQ(RunProgram(KARTWERK_EXE, {"convert", m, "--slot", "1", "--game", "a", "--wine-prefix", "b"}).status, 2);
  EXPECT_EQ(RunProgram(KARTWERK_EXE, {"convert", m}).status, 2);

  auto lost = RunProgram(KARTWERK_EXE, {"convert", m, "--slot", "3", "--game", scratch.path().string()});
  EXPECT_EQ(lost.status, 1);
  EXPECT_NE(lost.err.find("Could not locate Vornmark II"), std::string::npos) << lost.err;
  EXPECT_FALSE(std::filesystem::exists(scratch.path() / "editor"));

  auto noRegistry =
      RunProgram(KARTWERK_EXE, {"convert", m, "--slot", "3", "--wine-prefix", (scratch.path() / "x").string()});
  EXPECT_EQ(noRegistry.status, 1);
  EXPECT_NE(noRegistry.err.find("system.reg"), std::string::npos) << noRegistry.err;
  EXPECT_THROW(game::LocateSlot({game, std::nullopt, std::nullopt}, 255, map, std::nullopt), std::out_of_range);
}

}  // namespace
}  // namespace kartwerk
