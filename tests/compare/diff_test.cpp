// kartwerk diff and the comparison under it: a map converted into a folder, the folder edited as a
// map maker edits it, and exactly those edits reported, in words, as JSON and on the picture.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "compare/change_picture.hpp"
#include "compare/comparison_text.hpp"
#include "compare/entry_changes.hpp"
#include "compare/file_comparison.hpp"
#include "compare/header_keys.hpp"
#include "compare/line_diff.hpp"
#include "compare/list_entries.hpp"
#include "compare/map_comparison.hpp"
#include "convert/records/groups.hpp"
#include "convert/records/players.hpp"
#include "convert/records/rhomb_record.hpp"
#include "format/conversion.hpp"
#include "format/section_directory.hpp"
#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "pipeline/run_conversion.hpp"
#include "tests/support/folder_tree.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

using mapmaker::Gzip;
using mapmaker::ReadBytes;
using mapmaker::SampleMainContainer;
using mapmaker::SampleMissionContainer;
using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;
using testing::RunProgram;
using testing::TreeFiles;

std::string Text(const std::filesystem::path& file) {
  const core::Bytes b = mapmaker::ReadBytes(file);
  return std::string(b.begin(), b.end());
}

void WriteText(const std::filesystem::path& file, const std::string& text) {
  mapmaker::WriteBytes(file, core::Bytes(text.begin(), text.end()));
}

// --- the pieces --------------------------------------------------------------------------

TEST(DiffPiecesTest, LinePairsKeepNumberedKeysQuotesAndTrailingWords) {
  const auto pairs = compare::LinePairs("ID 0=rifleman number 0=6 name=\"A b\" color=200 98 112");
  ASSERT_EQ(pairs.size(), 4u);
  EXPECT_EQ(pairs[0], (std::pair<std::string, std::string>{"ID 0", "rifleman"}));
  EXPECT_EQ(pairs[1], (std::pair<std::string, std::string>{"number 0", "6"}));
  EXPECT_EQ(pairs[2], (std::pair<std::string, std::string>{"name", "\"A b\""}));
  EXPECT_EQ(pairs[3], (std::pair<std::string, std::string>{"color", "200 98 112"}));
  const auto flags = compare::LinePairs("ai type=\"ai_recon\" aiflags= aif_a aif_b");
  ASSERT_EQ(flags.size(), 3u);
  EXPECT_EQ(flags[0].first, "");
  EXPECT_EQ(flags[0].second, "ai");
  EXPECT_EQ(flags[2], (std::pair<std::string, std::string>{"aiflags", "aif_a aif_b"}));
}

TEST(DiffPiecesTest, UnitsPairedByPlaceThenByNearestOfTheirType) {
  const std::string before =
      " ID=tank HP=100 Ammo=5 U=412 V=96 Dir=0 \n  ID=driver HP=90\n"
      " ID=medic HP=50 U=10 V=10 Dir=0 \n"
      " ID=gunner HP=70 U=30 V=30 Dir=0 \n";
  const std::string after =
      " ID=tank HP=80 Ammo=5 U=420 V=96 Dir=0 \n  ID=driver HP=91\n"
      " ID=gunner HP=70 U=30 V=30 Dir=0 \n"
      " ID=sniper HP=60 U=64 V=64 Dir=0 \n";
  const auto changes = compare::CompareListEntries(compare::ListKind::Units,
                                                   compare::ReadListEntries(compare::ListKind::Units, before).entries,
                                                   compare::ReadListEntries(compare::ListKind::Units, after).entries)
                           .entries;
  ASSERT_EQ(changes.size(), 3u);
  EXPECT_EQ(changes[0].kind, compare::EntryChange::Kind::Changed);
  EXPECT_EQ(changes[0].entry, "unit 1 'tank'");
  ASSERT_EQ(changes[0].fields.size(), 2u);
  EXPECT_EQ(changes[0].fields[0].field, "HP");
  EXPECT_EQ(changes[0].fields[0].from, "100");
  EXPECT_EQ(changes[0].fields[0].to, "80");
  EXPECT_EQ(changes[0].fields[1].field, "crew 1 HP");
  EXPECT_TRUE(changes[0].Moved());
  EXPECT_EQ(*changes[0].to, (compare::Position{420, 96}));
  EXPECT_EQ(changes[1].kind, compare::EntryChange::Kind::Removed);
  EXPECT_EQ(changes[1].entry, "unit 2 'medic'");
  EXPECT_EQ(changes[2].kind, compare::EntryChange::Kind::Added);
  EXPECT_EQ(changes[2].entry, "unit 'sniper' (now 3)");
}

std::vector<compare::EntryChange> ListChangesOf(compare::ListKind kind, const std::string& before,
                                                const std::string& after) {
  const compare::ListReading a = compare::ReadListEntries(kind, before), b = compare::ReadListEntries(kind, after);
  EXPECT_EQ(a.damage, "");
  EXPECT_EQ(b.damage, "");
  return compare::CompareListEntries(kind, a.entries, b.entries).entries;
}

