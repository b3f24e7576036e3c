// What the program prints when it has no terminal: gathered from std::cout and std::cerr for the
// "Kartwerk" box, a batch conversion's every line included, and nothing left to reach the C
// library's stdout and stderr (which lead nowhere for a program started from Explorer).
#include "app/windowed_output.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "app/batch_convert.hpp"
#include "app/terminal_output.hpp"
#include "mapmaker/map_builder.hpp"
#include "platform/whole_file.hpp"
#include "tests/support/batch_samples.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk::app {
namespace {

using mapmaker::ScratchFolder;
using testing::Lines;

TEST(WindowedTextTest, LinesLoseTheProgramsNameAndTrailingLineEnds) {
  const struct {
    const char* printed;
    const char* shown;
  } cases[] = {
      {"kartwerk: \"a.txt\" is not a compiled map\n", "\"a.txt\" is not a compiled map"},
      {"kartwerk: warning: x\r\nkartwerk: y\r\n\n\n", "warning: x\ny"},
      {"3 maps: 3 converted\n", "3 maps: 3 converted"},
      {"a kartwerk: in the middle\n", "a kartwerk: in the middle"},
      {"first\n\nthird", "first\n\nthird"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(WindowedText(c.printed), c.shown) << c.printed;
}

// Points the process's standard output and error at a file while it lives.
class CapturedDescriptors {
 public:
  explicit CapturedDescriptors(const std::filesystem::path& file) {
    std::fflush(stdout);
    std::fflush(stderr);
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    out_ = ::dup(1);
    err_ = ::dup(2);
    ::dup2(fd, 1);
    ::dup2(fd, 2);
    ::close(fd);
  }
  ~CapturedDescriptors() {
    std::fflush(stdout);
    std::fflush(stderr);
    ::dup2(out_, 1);
    ::dup2(err_, 2);
    ::close(out_);
    ::close(err_);
  }
  CapturedDescriptors(const CapturedDescriptors&) = delete;
  CapturedDescriptors& operator=(const CapturedDescriptors&) = delete;

 private:
  int out_ = -1;
  int err_ = -1;
};

std::size_t CountStarting(const std::vector<std::string>& lines, const std::string& prefix) {
  return static_cast<std::size_t>(
      std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

TEST(WindowedOutputTest, ABatchConversionsEveryLineGoesToTheWindowAndNoneToTheCStreams) {
  mapmaker::ScratchFolder dir;
  std::vector<std::filesystem::path> maps = testing::WriteBatchSamples(dir / "maps");
  maps.resize(3);
  const std::filesystem::path broken = dir / "maps" / "broken.qdm";
  mapmaker::WriteBytes(broken, core::Bytes{'n', 'o', 't', ' ', 'a', ' ', 'm', 'a', 'p'});
  maps.push_back(broken);
  BatchConvertSettings settings;
  for (const auto& map : maps) settings.maps.push_back(map.string());
  settings.out = (dir / "out").string();
  settings.jobs = 1;
  settings.cliffData = (std::filesystem::path(KARTWERK_EXE).parent_path() / "cliffdata").string();

  int status = -1;
  std::string shown;
  {
    const CapturedDescriptors captured(dir / "c-streams");
    const TerminalOutput terminal;  // as main has it: the one writer, then the window over it
    WindowedOutput windowed(true);
    status = ConvertBatch(settings);
    shown = windowed.Text();
  }
  EXPECT_EQ(status, 1) << "one map failed";
  EXPECT_EQ(platform::ReadFileText(dir / "c-streams", 1 << 20).value_or("unreadable"), "") << "printed past the window";

  const std::vector<std::string> lines = Lines(shown);
  ASSERT_FALSE(lines.empty());
  for (std::size_t i = 1; i <= 3; ++i) {
    EXPECT_GT(CountStarting(lines, "[" + std::to_string(i) + "/4] "), 0u) << "no progress of map " << i << ":\n"
                                                                          << shown;
  }
  EXPECT_EQ(CountStarting(lines, broken.string() + ": "), 1u) << "the failure, once:\n" << shown;
  EXPECT_EQ(lines.back(), "4 maps: 3 converted, 1 failed (" + broken.string() + ")");
  EXPECT_EQ(CountStarting(lines, "kartwerk: "), 0u) << "the window's title names the program";
}

}  // namespace
}  // namespace kartwerk::app
