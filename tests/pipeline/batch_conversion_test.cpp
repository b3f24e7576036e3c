// Batch conversion: naming the maps and merging files that name one map, refusing clashing
// names, the pool (one conversion per map, jobs at a time), failures of single maps, stops,
// and the summary line.
#include "pipeline/batch_conversion.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "pipeline/run_conversion.hpp"
#include "tests/support/batch_samples.hpp"

namespace kartwerk {
namespace {

using mapmaker::Gzip;
using mapmaker::Le;
using mapmaker::ReplaceSection;
using mapmaker::SampleMainContainer;
using mapmaker::SampleMissionContainer;
using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;
using testing::FolderContents;
using testing::WriteBatchSamples;

const std::filesystem::path CliffData = std::filesystem::path(KARTWERK_EXE).parent_path() / "cliffdata";

pipeline::BatchRequest RequestFor(const std::vector<std::filesystem::path>& maps, const std::filesystem::path& out,
                                  unsigned jobs) {
  const pipeline::BatchPlan plan = pipeline::PlanBatch(maps);
  EXPECT_TRUE(plan.clashes.empty());
  pipeline::BatchRequest request;
  request.maps = plan.maps;
  request.outFolder = out;
  request.jobs = jobs;
  request.cliffDataFile = CliffData;
  return request;
}

// What converting map on its own writes.
std::map<std::string, core::Bytes> ConvertedAlone(const std::filesystem::path& map, const std::filesystem::path& slot) {
  pipeline::ConvertRequest request;
  request.mapPath = map;
  request.slotFolder = slot;
  request.cliffDataFile = CliffData;
  const pipeline::ConversionEnd end = pipeline::RunConversion(request);
  EXPECT_TRUE(end.Completed()) << map << ": " << end.FailureText();
  return FolderContents(slot);
}

TEST(BatchFolderName, IsTheFileNameWithoutExtensionAndACampaignsThreeCharacters) {
  EXPECT_EQ(pipeline::BatchFolderName("maps/frontier.qdm"), "frontier");
  EXPECT_EQ(pipeline::BatchFolderName("/x/Dune.Sea.QDP"), "Dune.Sea");
  EXPECT_EQ(pipeline::BatchFolderName("c/012.qdc"), "012");
  EXPECT_EQ(pipeline::BatchFolderName("c/012004.qdc"), "012");  // a mission file converts its whole campaign
  EXPECT_EQ(pipeline::BatchFolderName("c/ab.qdc"), "ab");
}

TEST(PlanBatch, MergesFilesThatNameOneMap) {
  mapmaker::ScratchFolder dir;
  const auto maps = mapmaker::WriteSampleMaps(dir / "maps");
  const auto m = dir / "maps";
  const pipeline::BatchPlan plan =
      pipeline::PlanBatch({m / "frontier.qdm", m / "007000.qdc", m / "islands.qdp", m / "007.qdc",
                           dir / "maps/../maps/frontier.qdm", m / "007003.QDC"});
  EXPECT_TRUE(plan.clashes.empty());
  ASSERT_EQ(plan.maps.size(), 3u);
  EXPECT_EQ(plan.maps[0].folderName, "frontier");
  EXPECT_EQ(plan.maps[0].listed.size(), 2u);
  // The campaign is converted through the first of its files listed, once.
  EXPECT_EQ(plan.maps[1].folderName, "007");
  EXPECT_EQ(plan.maps[1].mapPath, m / "007000.qdc");
  EXPECT_EQ(plan.maps[1].listed,
            (std::vector<std::filesystem::path>{m / "007000.qdc", m / "007.qdc", m / "007003.QDC"}));
  EXPECT_EQ(plan.maps[2].folderName, "islands");
  EXPECT_EQ(plan.maps[2].listed.size(), 1u);
}

TEST(PlanBatch, DifferentMapsWithOneNameClash) {
  mapmaker::ScratchFolder dir;
  for (const char* file :
       {"a/x.qdm", "a/x.qdp", "b/x.qdm", "a/Y.qdm", "b/y.qdm", "a/012.qdc", "b/012000.qdc", "a/012.qdm", "a/z.qdm"}) {
    std::filesystem::create_directories((dir / file).parent_path());
    mapmaker::WriteBytes(dir / file, core::Bytes{1});
  }
  auto clashesOf = [&](std::vector<std::string> files) {
    std::vector<std::filesystem::path> paths;
    for (const auto& f : files) paths.push_back(dir / f);
    return pipeline::PlanBatch(paths).clashes;
  };
  // One name, two extensions.
  auto c = clashesOf({"a/x.qdm", "a/z.qdm", "a/x.qdp"});
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].first, dir / "a/x.qdm");
  EXPECT_EQ(c[0].second, dir / "a/x.qdp");
  EXPECT_EQ(c[0].folderName, "x");
  // One name in two folders; names that differ only in case would share a folder on the
  // game's file system.
  EXPECT_EQ(clashesOf({"a/x.qdm", "b/x.qdm"}).size(), 1u);
  c = clashesOf({"a/Y.qdm", "b/y.qdm"});
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].folderName, "Y");
  // Two campaigns with the same three characters, and a campaign beside a map of its name.
  EXPECT_EQ(clashesOf({"a/012.qdc", "b/012000.qdc"}).size(), 1u);
  EXPECT_EQ(clashesOf({"a/012.qdc", "a/012.qdm"}).size(), 1u);
  // Three maps of one name: each later one is reported against the first.
  c = clashesOf({"a/x.qdm", "a/x.qdp", "b/x.qdm"});
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[1].first, dir / "a/x.qdm");
  EXPECT_EQ(c[1].second, dir / "b/x.qdm");
  EXPECT_TRUE(clashesOf({"a/x.qdm", "a/z.qdm", "a/012.qdc", "b/y.qdm"}).empty());
}