TEST(DiffPiecesTest, ScriptsGroupsAndPlayersByTheirOwnKeys) {
  const auto scripts =
      ListChangesOf(compare::ListKind::Scripts, "script \"A\" size 5\n$END\n\nscript \"B\" size 9\n$T\n#1\n$END\n\n",
                    "script \"B\" size 9\n$T\n#2\n$END\n\nscript \"A\" size 5\n$END\n\n");
  ASSERT_EQ(scripts.size(), 2u);
  EXPECT_EQ(compare::EntryChangeText(scripts[0]), "scripts: order changed");
  EXPECT_EQ(compare::EntryChangeText(scripts[1]), "script \"B\": line 2 #1 -> #2");

  records::PlayerRecord player;
  player.name = "A";
  player.aircraft[0].unitName = "ju";
  player.aircraft[0].number = 2;
  const std::string playerBefore = "Player 0\n " + records::ConvertPlayerRecord(player);
  player.aircraft[0].number = 3;
  const auto players =
      ListChangesOf(compare::ListKind::Players, playerBefore, "Player 0\n " + records::ConvertPlayerRecord(player));
  ASSERT_EQ(players.size(), 1u);
  EXPECT_EQ(players[0].entry, "Player 0");
  ASSERT_EQ(players[0].fields.size(), 1u);
  EXPECT_EQ(players[0].fields[0].field, "plane bomber Number");

  std::string before, after;
  for (int n = 0; n < 100; ++n) {
    records::GroupRecord group = records::DefaultGroupRecord;
    before += "Group " + std::to_string(n) + "\n" + records::ConvertGroupRecord(group);
    group.group1 = n == 3 ? 7 : 0;
    group.hp = n == 3 ? 90 : 100;
    after += "Group " + std::to_string(n) + "\n" + records::ConvertGroupRecord(group);
  }
  const auto groups = ListChangesOf(compare::ListKind::Groups, before, after);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(compare::EntryChangeText(groups[0]), "Group 3: group1 0 -> 7, hp 100 -> 90");
}

TEST(DiffPiecesTest, GridChangeCountsEachCellOnceAndBoundsThem) {
  compare::GridChange grid;
  grid.columns = grid.rows = 10;
  grid.Mark(2 * 10 + 3);
  grid.Mark(2 * 10 + 3);
  grid.Mark(7 * 10 + 1);
  grid.Mark(-1);  // outside: ignored
  EXPECT_EQ(grid.cells, 2);
  EXPECT_EQ(grid.left, 1);
  EXPECT_EQ(grid.right, 3);
  EXPECT_EQ(grid.top, 2);
  EXPECT_EQ(grid.bottom, 7);
  grid.Mark(12 * 10 + 4);  // past the rows the map has: the grid grows
  EXPECT_EQ(grid.rows, 13);
  EXPECT_EQ(grid.bottom, 12);
  EXPECT_EQ(grid.cells, 3);

  // A header may claim more cells than any file holds: room is taken for the cells marked only.
  compare::GridChange claimed;
  claimed.columns = claimed.rows = 150000;
  claimed.Mark(5);
  claimed.Mark(150000 + 2);
  EXPECT_EQ(claimed.cells, 2);
  EXPECT_EQ(claimed.changed.size(), 150003u);
  EXPECT_EQ(claimed.bottom, 1);
}

TEST(DiffPiecesTest, HeaderKeysNameTheValuesAndSurviveACutShortInfo) {
  std::string map(4, '\0');
  for (std::uint32_t v : {0u, 64u, 48u})
    for (int i = 0; i < 4; ++i) map += static_cast<char>((v >> (8 * i)) & 0xFF);
  std::string folder = map;
  folder[8] = 80;
  const auto keys = compare::CompareHeaderKeys("info", map, folder);
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].field, "width");
  EXPECT_EQ(keys[0].from, "64");
  EXPECT_EQ(keys[0].to, "80");
  const auto cut = compare::CompareHeaderKeys("mis.000/info", std::string(30, '\0'), std::string(3, '\0'));
  EXPECT_FALSE(cut.empty());
  EXPECT_EQ(compare::CompareHeaderKeys("desc", "Old", "New")[0].to, "New");
}

TEST(DiffPiecesTest, UnifiedLineDiffShowsOnlyTheChangedRun) {
  EXPECT_TRUE(compare::UnifiedLineDiff("a\nb\n", "a\nb\n").empty());
  const auto lines = compare::UnifiedLineDiff("1\n2\n3\n4\n5\n6\n7\n8\n", "1\n2\n3\n4\nX\n6\n7\n8\n", 1);
  const std::vector<std::string> expected{"--- map", "+++ folder", "@@ -4,3 +4,3 @@", " 4", "-5", "+X", " 6"};
  EXPECT_EQ(lines, expected);
}

// --- whole maps ----------------------------------------------------------------------------

