// Paths and names from outside as Windows reads them: UNC and "\\?\" paths stay what they are,
// names the system takes as one folder clash, and non-ASCII paths reach the file system intact.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/folder_name_key.hpp"
#include "core/path_text.hpp"
#include "core/platform_files.hpp"
#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "pipeline/batch_conversion.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

using testing::RunProgram;
using testing::ScratchFolder;

TEST(HostilePathsWindows, UncAndVerbatimPathsAreNeverJoinedToTheCurrentDrive) {
  EXPECT_EQ(FullPath(L"\\\\127.0.0.1\\share\\maps.src\\map.007"), L"\\\\127.0.0.1\\share\\maps.src\\map.007");
  EXPECT_EQ(FullPath(L"\\\\127.0.0.1\\share\\maps.src\\x\\..\\map.007\\"), L"\\\\127.0.0.1\\share\\maps.src\\map.007");
  EXPECT_EQ(FullPath(L"\\\\?\\Z:\\tmp\\map.007"), L"\\\\?\\Z:\\tmp\\map.007");
  EXPECT_EQ(ResolvedPath(L"\\\\127.0.0.1\\share\\a"), L"\\\\127.0.0.1\\share\\a");
}

TEST(HostilePathsWindows, ConvertingIntoAnUnreachableShareFailsNamingItAndWritesNothingLocally) {
  ScratchFolder dir;
  const std::filesystem::path map = dir / "one.qdm";
  for (const auto& written : testing::WriteSampleMaps(dir.path())) {
    if (written.extension() == ".qdm") {
      std::filesystem::copy_file(written, map, std::filesystem::copy_options::overwrite_existing);
      break;
    }
  }
  ASSERT_TRUE(std::filesystem::exists(map));
  const auto r = RunProgram(
      KARTWERK_EXE, {"convert", TextFromPath(map), "--out", "\\\\127.0.0.1\\share\\maps.src\\map.007", "--quiet"});
  EXPECT_NE(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("\\\\127.0.0.1\\share"), std::string::npos) << r.err;
  for (const char* drive : {"C:\\127.0.0.1", "Z:\\127.0.0.1"}) {
    EXPECT_FALSE(std::filesystem::exists(drive)) << drive;
  }
}

TEST(HostilePathsWindows, NamesWindowsTakesAsOneFolderClash) {
  EXPECT_EQ(FolderNameKey("x.."), FolderNameKey("X"));
  EXPECT_EQ(FolderNameKey("map "), FolderNameKey("MAP"));
  EXPECT_EQ(FolderNameKey("\xC3\x84rger"), FolderNameKey("\xC3\xA4rger"));
  EXPECT_NE(FolderNameKey("a.b"), FolderNameKey("ab"));
  const BatchPlan plan = PlanBatch({L"Z:\\a\\x.qdm", L"Z:\\b\\x..qdm"});
  ASSERT_EQ(plan.Clashes.size(), 1u);
  const BatchPlan umlauts =
      PlanBatch({PathFromText("Z:\\a\\\xC3\x84rger.qdm"), PathFromText("Z:\\b\\\xC3\xA4rger.qdm")});
  EXPECT_EQ(umlauts.Clashes.size(), 1u);
}

}  // namespace
}  // namespace kartwerk
