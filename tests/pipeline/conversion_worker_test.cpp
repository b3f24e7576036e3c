// The conversion worker: step order and labels, the mission loop, stop requests, failures
// and the end report, on the calling thread and on its own.
#include "pipeline/conversion_worker.hpp"

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "convert/writers/map_header_files.hpp"
#include "convert/writers/mission_file_io.hpp"
#include "core/errors.hpp"
#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "pipeline/conversion_steps.hpp"
#include "tests/support/folder_tree.hpp"

namespace kartwerk {
namespace {

using mapmaker::Le;
using mapmaker::ReplaceSection;
using mapmaker::SampleMainContainer;
using mapmaker::SampleMissionContainer;
using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;

const std::vector<std::string> kMissionFiles = {"info",    "desc",    "JPG1024.jpg", "groups",   "support",
                                                "sounds",  "mines",   "locations",   "phrases2", "objs",
                                                "mismult", "misdesc", "players",     "mapunits", "scripts2"};
const std::vector<std::string> kMapFiles = {"airfields", "objects", "rhombs", "cflags"};
const std::vector<std::string> kMissionLabels = {"Info",    "Desc",      "Groups",  "Support", "Sounds",
                                                 "Mines",   "Locations", "Phrases", "Objects", "Mismult",
                                                 "Misdesc", "Players",   "Units",   "Scripts"};

const mapmaker::SampleOptions kOptions{5, 0, 40, 30};

// A campaign mission whose rectangle is too large for its mines section: the "Mines" step fails.
core::Bytes FailingMission() {
  return mapmaker::ReplaceSection(mapmaker::SampleMissionContainer(kOptions, 3),
                                  format::SectionPosition(format::Section::MissionInfoFirst, format::CampaignMap),
                                  mapmaker::Le().I32(0).I32(0).I32(400).I32(400));
}

// A staged map: the main container loaded, the campaign's compiled mission files beside it, and
// the slot's "info" written, as the slot picker leaves things for the worker.
class DriverTest : public ::testing::Test {
 protected:
  mapmaker::ScratchFolder scratch;
  format::Conversion c;
  std::vector<std::string> labels;

  pipeline::ProgressHandler Record() {
    return [this](const std::string& label) { labels.push_back(label); };
  }

  void Stage(format::MapKindCode kind, const std::vector<std::pair<std::string, core::Bytes>>& missions = {}) {
    c.MapKind = kind;
    c.MapFolder = scratch / "maps";
    c.SlotFolder = scratch / "slot";
    std::filesystem::create_directories(c.MapFolder);
    std::filesystem::create_directories(c.SlotFolder);
    c.MapName = "007";
    for (const auto& [name, container] : missions) {
      mapmaker::WriteBytes(c.MapFolder / (name + ".qdc"), mapmaker::Gzip(container, name));
      c.MissionList.push_back(name);
      c.MissionFiles.push_back(c.MapFolder / (name + ".qdc"));
    }
    c.MissionName = kind == format::CampaignMap ? "" : "mis.000";
    format::LoadContainer(c, mapmaker::SampleMainContainer(kind, kOptions), c.MapName);
    writers::WriteMapInfoFile(c);
  }

