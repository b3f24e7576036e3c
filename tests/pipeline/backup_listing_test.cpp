// What `kartwerk backups` says about each backup, how it finds a place's backups by any spelling of
// its path, and that a record that cannot be written says why.
#include <gtest/gtest.h>

#include <fstream>

#include "mapmaker/map_builder.hpp"
#include "pipeline/backup_listing.hpp"
#include "pipeline/slot_commit.hpp"
#include "platform/path_text.hpp"

namespace kartwerk {
namespace {

namespace fs = std::filesystem;
using mapmaker::ScratchFolder;

void WriteText(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

fs::path ConvertInto(const fs::path& place, const fs::path& backups, const std::string& text) {
  pipeline::SlotCommit commit(place, backups);
  WriteText(commit.Folder() / "desc", text);
  return commit.Commit();
}

TEST(BackupListingTest, SizesCountsAndWordsReadAsAPersonWritesThem) {
  const std::pair<std::uintmax_t, const char*> sizes[] = {
      {0, "0 bytes"},     {1, "1 byte"},      {999, "999 bytes"},    {1000, "1.0 kB"},       {12345, "12.3 kB"},
      {999499, "999 kB"}, {999500, "1.0 MB"}, {177000000, "177 MB"}, {2100000000, "2.1 GB"}, {5000000000000, "5.0 TB"},
  };
  for (const auto& [bytes, text] : sizes) EXPECT_EQ(pipeline::BackupSizeText(bytes), text) << bytes;

  EXPECT_EQ(pipeline::BackupsSummary(0, 0, "/data/replaced-slots", false), "no backups in \"/data/replaced-slots\"");
  EXPECT_EQ(pipeline::BackupsSummary(1, 1500, "/g/map.007", true).rfind("1 backup of \"/g/map.007\", 1.5 kB; ", 0), 0u);
  EXPECT_EQ(pipeline::BackupsSummary(316, 177000000, "/d", false).substr(0, 28), "316 backups in \"/d\", 177 MB;");
  EXPECT_EQ(pipeline::NotABackupText("/home/me/out1"),
            "/home/me/out1 is not a backup; `kartwerk backups --out /home/me/out1` lists its backups");
  EXPECT_EQ(pipeline::LocalBackupTimeText("not a time"), "time unknown");
  EXPECT_EQ(pipeline::LocalBackupTimeText("2026-13-07 14-30-21.042Z-01"), "time unknown");
  const std::string local = pipeline::LocalBackupTimeText("2026-12-07 14-30-21.042Z-01");
  EXPECT_EQ(local.size(), 19u);
  EXPECT_EQ(local.substr(13), ":30:21") << "time zones move hours, not minutes and seconds";
}

TEST(BackupListingTest, EachBackupIsOneLineWithItsPlaceStateAndTheNameRestoreTakes) {
  mapmaker::ScratchFolder dir;
  const fs::path backups = dir / "backups", place = pipeline::TargetPath(dir / "maps.src" / "map.007");
  WriteText(place / "desc", "the editor's own map");
  const fs::path foreign = ConvertInto(place, backups, "first");
  const fs::path unchanged = ConvertInto(place, backups, "second");
  WriteText(place / "desc", "second, edited");
  const fs::path edited = ConvertInto(place, backups, "third");
  WriteText(backups / "by hand" / "desc", "?");

  const pipeline::BackupStore store(backups);
  const struct {
    fs::path folder;
    pipeline::BackupState state;
  } expected[] = {{foreign, pipeline::BackupState::kNotKartwerkMap},
                  {unchanged, pipeline::BackupState::kUnchangedConversion},
                  {edited, pipeline::BackupState::kEdited}};
  const std::vector<pipeline::BackupRecord> listed = store.OfPlace(place);
  ASSERT_EQ(listed.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(listed[i].folder, expected[i].folder) << "oldest first";
    EXPECT_EQ(pipeline::StateOfBackup(listed[i]), expected[i].state);
    const std::string line =
        pipeline::BackupLine(listed[i], "2026-12-07 15:30:21", 2048, pipeline::StateOfBackup(listed[i]));
    const std::string key = pipeline::BackupKey(listed[i]);
    EXPECT_EQ(key, "map.007 " + listed[i].when);
    EXPECT_EQ(line, "\"" + platform::TextFromPath(place) + "\"  2026-12-07 15:30:21  \"" + listed[i].title +
                        "\"  2.0 kB  " + pipeline::BackupStateText(expected[i].state) + "  [" + key + "]");
    EXPECT_EQ(store.Find(key).folder, listed[i].folder) << "restore takes the name in brackets";
  }
  const pipeline::BackupRecord unknown = store.Find("by hand");
  EXPECT_EQ(
      pipeline::BackupLine(unknown, pipeline::LocalBackupTimeText(unknown.when), 1, pipeline::StateOfBackup(unknown)),
      "unknown place  time unknown  \"by hand\"  1 byte  not a Kartwerk map  [by hand]");
}

TEST(BackupListingTest, EverySpellingOfAPlaceFindsItsBackups) {
  mapmaker::ScratchFolder dir;
  const fs::path backups = dir / "backups";
  // A Wine prefix's drive: dosdevices/c: leads to drive_c.
  const fs::path place = pipeline::TargetPath(dir / "prefix" / "drive_c" / "game" / "editor" / "maps.src" / "map.001");
  fs::create_directories(dir / "prefix" / "dosdevices");
  fs::create_directory_symlink("../drive_c", dir / "prefix" / "dosdevices" / "c:");
  const fs::path viaDrive = dir / "prefix" / "dosdevices" / "c:" / "game" / "editor" / "maps.src" / "map.001";
  WriteText(place / "desc", "one");
  ConvertInto(place, backups, "two");
  ConvertInto(pipeline::TargetPath(viaDrive), backups, "three");

  const pipeline::BackupStore store(backups);
  for (const fs::path& spelling :
       {place, pipeline::TargetPath(viaDrive), pipeline::TargetPath(place / ".." / "map.001")}) {
    EXPECT_EQ(store.OfPlace(spelling).size(), 2u) << platform::TextFromPath(spelling);
  }
  EXPECT_TRUE(
      store.OfPlace(pipeline::TargetPath(dir / "prefix" / "drive_c" / "game" / "editor" / "maps.src" / "map.002"))
          .empty());
}

TEST(BackupListingTest, ARecordThatCannotBeWrittenSaysWhy) {
  mapmaker::ScratchFolder dir;
  const pipeline::BackupStore store(dir / "backups");
  store.MakeReady();
  WriteText(dir / "backups" / ".about", "a file where the records' folder belongs");
  pipeline::BackupRecord record;
  record.folder = dir / "backups" / "map.001 2026-12-07 14-30-21.042Z-01 x";
  record.origin = dir / "map.001";
  record.when = "2026-12-07 14-30-21.042Z-01";
  try {
    store.Describe(record);
    ADD_FAILURE() << "the record was written";
  } catch (const std::runtime_error& e) {
    const std::string text = e.what();
    EXPECT_EQ(text.rfind("Cannot write the record \"", 0), 0u) << text;
    EXPECT_NE(text.find("\": "), std::string::npos) << "a reason follows: " << text;
    EXPECT_GT(text.size(), text.find("\": ") + 4) << text;
  }
}

}  // namespace
}  // namespace kartwerk