// A map of the given kind written to dir (a campaign's mission files beside it); returns the path.
std::filesystem::path WriteMap(const std::filesystem::path& dir, format::MapKindCode kind, std::uint32_t seed) {
  const mapmaker::SampleOptions options{seed, seed % 3, 24 + static_cast<std::int32_t>(seed % 5) * 8,
                                        20 + static_cast<std::int32_t>(seed % 4) * 8};
  std::filesystem::create_directories(dir);
  if (kind == format::CampaignMap) {
    const std::string name = std::to_string(100 + seed % 900).substr(0, 3);
    mapmaker::WriteBytes(dir / (name + ".qdc"),
                         mapmaker::Gzip(mapmaker::SampleMainContainer(format::CampaignMap, options), name));
    for (std::uint32_t m : {0u, 3u}) {
      const std::string mission = name + "00" + std::to_string(m);
      mapmaker::WriteBytes(dir / (mission + ".qdc"),
                           mapmaker::Gzip(mapmaker::SampleMissionContainer(options, m), mission));
    }
    return dir / (name + ".qdc");
  }
  const std::string name = "map" + std::to_string(seed) + (kind == format::MultiplayerMap ? ".qdp" : ".qdm");
  mapmaker::WriteBytes(dir / name, mapmaker::Gzip(mapmaker::SampleMainContainer(kind, options), name));
  return dir / name;
}

void Convert(const std::filesystem::path& map, const std::filesystem::path& folder) {
  pipeline::ConvertRequest request;
  request.mapPath = map;
  request.slotFolder = folder;
  request.backupFolder = folder.parent_path() / "backups";
  request.cliffDataFile = std::filesystem::path(KARTWERK_EXE).parent_path() / "data" / "cliffdata";
  const pipeline::ConversionEnd end = pipeline::RunConversion(request);
  ASSERT_TRUE(end.Completed()) << end.FailureText();
}

TEST(DiffMapsTest, HundredUneditedConversionsAreTheSame) {
  mapmaker::ScratchFolder dir;
  const format::MapKindCode kinds[] = {format::SinglePlayerMap, format::MultiplayerMap, format::CampaignMap};
  for (std::uint32_t i = 0; i < 100; ++i) {
    const auto place = dir / std::to_string(i);
    const auto map = WriteMap(place / "maps", kinds[i % 3], i + 1);
    Convert(map, place / "slot");
    compare::CompareRequest request;
    request.mapPath = map;
    request.folder = place / "slot";
    request.cliffDataFile = std::filesystem::path(KARTWERK_EXE).parent_path() / "data" / "cliffdata";
    const compare::FolderComparison result = compare::CompareMapWithFolder(request);
    EXPECT_TRUE(result.AllSame()) << map;
    EXPECT_GE(result.files.size(), 21u);
  }
}

class DiffCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    map_ = WriteMap(dir_ / "maps", format::SinglePlayerMap, 7);
    slot_ = dir_ / "slot";
    std::filesystem::create_directories(dir_ / "tmp");
    Convert(map_, slot_);
  }
  testing::ProgramResult Diff(std::vector<std::string> extra) {
    std::vector<std::string> args{"diff", map_.string(), "--out", slot_.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunProgram(KARTWERK_EXE, args, {"TMPDIR=" + (dir_ / "tmp").string()});
  }
  mapmaker::ScratchFolder dir_;
  std::filesystem::path map_, slot_;
};

TEST_F(DiffCommandTest, UneditedSlotIsTheSameAndNothingIsWritten) {
  std::filesystem::create_directories(dir_ / "tmp");
  const auto before = TreeFiles(dir_.path());
  const auto r = Diff({});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "same (21 files)\n");
  EXPECT_EQ(TreeFiles(dir_.path()), before);
  const auto json = nlohmann::json::parse(Diff({"--json"}).out);
  EXPECT_TRUE(json["same"].get<bool>());
  EXPECT_EQ(json["files"].size(), 21u);
  EXPECT_EQ(TreeFiles(dir_.path()), before);
}

