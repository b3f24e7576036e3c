// kartwerk convert, run as a user runs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "format/conversion.hpp"
#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "platform/path_text.hpp"
#include "tests/support/folder_tree.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

using mapmaker::Gzip;
using mapmaker::Le;
using mapmaker::ReadBytes;
using mapmaker::ReplaceSection;
using mapmaker::SampleMainContainer;
using mapmaker::SampleMissionContainer;
using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;
using testing::EntryNames;
using testing::Lines;
using testing::RunProgram;
using testing::TreeFiles;

std::size_t FileCount(const std::filesystem::path& folder) {
  std::size_t n = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) n += e.is_regular_file();
  return n;
}

std::string Text(const std::filesystem::path& file) {
  const core::Bytes b = mapmaker::ReadBytes(file);
  return std::string(b.begin(), b.end());
}

TEST(ConvertCommandTest, BundledSamplesConvertCompletely) {
  mapmaker::ScratchFolder dir, temp;
  const auto maps = mapmaker::WriteSampleMaps(dir / "maps");
  ASSERT_EQ(maps.size(), 3u);
  const std::size_t labels[] = {19, 19, 5 + 2 * 14};
  const std::size_t files[] = {6 + 15, 6 + 15, 6 + 2 * 15};
  for (std::size_t i = 0; i < maps.size(); ++i) {
    const auto out = dir / "slots" / "deep" / std::to_string(i);
    auto r = RunProgram(KARTWERK_EXE, {"convert", maps[i].string(), "--out", out.string()},
                        {"TMPDIR=" + temp.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.err);
    EXPECT_EQ(lines.size(), labels[i]) << r.err;
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Airfields");
    EXPECT_EQ(lines.back(), "Scripts");
    EXPECT_EQ(FileCount(out), files[i]);
    EXPECT_TRUE(r.out.empty());
  }
  EXPECT_EQ(Text(dir / "slots" / "deep" / "0" / "desc"), "frontier");
  EXPECT_EQ(Text(dir / "slots" / "deep" / "2" / "desc"), "Campaign 7");
  EXPECT_TRUE(std::filesystem::exists(dir / "slots" / "deep" / "2" / "mis.003" / "scripts2"));
  EXPECT_TRUE(std::filesystem::is_empty(temp.path()));  // the decompressed files are gone
}

// The environment that puts the user's program data (where replaced slots are kept) into folder:
// XDG_DATA_HOME on Linux, LOCALAPPDATA on Windows.
std::vector<std::string> UserDataIn(const std::filesystem::path& folder) {
  return {"XDG_DATA_HOME=" + platform::TextFromPath(folder), "LOCALAPPDATA=" + platform::TextFromPath(folder)};
}

TEST(ConvertCommandTest, QuietShowsOnlyWhereTheFolderContentWent) {
  mapmaker::ScratchFolder dir;
  const auto maps = mapmaker::WriteSampleMaps(dir / "maps");
  const auto out = dir / "slot";
  std::filesystem::create_directories(out / "mis.000");
  mapmaker::WriteBytes(out / "rhombs", core::Bytes{'k', 'e', 'e', 'p'});
  mapmaker::WriteBytes(out / "mis.000" / "players", core::Bytes(5000, 'x'));
  mapmaker::WriteBytes(out / "mis.000" / "notes", core::Bytes{'n'});  // no file of a slot
  mapmaker::WriteBytes(out / "notes.txt", core::Bytes{'m', 'i', 'n', 'e'});
  const auto mine = TreeFiles(out);

  // A folder of files Kartwerk did not write is refused, and nothing is written anywhere.
  auto refused = RunProgram(KARTWERK_EXE, {"convert", maps[0].string(), "--out", out.string(), "--quiet"},
                            UserDataIn(dir / "data"));
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "kartwerk: " + maps[0].string() + ": checking the output folder failed: \"" + out.string() +
                             "\" holds files Kartwerk did not write (mis.000/notes, notes.txt); nothing was written "
                             "or moved: choose a new or empty folder; the folder was left as it was\n");
  EXPECT_EQ(TreeFiles(out), mine);
  EXPECT_EQ(EntryNames(dir.path()), (std::vector<std::string>{"maps", "slot"}));

  // Shaped like a slot, it is replaced as a slot is.
  std::filesystem::remove(out / "notes.txt");
  std::filesystem::remove(out / "mis.000" / "notes");
  const auto before = TreeFiles(out);
  auto r = RunProgram(KARTWERK_EXE, {"convert", maps[0].string(), "--out", out.string(), "--quiet"},
                      UserDataIn(dir / "data"));
  EXPECT_EQ(r.status, 0) << r.err;
  // The folder holds the new map alone; what it held before is kept whole, and the run says where.
  EXPECT_EQ(FileCount(out), 6u + 15u);
  EXPECT_NE(Text(out / "rhombs"), "keep");
  EXPECT_EQ(Text(out / "mis.000" / "players").rfind("Player 0\n name=\"Allies\"", 0), 0u);
  const auto backups = EntryNames(dir / "data" / "kartwerk" / "replaced-slots");
  ASSERT_EQ(backups.size(), 3u);  // the backup, and the records of where it came from and what was written
  const auto backup = dir / "data" / "kartwerk" / "replaced-slots" / backups[2];
  EXPECT_EQ(TreeFiles(backup), before);
  EXPECT_EQ(r.err,
            "kartwerk: the previous content of \"" + out.string() + "\" was moved to \"" + backup.string() + "\"\n");
}

