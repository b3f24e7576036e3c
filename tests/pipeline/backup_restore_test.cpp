// A restore is a true undo: the place gets back what it held, with its modes, times and links,
// whether the backups lie on the place's disk or on another; what cannot come back keeps the backup.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <fstream>

#include "mapmaker/map_builder.hpp"
#include "pipeline/backup_restore.hpp"
#include "pipeline/slot_commit.hpp"
#include "platform/path_text.hpp"
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

void WriteText(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

// A slot the user worked on: modes and times set by hand, a mission folder that is a link.
void MakeEditedSlot(const fs::path& slot, const fs::path& elsewhere) {
  WriteText(slot / "desc", "Dunes, edited");
  WriteText(slot / "mis.000" / "players", "players");
  WriteText(elsewhere / "mission" / "scripts2", "shared scripts");
  fs::create_directory_symlink(elsewhere / "mission", slot / "mis.001");
  fs::permissions(slot / "desc", static_cast<fs::perms>(0640));
  fs::permissions(slot / "mis.000" / "players", static_cast<fs::perms>(0600));
  fs::permissions(slot / "mis.000", static_cast<fs::perms>(0750));
  ASSERT_FALSE(platform::SetEntryTimes(slot / "desc", {1620208800 * kSecond, 1620208800 * kSecond}));
  ASSERT_FALSE(
      platform::SetEntryTimes(slot / "mis.000" / "players", {1500000000 * kSecond + 7, 1500000000 * kSecond + 9}));
  ASSERT_FALSE(platform::SetEntryTimes(slot / "mis.001", {1400000000 * kSecond, 1400000000 * kSecond}));
  ASSERT_FALSE(platform::SetEntryTimes(slot / "mis.000", {1300000000 * kSecond, 1300000000 * kSecond}));
  ASSERT_FALSE(platform::SetEntryTimes(slot, {1200000000 * kSecond, 1200000000 * kSecond}));
}

fs::path ConvertOver(const fs::path& slot, const fs::path& backups) {
  pipeline::SlotCommit commit(slot, backups);
  WriteText(commit.Folder() / "desc", "converted");
  return commit.Commit();
}

TEST(BackupRestoreTest, ARestoredSlotLooksToStatAsTheOneReplacedOnOneDiskAndAcrossTwo) {
  for (const bool otherDisk : {false, true}) {
    SCOPED_TRACE(otherDisk ? "backups on another disk" : "backups on the slot's disk");
    mapmaker::ScratchFolder dir;
    testing::ScratchMount disk(dir.path(), 4096);
    if (otherDisk && !disk.Mounted()) GTEST_SKIP() << "no tmpfs here (mounting needs root)";
    const fs::path backups = otherDisk ? disk.path() / "backups" : dir / "backups";
    const fs::path slot = pipeline::TargetPath(dir / "maps.src" / "map.007");
    MakeEditedSlot(slot, dir / "elsewhere");
    const auto files = TreeFiles(slot);  // content first: reading may move access times
    const auto stats = TreeStats(slot);

    const fs::path backup = ConvertOver(slot, backups);
    ASSERT_FALSE(backup.empty());
    EXPECT_EQ(TreeStats(backup), stats) << "the backup itself keeps them";
    const pipeline::BackupStore store(backups);
    const pipeline::RestoreResult result =
        pipeline::RestoreBackup(store, store.Find(platform::TextFromPath(backup.filename())));
    EXPECT_TRUE(result.notRestored.empty());
    EXPECT_EQ(TreeStats(slot), stats);
    EXPECT_EQ(TreeFiles(slot), files);
    EXPECT_TRUE(fs::is_symlink(slot / "mis.001"));
    EXPECT_FALSE(fs::exists(backup)) << "a whole restore removes its backup";
    EXPECT_TRUE(fs::exists(result.previous / "desc")) << "the conversion replaced is kept in turn";
  }
}

TEST(BackupRestoreTest, WhatCannotComeBackIsNamedAndTheBackupStays) {
  mapmaker::ScratchFolder dir;
  const fs::path backups = dir / "backups", slot = pipeline::TargetPath(dir / "maps.src" / "map.003");
  WriteText(slot / "desc", "with a pipe");
  ASSERT_EQ(::mkfifo((slot / "pipe").c_str(), 0600), 0);
  const fs::path backup = ConvertOver(slot, backups);  // one disk: the FIFO moves with its folder
  ASSERT_TRUE(fs::is_fifo(backup / "pipe"));

  const pipeline::BackupStore store(backups);
  const pipeline::RestoreResult result =
      pipeline::RestoreBackup(store, store.Find(platform::TextFromPath(backup.filename())));
  ASSERT_EQ(result.notRestored.size(), 1u);
  EXPECT_EQ(result.notRestored[0].relative, fs::path("pipe"));
  EXPECT_EQ(pipeline::NotRestoredText(result.notRestored),
            "could not put back \"pipe\" (a special file (a FIFO, a device or a socket) cannot be copied)");
  EXPECT_EQ(TreeFiles(slot), TreeFiles(backup)) << "the rest came back";
  EXPECT_TRUE(fs::is_fifo(backup / "pipe")) << "the backup stays whole";
  EXPECT_FALSE(store.WrittenInto(slot)) << "a partial restore is no conversion to make again";
}
#endif

}  // namespace
}  // namespace kartwerk