TEST_F(DiffCommandTest, EditsAreReportedExactlyInWordsJsonAndPicture) {
  // Move the first unit, remove the last, change a script, repaint a rectangle, delete the mines.
  std::string units = Text(slot_ / "mis.000" / "mapunits");
  const std::size_t u = units.find(" U=") + 3;
  const std::size_t uEnd = units.find(' ', u);
  const std::string oldU = units.substr(u, uEnd - u);
  const std::string newU = std::to_string(std::stoi(oldU) + 64);
  units.replace(u, uEnd - u, newU);
  std::size_t last = units.rfind("\n ID=");
  ASSERT_NE(last, std::string::npos);
  units.erase(last + 1);
  WriteText(slot_ / "mis.000" / "mapunits", units);
  std::string scripts = Text(slot_ / "mis.000" / "scripts2");
  const std::size_t end = scripts.find("$END");
  scripts.replace(end, 4, "$ENX");
  WriteText(slot_ / "mis.000" / "scripts2", scripts);
  core::Bytes rhombs = mapmaker::ReadBytes(slot_ / "rhombs");
  const std::int32_t width = 24 + 7 % 5 * 8;  // the map's width in cells (WriteMap)
  for (int y = 3; y <= 5; ++y)
    for (int x = 2; x <= 6; ++x)
      rhombs[(static_cast<std::size_t>(y * width + x)) * records::EditorRhomb::kSize] ^= 0xFF;
  mapmaker::WriteBytes(slot_ / "rhombs", rhombs);
  std::filesystem::remove(slot_ / "mis.000" / "mines");
  mapmaker::WriteBytes(slot_ / "notes.txt", core::Bytes{'x'});
  const auto before = TreeFiles(dir_.path());

  const auto r = Diff({"--picture", (dir_ / "changes.png").string()});
  EXPECT_EQ(r.status, 1) << r.err;
  const std::string& out = r.out;
  EXPECT_NE(out.find("rhombs: changed\n  15 cells changed in columns 2 to 6, rows 3 to 5\n"), std::string::npos) << out;
  EXPECT_NE(out.find("mis.000/mines: only in the map\n"), std::string::npos) << out;
  EXPECT_NE(out.find("notes.txt: only in the folder\n"), std::string::npos) << out;
  EXPECT_NE(out.find("moved from " + oldU + ","), std::string::npos) << out;
  EXPECT_NE(out.find("mis.000/scripts2: changed\n  script \"Script 00\": line "), std::string::npos) << out;
  EXPECT_NE(out.find("\n  removed unit "), std::string::npos) << out;
  EXPECT_NE(out.find("17 same, 3 changed, 1 only in the folder, 1 only in the map\n"), std::string::npos) << out;
  // Nothing else: the files named are the edited ones.
  for (const char* untouched : {"cflags", "objects", "mis.000/groups", "mis.000/players", "mis.000/locations"})
    EXPECT_EQ(out.find(std::string(untouched) + ":"), std::string::npos) << untouched;

  const auto json = nlohmann::json::parse(Diff({"--json"}).out);
  EXPECT_FALSE(json["same"].get<bool>());
  int moved = 0, removed = 0, other = 0;
  for (const auto& file : json["files"]) {
    if (file["name"] == "rhombs") {
      EXPECT_EQ(file["grid"]["cells"], 15);
      EXPECT_EQ(file["grid"]["rectangle"]["left"], 2);
      EXPECT_EQ(file["grid"]["rectangle"]["bottom"], 5);
    }
    if (file["name"] != "mis.000/mapunits") continue;
    for (const auto& entry : file["entries"]) {
      if (entry["moved"].get<bool>() && !entry.contains("fields"))
        ++moved;
      else if (entry["change"] == "removed")
        ++removed;
      else
        ++other;
    }
  }
  EXPECT_EQ(moved, 1);
  EXPECT_EQ(removed, 1);
  EXPECT_EQ(other, 0);

  // The picture only beside the folder; the folder is left as it was.
  const core::Bytes png = mapmaker::ReadBytes(dir_ / "changes.png");
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(png[1], 'P');
  auto after = TreeFiles(dir_.path());
  after.erase(std::remove_if(after.begin(), after.end(), [](const auto& f) { return f.first == "changes.png"; }),
              after.end());
  EXPECT_EQ(after, before);
}

// A slot titled with an OSC title sequence (and CR, BEL, a C1 CSI): every form of the
// report shows it as text, and a map path that is no UTF-8 still gives valid JSON and the status of
// the comparison.
TEST_F(DiffCommandTest, ControlCharactersInNamesNeverReachTheTerminal) {
  // The slot's title is text the editor lets a map maker type: it is compared and shown as it is.
  WriteText(slot_ / "desc",
            "\x1b]0;owned\x07\r\x9b"
            "31m");
  for (const std::vector<std::string>& extra :
       {std::vector<std::string>{}, std::vector<std::string>{"--lines"}, std::vector<std::string>{"--json"}}) {
    const auto r = Diff(extra);
    EXPECT_EQ(r.status, 1) << r.err;
    for (const char forbidden : {'\x1b', '\x07', '\r', '\x9b'}) {
      EXPECT_EQ((r.out + r.err).find(forbidden), std::string::npos) << int(forbidden) << " in " << r.out;
    }
    if (extra.empty() || extra[0] != "--json") {
      EXPECT_NE(r.out.find("\\x1b]0;owned\\x07\\r"), std::string::npos) << r.out;
    }
  }
#ifndef _WIN32
  const auto latin1 = dir_ / "maps" / "Karte\xDC.qdm";
  std::filesystem::copy_file(map_, latin1);
  const auto r = RunProgram(KARTWERK_EXE, {"diff", latin1.string(), "--out", slot_.string(), "--json"}, {});
  EXPECT_EQ(r.status, 1) << r.err;
  const auto json = nlohmann::json::parse(r.out);
  EXPECT_EQ(json["map"], (dir_ / "maps" / "Karte\xC3\x9C.qdm").string());
  EXPECT_FALSE(json["same"].get<bool>());
#endif
}

TEST_F(DiffCommandTest, DamagedFolderAndMapAreReportedNeverCrash) {
  core::Bytes cflags = mapmaker::ReadBytes(slot_ / "cflags");
  cflags.resize(cflags.size() / 2);
  mapmaker::WriteBytes(slot_ / "cflags", cflags);
  auto r = Diff({});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("cflags: changed (cut short: " + std::to_string(cflags.size())), std::string::npos) << r.out;

  // A pipe where a file should be is named, never read (reading it would wait for a writer).
  std::filesystem::remove(slot_ / "mis.000" / "sounds");
  ASSERT_EQ(::mkfifo((slot_ / "mis.000" / "sounds").c_str(), 0600), 0);
  r = Diff({});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("mis.000/sounds: changed (not a regular file)\n"), std::string::npos) << r.out;

  mapmaker::WriteBytes(map_, core::Bytes{'n', 'o', 't', ' ', 'g', 'z'});
  r = Diff({});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(r.err.find("kartwerk: "), std::string::npos);

  auto usage = RunProgram(KARTWERK_EXE, {"diff", map_.string()}, {});
  EXPECT_EQ(usage.status, 2);
  usage = RunProgram(KARTWERK_EXE, {"diff", map_.string(), "--out", slot_.string(), "--backup", slot_.string()}, {});
  EXPECT_EQ(usage.status, 2);
  const auto before = TreeFiles(dir_.path());
  usage = RunProgram(KARTWERK_EXE,
                     {"diff", map_.string(), "--out", slot_.string(), "--picture", (slot_ / "p.png").string()}, {});
  EXPECT_EQ(usage.status, 2);
  EXPECT_EQ(TreeFiles(dir_.path()), before);
}

