#include "format/staging.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "format/gzip_file.hpp"
#include "mapmaker/map_builder.hpp"
#include "platform/temp_folder.hpp"

namespace kartwerk {
namespace {

using mapmaker::Gzip;
using mapmaker::ReadBytes;
using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;

class StagingTest : public ::testing::Test {
 protected:
  mapmaker::ScratchFolder maps;
  format::Conversion c;
  std::size_t mapsWritten = 0;  // the entries the test put in maps

  // Writes a gzip file whose content is its own name, so tests can tell the files apart.
  void Map(const std::string& file, const std::optional<std::string>& stored) {
    mapmaker::WriteBytes(maps / file, mapmaker::Gzip(core::Bytes(file.begin(), file.end()), stored));
    ++mapsWritten;
  }
  // The container loaded now, as text.
  std::string Loaded() const {
    const auto b = c.MissionStream.bytes();
    return std::string(b.begin(), b.end());
  }
  std::string Mission(std::size_t i) {
    format::LoadMissionFile(c, i);
    return Loaded();
  }
  // Staging inflates into memory: nothing appears beside the maps, whatever names they store.
  std::size_t FilesWritten() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::recursive_directory_iterator(maps.path())) ++n;
    return n - mapsWritten;
  }
};

TEST_F(StagingTest, SinglePlayerMapIsRenamedToItsOwnName) {
  Map("desert.qdm", "something else");
  c.MissionList = {"kept"};
  format::StageMapFile(c, maps / "desert.qdm");
  EXPECT_EQ(c.MapName, "desert");
  EXPECT_EQ(c.MissionName, "mis.000");
  EXPECT_EQ(c.MapFolder, maps.path());
  EXPECT_EQ(c.MissionList, std::vector<std::string>{"kept"});
  EXPECT_EQ(Loaded(), "desert.qdm");
  EXPECT_EQ(FilesWritten(), 0u);
}

TEST_F(StagingTest, HeaderWithoutStoredNameNeedsNoRename) {
  c.MapKind = format::MultiplayerMap;
  Map("duel.qdp", std::nullopt);
  format::StageMapFile(c, maps / "duel.qdp");
  EXPECT_EQ(c.MapName, "duel");
  EXPECT_EQ(Loaded(), "duel.qdp");
  EXPECT_EQ(FilesWritten(), 0u);
}

TEST_F(StagingTest, CampaignStagesMainFileAndMissionsInCaseInsensitiveOrder) {
  c.MapKind = format::CampaignMap;
  c.MissionName = "mis.042";
  Map("c07.qdc", "c07");
  Map("C070003.QDC", "C070003");
  Map("c070001.qdc", "c070001");
  Map("c08000.qdc", "c08000");  // another campaign's mission
  format::StageMapFile(c, maps / "c07.qdc");
  EXPECT_EQ(c.MapName, "c07");
  EXPECT_EQ(c.MissionList, (std::vector<std::string>{"c070001", "C070003"}));
  EXPECT_EQ(c.MissionName, "mis.042");  // set per mission by the driver
  EXPECT_EQ(Loaded(), "c07.qdc");
  EXPECT_EQ(c.MissionFiles, (std::vector<std::filesystem::path>{maps / "c070001.qdc", maps / "C070003.QDC"}));
  EXPECT_EQ(Mission(1), "C070003.QDC");
  EXPECT_EQ(Mission(0), "c070001.qdc");
  EXPECT_EQ(FilesWritten(), 0u);
}

TEST_F(StagingTest, CampaignChosenThroughOneOfItsMissionFiles) {
  c.MapKind = format::CampaignMap;
  Map("c07.qdc", "c07");
  Map("c07000.qdc", "c07000");
  format::StageMapFile(c, maps / "c07000.qdc");
  EXPECT_EQ(c.MapName, "c07");
  EXPECT_EQ(Loaded(), "c07.qdc");
  EXPECT_EQ(c.MissionList, std::vector<std::string>{"c07000"});
}

TEST_F(StagingTest, CampaignWithoutMissionsFailsNamingTheMapFolder) {
  c.MapKind = format::CampaignMap;
  Map("c07.qdc", "c07");
  try {
    format::StageMapFile(c, maps / "c07.qdc");
    FAIL() << "staging succeeded";
  } catch (const format::GzipError& e) {
    EXPECT_EQ(e.gzCode, format::GzOpenError);
    EXPECT_EQ(std::string(e.what()), "Error opening " + maps.path().string());
  }
}

