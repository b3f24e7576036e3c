// Conversions side by side: in one process (two contexts on two threads) and in two processes
// sharing one temporary folder. Each must give exactly the bytes it gives alone, and neither may
// see or leave the other's temporary files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <future>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "pipeline/run_conversion.hpp"
#include "platform/file_output.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

using mapmaker::Gzip;
using mapmaker::ReadBytes;
using mapmaker::SampleMainContainer;
using mapmaker::SampleMissionContainer;
using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;
using testing::RunProgram;

// Every file under a folder: its path relative to the folder, its permission bits and its bytes.
struct FileState {
  unsigned mode = 0;
  core::Bytes bytes;
  bool operator==(const FileState&) const = default;
};
using FolderState = std::map<std::string, FileState>;

FolderState Snapshot(const std::filesystem::path& folder) {
  FolderState state;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
    struct stat st {};
    ::stat(e.path().c_str(), &st);
    FileState file{static_cast<unsigned>(st.st_mode & 07777), {}};
    if (e.is_regular_file()) file.bytes = mapmaker::ReadBytes(e.path());
    state[std::filesystem::relative(e.path(), folder).string()] = std::move(file);
  }
  return state;
}

// The process's file creation mask, read without leaving it changed.
mode_t CurrentUmask() {
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

// TMPDIR pointed at a scratch folder for the length of a test.
class ScratchTmpdir {
 public:
  ScratchTmpdir() {
    if (const char* old = std::getenv("TMPDIR")) old_ = old;
    ::setenv("TMPDIR", folder_.path().c_str(), 1);
  }
  ~ScratchTmpdir() {
    if (old_.empty()) {
      ::unsetenv("TMPDIR");
    } else {
      ::setenv("TMPDIR", old_.c_str(), 1);
    }
  }
  const std::filesystem::path& path() const { return folder_.path(); }

 private:
  mapmaker::ScratchFolder folder_;
  std::string old_;
};

class ConcurrencyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    maps_ = mapmaker::WriteSampleMaps(dir / "maps");
    // A larger campaign of five missions beside the bundled samples.
    const mapmaker::SampleOptions options{31, 2, 120, 90};
    mapmaker::WriteBytes(dir / "maps" / "044.qdc",
                         mapmaker::Gzip(mapmaker::SampleMainContainer(format::CampaignMap, options), "044"));
    for (std::uint32_t mission : {0u, 1u, 2u, 5u, 9u}) {
      const std::string name = "0440" + std::string(mission < 10 ? "0" : "") + std::to_string(mission);
      mapmaker::WriteBytes(dir / "maps" / (name + ".qdc"),
                           mapmaker::Gzip(mapmaker::SampleMissionContainer(options, mission), name));
    }
    maps_.push_back(dir / "maps" / "044.qdc");
  }

  pipeline::ConvertRequest Request(const std::filesystem::path& map, const std::filesystem::path& slot) const {
    pipeline::ConvertRequest request;
    request.mapPath = map;
    request.slotFolder = slot;
    request.cliffDataFile = std::filesystem::path(KARTWERK_EXE).parent_path() / "cliffdata";
    return request;
  }

  mapmaker::ScratchFolder dir;
  std::vector<std::filesystem::path> maps_;
};

