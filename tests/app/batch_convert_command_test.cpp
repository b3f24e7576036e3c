// kartwerk convert MAP... --out DIR, run as a user runs it: one folder per map, the same bytes
// as converting each map alone, failures of single maps, clashing names, usage errors, and the
// progress lines, bar and summary.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "tests/support/batch_samples.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

using mapmaker::ReadBytes;
using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;
using testing::FolderContents;
using testing::Lines;
using testing::RunProgram;
using testing::WriteBatchSamples;

std::size_t CountStarting(const std::vector<std::string>& lines, const std::string& prefix) {
  return static_cast<std::size_t>(
      std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

testing::ProgramResult Convert(std::vector<std::string> maps, const std::vector<std::string>& extra,
                               const std::vector<std::string>& env = {}) {
  std::vector<std::string> args = {"convert"};
  args.insert(args.end(), maps.begin(), maps.end());
  args.insert(args.end(), extra.begin(), extra.end());
  return RunProgram(KARTWERK_EXE, args, env);
}

std::vector<std::string> Strings(const std::vector<std::filesystem::path>& paths) {
  std::vector<std::string> s;
  for (const auto& p : paths) s.push_back(p.string());
  return s;
}

TEST(BatchConvertCommandTest, EachMapGetsItsOwnFolderWithTheBytesOfAConversionAlone) {
  mapmaker::ScratchFolder dir, temp;
  const auto maps = WriteBatchSamples(dir / "maps");
  const auto out = dir / "out" / "deep";
  auto r = Convert(Strings(maps), {"--out", out.string(), "--jobs", "3"}, {"TMPDIR=" + temp.path().string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.out.empty());

  const std::vector<std::string> names = {"frontier", "islands", "007", "ridge", "harbor", "delta", "coast", "013"};
  const std::size_t labels[] = {19, 19, 5 + 2 * 14, 19, 19, 19, 19, 5 + 3 * 14};
  const auto lines = Lines(r.err);
  for (std::size_t i = 0; i < maps.size(); ++i) {
    SCOPED_TRACE(names[i]);
    const auto alone = dir / "alone" / names[i];
    auto single = Convert({maps[i].string()}, {"--out", alone.string(), "--quiet"});
    ASSERT_EQ(single.status, 0) << single.err;
    EXPECT_EQ(FolderContents(out / names[i]), FolderContents(alone));
    // One line per step, naming the map and its place in the batch.
    std::string prefix = "[";
    prefix += std::to_string(i + 1) + "/8] " + names[i] + ": ";
    EXPECT_EQ(CountStarting(lines, prefix), labels[i]) << r.err;
    EXPECT_NE(std::find(lines.begin(), lines.end(), prefix + "Airfields"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), prefix + "Scripts"), lines.end());
  }
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.size(), 19u * 6 + 33 + 47 + 1) << r.err;  // whole lines only: none mixed with another
  EXPECT_EQ(lines.back(), "8 maps: 8 converted");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}), 8);
  EXPECT_TRUE(std::filesystem::is_empty(temp.path()));  // every map's decompressed files are gone
}

TEST(BatchConvertCommandTest, OneJobAndManyJobsWriteTheSameBytes) {
  mapmaker::ScratchFolder dir;
  const auto maps = WriteBatchSamples(dir / "maps");
  auto one = Convert(Strings(maps), {"--out", (dir / "one").string(), "--jobs", "1", "--quiet"});
  auto many = Convert(Strings(maps), {"--out", (dir / "many").string(), "--jobs", "8", "--quiet"});
  auto cores = Convert(Strings(maps), {"--out", (dir / "cores").string(), "--quiet"});
  EXPECT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(many.status, 0) << many.err;
  EXPECT_EQ(cores.status, 0) << cores.err;
  EXPECT_EQ(one.err + many.err + cores.err, "");  // --quiet: not even the summary
  const auto expected = FolderContents(dir / "one");
  EXPECT_EQ(expected.size(), 6u * 8 + 15u * 11);
  EXPECT_EQ(FolderContents(dir / "many"), expected);
  EXPECT_EQ(FolderContents(dir / "cores"), expected);
}

