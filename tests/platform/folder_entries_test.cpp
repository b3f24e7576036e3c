// A folder read once by name: what each entry is, and leftovers of ended runs taken out of the
// same reading.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "mapmaker/map_builder.hpp"
#include "platform/content_hash.hpp"
#include "platform/folder_entries.hpp"
#include "platform/folder_listing.hpp"
#include "platform/process_leftovers.hpp"
#include "tests/support/folder_tree.hpp"

namespace kartwerk {
namespace {

namespace fs = std::filesystem;
using mapmaker::ScratchFolder;
using testing::EntryNames;

std::vector<std::string> Described(const std::vector<platform::FolderEntry>& entries) {
  std::vector<std::string> lines;
  for (const platform::FolderEntry& entry : entries)
    lines.push_back(std::string(entry.name) + (entry.folder ? "/" : ""));
  std::sort(lines.begin(), lines.end());
  return lines;
}

void Touch(const fs::path& file) { std::ofstream(file) << "x"; }

TEST(FolderEntriesTest, NamesEveryEntryAndWhetherItIsAFolder) {
  ScratchFolder dir;
  fs::create_directories(dir / "map.001 2026-12-07 14-30-21.042Z-01 Dunes" / "mis.000");
  fs::create_directory(dir / ".about");
  Touch(dir / "notes.txt");
  Touch(dir / "Übersicht");
#ifndef _WIN32
  fs::create_directory_symlink(dir / ".about", dir / "to a folder");
  fs::create_symlink(dir / "notes.txt", dir / "to a file");
  fs::create_symlink(dir / "nothing", dir / "to nothing");
#endif
  std::vector<std::string> expected{".about/", "map.001 2026-12-07 14-30-21.042Z-01 Dunes/", "notes.txt", "Übersicht"};
#ifndef _WIN32
  expected.insert(expected.end(), {"to a file", "to a folder/", "to nothing"});
#endif
  std::sort(expected.begin(), expected.end());
  platform::FolderReading reading(dir.path());
  EXPECT_EQ(Described(reading.Entries()), expected) << "no \".\", \"..\", nor what lies deeper";
  EXPECT_TRUE(platform::FolderReading(dir / "missing").Entries().empty());
  EXPECT_TRUE(platform::FolderReading(dir / "notes.txt").Entries().empty()) << "a file has no entries";
  // Names added later are kept by the reading, which may move without losing any name.
  for (int i = 0; i < 100; ++i) reading.Add("map.001 2026-12-07 14-30-21.042Z-" + std::to_string(i) + " x", true);
  reading.Add("b", false);
  const platform::FolderReading moved = std::move(reading);
  const std::vector<std::string> names = Described(moved.Entries());
  EXPECT_EQ(names.size(), expected.size() + 101);
  EXPECT_TRUE(std::find(names.begin(), names.end(), "map.001 2026-12-07 14-30-21.042Z-42 x/") != names.end());
  EXPECT_TRUE(std::find(names.begin(), names.end(), "b") != names.end());
  EXPECT_TRUE(std::find(names.begin(), names.end(), "notes.txt") != names.end());
}

#ifndef _WIN32
TEST(FolderEntriesTest, LeftoversOfEndedRunsLeaveTheFolderAndItsReading) {
  ScratchFolder dir;
  // The system never gives a process the number pid_max itself.
  std::string ended;
  std::ifstream("/proc/sys/kernel/pid_max") >> ended;
  ASSERT_FALSE(ended.empty());
  const std::string mine = platform::ProcessMarkedName(".kartwerk-record-");
  const std::vector<std::string> names{".kartwerk-record-" + ended + "-abc",    // ended: removed
                                       ".kartwerk-incoming-" + ended + "-def",  // ended, a folder: removed
                                       ".kartwerk-probe-" + ended + "-ghi",     // a prefix not asked for
                                       mine,                                    // this process still runs
                                       ".kartwerk-record-x-jkl",                // no process number
                                       "map.001 2026-12-07 14-30-21.042Z-01 " + ended};
  for (const std::string& name : names) Touch(dir / name);
  fs::remove(dir / names[1]);
  fs::create_directories(dir / names[1] / "mis.000");
  Touch(dir / names[1] / "mis.000" / "desc");

  platform::FolderReading reading(dir.path());
  std::vector<platform::FolderEntry>& entries = reading.Entries();
  platform::RemoveEndedProcessLeftovers(dir.path(), entries, {".kartwerk-record-", ".kartwerk-incoming-"});
  std::vector<std::string> kept(names.begin() + 2, names.end());
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(EntryNames(dir.path()), kept);
  EXPECT_EQ(Described(entries), kept) << "the reading no longer names what was removed";
}
#endif

// The stamp as std::filesystem reads a folder: names in byte order, a folder "d", a file its size
// and modification time in file_time_type's ticks. Records keep stamps, so this must never change.
std::string StampByTheLibrary(const fs::path& folder) {
  std::map<std::string, std::string> entries;
  for (fs::recursive_directory_iterator it(folder), end; it != end; ++it) {
    const std::string name = it->path().lexically_relative(folder).generic_string();
    entries[name] = it->is_directory() ? "d"
                                       : std::to_string(it->file_size()) + " " +
                                             std::to_string(it->last_write_time().time_since_epoch().count());
  }
  platform::ContentHash hash;
  for (const auto& [name, facts] : entries) hash.Add(name + "\n" + facts + "\n");
  return hash.Digest();
}

TEST(FolderStampTest, IsTheStampRecordsKeepAndRefusesWhatNoConversionHolds) {
  ScratchFolder dir;
  const fs::path slot = dir / "slot";
  // Names that sort differently by name and by "name + line break" (a byte below it), nested.
  const std::vector<std::string> names{"desc",
                                       "a",
                                       "a\x01"
                                       "b",
                                       "a.b",
                                       "mis.000/players",
                                       "mis.000/units"};
  for (const std::string& name : names) {
    fs::create_directories((slot / name).parent_path());
    std::ofstream(slot / name) << "content of " << name;
  }
  fs::create_directory(slot / "mis.001");
  using std::chrono::nanoseconds;
  const auto epoch = fs::last_write_time(slot / "desc") - fs::last_write_time(slot / "desc").time_since_epoch();
  fs::last_write_time(slot / "a", epoch + nanoseconds(123456789));  // file_clock's epoch, nanoseconds
  fs::last_write_time(slot / "a.b", fs::file_time_type::clock::from_sys(std::chrono::sys_days{} -
                                                                        std::chrono::hours(24) + nanoseconds(5)));
  const std::optional<std::string> stamp = platform::FolderStamp(slot);
  ASSERT_TRUE(stamp);
  EXPECT_EQ(*stamp, StampByTheLibrary(slot));
  EXPECT_EQ(stamp->rfind("xxh3-128:", 0), 0u);

  std::ofstream(slot / "mis.000" / "units", std::ios::app) << "!";
  EXPECT_NE(platform::FolderStamp(slot), stamp) << "a size changed";
  EXPECT_EQ(platform::FolderStamp(slot), StampByTheLibrary(slot));

  EXPECT_FALSE(platform::FolderStamp(dir / "missing"));
  EXPECT_FALSE(platform::FolderStamp(slot / "desc")) << "a file is no folder";
#ifndef _WIN32
  fs::create_directory_symlink(slot, dir / "link to the slot");
  EXPECT_FALSE(platform::FolderStamp(dir / "link to the slot"));
  const std::pair<const char*, std::function<void(const fs::path&)>> refused[] = {
      {"a link", [](const fs::path& at) { fs::create_symlink("desc", at); }},
      {"a FIFO", [](const fs::path& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); }},
      {"a line break in a name", [](const fs::path& at) { std::ofstream(at.string() + "\nx") << "x"; }},
  };
  for (const auto& [what, make] : refused) {
    ScratchFolder other;
    fs::copy(slot, other / "slot", fs::copy_options::recursive);
    make(other / "slot" / "mis.001" / "odd");
    EXPECT_FALSE(platform::FolderStamp(other / "slot")) << what;
  }
#endif
}

}  // namespace
}  // namespace kartwerk
