// Backups belong to their place, are removed only when they can be made again, live in a private
// folder, and can be put back; an --out folder of other files is refused.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <fstream>
#include <set>

#include "mapmaker/map_builder.hpp"
#include "pipeline/backup_restore.hpp"
#include "pipeline/out_folder_rule.hpp"
#include "pipeline/slot_commit.hpp"
#include "platform/content_hash.hpp"
#include "platform/folder_listing.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"
#include "platform/private_folder.hpp"
#include "platform/process_leftovers.hpp"
#include "tests/support/folder_tree.hpp"

namespace kartwerk {
namespace {

namespace fs = std::filesystem;
using mapmaker::ScratchFolder;
using testing::EntryNames;
using testing::TreeFiles;

void WriteText(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

// One conversion into place, as a run makes it: what is there goes to the backups.
fs::path Convert(const fs::path& place, const fs::path& backups, const std::string& text) {
  pipeline::SlotCommit commit(place, backups);
  WriteText(commit.Folder() / "desc", text);
  WriteText(commit.Folder() / "mis.000" / "players", "players of " + text);
  return commit.Commit();
}

// The same for a conversion written for gameVersion.
fs::path ConvertFor(const fs::path& place, const fs::path& backups, const std::string& text,
                    format::GameVersionKind gameVersion) {
  pipeline::SlotCommit commit(place, backups);
  commit.SetGameVersion(gameVersion);
  WriteText(commit.Folder() / "desc", text);
  return commit.Commit();
}

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<pipeline::BackupRecord> BackupsOf(const fs::path& backups, const fs::path& place) {
  std::vector<pipeline::BackupRecord> of;
  for (const pipeline::BackupRecord& backup : pipeline::BackupStore(backups).List()) {
    if (backup.origin == place) of.push_back(backup);
  }
  return of;
}

TEST(BackupStoreTest, DigestsAndListingsTellFoldersByteForByte) {
  // XXH3-128 in its canonical (big-endian) form, as the reference library gives it.
  EXPECT_EQ(platform::ContentDigest(""), "xxh3-128:99aa06d3014798d86001c324468d497f");
  EXPECT_EQ(platform::ContentDigest("abc"), "xxh3-128:06b05ab6733a618578af5f94892f3950");
  const std::string million(1000000, 'a');
  EXPECT_EQ(platform::ContentDigest(million), "xxh3-128:a545df8e384a9579b1fd6fae5285c4eb");
  platform::ContentHash pieces;  // fed in pieces of every size, it gives the digest of the whole
  for (std::size_t at = 0, piece = 1; at < million.size(); at += piece, piece = piece * 3 + 1) {
    pieces.Add(std::string_view(million).substr(at, piece));
  }
  EXPECT_EQ(pieces.Digest(), platform::ContentDigest(million));

  mapmaker::ScratchFolder dir;
  WriteText(dir / "a" / "desc", "title");
  WriteText(dir / "a" / "mis.000" / "players", "p");
  const std::optional<platform::FolderListing> listing = platform::ListFolder(dir / "a");
  ASSERT_TRUE(listing);
  EXPECT_EQ(listing->size(), 3u);
  EXPECT_EQ(listing->at("mis.000"), "");
  EXPECT_EQ(platform::ListingBytes(*listing), 6u);
  EXPECT_EQ(platform::ListingFromText(platform::ListingText(*listing)), listing);
  // A damaged record is no listing at all, so nothing is ever taken for what Kartwerk wrote.
  for (const char* bad : {"x desc\n", "f 5 abc desc\n", "d mis.000", "f x5 " /* short */}) {
    EXPECT_FALSE(platform::ListingFromText(bad)) << bad;
  }
  WriteText(dir / "a" / "desc", "titlE");
  EXPECT_NE(platform::ListFolder(dir / "a"), listing);
#ifndef _WIN32
  fs::create_symlink("/etc/passwd", dir / "a" / "link");
  EXPECT_FALSE(platform::ListFolder(dir / "a")) << "a folder holding a link is never one Kartwerk wrote";
#endif
}

// Slot 7 of two installations: eleven conversions into one leave the other's only backup alone.
TEST(BackupStoreTest, ListingsNameTheirDigestAndTakeItFromTheLogOfWhatWasWritten) {
  mapmaker::ScratchFolder dir;
  WriteText(dir / "a" / "desc", "title");
  const std::string legacyDigest(64, 'e');
  const struct {
    std::string line;
    std::optional<std::string> stamp;  // nothing: not a listing
  } lines[] = {
      {"f 5 " + legacyDigest + " desc\n", "5 sha256:" + legacyDigest},  // as earlier versions wrote
      {"f 5 xxh3-128:0123abcd desc\n", "5 xxh3-128:0123abcd"},
      {"f 5 xxh3-128: desc\n", std::nullopt},
      {"f 5 :00 desc\n", std::nullopt},
      {"f 5 xxh3-128:0g desc\n", std::nullopt},
      {"f 5 xxh3-128:00\n", std::nullopt},
      {"f 5 " + legacyDigest.substr(1) + " desc\n", std::nullopt},
  };
  for (const auto& [line, stamp] : lines) {
    const std::optional<platform::FolderListing> read = platform::ListingFromText(line);
    ASSERT_EQ(read.has_value(), stamp.has_value()) << line;
    if (!stamp) continue;
    EXPECT_EQ(read->at("desc"), *stamp) << line;
    EXPECT_EQ(platform::ListingFromText(platform::ListingText(*read)), read) << line;
  }
  // A record of an earlier version never passes for the folder, whatever it holds.
  const std::optional<platform::FolderListing> now = platform::ListFolder(dir / "a");
  ASSERT_TRUE(now);
  EXPECT_EQ(now->at("desc"), "5 " + platform::ContentDigest("title"));
  EXPECT_NE(platform::ListingFromText(lines[0].line), now);

  // A file logged at its present size is not read again; one logged at another size is.
  platform::WrittenFiles log;
  log.Record(dir / "a" / "desc", {5, "xxh3-128:feed"});
  EXPECT_EQ(platform::ListFolder(dir / "a", &log)->at("desc"), "5 xxh3-128:feed");
  log.Record(dir / "a" / "desc", {4, "xxh3-128:feed"});
  EXPECT_EQ(platform::ListFolder(dir / "a", &log), now);

  // The stamp follows names, sizes and times, without reading a byte.
  const std::optional<std::string> stamp = platform::FolderStamp(dir / "a");
  ASSERT_TRUE(stamp);
  EXPECT_EQ(platform::FolderStamp(dir / "a"), stamp);
  const fs::file_time_type written = fs::last_write_time(dir / "a" / "desc");
  fs::last_write_time(dir / "a" / "desc", written - std::chrono::seconds(5));
  EXPECT_NE(platform::FolderStamp(dir / "a"), stamp);
  fs::last_write_time(dir / "a" / "desc", written);
  EXPECT_EQ(platform::FolderStamp(dir / "a"), stamp);
  WriteText(dir / "a" / "mis.000" / "x", "");
  EXPECT_NE(platform::FolderStamp(dir / "a"), stamp);
}

// Listing and pruning go by the stamp; only a backup about to be removed is read, and one found
// changed behind an unchanged stamp is kept and never read again.
TEST(BackupStoreTest, OnlyABackupAboutToBeRemovedIsHashedAgain) {
  mapmaker::ScratchFolder dir;
  const fs::path backups = dir / "backups";
  const fs::path place = dir / "out";
  Convert(place, backups, "one");
  Convert(place, backups, "two");
  Convert(place, backups, "three");
  std::vector<pipeline::BackupRecord> made = BackupsOf(backups, place);
  ASSERT_EQ(made.size(), 2u);
  for (const pipeline::BackupRecord& backup : made) {
    EXPECT_FALSE(backup.seen.empty());
    EXPECT_TRUE(pipeline::BackupStore::LooksUnchanged(backup));
    EXPECT_TRUE(pipeline::BackupStore::IsUnchangedConversion(backup));
  }
  // The older one edited in place, its size and time as they were: only reading tells.
  const fs::path edited = made[0].folder / "desc";
  const fs::file_time_type time = fs::last_write_time(edited);
  WriteText(edited, "ONE");
  fs::last_write_time(edited, time);
  EXPECT_TRUE(pipeline::BackupStore::LooksUnchanged(made[0]));
  EXPECT_FALSE(pipeline::BackupStore::IsUnchangedConversion(made[0]));
  // The newer one grown: the stamp tells.
  WriteText(made[1].folder / "notes", "mine");
  EXPECT_FALSE(pipeline::BackupStore::LooksUnchanged(made[1]));
  pipeline::BackupRecord older = made[0];
  older.seen.clear();  // as an earlier version recorded it
  EXPECT_FALSE(pipeline::BackupStore::LooksUnchanged(older));

  for (std::size_t i = 0; i < pipeline::kKeptBackupsPerPlace + 2; ++i)
    Convert(place, backups, "more " + std::to_string(i));
  const std::vector<pipeline::BackupRecord> now = BackupsOf(backups, place);
  ASSERT_EQ(now.size(), pipeline::kKeptBackupsPerPlace + 2)
      << "both edited backups are kept, every unedited one past ten goes";
  EXPECT_EQ(now[0].folder, made[0].folder);
  EXPECT_FALSE(now[0].written) << "found changed: its record no longer says Kartwerk wrote it";
  EXPECT_EQ(now[1].folder, made[1].folder);
  EXPECT_TRUE(now[1].written);
}

TEST(BackupStoreTest, SlotsOfTwoInstallationsNeverShareACount) {
  mapmaker::ScratchFolder dir;
  const fs::path backups = dir / "backups";
  const fs::path first = dir / "wine" / "Game" / "editor" / "maps.src" / "map.007";
  const fs::path second = dir / "proton" / "Game" / "editor" / "maps.src" / "map.007";
  Convert(second, backups, "second's first");
  const fs::path secondsBackup = Convert(second, backups, "second's second");
  for (int i = 0; i < 12; ++i) Convert(first, backups, "first " + std::to_string(i));

  ASSERT_TRUE(fs::exists(secondsBackup));
  const std::vector<pipeline::BackupRecord> ofSecond = BackupsOf(backups, second);
  ASSERT_EQ(ofSecond.size(), 1u);
  EXPECT_EQ(ofSecond[0].installation, dir / "proton" / "Game");
  EXPECT_EQ(BackupsOf(backups, first).size(), pipeline::kKeptBackupsPerPlace);
  EXPECT_EQ(pipeline::InstallationOfSlot(dir / "x" / "map.007"), fs::path());
}

TEST(BackupStoreTest, BackupNamesFollowUtcTimeWithASequenceWithinAMillisecond) {
  mapmaker::ScratchFolder dir;
  const pipeline::BackupStore store(dir / "backups");
  store.MakeReady();
  std::vector<std::string> names;
  for (int i = 0; i < 6; ++i) {
    const fs::path backup = store.NewBackupPath("map.001", "t");
    fs::create_directory(backup);
    names.push_back(platform::TextFromPath(backup.filename()));
  }
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end())) << "later backups sort later";
  // The name's hour is UTC's, whatever the local time zone says.
  const std::tm utc = platform::UtcTime(std::time(nullptr));
  char hour[8];
  std::snprintf(hour, sizeof hour, " %02d-", utc.tm_hour);
  const std::string& last = names.back();
  EXPECT_TRUE(last.find(hour) == 18 || utc.tm_min == 0) << last;
  EXPECT_EQ(last.substr(31, 2), "Z-");
}

#ifndef _WIN32
TEST(BackupStoreTest, TheBackupFolderIsPrivateAndASymlinkIsUsedOnlyWhenAllOfItIsTheUsers) {
  mapmaker::ScratchFolder dir;
  platform::MakePrivateFolder(dir / "data" / "replaced-slots");
  struct stat info {};
  ASSERT_EQ(::stat((dir / "data" / "replaced-slots").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  // Also when the first conversion into a new place only records what it wrote.
  Convert(dir / "new-place", dir / "fresh-backups", "first");
  ASSERT_EQ(::stat((dir / "fresh-backups").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  // A data folder moved to another disk by its owner: used, and made private.
  fs::create_directories(dir / "disk" / "moved");
  fs::permissions(dir / "disk" / "moved", fs::perms::all);
  fs::create_directory_symlink(dir / "disk" / "moved", dir / "linked");
  EXPECT_NO_THROW(platform::MakePrivateFolder(dir / "linked"));
  ASSERT_EQ(::stat((dir / "disk" / "moved").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  // A link to a folder of someone else: refused, and a slot's content never moves there.
  fs::create_directories(dir / "theirs");
  if (::getuid() != 0 || ::chown((dir / "theirs").c_str(), 65534, 65534) != 0) {
    GTEST_SKIP() << "giving a folder to another user needs root";
  }
  fs::create_directory_symlink(dir / "theirs", dir / "planted");
  EXPECT_THROW(platform::MakePrivateFolder(dir / "planted"), platform::PrivateFolderError);
  const fs::path slot = dir / "maps.src" / "map.003";
  WriteText(slot / "desc", "mine");
  pipeline::SlotCommit commit(slot, dir / "planted");
  WriteText(commit.Folder() / "desc", "new");
  try {
    commit.Commit();
    ADD_FAILURE() << "the commit went ahead";
  } catch (const pipeline::SlotFolderError& e) {
    EXPECT_NE(std::string(e.what()).find("belongs to another user"), std::string::npos) << e.what();
  }
  EXPECT_EQ(TreeFiles(slot).front().second, core::Bytes({'m', 'i', 'n', 'e'}));
  EXPECT_TRUE(EntryNames(dir / "theirs").empty());
  // A link owned by someone else, even to one's own folder, is refused too.
  fs::create_directory_symlink(dir / "disk" / "moved", dir / "their-link");
  ASSERT_EQ(::lchown((dir / "their-link").c_str(), 65534, 65534), 0);
  EXPECT_THROW(platform::MakePrivateFolder(dir / "their-link"), platform::PrivateFolderError);
}
#endif

TEST(BackupStoreTest, AnOutFolderIsReplacedOnlyWhenItHoldsAMap) {
  mapmaker::ScratchFolder dir;
  const pipeline::BackupStore store(dir / "backups");
  EXPECT_FALSE(pipeline::OutFolderRefusal(dir / "new", store));
  fs::create_directory(dir / "empty");
  EXPECT_FALSE(pipeline::OutFolderRefusal(dir / "empty", store));
  // Shaped like a slot, whoever wrote it (the editor's letter case included).
  WriteText(dir / "slot" / "desc", "d");
  WriteText(dir / "slot" / "RHOMBS", "r");
  WriteText(dir / "slot" / "mis.001" / "JPG1024.jpg", "j");
  EXPECT_FALSE(pipeline::OutFolderRefusal(dir / "slot", store));
  // Documents: refused, naming a few of the files and what to do.
  for (const char* name : {"2025.txt", "b.txt", "c.txt", "d.txt"}) WriteText(dir / "Documents" / name, "mine");
  WriteText(dir / "Documents" / "desc", "a file that happens to share a slot file's name");
  const std::optional<std::string> refusal = pipeline::OutFolderRefusal(dir / "Documents", store);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(*refusal, "\"" + platform::TextFromPath(dir / "Documents") +
                          "\" holds files Kartwerk did not write (2025.txt, b.txt, c.txt and 1 more); nothing was "
                          "written or moved: choose a new or empty folder");
  // A slot-shaped folder with one extra file is not a slot any more...
  WriteText(dir / "slot" / "mis.001" / "notes.txt", "n");
  EXPECT_TRUE(pipeline::OutFolderRefusal(dir / "slot", store));
  // ...unless Kartwerk itself wrote exactly that (extra names in a map a converter writes).
  const fs::path out = pipeline::TargetPath(dir / "out");
  store.RecordWritten(out, platform::ListFolder(dir / "slot"));
  fs::copy(dir / "slot", out, fs::copy_options::recursive);
  EXPECT_FALSE(pipeline::OutFolderRefusal(out, store));
  WriteText(out / "desc", "edited");
  EXPECT_TRUE(pipeline::OutFolderRefusal(out, store));
}

// What a conversion put into a place is recorded with the place's stamp: while the stamp is still
// that one, the next conversion keeps the previous content as an unchanged conversion without reading
// it; otherwise (a stamp that moved, a record of an earlier version without one) by its bytes.
TEST(BackupStoreTest, APlaceIsJudgedByItsStampWhileItIsTheRecordedOneAndByItsBytesOtherwise) {
  struct Case {
    const char* what;
    bool edit;           // "converted" in desc becomes "Converted": the same size
    bool keepTime;       // the edit's modification time set back to the conversion's
    bool earlierRecord;  // the place's record as an earlier version wrote it: no stamp
    bool unchanged;      // the backup of the previous content counts as the unchanged conversion
  };
  const Case cases[] = {
      {"untouched", false, false, false, true},
      {"edited", true, false, false, false},
      {"untouched, earlier record", false, false, true, true},
      {"edited, its time set back, earlier record", true, true, true, false},
  };
  for (const Case& c : cases) {
    ScratchFolder dir;
    const fs::path backups = dir / "backups", place = pipeline::TargetPath(dir / "out" / "map");
    Convert(place, backups, "converted");
    const pipeline::BackupStore store(backups);
    const std::optional<pipeline::WrittenRecord> placed = store.WrittenRecordOf(place);
    ASSERT_TRUE(placed) << c.what;
    EXPECT_EQ(placed->seen, platform::FolderStamp(place).value_or("")) << c.what;
    EXPECT_EQ(placed->listing, platform::ListFolder(place)) << c.what;
    if (c.earlierRecord) {
      store.RecordWritten(place, placed->listing);
      EXPECT_EQ(store.WrittenRecordOf(place)->seen, "") << c.what;
    }
    if (c.edit) {
      const auto time = fs::last_write_time(place / "desc");
      WriteText(place / "desc", "Converted");
      if (c.keepTime) fs::last_write_time(place / "desc", time);
    }
    const fs::path previous = Convert(place, backups, "again");
    const pipeline::BackupRecord backup = store.Find(platform::TextFromPath(previous.filename()));
    EXPECT_EQ(backup.written.has_value(), c.unchanged) << c.what;
    EXPECT_EQ(pipeline::BackupStore::IsUnchangedConversion(backup), c.unchanged) << c.what;
    EXPECT_TRUE(backup.converted) << c.what;
  }
}

TEST(BackupStoreTest, APlacesRecordKeepsTheGameVersionBesideTheStamp) {
  ScratchFolder dir;
  const fs::path place = pipeline::TargetPath(dir / "out" / "map");
  WriteText(place / "desc", "converted");
  const pipeline::BackupStore store(dir / "backups");
  const std::optional<platform::FolderListing> listing = platform::ListFolder(place);
  store.RecordWritten(place, listing, format::GameVersionKind::OlderKeywords, "3 desc 9 1");
  const std::optional<pipeline::WrittenRecord> record = store.WrittenRecordOf(place);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->gameVersion, format::GameVersionKind::OlderKeywords);
  EXPECT_EQ(record->seen, "3 desc 9 1");
  EXPECT_EQ(record->listing, listing);
}

TEST(BackupStoreTest, ARestorePutsABackupBackAndKeepsWhatWasThere) {
  mapmaker::ScratchFolder dir;
  const fs::path backups = dir / "backups", slot = pipeline::TargetPath(dir / "maps.src" / "map.004");
  WriteText(slot / "desc", "edited by hand");
  const fs::path edited = Convert(slot, backups, "converted");
  const pipeline::BackupStore store(backups);
  const pipeline::BackupRecord backup = store.Find(platform::TextFromPath(edited.filename()).substr(0, 20));
  EXPECT_EQ(backup.folder, edited);

  const pipeline::RestoreResult result = pipeline::RestoreBackup(store, backup);
  EXPECT_EQ(result.place, slot);
  EXPECT_EQ(TreeFiles(slot),
            (std::vector<std::pair<std::string, core::Bytes>>{
                {"desc", core::Bytes({'e', 'd', 'i', 't', 'e', 'd', ' ', 'b', 'y', ' ', 'h', 'a', 'n', 'd'})}}));
  EXPECT_FALSE(fs::exists(edited));
  ASSERT_TRUE(fs::exists(result.previous / "desc"));
  // The conversion moved out is an unchanged one; the restored edit is not Kartwerk's to replace freely.
  const std::vector<pipeline::BackupRecord> kept = BackupsOf(backups, slot);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_TRUE(pipeline::BackupStore::IsUnchangedConversion(kept[0]));
  EXPECT_FALSE(store.WrittenInto(slot));

  // A folder no record describes cannot be put back by the program; nothing moves.
  WriteText(backups / "map.004 by hand" / "desc", "?");
  const auto before = TreeFiles(slot);
  EXPECT_THROW(pipeline::RestoreBackup(store, store.Find("map.004 by hand")), std::runtime_error);
  EXPECT_EQ(TreeFiles(slot), before);
  Convert(slot, backups, "again");
  EXPECT_THROW(store.Find("map.004 2"), std::runtime_error) << "two backups start so";
  EXPECT_THROW(store.Find("nothing like it"), std::runtime_error);
}

TEST(BackupStoreTest, WhatAKilledRunLeftIsRemovedOnceItsProcessHasEnded) {
  EXPECT_EQ(platform::MarkedProcess(".kartwerk-probe-4242-abcdefghij", ".kartwerk-probe-"), 4242u);
  for (const char* notOne : {".kartwerk-probe--abc", ".kartwerk-probe-42", ".kartwerk-probe-99999999999999999999-a",
                             "kartwerk-probe-42-a", ".kartwerk-probe-4x-a"}) {
    EXPECT_EQ(platform::MarkedProcess(notOne, ".kartwerk-probe-"), 0u) << notOne;
  }
  mapmaker::ScratchFolder dir;
  const std::string mine = platform::ProcessMarkedName(".kartwerk-probe-");
  fs::create_directories(dir / "src" / mine);
  // The system never gives a process the number pid_max itself.
  std::string ended;
  std::ifstream("/proc/sys/kernel/pid_max") >> ended;
  ASSERT_FALSE(ended.empty());
  fs::create_directories(dir / "src" / (".kartwerk-probe-" + ended + "-abc"));
  fs::create_directories(dir / "backups" / (".kartwerk-probe-" + ended + "-def"));
  fs::create_directories(dir / "backups" / (".kartwerk-incoming-" + ended + "-ghi") / "desc");
  // A record is written beside the backups, then moved among the records.
  WriteText(dir / "backups" / (".kartwerk-record-" + ended + "-jkl"), "half");
  fs::create_directories(dir / "backups" / ".about");
  pipeline::SlotCommit commit(dir / "src" / "map.001", dir / "backups");
  commit.Discard();
  pipeline::BackupStore(dir / "backups").MakeReady();
  EXPECT_EQ(EntryNames(dir / "src"), std::vector<std::string>{mine});
  EXPECT_EQ(EntryNames(dir / "backups"), std::vector<std::string>{".about"});
  EXPECT_TRUE(EntryNames(dir / "backups" / ".about").empty());
}

// The game version a conversion wrote for goes with what it wrote: into its place's record, into
// its backup's record when the place is replaced (edited since or not), and back into the place's
// record when an unchanged backup is put back.
TEST(BackupStoreTest, AConversionsGameVersionGoesWithItsRecords) {
  mapmaker::ScratchFolder dir;
  const fs::path backups = dir / "backups", slot = pipeline::TargetPath(dir / "maps.src" / "map.005");
  const pipeline::BackupStore store(backups);
  ConvertFor(slot, backups, "first", format::GameVersionKind::CurrentKeywords);
  ASSERT_TRUE(store.WrittenRecordOf(slot));
  EXPECT_EQ(store.WrittenRecordOf(slot)->gameVersion, format::GameVersionKind::CurrentKeywords);
  WriteText(slot / "desc", "first, edited");
  ConvertFor(slot, backups, "second", format::GameVersionKind::OlderKeywords);
  EXPECT_EQ(store.WrittenRecordOf(slot)->gameVersion, format::GameVersionKind::OlderKeywords);
  ConvertFor(slot, backups, "third", format::GameVersionKind::None);
  const std::optional<pipeline::WrittenRecord> third = store.WrittenRecordOf(slot);
  ASSERT_TRUE(third);
  EXPECT_EQ(third->gameVersion, format::GameVersionKind::None);
  EXPECT_EQ(third->listing, platform::ListFolder(slot));
  EXPECT_EQ(store.WrittenInto(slot), platform::ListFolder(slot));

  const std::vector<pipeline::BackupRecord> kept = BackupsOf(backups, slot);
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_TRUE(kept[0].converted);
  EXPECT_FALSE(kept[0].written) << "edited since";
  EXPECT_EQ(kept[0].gameVersion, format::GameVersionKind::CurrentKeywords);
  EXPECT_TRUE(pipeline::BackupStore::LooksUnchanged(kept[1]));
  EXPECT_EQ(kept[1].gameVersion, format::GameVersionKind::OlderKeywords);

  pipeline::RestoreBackup(store, kept[1]);
  const std::optional<pipeline::WrittenRecord> restored = store.WrittenRecordOf(slot);
  ASSERT_TRUE(restored);
  EXPECT_EQ(restored->gameVersion, format::GameVersionKind::OlderKeywords);
  EXPECT_EQ(restored->listing, platform::ListFolder(slot));

  // The edited one put back keeps its version, and is not taken for what Kartwerk wrote: the next
  // conversion keeps it as an edited conversion of that version.
  pipeline::RestoreBackup(store, kept[0]);
  const std::optional<pipeline::WrittenRecord> edited = store.WrittenRecordOf(slot);
  ASSERT_TRUE(edited);
  EXPECT_EQ(edited->gameVersion, format::GameVersionKind::CurrentKeywords);
  EXPECT_FALSE(edited->listing);
  EXPECT_FALSE(store.WrittenInto(slot));
  ConvertFor(slot, backups, "fourth", format::GameVersionKind::OlderKeywords);
  const std::vector<pipeline::BackupRecord> after = BackupsOf(backups, slot);
  const auto keptEdited = std::find_if(after.begin(), after.end(), [](const pipeline::BackupRecord& b) {
    return b.converted && !b.written && b.gameVersion == format::GameVersionKind::CurrentKeywords;
  });
  EXPECT_NE(keptEdited, after.end()) << "the edited conversion's backup, with its version";
}

// Records without the version line (an earlier Kartwerk's) read as before, with no version; so
// does a version no Kartwerk writes. The rest of the record is read either way.
TEST(BackupStoreTest, RecordsWithoutAKnownGameVersionReadAsBefore) {
  mapmaker::ScratchFolder dir;
  const fs::path backups = dir / "backups", out = pipeline::TargetPath(dir / "out");
  const pipeline::BackupStore store(backups);
  ConvertFor(out, backups, "one", format::GameVersionKind::OlderKeywords);
  ConvertFor(out, backups, "two", format::GameVersionKind::OlderKeywords);
  const std::vector<std::string> written = EntryNames(backups / ".written");
  const std::vector<std::string> about = EntryNames(backups / ".about");
  ASSERT_EQ(written.size(), 1u);
  ASSERT_EQ(about.size(), 1u);
  const fs::path writtenFile = backups / ".written" / written[0], aboutFile = backups / ".about" / about[0];
  const std::string writtenText = ReadText(writtenFile), aboutText = ReadText(aboutFile);
  const std::string line = "game-version 1.9\n";
  ASSERT_NE(writtenText.find("\n" + line), std::string::npos) << writtenText;
  ASSERT_NE(aboutText.find("\n" + line), std::string::npos) << aboutText;

  const struct {
    const char* with;
    format::GameVersionKind reads;
  } cases[] = {{"game-version later\n", format::GameVersionKind::CurrentKeywords},
               {"", format::GameVersionKind::None},
               {"game-version 3.0\n", format::GameVersionKind::None},
               {"game-version \n", format::GameVersionKind::None}};
  for (const auto& c : cases) {
    std::string w = writtenText, a = aboutText;
    w.replace(w.find(line), line.size(), c.with);
    a.replace(a.find(line), line.size(), c.with);
    WriteText(writtenFile, w);
    WriteText(aboutFile, a);
    const std::optional<pipeline::WrittenRecord> record = store.WrittenRecordOf(out);
    ASSERT_TRUE(record) << c.with;
    EXPECT_EQ(record->gameVersion, c.reads) << c.with;
    EXPECT_EQ(record->listing, platform::ListFolder(out)) << c.with;
    const std::vector<pipeline::BackupRecord> backup = BackupsOf(backups, out);
    ASSERT_EQ(backup.size(), 1u);
    EXPECT_EQ(backup[0].gameVersion, c.reads) << c.with;
    EXPECT_TRUE(pipeline::BackupStore::LooksUnchanged(backup[0])) << c.with;
    EXPECT_FALSE(pipeline::OutFolderRefusal(out, store)) << c.with << ": still the folder Kartwerk wrote";
  }
}

}  // namespace
}  // namespace kartwerk
