// The conversion entry: every end (a refused target, an unreadable map, a completed run, a stop, a
// run opened and dropped) is settled by its sink exactly once, the checks that guard a target
// apply to a sink with one and not to one in memory, and the count told before the first step is
// the count of labels the steps report.
#include "pipeline/run_conversion.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "pipeline/conversion_steps.hpp"
#include "platform/file_sink.hpp"

namespace kartwerk {
namespace {

using mapmaker::Gzip;
using mapmaker::SampleMainContainer;
using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;

const std::filesystem::path CliffData = std::filesystem::path(KARTWERK_EXE).parent_path() / "cliffdata";

// Takes the files in memory, counting them, and records how it was opened and settled.
class RecordingSink final : public pipeline::ConversionSink, public platform::FileSink {
 public:
  explicit RecordingSink(std::filesystem::path target) : target_(std::move(target)) {}
  std::filesystem::path Target() const override { return target_; }
  void Open(format::Conversion& c) override {
    ++opened;
    c.SlotFolder = "slot";
    c.Output = this;
  }
  void Finish(pipeline::ConversionEnd& end) override {
    ++finished;
    completed = end.Completed();
  }
  void Begin(const std::filesystem::path&) override { ++files; }
  void Write(std::span<const std::uint8_t>) override {}
  void End() override {}

  int opened = 0;
  std::atomic<int> finished = 0;
  bool completed = false;
  int files = 0;

 private:
  std::filesystem::path target_;
};

TEST(RunConversion, EveryEndIsSettledByItsSinkOnce) {
  mapmaker::ScratchFolder scratch;
  const auto map = scratch.path() / "maps" / "frontier.qdm";
  std::filesystem::create_directories(map.parent_path());
  mapmaker::WriteBytes(
      map, mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, {1, 0, 32, 24}), "frontier"));
  mapmaker::WriteBytes(scratch.path() / "maps" / "broken.qdm", {'n', 'o'});

  const struct {
    const char* name;
    std::filesystem::path map;
    std::filesystem::path target;
    const char* failedStep;  // empty: completes
    int opened;
    int files;
  } cases[] = {
      {"in memory", map, {}, "", 1, 6 + 15},
      {"a target that holds the map", map, map.parent_path(), "checking the slot folder", 0, 0},
      {"an unreadable map", scratch.path() / "maps" / "broken.qdm", {}, "staging the map", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingSink sink(c.target);
    std::vector<std::size_t> planned;
    std::atomic<int> labels = 0, ended = 0;
    pipeline::ConvertRequest request;
    request.mapPath = c.map;
    request.cliffDataFile = CliffData;
    request.planned = [&](std::size_t count) { planned.push_back(count); };
    request.progress = [&](const std::string&) { ++labels; };
    request.ended = [&](const pipeline::ConversionEnd&) { ++ended; };
    const pipeline::ConversionEnd end = pipeline::RunConversion(request, sink);
    EXPECT_EQ(end.failedStep, c.failedStep) << end.FailureText();
    EXPECT_EQ(sink.finished.load(), 1);
    EXPECT_EQ(sink.completed, end.Completed());
    EXPECT_EQ(sink.opened, c.opened);
    EXPECT_EQ(sink.files, c.files);
    if (end.Completed()) {
      EXPECT_EQ(planned, std::vector<std::size_t>{pipeline::ReportedLabelCount(1)});
      EXPECT_EQ(labels.load(), static_cast<int>(pipeline::ReportedLabelCount(1)))
          << "the count told is the count reported";
      EXPECT_EQ(ended.load(), 1);
    } else {
      EXPECT_TRUE(planned.empty());
      EXPECT_EQ(ended.load(), 0) << "a run that never started has no worker end";
    }
  }
}

TEST(MapConversion, OpenedButNeverStartedIsSettledAsStoppedAndStartsNothingAfterAFailure) {
  mapmaker::ScratchFolder scratch;
  const auto map = scratch.path() / "frontier.qdm";
  mapmaker::WriteBytes(
      map, mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, {1, 0, 32, 24}), "frontier"));
  pipeline::ConvertRequest request;
  request.mapPath = map;
  request.cliffDataFile = CliffData;
  RecordingSink dropped({});
  {
    pipeline::MapConversion run(request);
    ASSERT_TRUE(run.Stage());
    EXPECT_EQ(run.conversion().MapName, "frontier") << "the staged facts are there before the sink opens";
    ASSERT_TRUE(run.Open(dropped));
    EXPECT_EQ(run.conversion().MapInfoRecord.width, 32) << "and the map's header once it has";
    EXPECT_EQ(dropped.finished.load(), 0);
  }
  EXPECT_EQ(dropped.finished.load(), 1);
  EXPECT_FALSE(dropped.completed);

  request.mapPath = scratch.path() / "absent.qdm";
  RecordingSink refused({});
  pipeline::MapConversion run(request);
  EXPECT_FALSE(run.Open(refused));
  run.Start();
  EXPECT_FALSE(run.Started());
  EXPECT_EQ(run.Wait().failedStep, "staging the map");
  EXPECT_EQ(refused.finished.load(), 1);
}

}  // namespace
}  // namespace kartwerk