TEST(BatchWorkerCount, FollowsTheRequestTheCoresAndTheMaps) {
  EXPECT_EQ(pipeline::BatchWorkerCount(1, 8), 1u);
  EXPECT_EQ(pipeline::BatchWorkerCount(3, 8), 3u);
  EXPECT_EQ(pipeline::BatchWorkerCount(16, 5), 5u);
  EXPECT_EQ(pipeline::BatchWorkerCount(4, 0), 1u);
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  EXPECT_EQ(pipeline::BatchWorkerCount(0, 1000), cores);
  EXPECT_EQ(pipeline::BatchWorkerCount(0, 1), 1u);
}

TEST(RunBatchConversion, EveryFolderEqualsTheMapConvertedAlone) {
  mapmaker::ScratchFolder dir;
  const auto maps = WriteBatchSamples(dir / "maps");
  ASSERT_EQ(maps.size(), 8u);
  pipeline::BatchRequest request = RequestFor(maps, dir / "out", 3);
  std::mutex mutex;
  std::vector<std::vector<std::string>> labels(maps.size());
  std::vector<std::size_t> planned(maps.size()), endedTimes(maps.size());
  request.planned = [&](std::size_t i, std::size_t n) {
    std::lock_guard lock(mutex);
    planned.at(i) = n;
  };
  request.progress = [&](std::size_t i, const std::string& label) {
    std::lock_guard lock(mutex);
    labels.at(i).push_back(label);
  };
  request.ended = [&](std::size_t i, const pipeline::ConversionEnd& end) {
    std::lock_guard lock(mutex);
    ++endedTimes.at(i);
    EXPECT_TRUE(end.Completed()) << end.FailureText();
  };
  const auto ends = pipeline::RunBatchConversion(request);
  ASSERT_EQ(ends.size(), maps.size());
  for (std::size_t i = 0; i < maps.size(); ++i) {
    SCOPED_TRACE(maps[i].string());
    EXPECT_TRUE(ends[i].Completed()) << ends[i].FailureText();
    EXPECT_EQ(endedTimes[i], 1u);
    const auto alone = ConvertedAlone(maps[i], dir / "alone" / std::to_string(i));
    EXPECT_EQ(FolderContents(dir / "out" / request.maps[i].folderName), alone);
    // Each map's labels arrive in its own order, none lost to another map.
    EXPECT_EQ(labels[i].size(), planned[i]);
    ASSERT_FALSE(labels[i].empty());
    EXPECT_EQ(labels[i].front(), "Airfields");
    EXPECT_EQ(labels[i].back(), "Scripts");
  }
  EXPECT_EQ(planned[0], 19u);
  EXPECT_EQ(planned[7], 5u + 3 * 14);  // the campaign 013 with three missions
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "out"), {}), 8);
  EXPECT_EQ(pipeline::BatchSummary(request.maps, ends), "8 maps: 8 converted");
}