TEST(BatchConvertCommandTest, ADamagedMapFailsAloneWithStatusOne) {
  mapmaker::ScratchFolder dir, temp;
  const auto maps = mapmaker::WriteSampleMaps(dir / "maps");
  const auto broken = dir / "maps" / "broken.qdm";
  mapmaker::WriteBytes(broken, core::Bytes(64, 'x'));
  const auto out = dir / "out";
  for (bool quiet : {false, true}) {
    std::vector<std::string> extra = {"--out", out.string()};
    if (quiet) extra.push_back("--quiet");
    auto r = Convert({maps[0].string(), broken.string(), maps[1].string(), maps[2].string()}, extra,
                     {"TMPDIR=" + temp.path().string()});
    EXPECT_EQ(r.status, 1);
    const auto lines = Lines(r.err);
    // The file, the step and the error, whether quiet or not.
    const std::string failure =
        "kartwerk: " + broken.string() + ": staging the map failed: Error opening " + broken.string();
    EXPECT_EQ(CountStarting(lines, failure), 1u) << r.err;
    ASSERT_FALSE(lines.empty());
    if (quiet) {
      // The second run replaces the first run's folders, and says where their content went.
      EXPECT_EQ(lines.size(), 4u) << r.err;
      EXPECT_EQ(CountStarting(lines, "kartwerk: " + maps[0].string() + ": the previous content of \"" +
                                         (out / "frontier").string() + "\" was moved to \""),
                1u)
          << r.err;
    } else {
      EXPECT_EQ(lines.back(), "4 maps: 3 converted, 1 failed (" + broken.string() + ")");
      EXPECT_EQ(CountStarting(lines, "[2/4] broken: "), 0u);  // it never reached a step
    }
    for (const char* name : {"frontier", "islands", "007"}) EXPECT_TRUE(std::filesystem::exists(out / name / "cflags"));
    EXPECT_EQ(FolderContents(out / "007").size(), 6u + 2 * 15);
    EXPECT_FALSE(std::filesystem::exists(out / "broken"));
    EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
  }
}