TEST_F(ConcurrencyTest, TwoConversionsOnTwoThreadsGiveTheBytesOfTwoAfterEachOther) {
  ScratchTmpdir temp;
  ASSERT_EQ(maps_.size(), 4u);
  // Alone, one after the other.
  std::vector<FolderState> alone;
  for (std::size_t i = 0; i < maps_.size(); ++i) {
    const auto slot = dir / "alone" / std::to_string(i);
    const pipeline::ConversionEnd end = pipeline::RunConversion(Request(maps_[i], slot));
    ASSERT_TRUE(end.Completed()) << maps_[i] << ": " << end.FailureText();
    alone.push_back(Snapshot(slot));
    ASSERT_GT(alone.back().size(), 20u);
  }
  // Pairs at the same time: every map beside every other, and beside itself.
  for (std::size_t a = 0; a < maps_.size(); ++a) {
    for (std::size_t b = a; b < maps_.size(); ++b) {
      const auto slotA = dir / "pair" / (std::to_string(a) + "-" + std::to_string(b)) / "a";
      const auto slotB = dir / "pair" / (std::to_string(a) + "-" + std::to_string(b)) / "b";
      std::promise<void> go;
      std::shared_future<void> start = go.get_future().share();
      auto run = [&, start](std::size_t map, const std::filesystem::path& slot) {
        start.wait();
        return pipeline::RunConversion(Request(maps_[map], slot));
      };
      auto first = std::async(std::launch::async, run, a, slotA);
      auto second = std::async(std::launch::async, run, b, slotB);
      go.set_value();
      const pipeline::ConversionEnd endA = first.get(), endB = second.get();
      EXPECT_TRUE(endA.Completed()) << endA.FailureText();
      EXPECT_TRUE(endB.Completed()) << endB.FailureText();
      EXPECT_TRUE(Snapshot(slotA) == alone[a]) << "map " << a << " beside map " << b;
      EXPECT_TRUE(Snapshot(slotB) == alone[b]) << "map " << b << " beside map " << a;
    }
  }
  EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
}

// Every output file is created with the permissions a plain create gives under the process's
// file creation mask, and writing one never changes that mask for the rest of the process: other
// threads create folders and files at the same moment.
TEST_F(ConcurrencyTest, FileWritesOnManyThreadsKeepTheFileCreationMask) {
  const mode_t saved = ::umask(022);
  constexpr int kWriters = 3;
  constexpr int kWritesEach = 3000;
  std::atomic<bool> writing{true};
  std::atomic<int> looseFiles{0};
  // A thread that creates plain files all the while, as a conversion creates its mission folders.
  std::thread observer([&] {
    int n = 0;
    while (writing.load()) {
      const auto path = dir / ("plain" + std::to_string(n++ % 50));
      ::unlink(path.c_str());
      const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
      if (fd < 0) continue;
      struct stat st {};
      ::fstat(fd, &st);
      if ((st.st_mode & 0777) != 0644) ++looseFiles;
      ::close(fd);
    }
  });
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([&, w] {
      const auto folder = dir / ("writer" + std::to_string(w));
      std::filesystem::create_directories(folder);
      for (int i = 0; i < kWritesEach; ++i)
        platform::WriteFileAtomic(folder / std::to_string(i % 20), std::string_view("x"));
    });
  }
  for (auto& t : writers) t.join();
  writing = false;
  observer.join();
  const mode_t after = CurrentUmask();
  ::umask(saved);
  EXPECT_EQ(after, 022u);
  EXPECT_EQ(looseFiles.load(), 0);
  for (int w = 0; w < kWriters; ++w) {
    for (int i = 0; i < 20; ++i) {
      struct stat st {};
      ASSERT_EQ(::stat((dir / ("writer" + std::to_string(w)) / std::to_string(i)).c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 0777, 0644u);
    }
  }
}

