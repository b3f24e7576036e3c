// kartwerk convert, run as a user runs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "core/conversion.hpp"
#include "mapmaker/map_builder.hpp"
#include "tests/support/run_program.hpp"
#include "mapmaker/sample_maps.hpp"

namespace kartwerk {
namespace {

using testing::Gzip;
using testing::Le;
using testing::ReadBytes;
using testing::ReplaceSection;
using testing::Lines;
using testing::RunProgram;
using testing::SampleMainContainer;
using testing::SampleMissionContainer;
using testing::ScratchFolder;
using testing::WriteBytes;

std::size_t FileCount(const std::filesystem::path& folder) {
  std::size_t n = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) n += e.is_regular_file();
  return n;
}

std::string Text(const std::filesystem::path& file) {
  const Bytes b = ReadBytes(file);
  return std::string(b.begin(), b.end());
}

TEST(ConvertCommandTest, BundledSamplesConvertCompletely) {
  ScratchFolder dir, temp;
  const auto maps = testing::WriteSampleMaps(dir / "maps");
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

TEST(ConvertCommandTest, QuietShowsNothingAndAnExistingSlotIsReused) {
  ScratchFolder dir;
  const auto maps = testing::WriteSampleMaps(dir / "maps");
  const auto out = dir / "slot";
  std::filesystem::create_directories(out / "mis.000");
  WriteBytes(out / "notes.txt", Bytes{'k', 'e', 'e', 'p'});
  WriteBytes(out / "mis.000" / "players", Bytes(5000, 'x'));
  auto r = RunProgram(KARTWERK_EXE, {"convert", maps[0].string(), "--out", out.string(), "--quiet"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Text(out / "notes.txt"), "keep");  // files this run does not write stay untouched
  EXPECT_EQ(Text(out / "mis.000" / "players").rfind("Player 0\n name=\"Allies\"", 0), 0u);
}

TEST(ConvertCommandTest, FailureInTheSecondMissionIsReportedWithStatusOne) {
  ScratchFolder dir, temp;
  const testing::SampleOptions options{4, 0, 40, 30};
  WriteBytes(dir / "012.qdc", Gzip(SampleMainContainer(CampaignMap, options), "012"));
  WriteBytes(dir / "012000.qdc", Gzip(SampleMissionContainer(options, 0), "012000"));
  // The second mission's rectangle asks for more mine rows than its file holds.
  WriteBytes(dir / "012004.qdc",
             Gzip(ReplaceSection(SampleMissionContainer(options, 4), SectionPosition(Section::MissionInfoFirst, CampaignMap),
                                 Le().I32(0).I32(0).I32(300).I32(300)),
                  "012004"));
  WriteBytes(dir / "012009.qdc", Gzip(SampleMissionContainer(options, 9), "012009"));
  const auto out = dir / "slot";
  auto r = RunProgram(KARTWERK_EXE, {"convert", (dir / "012.qdc").string(), "--out", out.string(), "--quiet"},
                      {"TMPDIR=" + temp.path().string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("step \"Mines\" of mission mis.004 failed: Stream read error"), std::string::npos) << r.err;
  EXPECT_EQ(FileCount(out / "mis.000"), 15u);
  EXPECT_EQ(FileCount(out / "mis.004"), 6u);
  EXPECT_FALSE(std::filesystem::exists(out / "mis.009"));
  EXPECT_TRUE(std::filesystem::exists(out / "cflags"));
  EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
}

TEST(ConvertCommandTest, RectangleOutsideTheGridIsClippedWithAWarning) {
  ScratchFolder dir;
  const testing::SampleOptions options{6, 1, 40, 30};
  WriteBytes(dir / "021.qdc", Gzip(SampleMainContainer(CampaignMap, options), "021"));
  // Rows past the grid's last row and columns left of its first: clipped, never wrapped.
  const MissionRectangle rect{-4, 500, 30, 20};
  WriteBytes(dir / "021001.qdc",
             Gzip(ReplaceSection(ReplaceSection(SampleMissionContainer(options, 1),
                                                SectionPosition(Section::MissionInfoFirst, CampaignMap),
                                                Le().I32(rect.x0).I32(rect.y0).I32(rect.width).I32(rect.height)),
                                 SectionPosition(Section::Mines, CampaignMap), Bytes(30 * 20, 7)),
                  "021001"));
  const auto out = dir / "slot";
  auto r = RunProgram(KARTWERK_EXE, {"convert", (dir / "021.qdc").string(), "--out", out.string(), "--quiet"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("warning: mis.001: "), std::string::npos) << r.err;
  const Bytes mines = ReadBytes(out / "mis.001" / "mines");
  ASSERT_EQ(mines.size(), 262144u);
  EXPECT_EQ(std::count(mines.begin(), mines.end(), 7), 26 * 12);  // columns 0-25 of rows 500-511
  EXPECT_EQ(mines[500 * 512 + 25], 7);
  EXPECT_EQ(mines[500 * 512 + 26], 0);
  EXPECT_EQ(mines[499 * 512 + 511], 0);  // nothing wrapped into the row before
  EXPECT_EQ(ReadBytes(out / "mis.001" / "locations").size(), 262144u);
}

TEST(ConvertCommandTest, GameVersionChoosesTheScriptKeywords) {
  ScratchFolder dir;
  Le scripts;
  scripts.I32(1).U32(0).U32(0);
  for (std::uint16_t v = 1; v <= 4; ++v) scripts.U32(0x00010000u | v);
  scripts.U32(5).U32(0xFFFF);  // ugl, whose keywords differ between the two sets
  WriteBytes(dir / "m.qdm", Gzip(ReplaceSection(SampleMainContainer(SinglePlayerMap, {}),
                                                SectionPosition(Section::Scripts, SinglePlayerMap), scripts),
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
  ScratchFolder dir;
  const auto maps = testing::WriteSampleMaps(dir / "maps");
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

  WriteBytes(dir / "broken.qdp", Bytes(64, 'x'));
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
  ScratchFolder dir;
  const auto maps = testing::WriteSampleMaps(dir / "maps");
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