TEST(BatchConvertCommandTest, ClashingNamesAreRefusedBeforeAnythingIsWritten) {
  mapmaker::ScratchFolder dir;
  const auto maps = mapmaker::WriteSampleMaps(dir / "a");
  mapmaker::WriteSampleMaps(dir / "b");
  std::filesystem::copy_file(dir / "a" / "frontier.qdm", dir / "a" / "islands.qdm");
  const auto out = dir / "out";

  // The same name in two folders, and one name with two extensions.
  const std::vector<std::vector<std::string>> cases = {
      {maps[0].string(), maps[1].string(), (dir / "b" / "frontier.qdm").string()},
      {(dir / "a" / "islands.qdm").string(), maps[0].string(), maps[1].string()},
  };
  for (const auto& listed : cases) {
    auto r = Convert(listed, {"--out", out.string()});
    EXPECT_EQ(r.status, 2);
    // Both files are named: here the first and the last listed.
    const std::string named = std::filesystem::path(listed[0]).stem().string();
    EXPECT_NE(r.err.find(listed[0] + " and " + listed[2] + " would both be converted into " + (out / named).string()),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("nothing was converted"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

TEST(BatchConvertCommandTest, FilesOfOneCampaignOrOneFileTwiceConvertOnce) {
  mapmaker::ScratchFolder dir;
  const auto maps = mapmaker::WriteSampleMaps(dir / "maps");
  const auto m = dir / "maps";
  const auto out = dir / "out";
  // As a shell expands maps/*.qdc, plus one file named twice.
  auto r = Convert({(m / "007.qdc").string(), (m / "007000.qdc").string(), (m / "007003.qdc").string(),
                    maps[0].string(), (m / "." / "frontier.qdm").string()},
                   {"--out", out.string()});
  EXPECT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.err);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "2 maps: 2 converted");
  EXPECT_EQ(CountStarting(lines, "[1/2] 007: "), 5u + 2 * 14);
  EXPECT_EQ(CountStarting(lines, "[2/2] frontier: "), 19u);
  std::vector<std::string> folders;
  for (const auto& e : std::filesystem::directory_iterator(out)) folders.push_back(e.path().filename().string());
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(folders, (std::vector<std::string>{"007", "frontier"}));
}

TEST(BatchConvertCommandTest, OneMapStillWritesStraightIntoTheFolder) {
  mapmaker::ScratchFolder dir;
  const auto maps = mapmaker::WriteSampleMaps(dir / "maps");
  auto r = Convert({maps[1].string()}, {"--out", (dir / "slot").string(), "--jobs", "4"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(dir / "slot" / "mis.000" / "scripts2"));
  EXPECT_FALSE(std::filesystem::exists(dir / "slot" / "islands"));
  const auto lines = Lines(r.err);
  ASSERT_EQ(lines.size(), 19u) << r.err;  // the labels alone, as always: no batch prefix, no summary
  EXPECT_EQ(lines.front(), "Airfields");
}

TEST(BatchConvertCommandTest, UsageErrors) {
  mapmaker::ScratchFolder dir;
  const auto maps = mapmaker::WriteSampleMaps(dir / "maps");
  auto slot = Convert({maps[0].string(), maps[1].string()}, {"--slot", "3", "--game", (dir / "game").string()});
  EXPECT_EQ(slot.status, 2);
  EXPECT_NE(slot.err.find("--slot"), std::string::npos) << slot.err;
  EXPECT_NE(slot.err.find("exactly one MAP"), std::string::npos) << slot.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "game"));

  EXPECT_EQ(Convert({maps[0].string(), maps[1].string()}, {"--out", (dir / "o").string(), "--jobs", "0"}).status, 2);
  EXPECT_EQ(Convert({maps[0].string(), maps[1].string()}, {"--out", (dir / "o").string(), "--jobs", "x"}).status, 2);
  EXPECT_EQ(Convert({maps[0].string()}, {"--slot", "3", "--jobs", "2"}).status, 2);  // --jobs needs --out
  EXPECT_EQ(Convert({maps[0].string(), maps[1].string()}, {}).status, 2);
  EXPECT_FALSE(std::filesystem::exists(dir / "o"));

  auto help = RunProgram(KARTWERK_EXE, {"convert", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--jobs"), std::string::npos);
  EXPECT_NE(help.out.find("MAP... --out DIR"), std::string::npos) << help.out;
}

// On a terminal: one bar for the whole batch, full when the last map ends, then the summary.
TEST(BatchConvertCommandTest, TerminalGetsOneBarForAllMaps) {
#ifdef _WIN32
  GTEST_SKIP() << "no pseudo-terminal on Windows";
#endif
  mapmaker::ScratchFolder dir;
  const auto maps = mapmaker::WriteSampleMaps(dir / "maps");
  const testing::ProgramResult run =
      testing::RunOnTerminal(KARTWERK_EXE, {"convert", maps[0].string(), maps[1].string(), maps[2].string(), "--out",
                                            (dir / "out").string(), "--jobs", "2"});
  const std::string& shown = run.err;
  EXPECT_EQ(run.status, 0) << shown;
  const std::size_t total = 19 + 19 + 33;
  EXPECT_NE(shown.find("] " + std::to_string(total) + "/" + std::to_string(total) + "  "), std::string::npos) << shown;
  EXPECT_NE(shown.find("3/3 maps"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("[1/3] frontier: "), std::string::npos);  // no step lines on a terminal
  // The bar's line is ended before the summary (the terminal turns "\n" into "\r\n").
  EXPECT_NE(shown.find("\n3 maps: 3 converted"), std::string::npos) << shown;
  EXPECT_TRUE(shown.size() > 2 && shown.substr(shown.size() - 2) == "\r\n");
}

}  // namespace
}  // namespace kartwerk