// Two runs of the program on one map at the same moment, with one TMPDIR: staging is in memory,
// so neither puts anything into TMPDIR, and both succeed with the same bytes.
TEST_F(ConcurrencyTest, TwoProgramsOnOneMapShareNoTemporaryFiles) {
  mapmaker::ScratchFolder temp;
  const auto map = maps_.back();  // the five-mission campaign: long enough for the runs to overlap
  const pipeline::ConversionEnd reference = pipeline::RunConversion(Request(map, dir / "reference"));
  ASSERT_TRUE(reference.Completed()) << reference.FailureText();
  const FolderState expected = Snapshot(dir / "reference");

  for (int round = 0; round < 3; ++round) {
    const auto slotA = dir / ("a" + std::to_string(round)), slotB = dir / ("b" + std::to_string(round));
    std::atomic<bool> running{true};
    // What appears directly in TMPDIR while the two run: nothing (and never loose files).
    std::set<std::string> seen;
    std::vector<std::string> loose;
    std::thread watcher([&] {
      while (running.load()) {
        std::error_code ec;
        for (std::filesystem::directory_iterator it(temp.path(), ec), end; !ec && it != end; it.increment(ec)) {
          struct stat st {};
          if (::lstat(it->path().c_str(), &st) != 0) continue;  // already removed
          const std::string name = it->path().filename().string();
          if (!S_ISDIR(st.st_mode) || (st.st_mode & 0777) != 0700) loose.push_back(name);
          seen.insert(name);
        }
      }
    });
    auto run = [&](const std::filesystem::path& slot) {
      return RunProgram(KARTWERK_EXE, {"convert", map.string(), "--out", slot.string(), "--quiet"},
                        {"TMPDIR=" + temp.path().string()});
    };
    auto first = std::async(std::launch::async, run, slotA);
    auto second = std::async(std::launch::async, run, slotB);
    const auto resultA = first.get(), resultB = second.get();
    running = false;
    watcher.join();
    EXPECT_EQ(resultA.status, 0) << resultA.err;
    EXPECT_EQ(resultB.status, 0) << resultB.err;
    EXPECT_TRUE(Snapshot(slotA) == expected);
    EXPECT_TRUE(Snapshot(slotB) == expected);
    EXPECT_TRUE(loose.empty()) << loose.front();
    EXPECT_TRUE(seen.empty()) << *seen.begin();
    EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
  }
}

// Two runs of the program into one slot at the same moment: both succeed, the slot holds the map
// of the one that finished later, and the slot's earlier map and the other run's map are both in
// the backups; nothing is left beside the slot.
TEST_F(ConcurrencyTest, TwoProgramsIntoOneSlotEachEndWithACompleteSlot) {
  std::vector<FolderState> expected;
  for (const std::size_t m : {std::size_t{0}, maps_.size() - 1}) {
    ASSERT_TRUE(pipeline::RunConversion(Request(maps_[m], dir / "reference" / std::to_string(m))).Completed());
    expected.push_back(Snapshot(dir / "reference" / std::to_string(m)));
  }
  for (int round = 0; round < 3; ++round) {
    const auto src = dir / ("maps.src" + std::to_string(round)), data = dir / ("data" + std::to_string(round));
    const auto slot = src / "map.005";
    std::filesystem::create_directories(slot);
    mapmaker::WriteBytes(slot / "desc", core::Bytes{'o', 'l', 'd'});
    const FolderState old = Snapshot(slot);
    auto run = [&](std::size_t map) {
      return RunProgram(KARTWERK_EXE, {"convert", maps_[map].string(), "--out", slot.string(), "--quiet"},
                        {"XDG_DATA_HOME=" + data.string()});
    };
    auto first = std::async(std::launch::async, run, 0);
    auto second = std::async(std::launch::async, run, maps_.size() - 1);
    const auto resultA = first.get(), resultB = second.get();
    EXPECT_EQ(resultA.status, 0) << resultA.err;
    EXPECT_EQ(resultB.status, 0) << resultB.err;

    const FolderState now = Snapshot(slot);
    ASSERT_TRUE(now == expected[0] || now == expected[1]);
    const FolderState& earlier = now == expected[0] ? expected[1] : expected[0];
    std::vector<FolderState> backups;
    for (const auto& e : std::filesystem::directory_iterator(data / "kartwerk" / "replaced-slots")) {
      if (e.path().filename().string()[0] != '.') backups.push_back(Snapshot(e.path()));  // not the records
    }
    ASSERT_EQ(backups.size(), 2u);
    EXPECT_TRUE((backups[0] == old && backups[1] == earlier) || (backups[1] == old && backups[0] == earlier));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(src), std::filesystem::directory_iterator()), 1);
  }
}

}  // namespace
}  // namespace kartwerk