  std::size_t FilesIn(const std::string& mission) const {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(c.SlotFolder / mission)) ++n;
    return n;
  }
  bool Has(const std::string& relative) const { return std::filesystem::exists(c.SlotFolder / relative); }
};

TEST_F(DriverTest, SinglePlayerMapRunsNineteenStepsIntoMis000) {
  Stage(format::SinglePlayerMap);
  std::vector<std::string> expected = {"Airfields", "Objects", "Rhombs", "cFlags", "Groups"};
  expected.insert(expected.end(), kMissionLabels.begin(), kMissionLabels.end());

  const pipeline::ConversionEnd end = pipeline::RunConversionSteps(c, Record(), {});
  EXPECT_TRUE(end.Completed()) << end.FailureText();
  EXPECT_EQ(labels, expected);
  EXPECT_EQ(labels.size(), pipeline::ReportedLabelCount(1));
  for (const auto& f : kMapFiles) EXPECT_TRUE(Has(f)) << f;
  for (const auto& f : kMissionFiles) EXPECT_TRUE(Has("mis.000/" + f)) << f;
  EXPECT_EQ(FilesIn("mis.000"), 15u);
}

class CampaignDriverTest : public DriverTest, public ::testing::WithParamInterface<int> {};

TEST_P(CampaignDriverTest, EachMissionFileGetsItsOwnFolderAndFourteenSteps) {
  const int n = GetParam();
  const std::vector<std::string> names = {"0070000", "0070030", "0070120"};
  std::vector<std::pair<std::string, core::Bytes>> missions;
  for (int i = 0; i < n; ++i)
    missions.push_back({names[i], mapmaker::SampleMissionContainer(kOptions, static_cast<std::uint32_t>(i))});
  Stage(format::CampaignMap, missions);

  const pipeline::ConversionEnd end = pipeline::RunConversionSteps(c, Record(), {});
  EXPECT_TRUE(end.Completed()) << end.FailureText();
  EXPECT_EQ(labels.size(), 5u + 14u * n);
  const std::vector<std::string> folders = {"mis.000", "mis.003", "mis.012"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Has(folders[i]), i < n) << folders[i];
    if (i < n) {
      EXPECT_EQ(FilesIn(folders[i]), 15u);
    }
  }
  if (n == 3) {
    const core::Bytes desc = mapmaker::ReadBytes(c.SlotFolder / "mis.012" / "desc");
    EXPECT_EQ(std::string(desc.begin(), desc.end()), "Mission #12");
    // Each mission's files come from its own container: the rectangles differ.
    EXPECT_NE(mapmaker::ReadBytes(c.SlotFolder / "mis.000" / "info"),
              mapmaker::ReadBytes(c.SlotFolder / "mis.003" / "info"));
  }
  EXPECT_FALSE(Has("mis.0007"));
}

INSTANTIATE_TEST_SUITE_P(Missions, CampaignDriverTest, ::testing::Values(1, 2, 3));

TEST_F(DriverTest, StopAfterAMissionStepLeavesTheLaterFilesUnwritten) {
  Stage(format::SinglePlayerMap);
  std::stop_source stop;
  const pipeline::ConversionEnd end = pipeline::RunConversionSteps(
      c,
      [&](const std::string& label) {
        labels.push_back(label);
        if (label == "Sounds") stop.request_stop();  // honoured once the step is done
      },
      stop.get_token());
  EXPECT_TRUE(end.stopped);
  EXPECT_FALSE(end.error);
  EXPECT_FALSE(end.Completed());
  EXPECT_EQ(labels.back(), "Sounds");
  EXPECT_EQ(labels.size(), 5u + 5u);
  EXPECT_TRUE(Has("mis.000/sounds"));
  EXPECT_FALSE(Has("mis.000/mines"));
  EXPECT_FALSE(Has("mis.000/scripts2"));
}

TEST_F(DriverTest, StopDuringTheMapStepsCreatesNoMissionFolder) {
  Stage(format::SinglePlayerMap);
  std::stop_source stop;
  stop.request_stop();  // already requested: the first step still runs, then the worker returns
  const pipeline::ConversionEnd end = pipeline::RunConversionSteps(c, Record(), stop.get_token());
  EXPECT_TRUE(end.stopped);
  EXPECT_EQ(labels, std::vector<std::string>{"Airfields"});
  EXPECT_TRUE(Has("airfields"));
  EXPECT_FALSE(Has("objects"));
  EXPECT_FALSE(Has("mis.000"));
}

TEST_F(DriverTest, StopDuringAMissionsLastStepTakesEffectAfterTheNextMissionsFirst) {
  Stage(format::CampaignMap, {{"0070000", mapmaker::SampleMissionContainer(kOptions, 0)},
                              {"0070030", mapmaker::SampleMissionContainer(kOptions, 3)}});
  std::stop_source stop;
  const pipeline::ConversionEnd end = pipeline::RunConversionSteps(
      c,
      [&](const std::string& label) {
        labels.push_back(label);
        if (label == "Scripts") stop.request_stop();
      },
      stop.get_token());
  EXPECT_TRUE(end.stopped);
  EXPECT_EQ(labels.size(), 5u + 14u + 1u);
  EXPECT_EQ(labels.back(), "Info");
  EXPECT_EQ(FilesIn("mis.000"), 15u);
  EXPECT_EQ(FilesIn("mis.003"), 1u);
  EXPECT_TRUE(Has("mis.003/info"));
}