// --- mission files, headers and damage through the library -------------------------------

class CampaignComparisonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    map_ = WriteMap(dir_ / "maps", format::CampaignMap, 11);
    slot_ = dir_ / "slot";
    Convert(map_, slot_);
  }
  compare::FolderComparison Compare() {
    compare::CompareRequest request;
    request.mapPath = map_;
    request.folder = slot_;
    request.cliffDataFile = std::filesystem::path(KARTWERK_EXE).parent_path() / "data" / "cliffdata";
    request.lines = true;
    return compare::CompareMapWithFolder(request);
  }
  static const compare::FileComparison* Find(const compare::FolderComparison& result, const std::string& name) {
    for (const compare::FileComparison& file : result.files)
      if (file.name == name) return &file;
    return nullptr;
  }
  mapmaker::ScratchFolder dir_;
  std::filesystem::path map_, slot_;
};

TEST_F(CampaignComparisonTest, MissionGridsHeadersAndTextListsInTheirOwnWords) {
  // A mission's "locations" repainted in a rectangle, its title and the slot's title changed,
  // a sound moved, a support flag and a phrase edited, the other mission's players deleted.
  core::Bytes locations = mapmaker::ReadBytes(slot_ / "mis.003" / "locations");
  for (int y = 40; y < 44; ++y)
    for (int x = 100; x < 103; ++x) locations[static_cast<std::size_t>(y * 512 + x)] ^= 7;
  mapmaker::WriteBytes(slot_ / "mis.003" / "locations", locations);
  WriteText(slot_ / "desc", "My campaign");
  core::Bytes info = mapmaker::ReadBytes(slot_ / "mis.000" / "info");
  ASSERT_GT(info.size(), 29u);
  info[28] ^= 0x20;  // the first letter of the title: the sixth value ends at 24, the title's size at 28
  mapmaker::WriteBytes(slot_ / "mis.000" / "info", info);
  std::string sounds = Text(slot_ / "mis.000" / "sounds");
  const std::size_t u = sounds.find("U=") + 2;
  sounds.insert(u, "1");  // U=841 becomes U=1841
  WriteText(slot_ / "mis.000" / "sounds", sounds);
  std::string support = Text(slot_ / "mis.000" / "support");
  support.replace(support.find("flag ") + 5, 1, "9");
  WriteText(slot_ / "mis.000" / "support", support);
  std::string phrases = Text(slot_ / "mis.000" / "phrases2");
  phrases.insert(phrases.find('\n') + 1, "Go ");
  WriteText(slot_ / "mis.000" / "phrases2", phrases);
  std::filesystem::remove(slot_ / "mis.003" / "players");

  const compare::FolderComparison result = Compare();
  EXPECT_FALSE(result.AllSame());
  std::vector<std::string> differing;
  for (const compare::FileComparison& file : result.files)
    if (file.state != compare::FileState::Same) differing.push_back(file.name);
  const std::vector<std::string> expected{"desc",           "mis.000/info",     "mis.000/support",
                                          "mis.000/sounds", "mis.000/phrases2", "mis.003/locations",
                                          "mis.003/players"};
  EXPECT_EQ(differing, expected);

  const compare::FileComparison* grid = Find(result, "mis.003/locations");
  ASSERT_TRUE(grid && grid->grid);
  EXPECT_EQ(compare::GridChangeText(*grid->grid), "12 cells changed in columns 100 to 102, rows 40 to 43");
  EXPECT_EQ(Find(result, "mis.003/players")->state, compare::FileState::OnlyInMap);
  const compare::FileComparison* desc = Find(result, "desc");
  ASSERT_EQ(desc->keys.size(), 1u);
  EXPECT_EQ(desc->keys[0].to, "My campaign");
  const compare::FileComparison* title = Find(result, "mis.000/info");
  ASSERT_EQ(title->keys.size(), 1u);
  EXPECT_EQ(title->keys[0].field, "title");
  const compare::FileComparison* sound = Find(result, "mis.000/sounds");
  ASSERT_EQ(sound->entries.size(), 1u);
  EXPECT_TRUE(sound->entries[0].Moved());
  EXPECT_EQ(sound->entries[0].to->x, std::stoll("1" + std::to_string(sound->entries[0].from->x)));
  const compare::FileComparison* flag = Find(result, "mis.000/support");
  ASSERT_EQ(flag->entries.size(), 1u);
  EXPECT_EQ(flag->entries[0].entry, "flag 0");
  const compare::FileComparison* phrase = Find(result, "mis.000/phrases2");
  ASSERT_EQ(phrase->entries.size(), 1u);
  EXPECT_EQ(phrase->entries[0].entry, "phrase 1");
  ASSERT_FALSE(phrase->lines.empty());  // asked for: the raw lines too
  EXPECT_EQ(phrase->lines[0], "--- map");
}