TEST(RunBatchConversion, OneJobOrSeveralWriteTheSameBytes) {
  mapmaker::ScratchFolder dir;
  const auto maps = WriteBatchSamples(dir / "maps");
  pipeline::RunBatchConversion(RequestFor(maps, dir / "one", 1));
  pipeline::RunBatchConversion(RequestFor(maps, dir / "four", 4));
  const auto one = FolderContents(dir / "one");
  EXPECT_EQ(one.size(), 6u * 8 + 15u * (1 + 1 + 2 + 1 + 1 + 1 + 1 + 3));
  EXPECT_EQ(FolderContents(dir / "four"), one);
}

TEST(RunBatchConversion, FailingMapsEndAloneAndTheOthersConvert) {
  mapmaker::ScratchFolder dir;
  auto maps = mapmaker::WriteSampleMaps(dir / "maps");
  // Not a gzip file: staging fails.
  mapmaker::WriteBytes(dir / "maps" / "broken.qdp", core::Bytes(64, 'x'));
  // A campaign whose second mission asks for more mine rows than its file holds.
  const mapmaker::SampleOptions options{4, 0, 40, 30};
  mapmaker::WriteBytes(dir / "maps" / "012.qdc",
                       mapmaker::Gzip(mapmaker::SampleMainContainer(format::CampaignMap, options), "012"));
  mapmaker::WriteBytes(dir / "maps" / "012000.qdc",
                       mapmaker::Gzip(mapmaker::SampleMissionContainer(options, 0), "012000"));
  mapmaker::WriteBytes(
      dir / "maps" / "012004.qdc",
      mapmaker::Gzip(
          mapmaker::ReplaceSection(mapmaker::SampleMissionContainer(options, 4),
                                   format::SectionPosition(format::Section::MissionInfoFirst, format::CampaignMap),
                                   mapmaker::Le().I32(0).I32(0).I32(300).I32(300)),
          "012004"));
  maps.insert(maps.begin() + 1, dir / "maps" / "broken.qdp");
  maps.push_back(dir / "maps" / "012.qdc");
  maps.push_back(dir / "maps" / "none.qdm");  // no such file

  pipeline::BatchRequest request = RequestFor(maps, dir / "out", 2);
  const auto ends = pipeline::RunBatchConversion(request);
  ASSERT_EQ(ends.size(), 6u);
  EXPECT_TRUE(ends[0].Completed());
  EXPECT_EQ(ends[1].failedStep, "staging the map");
  EXPECT_NE(ends[1].ErrorText().find("Error opening"), std::string::npos) << ends[1].ErrorText();
  EXPECT_TRUE(ends[2].Completed());
  EXPECT_TRUE(ends[3].Completed());
  EXPECT_EQ(ends[4].FailureText(),
            "step \"Mines\" of mission mis.004 failed: Stream read error; the folder was left as it was");
  EXPECT_EQ(ends[5].FailureText(), "opening the map failed: \"" + maps[5].string() + "\" does not exist");

  EXPECT_EQ(FolderContents(dir / "out" / "frontier"), ConvertedAlone(maps[0], dir / "alone0"));
  EXPECT_EQ(FolderContents(dir / "out" / "007"), ConvertedAlone(maps[3], dir / "alone3"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out" / "012"));   // a failing map leaves no half-converted folder
  EXPECT_FALSE(std::filesystem::exists(dir / "out" / "none"));  // nothing is made for a missing file
  EXPECT_EQ(pipeline::BatchSummary(request.maps, ends), "6 maps: 3 converted, 3 failed (" + maps[1].string() + ", " +
                                                            maps[4].string() + ", " + maps[5].string() + ")");
}

// With two jobs, two maps really convert at once: the first map's handler waits until the
// second map has begun (which could never happen with one worker).
TEST(RunBatchConversion, JobsConvertAtTheSameTimeAndNoMoreThanJobs) {
  mapmaker::ScratchFolder dir;
  const auto maps = WriteBatchSamples(dir / "maps");
  for (unsigned jobs : {1u, 2u, 3u}) {
    SCOPED_TRACE(jobs);
    pipeline::BatchRequest request = RequestFor(maps, dir / ("out" + std::to_string(jobs)), jobs);
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t running = 0, most = 0, begun = 0;
    bool sawOverlap = false;
    request.planned = [&](std::size_t, std::size_t) {
      std::unique_lock lock(mutex);
      most = std::max(most, ++running);
      ++begun;
      changed.notify_all();
      if (jobs > 1 && begun == 1) {
        sawOverlap = changed.wait_for(lock, std::chrono::seconds(60), [&] { return begun >= 2; });
      }
    };
    request.ended = [&](std::size_t, const pipeline::ConversionEnd& end) {
      std::lock_guard lock(mutex);
      --running;
      EXPECT_TRUE(end.Completed()) << end.FailureText();
    };
    pipeline::RunBatchConversion(request);
    EXPECT_EQ(begun, maps.size());
    EXPECT_LE(most, jobs);
    if (jobs > 1) {
      EXPECT_TRUE(sawOverlap);
    }
  }
}

TEST(RunBatchConversion, AStopBeforeTheStartConvertsNothing) {
  mapmaker::ScratchFolder dir;
  const auto maps = mapmaker::WriteSampleMaps(dir / "maps");
  std::stop_source stop;
  stop.request_stop();
  pipeline::BatchRequest request = RequestFor(maps, dir / "out", 2);
  request.stop = stop.get_token();
  std::atomic<std::size_t> ended{0};
  request.ended = [&](std::size_t, const pipeline::ConversionEnd& end) {
    ++ended;
    EXPECT_TRUE(end.stopped);
  };
  const auto ends = pipeline::RunBatchConversion(request);
  EXPECT_EQ(ended, 3u);
  for (const auto& end : ends) EXPECT_TRUE(end.stopped && !end.error);
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));
  EXPECT_EQ(pipeline::BatchSummary(request.maps, ends), "3 maps: 0 converted, 3 stopped");
}