TEST_F(DriverTest, FailureInTheSecondMissionEndsTheRunThere) {
  Stage(format::CampaignMap, {{"0070000", mapmaker::SampleMissionContainer(kOptions, 0)},
                              {"0070030", FailingMission()},
                              {"0070050", mapmaker::SampleMissionContainer(kOptions, 5)}});
  std::filesystem::create_directories(c.SlotFolder / "mis.003");
  mapmaker::WriteBytes(c.SlotFolder / "mis.003" / "mines", core::Bytes(10, 1));  // an earlier conversion's file

  const pipeline::ConversionEnd end = pipeline::RunConversionSteps(c, Record(), {});
  ASSERT_TRUE(end.error);
  EXPECT_FALSE(end.stopped);
  EXPECT_EQ(end.failedStep, "Mines");
  EXPECT_TRUE(end.failedInStep);
  EXPECT_EQ(end.failedMission, "mis.003");
  EXPECT_EQ(end.ErrorText(), "Stream read error");
  EXPECT_EQ(end.FailureText(), "step \"Mines\" of mission mis.003 failed: Stream read error");
  EXPECT_EQ(labels.size(), 5u + 14u + 6u);
  EXPECT_EQ(FilesIn("mis.000"), 15u);
  for (const char* f : {"info", "desc", "JPG1024.jpg", "groups", "support", "sounds"})
    EXPECT_TRUE(Has(std::string("mis.003/") + f)) << f;
  EXPECT_FALSE(Has("mis.003/mines"));
  EXPECT_FALSE(Has("mis.003/locations"));
  EXPECT_FALSE(Has("mis.005"));
}

// Missions side by side write the same files and report the same end as one after the other.
TEST_F(DriverTest, MissionsSideBySideWriteTheSameBytesAndFailAsInOrder) {
  const std::vector<std::pair<std::string, core::Bytes>> good = {
      {"0070000", mapmaker::SampleMissionContainer(kOptions, 0)},
      {"0070030", mapmaker::SampleMissionContainer(kOptions, 3)},
      {"0070050", mapmaker::SampleMissionContainer(kOptions, 5)},
      {"0070120", mapmaker::SampleMissionContainer(kOptions, 12)}};
  std::vector<std::pair<std::string, core::Bytes>> failing = good;
  failing[1].second = FailingMission();
  failing[3].second = FailingMission();
  struct Outcome {
    std::vector<std::pair<std::string, core::Bytes>> files;
    std::size_t labels = 0;
    std::string failure;
  };
  // blockMap: a folder where the map's "rhombs" goes, so a step of the map itself fails too.
  const auto run = [&](const std::vector<std::pair<std::string, core::Bytes>>& missions, unsigned jobs,
                       bool blockMap = false) {
    std::filesystem::remove_all(scratch / "maps");
    std::filesystem::remove_all(scratch / "slot");
    c = format::Conversion();
    labels.clear();
    Stage(format::CampaignMap, missions);
    if (blockMap) std::filesystem::create_directories(c.SlotFolder / "rhombs" / "in the way");
    const pipeline::ConversionEnd end = pipeline::RunConversionSteps(c, Record(), {}, jobs);
    Outcome outcome{
        end.Completed() ? testing::TreeFiles(c.SlotFolder) : std::vector<std::pair<std::string, core::Bytes>>{},
        labels.size(), end.FailureText()};
    return outcome;
  };
  const Outcome inOrder = run(good, 1);
  ASSERT_EQ(inOrder.failure, "");
  ASSERT_EQ(inOrder.files.size(), 5u + 4u * 15u);  // the slot's info and map files, and each mission's
  EXPECT_EQ(inOrder.labels, pipeline::ReportedLabelCount(4));
  const Outcome failedInOrder = run(failing, 1);
  EXPECT_EQ(failedInOrder.failure, "step \"Mines\" of mission mis.003 failed: Stream read error");
  const std::string mapFailure = run(failing, 1, true).failure;
  EXPECT_EQ(mapFailure.rfind("step \"Rhombs\" failed: ", 0), 0u) << mapFailure;
  for (const unsigned jobs : {2u, 3u, 0u}) {
    const Outcome sideBySide = run(good, jobs);
    EXPECT_EQ(sideBySide.failure, "") << jobs;
    EXPECT_EQ(sideBySide.labels, inOrder.labels) << jobs;
    EXPECT_TRUE(sideBySide.files == inOrder.files) << jobs << " jobs wrote other bytes";
    EXPECT_EQ(run(failing, jobs).failure, failedInOrder.failure) << jobs;
    EXPECT_EQ(run(failing, jobs, true).failure, mapFailure) << jobs;
  }
  EXPECT_EQ(pipeline::MissionWorkerCount(0, 1), 1u);
  EXPECT_EQ(pipeline::MissionWorkerCount(8, 3), 3u);
  EXPECT_EQ(pipeline::MissionWorkerCount(2, 4), 2u);
}

