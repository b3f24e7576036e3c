// A slot folder is replaced whole or not at all, and what it held before is kept.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <thread>

#include "game/user_folders.hpp"
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
using mapmaker::WriteBytes;
using testing::EntryNames;
using testing::TreeFiles;

void WriteFile(const fs::path& file, const core::Bytes& bytes) {
  fs::create_directories(file.parent_path());
  mapmaker::WriteBytes(file, bytes);
}
void WriteText(const fs::path& file, const std::string& text) {
  WriteFile(file, core::Bytes(text.begin(), text.end()));
}

// A slot as the editor leaves it: a title and a mission folder.
void MakeSlot(const fs::path& slot, const std::string& title) {
  WriteText(slot / "desc", title + "\nabout it");
  WriteText(slot / "mis.000" / "players", "players of " + title);
}

// The number of a process that has ended.
unsigned long EndedProcess() {
#ifdef _WIN32
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  wchar_t command[] = L"cmd.exe /c exit 0";
  if (!::CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process)) {
    ADD_FAILURE() << "cmd.exe did not start";
    return 0;
  }
  ::WaitForSingleObject(process.hProcess, INFINITE);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return process.dwProcessId;
#else
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return static_cast<unsigned long>(child);
#endif
}

TEST(SlotCommitTest, CommitPutsTheNewFolderInPlaceAndKeepsThePreviousOne) {
  mapmaker::ScratchFolder dir;
  const fs::path slot = dir / "maps.src" / "map.007", backups = dir / "backups";
  MakeSlot(slot, "Dunes");
  WriteText(slot / "mis.004" / "notes", "my own notes");
  const auto before = TreeFiles(slot);

  pipeline::SlotCommit commit(slot, backups);
  EXPECT_EQ(commit.Folder().parent_path(), slot.parent_path()) << "beside the slot, so that a rename reaches it";
  EXPECT_EQ(TreeFiles(slot), before) << "nothing of the slot changes while the new map is written";
  WriteText(commit.Folder() / "desc", "Hills");
  const fs::path previous = commit.Commit();

  EXPECT_EQ(TreeFiles(slot),
            (std::vector<std::pair<std::string, core::Bytes>>{{"desc", core::Bytes{'H', 'i', 'l', 'l', 's'}}}));
  ASSERT_EQ(previous.parent_path(), backups);
  EXPECT_EQ(TreeFiles(previous), before) << "the whole previous content, notes included";
  const std::string name = platform::TextFromPath(previous.filename());
  EXPECT_EQ(name.substr(0, 8), "map.007 ");
  EXPECT_EQ(name.substr(name.size() - 6), " Dunes");
  EXPECT_EQ(EntryNames(slot.parent_path()), std::vector<std::string>{"map.007"}) << "nothing left beside the slot";

  // Into a slot that does not exist yet: nothing to keep.
  pipeline::SlotCommit fresh(dir / "maps.src" / "map.008", backups);
  EXPECT_TRUE(fresh.Commit().empty());
  EXPECT_TRUE(fs::is_directory(dir / "maps.src" / "map.008"));
  EXPECT_EQ(pipeline::BackupStore(backups).List().size(), 1u);
}

TEST(SlotCommitTest, WithoutCommitTheSlotStaysAsItWas) {
  mapmaker::ScratchFolder dir;
  const fs::path slot = dir / "map.001";
  MakeSlot(slot, "Mine");
  const auto before = TreeFiles(slot);
  {
    pipeline::SlotCommit commit(slot, dir / "backups");
    WriteText(commit.Folder() / "desc", "half");
  }
  EXPECT_EQ(TreeFiles(slot), before);
  EXPECT_EQ(EntryNames(dir.path()), std::vector<std::string>{"map.001"});

  pipeline::ConversionEnd failed;
  failed.error = std::make_exception_ptr(std::runtime_error("Stream read error"));
  failed.failedStep = "Sounds";
  failed.failedInStep = true;
  failed.failedMission = "mis.000";
  pipeline::SlotCommit commit(slot, dir / "backups");
  pipeline::FinishSlot(commit, failed);
  EXPECT_EQ(failed.FailureText(),
            "step \"Sounds\" of mission mis.000 failed: Stream read error; the slot was left as it was");
  EXPECT_EQ(TreeFiles(slot), before);
  EXPECT_EQ(EntryNames(dir.path()), std::vector<std::string>{"map.001"});
}