TEST_F(StagingTest, MainFileFoundWhateverTheCaseOfItsName) {
  c.MapKind = format::CampaignMap;
  Map("C07.QDC", "stored");
  Map("c07000.qdc", "c07000");
  format::StageMapFile(c, maps / "c07000.qdc");
  EXPECT_EQ(c.MapName, "c07");
  EXPECT_EQ(Loaded(), "C07.QDC");
}

TEST_F(StagingTest, MissingMapPassesTheGzipErrorOn) {
  EXPECT_THROW(format::StageMapFile(c, maps / "absent.qdm"), format::GzipError);
}

// Every mission file is checked before anything is written; each is inflated only when its
// mission starts, so a damaged body shows then, and a missing file is named at staging.
TEST_F(StagingTest, MissionFilesAreCheckedAtStagingAndInflatedWhenTheirMissionStarts) {
  c.MapKind = format::CampaignMap;
  Map("c07.qdc", "c07");
  Map("c070001.qdc", "c070001");
  core::Bytes damaged = mapmaker::Gzip(core::Bytes(5000, 9), "c070002");
  damaged[damaged.size() - 8] ^= 1;  // the body's checksum disagrees
  mapmaker::WriteBytes(maps / "c070002.qdc", damaged);
  format::StageMapFile(c, maps / "c07.qdc");
  EXPECT_EQ(Mission(0), "c070001.qdc");
  try {
    format::LoadMissionFile(c, 1);
    FAIL() << "the damaged mission loaded";
  } catch (const format::GzipError& e) {
    EXPECT_EQ(e.gzCode, format::GzCloseError);
  }
  EXPECT_EQ(c.MissionStream.size(), 0) << "the earlier mission's container was released";

  mapmaker::WriteBytes(maps / "c070003.qdc", core::Bytes(50, 'x'));  // no gzip file at all
  try {
    format::StageMapFile(c, maps / "c07.qdc");
    FAIL() << "staging succeeded";
  } catch (const format::GzipError& e) {
    EXPECT_EQ(e.gzCode, format::GzOpenError);
    EXPECT_EQ(std::string(e.what()), "Error opening " + (maps / "c070003.qdc").string() +
                                         ": not a gzip file: it starts with 78 78 78 78 (\"xxxx\")");
  }
}

// A campaign's containers are found by the names their copies take, as the game stages them: each
// compiled file's copy takes the name the file stores, a later copy replaces an earlier one of the
// same name, and a container whose name no copy took cannot be opened.
TEST_F(StagingTest, CampaignContainersAreTheCopiesOfTheirNames) {
  struct Case {
    const char* what;
    std::optional<std::string> mainStored, firstStored, secondStored;
    std::string main, first, second;  // what each container holds; "" where it cannot be opened
  };
  const Case cases[] = {
      {"each its own name", "c07", "c070001", "c070002", "c07.qdc", "c070001.qdc", "c070002.qdc"},
      {"no stored names", std::nullopt, std::nullopt, std::nullopt, "c07.qdc", "c070001.qdc", "c070002.qdc"},
      {"the main file under another name", "campaign", "c070001", "c070002", "c07.qdc", "c070001.qdc", "c070002.qdc"},
      {"a mission stored elsewhere", "c07", "c070001", "elsewhere2", "c07.qdc", "c070001.qdc", ""},
      {"a later copy replaces an earlier", "c07", "c070001", "c070001", "c07.qdc", "c070002.qdc", ""},
      {"a mission stored as the campaign", "c07", "c07", "c070002", "c070001.qdc", "", "c070002.qdc"},
      {"a path before the name", "c07", "dir/sub/c070001", "C:\\maps\\c070002", "c07.qdc", "c070001.qdc",
       "c070002.qdc"},
  };
  for (const Case& t : cases) {
    ScratchFolder folder;
    const auto write = [&](const std::string& file, const std::optional<std::string>& stored) {
      WriteBytes(folder / file, Gzip(core::Bytes(file.begin(), file.end()), stored));
    };
    write("c07.qdc", t.mainStored);
    write("c070001.qdc", t.firstStored);
    write("c070002.qdc", t.secondStored);
    format::Conversion campaign;
    campaign.MapKind = format::CampaignMap;
    format::StageMapFile(campaign, folder / "c07.qdc");
    const auto loaded = [&] {
      const auto b = campaign.MissionStream.bytes();
      return std::string(b.begin(), b.end());
    };
    EXPECT_EQ(loaded(), t.main) << t.what;
    for (std::size_t mission = 0; mission < 2; ++mission) {
      const std::string& expected = mission == 0 ? t.first : t.second;
      try {
        format::LoadMissionFile(campaign, mission);
        EXPECT_EQ(loaded(), expected) << t.what << ", mission " << mission;
      } catch (const std::runtime_error& e) {
        EXPECT_EQ(expected, "") << t.what << ", mission " << mission << ": " << e.what();
        const std::string name = campaign.MissionList[mission];
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + name + "\"", 0), 0u) << e.what();
      }
    }
  }
}

