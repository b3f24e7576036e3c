// Paths and names from outside as Windows reads them: UNC and "\\?\" paths stay what they are,
// names the system takes as one folder clash, and non-ASCII paths reach the file system intact.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "pipeline/batch_conversion.hpp"
#include "platform/folder_name_key.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

using mapmaker::ScratchFolder;
using testing::RunProgram;

TEST(HostilePathsWindows, UncAndVerbatimPathsAreNeverJoinedToTheCurrentDrive) {
  EXPECT_EQ(platform::FullPath(L"\\\\127.0.0.1\\share\\maps.src\\map.007"), L"\\\\127.0.0.1\\share\\maps.src\\map.007");
  EXPECT_EQ(platform::FullPath(L"\\\\127.0.0.1\\share\\maps.src\\x\\..\\map.007\\"),
            L"\\\\127.0.0.1\\share\\maps.src\\map.007");
  EXPECT_EQ(platform::FullPath(L"\\\\?\\Z:\\tmp\\map.007"), L"\\\\?\\Z:\\tmp\\map.007");
  EXPECT_EQ(platform::ResolvedPath(L"\\\\127.0.0.1\\share\\a"), L"\\\\127.0.0.1\\share\\a");
}

std::size_t EntryCount(const std::filesystem::path& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// The first sample single-player map, copied to path.
void CopySampleMap(const std::filesystem::path& samples, const std::filesystem::path& path) {
  for (const auto& written : mapmaker::WriteSampleMaps(samples)) {
    if (written.extension() == ".qdm") {
      std::filesystem::create_directories(path.parent_path());
      std::filesystem::copy_file(written, path, std::filesystem::copy_options::overwrite_existing);
      return;
    }
  }
}

TEST(HostilePathsWindows, ConvertingIntoAnUnreachableShareFailsNamingItAndWritesNothingLocally) {
  mapmaker::ScratchFolder dir;
  const std::filesystem::path map = dir / "one.qdm";
  CopySampleMap(dir / "samples", map);
  ASSERT_TRUE(std::filesystem::exists(map));
  // The old fault wrote the share's path below the root of the current drive (under Wine, Z: is
  // the host's root): what appears there during the run is the run's, and is taken away again.
  auto localCopies = [] {
    std::vector<std::wstring> found;
    std::error_code ec;
    for (wchar_t drive = L'A'; drive <= L'Z'; ++drive) {
      const std::wstring root = std::wstring(1, drive) + L":\\127.0.0.1";
      if (std::filesystem::exists(root, ec)) found.push_back(root);
    }
    return found;
  };
  const std::vector<std::wstring> before = localCopies();
  const auto r = RunProgram(KARTWERK_EXE, {"convert", platform::TextFromPath(map), "--out",
                                           "\\\\127.0.0.1\\share\\maps.src\\map.007", "--quiet"});
  EXPECT_NE(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("\\\\127.0.0.1\\share"), std::string::npos) << r.err;
  for (const std::wstring& root : localCopies()) {
    if (std::find(before.begin(), before.end(), root) != before.end()) continue;
    ADD_FAILURE() << "written locally: " << platform::TextFromPath(root);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
}

TEST(HostilePathsWindows, PreviewAndBatchMessagesKeepNonAsciiPaths) {
  mapmaker::ScratchFolder dir;
  const std::string folder = platform::TextFromPath(dir.path()) + "\\prev\xC3\xBC";
  const std::string map = folder +
                          "\\\xC3\x9C"
                          "bersicht.qdm";
  CopySampleMap(dir / "samples", platform::PathFromText(map));
  ASSERT_TRUE(std::filesystem::exists(platform::PathFromText(map)));
  const auto preview = RunProgram(KARTWERK_EXE, {"preview", map, "-o", folder + "\\p.png", "--quiet"});
  EXPECT_EQ(preview.status, 0) << preview.err;
  EXPECT_TRUE(std::filesystem::is_regular_file(platform::PathFromText(folder + "\\p.png"))) << preview.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "prev\xC3\x83\xC2\xBC")) << "a folder named in Windows-1252";

  // A batch names the map that failed as it was given.
  const std::string broken = folder + "\\b\xC3\xB6se.qdm";
  {
    std::ofstream out(platform::PathFromText(broken), std::ios::binary);
    out << "not a map";
  }
  const auto batch = RunProgram(KARTWERK_EXE, {"convert", map, broken, "--out", folder + "\\out"});
  EXPECT_EQ(batch.status, 1) << batch.err;
  EXPECT_NE(batch.err.find("b\xC3\xB6se.qdm"), std::string::npos) << batch.err;
  EXPECT_NE(batch.err.find("2 maps: 1 converted, 1 failed"), std::string::npos) << batch.err;
}