TEST_F(CampaignComparisonTest, MissingMissionFolderAndCutShortGridAreReportedAsSuch) {
  std::filesystem::remove_all(slot_ / "mis.003");
  core::Bytes mines = mapmaker::ReadBytes(slot_ / "mis.000" / "mines");
  mines.resize(1000);
  mapmaker::WriteBytes(slot_ / "mis.000" / "mines", mines);
  const compare::FolderComparison result = Compare();
  std::size_t onlyInMap = 0;
  for (const compare::FileComparison& file : result.files)
    if (file.name.rfind("mis.003/", 0) == 0) onlyInMap += file.state == compare::FileState::OnlyInMap;
  EXPECT_EQ(onlyInMap, 15u);
  const compare::FileComparison* cut = Find(result, "mis.000/mines");
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->note, "cut short: 1000 of 262144 bytes");
  EXPECT_EQ(cut->folderBytes, 1000u);
  // The cells past the end count as changed, from where the file ends.
  EXPECT_EQ(cut->grid->top, 1000 / 512);
  EXPECT_EQ(cut->grid->bottom, 511);
}

TEST(ChangePictureTest, MarksOutlineAndLegendWhereTheChangesAre) {
  preview::MapPreview map;
  map.info.width = 16;
  map.info.height = 12;
  map.terrain.assign(16 * 12, 0);
  map.level.assign(16 * 12, 0);
  map.cliffs.assign(16 * 12, 0);
  map.missions.push_back({"mis.000", "", {0, 0, 16, 12}, {}});
  compare::FolderComparison comparison;
  compare::FileComparison rhombs;
  rhombs.name = "rhombs";
  rhombs.state = compare::FileState::Changed;
  rhombs.grid.emplace();
  rhombs.grid->columns = 16;
  rhombs.grid->rows = 12;
  rhombs.grid->Mark(2 * 16 + 3);  // cell 3,2
  comparison.files.push_back(rhombs);
  compare::FileComparison units;
  units.name = "mis.000/mapunits";
  units.state = compare::FileState::Changed;
  units.entries.push_back({compare::EntryChange::Kind::Added,
                           "unit 1 'a'",
                           {},
                           std::nullopt,
                           compare::Position{10 * 32 + 16, 8 * 32 + 16},
                           0,
                           1,
                           {}});
  units.entries.push_back({compare::EntryChange::Kind::Removed,
                           "unit 2 'b'",
                           {},
                           compare::Position{13 * 32 + 16, 3 * 32 + 16},
                           std::nullopt,
                           2,
                           0,
                           {}});
  comparison.files.push_back(units);

  const int scale = 20;
  const preview::Picture picture = compare::RenderChangePicture(map, comparison, scale);
  EXPECT_EQ(picture.width(), std::max(16 * scale, 220));
  EXPECT_EQ(picture.height(), 12 * scale + compare::ChangeLegendHeight());
  EXPECT_EQ(picture.At(3 * scale, 2 * scale + scale / 2), compare::kChangedCells);              // the cell's left edge
  EXPECT_NE(picture.At(3 * scale + scale / 2, 2 * scale + scale / 2), compare::kChangedCells);  // its inside is the map
  EXPECT_EQ(picture.At(10 * scale + scale / 2, 8 * scale + scale / 2), compare::kAddedMark);
  EXPECT_EQ(picture.At(13 * scale + scale / 2, 3 * scale + scale / 2), compare::kRemovedMark);
  // The legend: each mark once more below the map, and words beside them.
  bool added = false, removed = false, moved = false;
  for (int y = 12 * scale; y < picture.height(); ++y) {
    for (int x = 0; x < 40; ++x) {
      added = added || picture.At(x, y) == compare::kAddedMark;
      removed = removed || picture.At(x, y) == compare::kRemovedMark;
      moved = moved || picture.At(x, y) == compare::kMovedMark;
    }
  }
  EXPECT_TRUE(added && removed && moved);
}