TEST(SlotCommitTest, BadTargetsAndAnUnusableBackupFolderLeaveTheSlotAlone) {
  mapmaker::ScratchFolder dir;
  WriteText(dir / "map.002", "a file");
  EXPECT_THROW(pipeline::SlotCommit(dir / "map.002", dir / "backups"), pipeline::SlotFolderError);
  EXPECT_EQ(EntryNames(dir.path()), std::vector<std::string>{"map.002"});

  // The backup folder's place is taken by a file: the previous map cannot be kept, so the slot
  // is not touched.
  const fs::path slot = dir / "map.003";
  MakeSlot(slot, "Precious");
  const auto before = TreeFiles(slot);
  pipeline::ConversionEnd end;
  {
    pipeline::SlotCommit commit(slot, dir / "map.002" / "backups");
    WriteText(commit.Folder() / "desc", "new");
    pipeline::FinishSlot(commit, end);
  }
  ASSERT_TRUE(end.error);
  EXPECT_EQ(end.failedStep, "replacing the slot folder");
  EXPECT_NE(end.FailureText().find("Cannot keep the previous content of \"" + platform::TextFromPath(slot) + "\""),
            std::string::npos)
      << end.FailureText();
  EXPECT_TRUE(end.slotLeftAsItWas);
  EXPECT_EQ(TreeFiles(slot), before);
  EXPECT_EQ(EntryNames(dir.path()), (std::vector<std::string>{"map.002", "map.003"}));
}

// Eleven conversions replaced: the oldest unchanged one goes, the ten newest stay; what is not a
// backup of this place (another slot's, a note, a planted far-future name) is never touched.
TEST(SlotCommitTest, UnchangedConversionsPastTheTenNewestOfTheirPlaceAreRemoved) {
  mapmaker::ScratchFolder dir;
  const fs::path slot = dir / "map.009", backups = dir / "backups";
  WriteText(backups / "map.0090 2020-01-01 00-00-00.000 other slot" / "desc", "x");
  WriteText(backups / "map.009 notes.txt", "not a backup");
  for (int i = 0; i < 10; ++i)
    WriteText(backups / ("map.009 2099-01-01 00-00-00.00" + std::to_string(i) + "Z-01 x") / "desc", "planted");
  for (int i = 0; i < 12; ++i) {
    pipeline::SlotCommit commit(slot, backups);
    WriteText(commit.Folder() / "desc", "version " + std::to_string(i));
    const fs::path previous = commit.Commit();
    if (i > 0) {
      EXPECT_TRUE(fs::exists(previous)) << "the backup just made is never removed";
    }
  }
  std::vector<pipeline::BackupRecord> kept;
  for (const pipeline::BackupRecord& backup : pipeline::BackupStore(backups).List()) {
    if (backup.origin == slot) kept.push_back(backup);
  }
  ASSERT_EQ(kept.size(), pipeline::kKeptBackupsPerPlace);
  EXPECT_EQ(TreeFiles(kept.front().folder).front().second, core::Bytes({'v', 'e', 'r', 's', 'i', 'o', 'n', ' ', '1'}));
  EXPECT_EQ(TreeFiles(kept.back().folder).front().second,
            core::Bytes({'v', 'e', 'r', 's', 'i', 'o', 'n', ' ', '1', '0'}));
  EXPECT_TRUE(fs::exists(backups / "map.0090 2020-01-01 00-00-00.000 other slot"));
  EXPECT_TRUE(fs::exists(backups / "map.009 notes.txt"));
  EXPECT_TRUE(fs::exists(backups / "map.009 2099-01-01 00-00-00.000Z-01 x"));
}

