// kartwerk info, run as a user runs it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "mapmaker/map_builder.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

using mapmaker::Gzip;
using mapmaker::Le;
using mapmaker::MapBuilder;
using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;
using testing::RunProgram;

nlohmann::json InfoJson(const std::filesystem::path& map) {
  auto r = RunProgram(KARTWERK_EXE, {"info", map.string(), "--json"});
  EXPECT_EQ(r.status, 0) << r.err;
  return nlohmann::json::parse(r.out);
}

TEST(InfoCommandTest, MultiplayerMapWithPMiniEntries) {
  mapmaker::ScratchFolder dir;
  mapmaker::MapBuilder map(format::MultiplayerMap);
  map.MapInfo(2, 160, 120).InsertAt(9, "P-MINI1", core::Bytes(7, 1)).InsertAt(10, "P-MINI2 x", {});
  mapmaker::WriteBytes(dir / "duel.QDP", mapmaker::Gzip(map.Build(), "duel"));
  const auto j = InfoJson(dir / "duel.QDP");
  EXPECT_EQ(j["kind"], "Multiplayer");
  EXPECT_EQ(j["scheme"], 2);
  EXPECT_EQ(j["width"], 160);
  EXPECT_EQ(j["height"], 120);
  EXPECT_EQ(j["missions"], 1);
  ASSERT_EQ(j["sections"].size(), map.size());
  EXPECT_EQ(j["sections"][1]["offset"], 56);
  EXPECT_EQ(j["sections"][9]["name"], "P-MINI1");
  EXPECT_EQ(j["sections"][9]["size"], 7);
  EXPECT_EQ(j["sections"][10]["name"], "P-MINI2");
}

TEST(InfoCommandTest, CampaignCountsItsMissionFiles) {
  mapmaker::ScratchFolder dir;
  mapmaker::WriteBytes(dir / "012.qdc",
                       mapmaker::Gzip(mapmaker::MapBuilder(format::CampaignMap).MapInfo(1, 64, 32).Build(), "012"));
  for (const char* m : {"0120001.qdc", "0120002.qdc", "0120005.qdc"}) {
    mapmaker::WriteBytes(
        dir / m,
        mapmaker::Gzip(mapmaker::MapBuilder(format::CampaignMap, mapmaker::MapBuilder::File::CampaignMission).Build()));
  }
  const auto j = InfoJson(dir / "0120002.qdc");
  EXPECT_EQ(j["kind"], "Campaign");
  EXPECT_EQ(j["missions"], 3);
  EXPECT_EQ(j["width"], 64);
  EXPECT_EQ(j["sections"][0]["offset"], 24);
}

TEST(InfoCommandTest, SectionNamesAreShownFromTheGamesCodePage) {
  mapmaker::ScratchFolder dir;
  mapmaker::MapBuilder map(format::SinglePlayerMap);
  map.SetAt(3, std::string("T\x99RR\xE9"), {});
  mapmaker::WriteBytes(dir / "m.qdm", mapmaker::Gzip(map.Build()));
  EXPECT_EQ(InfoJson(dir / "m.qdm")["sections"][3]["name"], "T\u2122RR\u00e9");
}

TEST(InfoCommandTest, FailuresNameTheFileAndUsageErrorsExitWithTwo) {
  mapmaker::ScratchFolder dir;
  auto missing = RunProgram(KARTWERK_EXE, {"info", (dir / "none.qdm").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("none.qdm"), std::string::npos);

  mapmaker::WriteBytes(dir / "broken.qdm", core::Bytes(50, 'x'));
  auto broken = RunProgram(KARTWERK_EXE, {"info", (dir / "broken.qdm").string()});
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.err.find("Error opening " + (dir / "broken.qdm").string()), std::string::npos);

  EXPECT_EQ(RunProgram(KARTWERK_EXE, {"info"}).status, 2);
  EXPECT_EQ(RunProgram(KARTWERK_EXE, {"info", "a", "--nonsense"}).status, 2);
  auto help = RunProgram(KARTWERK_EXE, {"info", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--json"), std::string::npos);
}

TEST(InfoCommandTest, LeavesNoTemporaryFilesBehind) {
  mapmaker::ScratchFolder dir, temp;
  mapmaker::WriteBytes(dir / "m.qdm", mapmaker::Gzip(mapmaker::MapBuilder(format::SinglePlayerMap).Build(), "m"));
  auto r = RunProgram(KARTWERK_EXE, {"info", (dir / "m.qdm").string()}, {"TMPDIR=" + temp.path().string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
}

}  // namespace
}  // namespace kartwerk