TEST_F(DriverTest, MissingMissionFileFailsWhenItsTurnComes) {
  Stage(format::CampaignMap, {{"0070000", mapmaker::SampleMissionContainer(kOptions, 0)}});
  c.MissionList.push_back("0070090");  // listed, but gone before its turn
  c.MissionFiles.push_back(c.MapFolder / "0070090.qdc");
  const pipeline::ConversionEnd end = pipeline::RunConversionSteps(c, Record(), {});
  ASSERT_TRUE(end.error);
  EXPECT_EQ(end.failedMission, "mis.009");
  EXPECT_FALSE(end.failedInStep);
  EXPECT_EQ(end.FailureText().rfind("loading the mission file for mission mis.009 failed: ", 0), 0u)
      << end.FailureText();
  EXPECT_NE(end.ErrorText().find("0070090"), std::string::npos) << end.ErrorText();
  EXPECT_EQ(FilesIn("mis.000"), 15u);
  EXPECT_FALSE(Has("mis.009"));
}

TEST_F(DriverTest, CampaignOfMoreThan255MissionsIsRefusedBeforeAnythingIsWritten) {
  Stage(format::CampaignMap);
  for (int i = 0; i < 256; ++i) c.MissionList.push_back("007" + std::to_string(1000 + i));
  const pipeline::ConversionEnd end = pipeline::RunConversionSteps(c, Record(), {});
  ASSERT_TRUE(end.error);
  EXPECT_NE(end.ErrorText().find("255"), std::string::npos);
  EXPECT_TRUE(labels.empty());
  EXPECT_FALSE(Has("airfields"));
}

TEST_F(DriverTest, MissionFilesSharingAFolderAreConvertedInOrderWithAWarning) {
  Stage(format::CampaignMap, {{"0070001", mapmaker::SampleMissionContainer(kOptions, 1)},
                              {"0070002", mapmaker::SampleMissionContainer(kOptions, 2)},
                              {"0070031", mapmaker::SampleMissionContainer(kOptions, 3)}});
  std::vector<std::string> warnings;
  c.Warn = [&](const std::string& w) { warnings.push_back(w); };
  const pipeline::ConversionEnd end = pipeline::RunConversionSteps(c, Record(), {});
  EXPECT_TRUE(end.Completed()) << end.FailureText();
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0],
            "mis.000: the mission files \"0070001\" and \"0070002\" both go into this folder; the later "
            "one's files replace the earlier one's");
  // The later file's mission is what the folder holds.
  format::LoadContainer(c, mapmaker::SampleMissionContainer(kOptions, 2), "0070002");
  c.MissionName = "mis.000";
  const core::Bytes expected = writers::CopySection(c, format::Section::MissionPicture);
  format::LoadContainer(c, mapmaker::SampleMissionContainer(kOptions, 1), "0070001");
  ASSERT_NE(writers::CopySection(c, format::Section::MissionPicture), expected);  // the two missions' pictures differ
  EXPECT_EQ(mapmaker::ReadBytes(c.SlotFolder / "mis.000" / "JPG1024.jpg"), expected);
  EXPECT_EQ(FilesIn("mis.003"), 15u);
}