// A map maker's own edits are never removed, however often the slot is replaced.
TEST(SlotCommitTest, AHandEditedSlotReplacedTwentyTimesStaysInTheBackups) {
  mapmaker::ScratchFolder dir;
  const fs::path slot = dir / "map.013", backups = dir / "backups";
  {
    pipeline::SlotCommit commit(slot, backups);
    WriteText(commit.Folder() / "desc", "converted");
    commit.Commit();
  }
  WriteText(slot / "desc", "converted, then edited by hand");
  for (int i = 0; i < 20; ++i) {
    pipeline::SlotCommit commit(slot, backups);
    WriteText(commit.Folder() / "desc", "conversion " + std::to_string(i));
    commit.Commit();
  }
  int edited = 0, unchanged = 0;
  for (const pipeline::BackupRecord& backup : pipeline::BackupStore(backups).List()) {
    const bool isEdited = mapmaker::ReadBytes(backup.folder / "desc").size() == 30;
    edited += isEdited;
    unchanged += pipeline::BackupStore::IsUnchangedConversion(backup);
    EXPECT_NE(isEdited, pipeline::BackupStore::IsUnchangedConversion(backup));
  }
  EXPECT_EQ(edited, 1);
  EXPECT_EQ(unchanged, 10);
}

TEST(SlotCommitTest, LeftoversOfAnInterruptedRunAreSettledNeverDropped) {
  mapmaker::ScratchFolder dir;
  const fs::path src = dir / "maps.src", backups = dir / "backups";
  const std::string ended = std::to_string(EndedProcess());
  // map.004 was moved aside and the run died before the new folder went in: it is put back.
  MakeSlot(src / (".map.004.kartwerk-aside-" + ended + "-abc"), "Lost");
  // map.005 was replaced, but its old folder never reached the backups: it goes there now.
  MakeSlot(src / "map.005", "Newer");
  MakeSlot(src / (".map.005.kartwerk-aside-" + ended + "-def"), "Older");
  // An unfinished conversion is removed; the folders of a running process are left to it.
  MakeSlot(src / (".map.006.kartwerk-new-" + ended + "-ghi"), "Half");
  const std::string running = ".map.006.kartwerk-aside-" + std::to_string(platform::CurrentProcessId()) + "-jkl";
  MakeSlot(src / running, "Busy");

  std::vector<std::string> notes;
  pipeline::SlotCommit commit(src / "map.010", backups, [&](const std::string& note) { notes.push_back(note); });
  commit.Discard();

  EXPECT_EQ(EntryNames(src), (std::vector<std::string>{running, "map.004", "map.005"}));
  EXPECT_EQ(mapmaker::ReadBytes(src / "map.004" / "desc").size(), std::string("Lost\nabout it").size());
  const std::vector<pipeline::BackupRecord> kept = pipeline::BackupStore(backups).List();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].origin, src / "map.005");
  EXPECT_EQ(kept[0].title, "Older");
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_NE(notes[0].find("put back \"" + platform::TextFromPath(src / "map.004")), std::string::npos) << notes[0];
  EXPECT_NE(notes[1].find("is kept in \"" + platform::TextFromPath(kept[0].folder)), std::string::npos) << notes[1];
}

TEST(SlotCommitTest, BackupNamesGiveSlotTimeAndAFileNameSafeTitle) {
  EXPECT_EQ(pipeline::BackupName("map.007", "2026-12-07 09-05-03.042Z-01", "Dunes"),
            "map.007 2026-12-07 09-05-03.042Z-01 Dunes");
  EXPECT_EQ(pipeline::BackupTimeText("2026-12-07 09-05-03.042Z-01"), "2026-12-07 09:05:03 UTC");

  mapmaker::ScratchFolder dir;
  const fs::path slot = dir / "map.011";
  WriteFile(slot / "desc", core::Bytes{'A', '/', 'B', ':', 0x99, '.', ' ', '\r', 'x'});
  pipeline::SlotCommit commit(slot, dir / "backups");
  EXPECT_EQ(platform::TextFromPath(commit.Commit().filename()).substr(36),
            "A_B_\xE2\x84\xA2");  // the sign as UTF-8, no trailing dot
}