// Names a stranger's campaign may hold: a folder named like a mission is no mission, and stored
// names that point elsewhere make no difference, since nothing is written.
TEST_F(StagingTest, CampaignStoredNamesWriteNothingAnywhere) {
  c.MapKind = format::CampaignMap;
  Map("c07.qdc", "../../../c07");
  Map("c070001.qdc", "/etc/c070001");
  Map("c070002.qdc", "..\\c070002");
  std::filesystem::create_directory(maps / "c070003.qdc");
  ++mapsWritten;  // an input as well
  format::StageMapFile(c, maps / "c07.qdc");
  EXPECT_EQ(c.MissionList, (std::vector<std::string>{"c070001", "c070002"}));
  EXPECT_EQ(Loaded(), "c07.qdc");
  EXPECT_EQ(Mission(0), "c070001.qdc");
  EXPECT_EQ(Mission(1), "c070002.qdc");
  EXPECT_EQ(FilesWritten(), 0u);
  // Nothing was written beside the maps either.
  std::size_t besideMaps = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(maps.path())) ++besideMaps;
  EXPECT_EQ(besideMaps, 4u);
}

// A mission's number has 8 bits: a folder of more mission files is refused before any file is
// inflated (each could inflate to the full size limit).
TEST_F(StagingTest, CampaignOfMoreThan255MissionFilesIsRefusedBeforeDecompressing) {
  c.MapKind = format::CampaignMap;
  Map("c07.qdc", "c07");
  for (int i = 0; i < 255; ++i) {
    const std::string name = "c070" + std::to_string(100 + i);
    Map(name + ".qdc", name);
  }
  format::StageMapFile(c, maps / "c07.qdc");  // 255 are a campaign
  EXPECT_EQ(c.MissionList.size(), 255u);
  EXPECT_EQ(Mission(254), "c070354.qdc");

  Map("c070999.qdc", "c070999");
  try {
    format::StageMapFile(c, maps / "c07.qdc");
    FAIL() << "staging succeeded";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "A campaign can have at most 255 missions; this one has 256");
  }
  EXPECT_EQ(FilesWritten(), 0u);
}

TEST_F(StagingTest, WildcardsInACampaignsNameMatchOnlyThemselves) {
#ifdef _WIN32
  GTEST_SKIP() << "\"*\" and \"?\" cannot be part of a Windows file name";
#endif
  c.MapKind = format::CampaignMap;
  Map("*?7.qdc", "*?7");
  Map("*?70001.qdc", "*?70001");
  Map("c070002.qdc", "c070002");  // another campaign, which "*?70*.qdc" would match as a pattern
  Map("ab70003.qdc", "ab70003");
  format::StageMapFile(c, maps / "*?7.qdc");
  EXPECT_EQ(c.MapName, "*?7");
  EXPECT_EQ(c.MissionList, std::vector<std::string>{"*?70001"});
  EXPECT_EQ(Loaded(), "*?7.qdc");
}

TEST_F(StagingTest, MainFileThatIsAFolderCannotBeOpened) {
  std::filesystem::create_directory(maps / "x.qdm");
  ++mapsWritten;  // an input as well
  try {
    format::StageMapFile(c, maps / "x.qdm");
    FAIL() << "staging succeeded";
  } catch (const format::GzipError& e) {
    EXPECT_EQ(e.gzCode, format::GzOpenError);
    EXPECT_EQ(std::string(e.what()), "Error opening " + (maps / "x.qdm").string());
  }
  EXPECT_EQ(FilesWritten(), 0u);
}

TEST(PrivateTempFolderTest, EachRunGetsItsOwnFolderRemovedAtTheEnd) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows names its temporary folder itself (shell_windows_test)";
#else
  mapmaker::ScratchFolder base;
  setenv("TMPDIR", base.path().c_str(), 1);
  std::filesystem::path first;
  {
    platform::PrivateTempFolder a, b;
    first = a.path();
    EXPECT_NE(a.path(), b.path());
    EXPECT_EQ(a.path().parent_path(), base.path());
    EXPECT_EQ(std::filesystem::status(a.path()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    mapmaker::WriteBytes(a.path() / "x", {1});
  }
  EXPECT_FALSE(std::filesystem::exists(first));
  unsetenv("TMPDIR");
#endif
}

}  // namespace
}  // namespace kartwerk