// A campaign whose second of three missions asks for more mine rows than its file holds.
void WriteFailingCampaign(const std::filesystem::path& dir, std::uint32_t failing) {
  const mapmaker::SampleOptions options{4, 0, 40, 30};
  mapmaker::WriteBytes(dir / "012.qdc",
                       mapmaker::Gzip(mapmaker::SampleMainContainer(format::CampaignMap, options), "012"));
  for (const std::uint32_t mission : {0u, 4u, 9u}) {
    const std::string name = "01200" + std::to_string(mission);
    core::Bytes container = mapmaker::SampleMissionContainer(options, mission);
    if (mission == failing) {
      container = mapmaker::ReplaceSection(
          container, format::SectionPosition(format::Section::MissionInfoFirst, format::CampaignMap),
          mapmaker::Le().I32(0).I32(0).I32(300).I32(300));
    }
    mapmaker::WriteBytes(dir / (name + ".qdc"), mapmaker::Gzip(container, name));
  }
}

TEST(ConvertCommandTest, FailureInTheSecondMissionIsReportedWithStatusOne) {
  mapmaker::ScratchFolder dir, temp;
  WriteFailingCampaign(dir.path(), 4);
  const auto out = dir / "slot";
  auto r = RunProgram(KARTWERK_EXE, {"convert", (dir / "012.qdc").string(), "--out", out.string(), "--quiet"},
                      {"TMPDIR=" + temp.path().string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("step \"Mines\" of mission mis.004 failed: Stream read error; the folder was left as it was"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(out)) << "no half-converted map";
  EXPECT_EQ(EntryNames(dir.path()).size(), 4u) << "nothing beside the maps";
  EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
}

// A conversion failing in its last mission, into a slot in use: the slot stays byte for byte.
// A single map into a slot that held a three-mission campaign: the slot holds the map alone and
// one backup holds the whole campaign.
TEST(ConvertCommandTest, AnOccupiedSlotIsReplacedWholeOrNotAtAll) {
  mapmaker::ScratchFolder dir;
  const auto maps = mapmaker::WriteSampleMaps(dir / "maps");
  WriteFailingCampaign(dir / "maps", 9);
  mapmaker::WriteSampleMaps(dir / "campaign");
  mapmaker::WriteBytes(dir / "campaign" / "007005.qdc",
                       mapmaker::Gzip(mapmaker::SampleMissionContainer({3, 1, 48, 32}, 5), "007005"));
  const auto slot = dir / "maps.src" / "map.007";
  const std::vector<std::string> env = UserDataIn(dir / "data");
  ASSERT_EQ(RunProgram(KARTWERK_EXE,
                       {"convert", (dir / "campaign" / "007.qdc").string(), "--out", slot.string(), "--quiet"}, env)
                .status,
            0);
  ASSERT_EQ(EntryNames(slot), (std::vector<std::string>{"airfields", "cflags", "desc", "info", "mis.000", "mis.003",
                                                        "mis.005", "objects", "rhombs"}));
  const auto campaign = TreeFiles(slot);
  const auto records = TreeFiles(dir / "data");  // what the first conversion wrote there

  auto failed = RunProgram(KARTWERK_EXE, {"convert", (dir / "maps" / "012.qdc").string(), "--out", slot.string()}, env);
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(
      failed.err.find("step \"Mines\" of mission mis.009 failed: Stream read error; the folder was left as it was"),
      std::string::npos)
      << failed.err;
  EXPECT_EQ(TreeFiles(slot), campaign);
  EXPECT_EQ(EntryNames(slot.parent_path()), std::vector<std::string>{"map.007"});
  EXPECT_EQ(TreeFiles(dir / "data"), records);

  auto single = RunProgram(KARTWERK_EXE, {"convert", maps[0].string(), "--out", slot.string(), "--quiet"}, env);
  EXPECT_EQ(single.status, 0) << single.err;
  EXPECT_EQ(EntryNames(slot),
            (std::vector<std::string>{"airfields", "cflags", "desc", "info", "mis.000", "objects", "rhombs"}));
  EXPECT_EQ(FileCount(slot), 6u + 15u);
  const auto backups = EntryNames(dir / "data" / "kartwerk" / "replaced-slots");
  ASSERT_EQ(backups.size(), 3u);  // with the records of its origin and of what was written
  EXPECT_EQ(backups[2].substr(backups[2].size() - 11), " Campaign 7");
  EXPECT_EQ(TreeFiles(dir / "data" / "kartwerk" / "replaced-slots" / backups[2]), campaign);
  EXPECT_EQ(EntryNames(slot.parent_path()), std::vector<std::string>{"map.007"});
}

// Folders that cannot be written: each fails with a message naming it, and changes nothing.
TEST(ConvertCommandTest, UnwritableSlotsFailClearlyAndChangeNothing) {
  mapmaker::ScratchFolder dir;
  const auto maps = mapmaker::WriteSampleMaps(dir / "maps");
  const std::vector<std::string> env = UserDataIn(dir / "data");
  mapmaker::WriteBytes(dir / "map.001", core::Bytes{'f'});
  auto file = RunProgram(KARTWERK_EXE, {"convert", maps[0].string(), "--out", (dir / "map.001").string()}, env);
  EXPECT_EQ(file.status, 1);
  EXPECT_NE(file.err.find("preparing the slot folder failed: \"" + (dir / "map.001").string() +
                          "\" is not a folder; the folder was left as it was"),
            std::string::npos)
      << file.err;
  EXPECT_EQ(mapmaker::ReadBytes(dir / "map.001"), core::Bytes{'f'});

  testing::ScratchMount disk(dir.path(), 1024);
  if (!disk.Mounted()) GTEST_SKIP() << "a small file system of its own needs root";
  // A disk too small: the campaign's files would outgrow the 1 MiB file system, which the
  // conversion knows before it writes anything.
  const auto slot = disk.path() / "maps.src" / "map.002";
  std::filesystem::create_directories(slot);
  mapmaker::WriteBytes(slot / "desc", core::Bytes{'M', 'i', 'n', 'e'});
  auto full = RunProgram(KARTWERK_EXE, {"convert", maps[2].string(), "--out", slot.string(), "--quiet"}, env);
  EXPECT_EQ(full.status, 1);
  EXPECT_NE(full.err.find("checking the size failed: the conversion would write 2 MiB, more than the "),
            std::string::npos)
      << full.err;
  EXPECT_NE(full.err.find(" bytes free on the target's disk; the folder was left as it was"), std::string::npos)
      << full.err;
  EXPECT_EQ(TreeFiles(slot),
            (std::vector<std::pair<std::string, core::Bytes>>{{"desc", core::Bytes{'M', 'i', 'n', 'e'}}}));
  EXPECT_EQ(EntryNames(slot.parent_path()), std::vector<std::string>{"map.002"});

  // A read-only maps.src.
  ASSERT_TRUE(disk.SetReadOnly(true));
  auto readOnly = RunProgram(KARTWERK_EXE, {"convert", maps[0].string(), "--out", slot.string()}, env);
  ASSERT_TRUE(disk.SetReadOnly(false));
  EXPECT_EQ(readOnly.status, 1);
  EXPECT_NE(readOnly.err.find("refusing to convert into \"" + slot.string() + "\": you may not write into \"" +
                              slot.parent_path().string() + "\" (Read-only file system)"),
            std::string::npos)
      << readOnly.err;
  EXPECT_EQ(TreeFiles(slot),
            (std::vector<std::pair<std::string, core::Bytes>>{{"desc", core::Bytes{'M', 'i', 'n', 'e'}}}));
  EXPECT_FALSE(std::filesystem::exists(dir / "data" / "kartwerk"));
}

TEST(ConvertCommandTest, RectangleOutsideTheGridIsClippedWithAWarning) {
  mapmaker::ScratchFolder dir;
  const mapmaker::SampleOptions options{6, 1, 40, 30};
  mapmaker::WriteBytes(dir / "021.qdc",
                       mapmaker::Gzip(mapmaker::SampleMainContainer(format::CampaignMap, options), "021"));
  // Rows past the grid's last row and columns left of its first: clipped, never wrapped.
  const format::MissionRectangle rect{-4, 500, 30, 20};
  mapmaker::WriteBytes(
      dir / "021001.qdc",
      mapmaker::Gzip(
          mapmaker::ReplaceSection(
              mapmaker::ReplaceSection(mapmaker::SampleMissionContainer(options, 1),
                                       format::SectionPosition(format::Section::MissionInfoFirst, format::CampaignMap),
                                       mapmaker::Le().I32(rect.x0).I32(rect.y0).I32(rect.width).I32(rect.height)),
              format::SectionPosition(format::Section::Mines, format::CampaignMap), core::Bytes(30 * 20, 7)),
          "021001"));
  const auto out = dir / "slot";
  auto r = RunProgram(KARTWERK_EXE, {"convert", (dir / "021.qdc").string(), "--out", out.string(), "--quiet"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("warning: mis.001: "), std::string::npos) << r.err;
  const core::Bytes mines = mapmaker::ReadBytes(out / "mis.001" / "mines");
  ASSERT_EQ(mines.size(), 262144u);
  EXPECT_EQ(std::count(mines.begin(), mines.end(), 7), 26 * 12);  // columns 0-25 of rows 500-511
  EXPECT_EQ(mines[500 * 512 + 25], 7);
  EXPECT_EQ(mines[500 * 512 + 26], 0);
  EXPECT_EQ(mines[499 * 512 + 511], 0);  // nothing wrapped into the row before
  EXPECT_EQ(mapmaker::ReadBytes(out / "mis.001" / "locations").size(), 262144u);
}

TEST(ConvertCommandTest, GameVersionChoosesTheScriptKeywords) {
  mapmaker::ScratchFolder dir;
  mapmaker::Le scripts;
  scripts.I32(1).U32(0).U32(0);
  for (std::uint16_t v = 1; v <= 4; ++v) scripts.U32(0x00010000u | v);
  scripts.U32(5).U32(0xFFFF);  // ugl, whose keywords differ between the two sets
  mapmaker::WriteBytes(
      dir / "m.qdm",
      mapmaker::Gzip(
          mapmaker::ReplaceSection(mapmaker::SampleMainContainer(format::SinglePlayerMap, {}),
                                   format::SectionPosition(format::Section::Scripts, format::SinglePlayerMap), scripts),
          "m"));
  auto scriptsFor = [&](const std::vector<std::string>& extra) {
    std::vector<std::string> args = {"convert", (dir / "m.qdm").string(), "--out", (dir / "slot").string(), "--quiet"};
    args.insert(args.end(), extra.begin(), extra.end());
    auto r = RunProgram(KARTWERK_EXE, args);
    EXPECT_EQ(r.status, 0) << r.err;
    return Text(dir / "slot" / "mis.000" / "scripts2");
  };
  const std::string older = scriptsFor({"--game-version", "1.9"});
  const std::string standard = scriptsFor({});
  EXPECT_EQ(older.find("$sp_l\n"), std::string::npos);
  EXPECT_NE(standard.find("$sp_l\n"), std::string::npos);
  EXPECT_EQ(scriptsFor({"--game-version", "1.90"}), standard);
  EXPECT_EQ(scriptsFor({"--game-version", "2.0"}), standard);
}

TEST(ConvertCommandTest, UsageAndInputErrors) {
  mapmaker::ScratchFolder dir;
  const auto maps = mapmaker::WriteSampleMaps(dir / "maps");
  EXPECT_EQ(RunProgram(KARTWERK_EXE, {"convert", maps[0].string()}).status, 2);  // no --out
  EXPECT_EQ(RunProgram(KARTWERK_EXE, {"convert", "--out", (dir / "s").string()}).status, 2);

  auto missing = RunProgram(KARTWERK_EXE, {"convert", (dir / "none.qdm").string(), "--out", (dir / "s").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("none.qdm"), std::string::npos);

  auto noMasks = RunProgram(KARTWERK_EXE, {"convert", maps[0].string(), "--out", (dir / "s").string(), "--cliffdata",
                                           (dir / "absent").string()});
  EXPECT_EQ(noMasks.status, 1);
  EXPECT_NE(noMasks.err.find("loading cliffdata failed"), std::string::npos) << noMasks.err;
  EXPECT_NE(noMasks.err.find("absent"), std::string::npos) << noMasks.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "s" / "airfields"));

  mapmaker::WriteBytes(dir / "broken.qdp", core::Bytes(64, 'x'));
  auto broken = RunProgram(KARTWERK_EXE, {"convert", (dir / "broken.qdp").string(), "--out", (dir / "b").string()});
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.err.find("Error opening " + (dir / "broken.qdp").string()), std::string::npos) << broken.err;

  auto help = RunProgram(KARTWERK_EXE, {"convert", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--game-version"), std::string::npos);
}

// On a terminal the labels become a bar redrawn in place, ending with a line feed.
TEST(ConvertCommandTest, TerminalGetsAProgressBar) {
#ifdef _WIN32
  GTEST_SKIP() << "no pseudo-terminal on Windows";
#endif
  mapmaker::ScratchFolder dir;
  const auto maps = mapmaker::WriteSampleMaps(dir / "maps");
  const testing::ProgramResult run =
      testing::RunOnTerminal(KARTWERK_EXE, {"convert", maps[0].string(), "--out", (dir / "slot").string()});
  const std::string& shown = run.err;
  EXPECT_EQ(run.status, 0) << shown;
  EXPECT_NE(shown.find("\r"), std::string::npos);
  EXPECT_NE(shown.find("1/19 Airfields"), std::string::npos) << shown;
  EXPECT_NE(shown.find("19/19 Scripts"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("\nInfo\n"), std::string::npos);  // no label lines on a terminal
  ASSERT_FALSE(shown.empty());
  EXPECT_TRUE(shown.back() == '\n') << shown;
}

}  // namespace
}  // namespace kartwerk