// A desc or a record planted huge (sparse: terabytes that take no disk) is read no further than a
// title or a record can reach: the slot is replaced, its backup named and recorded, the store listed.
TEST(SlotCommitTest, HugeDescAndRecordsCostNoMoreThanTheirBound) {
#ifdef _WIN32
  GTEST_SKIP() << "sparse files of this size are a Linux file system's";
#else
  mapmaker::ScratchFolder dir;
  const fs::path slot = dir / "map.012", backups = dir / "backups";
  WriteText(slot / "desc", "Big\n");
  fs::resize_file(slot / "desc", std::uintmax_t{100} << 30);
  MakeSlot(dir / "map.013", "Small");
  const fs::path other = pipeline::SlotCommit(dir / "map.013", backups).Commit();
  ASSERT_FALSE(other.empty());
  fs::resize_file(backups / ".about" / other.filename(), std::uintmax_t{100} << 30);  // a record grown past any

  pipeline::SlotCommit commit(slot, backups);
  WriteText(commit.Folder() / "desc", "Hills");
  const fs::path previous = commit.Commit();
  ASSERT_FALSE(previous.empty());
  EXPECT_EQ(platform::TextFromPath(previous.filename()).substr(36), "Big");
  const std::vector<pipeline::BackupRecord> listed = pipeline::BackupStore(backups).List();
  ASSERT_EQ(listed.size(), 2u);
  for (const pipeline::BackupRecord& backup : listed) {
    EXPECT_EQ(backup.origin.empty(), backup.folder == other) << backup.folder << " is known only by its record";
  }
#endif
}

// Across file systems the previous content is copied into the backup folder before the slot is
// touched; when the copy fails (a full disk) nothing happens to the slot.
TEST(SlotCommitTest, BackupsOnAnotherFileSystemAreCopiedFirst) {
  mapmaker::ScratchFolder dir;
  testing::ScratchMount small(dir.path(), 64);
  if (!small.Mounted()) GTEST_SKIP() << "mounting a tmpfs needs root";
  const fs::path slot = dir / "map.012";
  MakeSlot(slot, "Far");
  const auto before = TreeFiles(slot);
  {
    pipeline::SlotCommit commit(slot, small.path() / "backups");
    WriteText(commit.Folder() / "desc", "new");
    const fs::path previous = commit.Commit();
    EXPECT_EQ(previous.parent_path(), small.path() / "backups");
    EXPECT_EQ(TreeFiles(previous), before);
  }
  WriteFile(slot / "big", core::Bytes(100 * 1024, 1));
  const auto full = TreeFiles(slot);
  pipeline::ConversionEnd end;
  pipeline::SlotCommit commit(slot, small.path() / "backups");
  pipeline::FinishSlot(commit, end);
  ASSERT_TRUE(end.error);
  EXPECT_NE(end.ErrorText().find("No space left on device"), std::string::npos) << end.ErrorText();
  EXPECT_EQ(TreeFiles(slot), full);
  EXPECT_EQ(EntryNames(dir.path()), (std::vector<std::string>{"map.012", "mount"}));
  EXPECT_EQ(
      EntryNames(small.path() / "backups"),
      (std::vector<std::string>{
          ".about", ".written",
          platform::TextFromPath(pipeline::BackupStore(small.path() / "backups").List().at(0).folder.filename())}))
      << "no partial copy is left";
}

// The backup's record is written before the backup: when it cannot be, nothing moves.
TEST(SlotCommitTest, ABackupWhoseRecordCannotBeWrittenIsRefusedBeforeAnythingMoves) {
  mapmaker::ScratchFolder dir;
  const fs::path slot = dir / "map.013", backups = dir / "backups";
  MakeSlot(slot, "Mine");
  WriteText(backups / ".about", "a file where the records go");
  const auto before = TreeFiles(slot);
  pipeline::ConversionEnd end;
  {
    pipeline::SlotCommit commit(slot, backups);
    WriteText(commit.Folder() / "desc", "new");
    pipeline::FinishSlot(commit, end);
  }
  ASSERT_TRUE(end.error);
  EXPECT_NE(end.FailureText().find("Cannot write the record"), std::string::npos) << end.FailureText();
  EXPECT_EQ(TreeFiles(slot), before);
  EXPECT_EQ(EntryNames(dir.path()), (std::vector<std::string>{"backups", "map.013"}));
  EXPECT_EQ(EntryNames(backups), (std::vector<std::string>{".about"})) << "no backup without its record";
}

