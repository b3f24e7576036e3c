// A copied or moved folder stands in for the original: modes, times and links as they were, and
// what cannot be copied stops a copy that must be whole, or is named by one that may leave it out.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <fstream>

#include "mapmaker/map_builder.hpp"
#include "platform/folder_moves.hpp"
#include "platform/platform_files.hpp"
#include "tests/support/folder_tree.hpp"

namespace kartwerk {
namespace {

namespace fs = std::filesystem;
using mapmaker::ScratchFolder;
using testing::TreeFiles;
using testing::TreeStats;

#ifndef _WIN32
constexpr std::int64_t kSecond = 1000000000;

// A folder as a user leaves it after years of editing: modes and times set by hand (nanoseconds
// and times before 1970 too), links to a file, to a folder and to nothing, a read-only folder.
void MakeHandSetTree(const fs::path& root) {
  struct Entry {
    const char* name;
    char kind;  // 'f' file, 'd' folder, 'l' link
    const char* linkTarget;
    unsigned mode;
    std::int64_t accessed, modified;
  };
  const Entry entries[] = {
      {"desc", 'f', "", 0640, 1620208800 * kSecond + 123456789, 1620208800 * kSecond + 987654321},
      {"info", 'f', "", 0444, 1000 * kSecond, 2000 * kSecond},
      {"run.sh", 'f', "", 0755, -86400 * kSecond + 5, -3600 * kSecond},
      {"mis.000", 'd', "", 0750, 1550000000 * kSecond, 1550000001 * kSecond},
      {"mis.000/players", 'f', "", 0600, 1400000000 * kSecond, 1400000000 * kSecond},
      {"mis.000/to-desc", 'l', "../desc", 0, 1300000000 * kSecond, 1300000001 * kSecond},
      {"to-mission", 'l', "mis.000", 0, 1200000000 * kSecond, 1200000000 * kSecond},
      {"nowhere", 'l', "/no/such/file", 0, 1100000000 * kSecond, 1100000000 * kSecond},
      {"locked", 'd', "", 0555, 1000000000 * kSecond, 1000000000 * kSecond},
  };
  fs::create_directories(root);
  for (const Entry& e : entries) {
    const fs::path path = root / e.name;
    if (e.kind == 'f') std::ofstream(path, std::ios::binary) << "content of " << e.name;
    if (e.kind == 'd') fs::create_directory(path);
    if (e.kind == 'l') fs::create_symlink(e.linkTarget, path);
  }
  // Set last, folders after what is in them: writing into a folder moves its time.
  for (auto it = std::rbegin(entries); it != std::rend(entries); ++it) {
    const fs::path path = root / it->name;
    if (it->kind != 'l') fs::permissions(path, static_cast<fs::perms>(it->mode));
    ASSERT_FALSE(platform::SetEntryTimes(path, {it->accessed, it->modified})) << it->name;
  }
  fs::permissions(root, static_cast<fs::perms>(0710));
  ASSERT_FALSE(platform::SetEntryTimes(root, {900000000 * kSecond, 900000000 * kSecond}));
}

// Content first: reading may move access times, and the copy must keep them as they then are.
struct Snapshot {
  std::vector<std::pair<std::string, core::Bytes>> files;
  std::vector<std::string> stats;
};
Snapshot Take(const fs::path& root) {
  Snapshot s;
  s.files = TreeFiles(root);
  s.stats = TreeStats(root);
  return s;
}

void MakeRemovable(const fs::path& root) {
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory() && !it->is_symlink())
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add);
  }
}

TEST(FolderMovesTest, CopiesAndMovesKeepModesTimesAndLinks) {
  mapmaker::ScratchFolder dir;
  testing::ScratchMount otherDisk(dir.path(), 1024);
  MakeHandSetTree(dir / "slot");
  const Snapshot before = Take(dir / "slot");
  ASSERT_EQ(before.stats.size(), 10u);

  platform::CopyFolder(dir / "slot", dir / "copy");
  EXPECT_EQ(TreeStats(dir / "copy"), before.stats);
  EXPECT_EQ(TreeFiles(dir / "copy"), before.files);
  EXPECT_EQ(TreeStats(dir / "slot"), before.stats) << "copying left the original's times alone";
  EXPECT_TRUE(platform::SameFolderContent(dir / "slot", dir / "copy"));
  fs::remove(dir / "copy" / "to-mission");
  fs::create_symlink("locked", dir / "copy" / "to-mission");
  EXPECT_FALSE(platform::SameFolderContent(dir / "slot", dir / "copy")) << "a link to another place is another folder";

  // To another file system: a copy, then the original goes.
  if (!otherDisk.Mounted()) GTEST_SKIP() << "no tmpfs here (mounting needs root)";
  platform::MoveFolder(dir / "slot", otherDisk.path() / "moved");
  EXPECT_FALSE(fs::exists(dir / "slot"));
  EXPECT_EQ(TreeStats(otherDisk.path() / "moved"), before.stats);
  platform::MoveFolder(otherDisk.path() / "moved", dir / "back");
  EXPECT_EQ(TreeStats(dir / "back"), before.stats);
  EXPECT_EQ(TreeFiles(dir / "back"), before.files);
  MakeRemovable(dir.path());
}

TEST(FolderMovesTest, ASpecialFileStopsAWholeCopyAndIsNamedByOneThatMayLeaveItOut) {
  mapmaker::ScratchFolder dir;
  testing::ScratchMount otherDisk(dir.path(), 1024);
  MakeHandSetTree(dir / "slot");
  fs::permissions(dir / "slot" / "mis.000", fs::perms::owner_all, fs::perm_options::add);
  ASSERT_EQ(::mkfifo((dir / "slot" / "mis.000" / "pipe").c_str(), 0600), 0);
  ASSERT_FALSE(platform::SetEntryTimes(dir / "slot" / "mis.000", {1550000000 * kSecond, 1550000001 * kSecond}));

  try {
    platform::CopyFolder(dir / "slot", dir / "copy");
    ADD_FAILURE() << "a FIFO was copied";
  } catch (const fs::filesystem_error& e) {
    EXPECT_EQ(e.code(), platform::SpecialFileError());
    EXPECT_EQ(e.path1(), dir / "slot" / "mis.000" / "pipe");
    EXPECT_NE(platform::FolderMoveReason(e).find(
                  "mis.000/pipe\": a special file (a FIFO, a device or a socket) cannot be copied"),
              std::string::npos)
        << platform::FolderMoveReason(e);
  }
  EXPECT_FALSE(fs::exists(dir / "copy")) << "a failed copy goes whole, its read-only folder too";

  const std::vector<platform::UncopiedEntry> left = platform::CopyFolderAsFarAsPossible(dir / "slot", dir / "copy");
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].relative, fs::path("mis.000") / "pipe");
  std::vector<std::string> expected = TreeStats(dir / "slot");
  std::erase_if(expected, [](const std::string& line) { return line.rfind("mis.000/pipe ", 0) == 0; });
  EXPECT_EQ(TreeStats(dir / "copy"), expected);

  if (otherDisk.Mounted()) {
    EXPECT_THROW(platform::MoveFolder(dir / "slot", otherDisk.path() / "moved"), fs::filesystem_error);
    EXPECT_TRUE(fs::is_fifo(dir / "slot" / "mis.000" / "pipe")) << "the original stays whole";
    EXPECT_FALSE(fs::exists(otherDisk.path() / "moved"));
  }
  MakeRemovable(dir.path());
}
#endif

}  // namespace
}  // namespace kartwerk