TEST_F(DiffCommandTest, BackupByPathOrNameAndLinesAndAMissingFolder) {
  // Two conversions into one folder: the first one's files become a backup in the user's data.
  const std::vector<std::string> data{"XDG_DATA_HOME=" + (dir_ / "data").string(),
                                      "LOCALAPPDATA=" + (dir_ / "data").string()};
  const std::string out = (dir_ / "out").string();
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(RunProgram(KARTWERK_EXE, {"convert", map_.string(), "--out", out, "--quiet"}, data).status, 0);
  }
  const auto list = nlohmann::json::parse(RunProgram(KARTWERK_EXE, {"backups", "--out", out, "--json"}, data).out);
  ASSERT_EQ(list.size(), 1u);
  const std::filesystem::path backup = list[0]["backup"].get<std::string>();
  std::string groups = Text(backup / "mis.000" / "groups");
  groups.replace(groups.find("zone1="), 7, "zone1=9");
  WriteText(backup / "mis.000" / "groups", groups);

  const auto before = TreeFiles(dir_.path());
  const std::string name = backup.filename().string();
  for (const std::string& given : {backup.string(), name, name.substr(0, 8)}) {
    auto r = RunProgram(KARTWERK_EXE, {"diff", map_.string(), "--backup", given, "--lines"}, data);
    EXPECT_EQ(r.status, 1) << given << ": " << r.err;
    EXPECT_NE(r.out.find("mis.000/groups: changed\n  Group 0: zone1 "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n    +++ folder\n    @@ -"), std::string::npos) << r.out;
  }
  EXPECT_EQ(RunProgram(KARTWERK_EXE, {"diff", map_.string(), "--out", out}, data).status, 0);
  EXPECT_EQ(TreeFiles(dir_.path()), before);

  // A folder that is no backup, or a name no backup has, is refused as restore refuses it.
  for (const std::string& given : {slot_.string(), std::string("map.999")}) {
    const auto r = RunProgram(KARTWERK_EXE, {"diff", map_.string(), "--backup", given}, data);
    EXPECT_EQ(r.status, 2) << given;
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("kartwerk: no backup \"" + given + "\""), std::string::npos) << r.err;
  }
  EXPECT_EQ(TreeFiles(dir_.path()), before);

  auto r = RunProgram(KARTWERK_EXE, {"diff", map_.string(), "--out", (dir_ / "nowhere").string()}, {});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("no such folder"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "nowhere"));
}

}  // namespace
}  // namespace kartwerk