TEST(HostilePathsWindows, NamesWindowsTakesAsOneFolderClash) {
  EXPECT_EQ(platform::FolderNameKey("x.."), platform::FolderNameKey("X"));
  EXPECT_EQ(platform::FolderNameKey("map "), platform::FolderNameKey("MAP"));
  EXPECT_EQ(platform::FolderNameKey("\xC3\x84rger"), platform::FolderNameKey("\xC3\xA4rger"));
  EXPECT_NE(platform::FolderNameKey("a.b"), platform::FolderNameKey("ab"));
  const pipeline::BatchPlan plan = pipeline::PlanBatch({L"Z:\\a\\x.qdm", L"Z:\\b\\x..qdm"});
  ASSERT_EQ(plan.clashes.size(), 1u);
  const pipeline::BatchPlan umlauts = pipeline::PlanBatch(
      {platform::PathFromText("Z:\\a\\\xC3\x84rger.qdm"), platform::PathFromText("Z:\\b\\\xC3\xA4rger.qdm")});
  EXPECT_EQ(umlauts.clashes.size(), 1u);

  // The program refuses such a batch before it writes anything.
  mapmaker::ScratchFolder dir;
  CopySampleMap(dir / "samples", dir / "a" / "x.qdm");
  CopySampleMap(dir / "samples", dir / "b" / "x..qdm");
  const auto r = RunProgram(
      KARTWERK_EXE, {"convert", platform::TextFromPath(dir / "a" / "x.qdm"),
                     platform::TextFromPath(dir / "b" / "x..qdm"), "--out", platform::TextFromPath(dir / "out")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("x..qdm"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));
}

// The entries of the current drive's root, where the old fault put its work folders.
std::vector<std::wstring> DriveRootEntries() {
  std::vector<std::wstring> names;
  std::error_code ec;
  const std::filesystem::path root = std::filesystem::current_path().root_path();
  for (std::filesystem::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    names.push_back(it->path().filename().wstring());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Device names and device paths are refused from their text, before any file call: one line,
// status 1, and nothing written in a drive root.
TEST(HostilePathsWindows, DeviceNamesAndServerRootsAreRefusedInOneLine) {
  mapmaker::ScratchFolder dir;
  const std::filesystem::path map = dir / "one.qdm";
  CopySampleMap(dir / "samples", map);
  ASSERT_TRUE(std::filesystem::exists(map));
  const std::vector<std::wstring> rootBefore = DriveRootEntries();
  const struct {
    std::vector<std::string> args;
    const char* reason;
  } cases[] = {
      {{"convert", platform::TextFromPath(map), "--out", "NUL"}, "is a Windows device name"},
      {{"convert", platform::TextFromPath(map), "--out", "con"}, "is a Windows device name"},
      {{"convert", platform::TextFromPath(map), "--out", "COM1"}, "is a Windows device name"},
      {{"convert", platform::TextFromPath(map), "--out", platform::TextFromPath(dir / "aux.txt")},
       "is a Windows device name"},
      {{"convert", platform::TextFromPath(map), "--out", "\\\\.\\C:"}, "is a device path"},
      {{"convert", platform::TextFromPath(map), "--out", "\\\\127.0.0.1"}, "it is the root of a file system"},
      {{"preview", platform::TextFromPath(map), "-o", "NUL"}, "is a Windows device name"},
      {{"preview", platform::TextFromPath(map), "-o", "\\\\.\\PhysicalDrive0"}, "is a device path"},
      {{"preview", platform::TextFromPath(map), "--out", "LPT1"}, "is a Windows device name"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back("--quiet");
    const auto r = RunProgram(KARTWERK_EXE, args);
    EXPECT_EQ(r.status, 1) << args[3] << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args[3] << ": " << r.err;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << args[3] << ": " << r.err;
  }
  EXPECT_EQ(DriveRootEntries(), rootBefore);
  EXPECT_EQ(EntryCount(dir.path()), 2u) << "only the map and the samples";
}

}  // namespace
}  // namespace kartwerk