TEST_F(DriverTest, ProgressHandlerThatThrowsFailsTheStepItAnnounces) {
  Stage(format::SinglePlayerMap);
  const pipeline::ConversionEnd end = pipeline::RunConversionSteps(c,
                                                                   [](const std::string& label) {
                                                                     if (label == "Rhombs")
                                                                       throw std::runtime_error("display gone");
                                                                   },
                                                                   {});
  EXPECT_EQ(end.failedStep, "Rhombs");
  EXPECT_EQ(end.ErrorText(), "display gone");
  EXPECT_FALSE(Has("rhombs"));
}

TEST_F(DriverTest, WorkerReportsOnItsOwnThreadAndEndsOnce) {
  Stage(format::SinglePlayerMap);
  std::vector<std::thread::id> progressThreads;
  std::thread::id endThread;
  int ends = 0;
  pipeline::ConversionEnd result;
  {
    pipeline::ConversionWorker worker(c);
    worker.SetProgressHandler([&](const std::string& label) {
      labels.push_back(label);
      progressThreads.push_back(std::this_thread::get_id());
    });
    worker.SetEndHandler([&](const pipeline::ConversionEnd& end) {
      ++ends;
      endThread = std::this_thread::get_id();
      result = end;
    });
    EXPECT_FALSE(worker.Started());
    worker.Start();
    EXPECT_TRUE(worker.Started());
    EXPECT_THROW(worker.Start(), std::logic_error);
    worker.Wait();
    EXPECT_EQ(ends, 1);
  }
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(result.Completed());
  EXPECT_EQ(labels.size(), 19u);
  EXPECT_NE(endThread, std::this_thread::get_id());
  for (const auto& id : progressThreads) EXPECT_EQ(id, endThread);
}

TEST_F(DriverTest, RequestedStopIsHonouredAtTheNextStepBoundary) {
  Stage(format::SinglePlayerMap);
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  pipeline::ConversionEnd result;
  pipeline::ConversionWorker worker(c);
  worker.SetProgressHandler([&](const std::string& label) {
    labels.push_back(label);
    released.wait();  // the first step waits until the stop has been requested
  });
  worker.SetEndHandler([&](const pipeline::ConversionEnd& end) { result = end; });
  worker.Start();
  worker.RequestStop();
  release.set_value();
  worker.Wait();
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(labels, std::vector<std::string>{"Airfields"});
  EXPECT_FALSE(Has("objects"));
}

TEST_F(DriverTest, FailureReachesTheEndHandlerWithTheException) {
  Stage(format::CampaignMap, {{"0070030", FailingMission()}});
  pipeline::ConversionEnd result;
  bool thrown = false;
  {
    pipeline::ConversionWorker worker(c);
    worker.SetEndHandler([&](const pipeline::ConversionEnd& end) {
      result = end;
      throw std::runtime_error("a faulty end handler does not bring the program down");
    });
    worker.Start();
    worker.Wait();
    thrown = true;
  }
  EXPECT_TRUE(thrown);
  ASSERT_TRUE(result.error);
  EXPECT_THROW(std::rethrow_exception(result.error), core::StreamReadError);
  EXPECT_EQ(result.failedStep, "Mines");
}

TEST_F(DriverTest, DestroyingARunningWorkerStopsItAndWaitsForItsEnd) {
  Stage(format::SinglePlayerMap);
  int ends = 0;
  pipeline::ConversionEnd result;
  {
    pipeline::ConversionWorker worker(c);
    worker.SetEndHandler([&](const pipeline::ConversionEnd& end) {
      ++ends;
      result = end;
    });
    worker.Start();
  }
  EXPECT_EQ(ends, 1);
  EXPECT_FALSE(result.error);
}

}  // namespace
}  // namespace kartwerk