namespace kartwerk {
namespace {

// Every kind of change at once, printed as JSON and checked against the schema in docs/.
TEST_F(DiffCommandTest, JsonOfEveryKindOfChangeMatchesItsSchema) {
  std::string units = Text(slot_ / "mis.000" / "mapunits");
  const std::size_t second = units.find("\n ID=") + 1;
  const std::size_t third = units.find("\n ID=", second) + 1;
  const std::string first = units.substr(0, second);
  units = units.substr(second, third - second) + first + units.substr(third);                          // order changed
  units += " ID=medic HP=5 Ammo=0 Expa=0 Morale=0 Lives=1 Grp=0 Crew=0 U=999 V=999 Dir=0 Owner=0 \n";  // added
  const std::size_t hp = units.find(" HP=") + 4;
  units.replace(hp, units.find(' ', hp) - hp, "7");  // changed
  WriteText(slot_ / "mis.000" / "mapunits", units);
  std::string scripts = Text(slot_ / "mis.000" / "scripts2");
  scripts.replace(scripts.find("Script 00"), 9, "Attack");  // renamed
  WriteText(slot_ / "mis.000" / "scripts2", scripts);
  std::string sounds = Text(slot_ / "mis.000" / "sounds");
  WriteText(slot_ / "mis.000" / "sounds", sounds.substr(0, sounds.size() / 2 + 1));  // cut short
  core::Bytes rhombs = mapmaker::ReadBytes(slot_ / "rhombs");
  rhombs[0] ^= 1;
  mapmaker::WriteBytes(slot_ / "rhombs", rhombs);
  WriteText(slot_ / "desc", "Neu!");
  mapmaker::WriteBytes(slot_ / "Übersicht.txt", core::Bytes{'x'});
  std::filesystem::remove(slot_ / "mis.000" / "mines");

  const auto r = Diff({"--json", "--lines"});
  ASSERT_EQ(r.status, 1) << r.err;
  const auto json = nlohmann::json::parse(r.out);
  std::set<std::string> kinds;
  for (const auto& file : json["files"]) {
    if (file.contains("note")) kinds.insert("note " + file["note"].get<std::string>().substr(0, 8));
    if (file.contains("grid")) kinds.insert("grid");
    if (file.contains("keys")) kinds.insert("keys");
    if (file["name"] == "Übersicht.txt") kinds.insert("utf-8 name");
    for (const auto& entry : file.value("entries", nlohmann::json::array())) kinds.insert(entry["change"]);
  }
  const std::set<std::string> expected{"added",         "changed", "grid",      "keys",
                                       "note damaged:", "renamed", "reordered", "utf-8 name"};
  EXPECT_EQ(kinds, expected) << r.out;

  const auto file = dir_ / "diff.json";
  WriteText(file, r.out);
  const std::string schema = std::string(KARTWERK_SOURCE_DIR) + "/docs/diff-json.schema.json";
  const auto check = RunProgram("/usr/bin/python3",
                                {"-c",
                                 "import json, sys, jsonschema\n"
                                 "jsonschema.validate(json.load(open(sys.argv[2], encoding='utf-8')),"
                                 " json.load(open(sys.argv[1], encoding='utf-8')))\n"
                                 "print('valid')",
                                 schema, file.string()},
                                {});
  EXPECT_EQ(check.status, 0) << check.err;
  EXPECT_EQ(check.out, "valid\n");

  const auto text = Diff({});
  EXPECT_NE(text.out.find("\nÜbersicht.txt: only in the folder\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("  units: order changed\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("  script \"Script 00\" renamed \"Attack\"\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("mis.000/sounds: changed (damaged: cut short at line "), std::string::npos) << text.out;
}

TEST_F(DiffCommandTest, SlotWithoutAGameIsTroubleNotADifference) {
  const auto r = RunProgram(KARTWERK_EXE, {"diff", map_.string(), "--slot", "3", "--game", (dir_ / "none").string()},
                            {"WINEPREFIX=" + (dir_ / "prefix").string(), "HOME=" + dir_.path().string()});
  EXPECT_EQ(r.status, 2) << r.out << r.err;
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(r.err.find("kartwerk: "), std::string::npos);
}

}  // namespace
}  // namespace kartwerk

namespace kartwerk {
namespace {

// Every file under folder whose lines start with prefix, those lines taken out: a record as a
// Kartwerk that wrote no game version left it.
void DropRecordLines(const std::filesystem::path& folder, const std::string& prefix) {
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::string text = Text(entry.path()), kept;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = std::min(text.find('\n', at), text.size() - 1) + 1;
      if (text.compare(at, prefix.size(), prefix) != 0) kept += text.substr(at, end - at);
      at = end;
    }
    WriteText(entry.path(), kept);
  }
}

// A conversion made for game version 1.9 is compared for 1.9 again, in its --out folder, its
// slot and its backup, unless --game-version says otherwise; a record without the version (an
// earlier Kartwerk's) is compared as before: for the located game's version, or 2.2.
TEST(DiffGameVersionTest, TheVersionRecordedWithAConversionIsTheOneComparedFor) {
  mapmaker::ScratchFolder dir;
  mapmaker::Le scripts;
  scripts.I32(1).U32(0).U32(0);
  for (std::uint16_t v = 1; v <= 4; ++v) scripts.U32(0x00010000u | v);
  scripts.U32(5).U32(0xFFFF);  // ugl, whose keywords differ between the two sets
  const std::filesystem::path map = dir / "m.qdm";
  mapmaker::WriteBytes(
      map, mapmaker::Gzip(mapmaker::ReplaceSection(
                              mapmaker::SampleMainContainer(format::SinglePlayerMap, {}),
                              format::SectionPosition(format::Section::Scripts, format::SinglePlayerMap), scripts),
                          "m"));
  const std::filesystem::path game = dir / "game", data = dir / "data";
  std::filesystem::create_directories(game / "editor");
  WriteText(game / "editor" / "scridll.dll", "MZ");
  const std::vector<std::string> env{"XDG_DATA_HOME=" + data.string(), "LOCALAPPDATA=" + data.string(),
                                     "HOME=" + dir.path().string(), "WINEPREFIX=" + (dir / "prefix").string()};
  const auto run = [&](std::vector<std::string> args) { return RunProgram(KARTWERK_EXE, args, env); };
  const std::string out = (dir / "out").string();
  for (int i = 0; i < 2; ++i) {  // the first conversion becomes a backup
    ASSERT_EQ(run({"convert", map.string(), "--out", out, "--game-version", "1.9", "--quiet"}).status, 0);
  }
  ASSERT_EQ(
      run({"convert", map.string(), "--slot", "3", "--game", game.string(), "--game-version", "1.9", "--quiet"}).status,
      0);
  const auto list = nlohmann::json::parse(run({"backups", "--out", out, "--json"}).out);
  ASSERT_EQ(list.size(), 1u);
  const std::string backup = list[0]["backup"].get<std::string>();

  const std::vector<std::vector<std::string>> places{
      {"--out", out}, {"--backup", backup}, {"--slot", "3", "--game", game.string()}};
  const auto diff = [&](const std::vector<std::string>& place, const std::vector<std::string>& extra) {
    std::vector<std::string> args{"diff", map.string()};
    args.insert(args.end(), place.begin(), place.end());
    args.insert(args.end(), extra.begin(), extra.end());
    return run(args);
  };
  const std::string scriptsChanged = "\nmis.000/scripts2: changed\n";
  for (const auto& place : places) {
    auto r = diff(place, {});
    EXPECT_EQ(r.status, 0) << place[0] << ": " << r.out << r.err;
    EXPECT_EQ(r.out.rfind("same (", 0), 0u) << place[0] << ": " << r.out;
    r = diff(place, {"--game-version", "2.2"});
    EXPECT_EQ(r.status, 1) << place[0] << ": " << r.err;
    EXPECT_NE(("\n" + r.out).find(scriptsChanged), std::string::npos) << place[0] << ": " << r.out;
  }

  // The same records as a Kartwerk that wrote no version leaves them.
  for (const char* records : {".written", ".about"})
    DropRecordLines(data / "kartwerk" / "replaced-slots" / records, "game-version ");
  for (const auto& place : places) {
    auto r = diff(place, {});
    EXPECT_EQ(r.status, 1) << place[0] << ": " << r.err;
    EXPECT_NE(("\n" + r.out).find(scriptsChanged), std::string::npos) << place[0] << ": " << r.out;
    EXPECT_EQ(diff(place, {"--game-version", "1.9"}).status, 0) << place[0];
  }
  const auto still = nlohmann::json::parse(run({"backups", "--out", out, "--json"}).out);
  ASSERT_EQ(still.size(), 1u);
  EXPECT_TRUE(still[0]["unchangedConversion"].get<bool>()) << "an older record is read as before";
}

}  // namespace
}  // namespace kartwerk