TEST(RunBatchConversion, AThrowingHandlerIsRethrownAfterEveryMapHasEnded) {
  mapmaker::ScratchFolder dir;
  const auto maps = mapmaker::WriteSampleMaps(dir / "maps");
  pipeline::BatchRequest request = RequestFor(maps, dir / "out", 2);
  request.ended = [](std::size_t i, const pipeline::ConversionEnd&) {
    if (i == 0) throw std::runtime_error("display gone");
  };
  EXPECT_THROW(pipeline::RunBatchConversion(request), std::runtime_error);
  for (const char* name : {"frontier", "islands", "007"}) {
    EXPECT_TRUE(std::filesystem::exists(dir / "out" / name / "mis.000" / "scripts2") ||
                std::filesystem::exists(dir / "out" / name / "mis.003" / "scripts2"))
        << name;
  }
}

TEST(BatchSummary, CountsAndNamesTheFailures) {
  const std::vector<pipeline::BatchMap> one = {{"m/a.qdm", "a", {"m/a.qdm"}}};
  EXPECT_EQ(pipeline::BatchSummary(one, {pipeline::ConversionEnd{}}), "1 map: 1 converted");
  pipeline::ConversionEnd failed;
  failed.error = std::make_exception_ptr(std::runtime_error("x"));
  EXPECT_EQ(pipeline::BatchSummary(one, {failed}), "1 map: 0 converted, 1 failed (m/a.qdm)");
  const std::vector<pipeline::BatchMap> three = {{"m/a.qdm", "a", {}}, {"m/b.qdp", "b", {}}, {"c/012.qdc", "012", {}}};
  EXPECT_EQ(pipeline::BatchSummary(three, {failed, pipeline::ConversionEnd{}, failed}),
            "3 maps: 1 converted, 2 failed (m/a.qdm, c/012.qdc)");
}

}  // namespace
}  // namespace kartwerk