#ifndef _WIN32
// A leftover this user cannot move (another owner's run, a folder made read-only) is reported
// with the reason and left alone by every run; it is never copied into the backups.
TEST(SlotCommitTest, ALeftoverThatCannotBeMovedIsReportedAndNeverCopied) {
  mapmaker::ScratchFolder dir;
  const fs::path src = dir / "maps.src", backups = dir / "backups";
  const std::string ended = std::to_string(EndedProcess());
  const fs::path aside = src / (".map.004.kartwerk-aside-" + ended + "-abc");
  const fs::path unfinished = src / (".map.005.kartwerk-new-" + ended + "-def");
  MakeSlot(src / "map.004", "Newer");
  MakeSlot(aside, "Older");
  MakeSlot(unfinished, "Half");
  const bool root = ::geteuid() == 0;
  for (const fs::path& stuck : {aside / "mis.000", unfinished / "mis.000"}) {
    if (root) {
      ASSERT_EQ(::chown((stuck / "players").c_str(), 65534, 65534), 0);
    } else {
      fs::permissions(stuck, fs::perms::owner_read | fs::perms::owner_exec);
    }
  }
  const auto asideBefore = TreeFiles(aside);
  for (int run = 0; run < 3; ++run) {
    std::vector<std::string> notes;
    pipeline::SlotCommit commit(src / "map.010", backups, [&](const std::string& note) { notes.push_back(note); });
    commit.Discard();
    ASSERT_EQ(notes.size(), 2u) << "run " << run;
    for (const std::string& note : notes) {
      EXPECT_EQ(note.rfind("left \"", 0), 0u) << note;
      EXPECT_NE(note.find(root ? "belongs to another user" : "is a folder you may not change"), std::string::npos)
          << note;
    }
    EXPECT_EQ(TreeFiles(aside), asideBefore);
    EXPECT_TRUE(fs::exists(unfinished / "mis.000" / "players"));
    EXPECT_TRUE(pipeline::BackupStore(backups).List().empty()) << "run " << run;
  }
  for (const fs::path& stuck : {aside / "mis.000", unfinished / "mis.000"})
    fs::permissions(stuck, fs::perms::owner_all);
}
#endif

// A restore passes the same gate: a record naming the home folder, a link or the backups
// themselves is refused, and nothing moves.
TEST(SlotCommitTest, ARestoreToAPlaceTheGateRefusesMovesNothing) {
  mapmaker::ScratchFolder dir;
  const fs::path backups = dir / "backups";
  MakeSlot(backups / "map.007 2026-12-07 14-30-21.042Z-01 Old", "Old");
  // Windows builds make no symbolic links (MinGW's library does not): the link case is left out there.
  std::error_code noLinks;
  fs::create_directory_symlink(dir / "elsewhere", dir / "link", noLinks);
  const pipeline::BackupStore store(backups);
  const fs::path home = game::HomeFolder();
  for (const fs::path& origin : {home, dir / "link", backups / "inside", fs::path("/")}) {
    if (origin.empty() || (noLinks && origin == dir / "link")) continue;  // no home folder known, or no link
    pipeline::BackupRecord record;
    record.folder = backups / "map.007 2026-12-07 14-30-21.042Z-01 Old";
    record.origin = origin;
    record.when = "2026-12-07 14-30-21.042Z-01";
    EXPECT_THROW(pipeline::RestoreBackup(store, record), pipeline::SlotFolderError) << platform::TextFromPath(origin);
    EXPECT_TRUE(fs::exists(record.folder / "desc"));
  }
  const std::vector<std::string> left =
      noLinks ? std::vector<std::string>{"backups"} : std::vector<std::string>{"backups", "link"};
  EXPECT_EQ(EntryNames(dir.path()), left);
  EXPECT_EQ(EntryNames(backups), (std::vector<std::string>{"map.007 2026-12-07 14-30-21.042Z-01 Old"}));
}

}  // namespace
}  // namespace kartwerk
