// A window face that records what the window logic asks of it, with no window behind it, and a
// session whose ways out are recorded too. Timer ticks are driven by the test (RunFade).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "ui/logic/window_face.hpp"
#include "ui/logic/window_session.hpp"

namespace kartwerk::testing {

struct RecordingSession : logic::WindowSession {
  std::vector<int> exits;                    // the exit status of every LeaveMainLoop
  std::vector<logic::EditorLaunch> editors;  // every editor start asked for
  std::string editorFailure;                 // what StartEditor answers
  std::vector<std::string> errors;           // the error reports without a window

  std::string StartEditor(const logic::EditorLaunch& launch) override {
    editors.push_back(launch);
    return editorFailure;
  }
  void ReportErrorAlone(const std::string& message) override { errors.push_back(message); }

 protected:
  void LeaveMainLoop(int status) override { exits.push_back(status); }
};

class RecordingWindow : public logic::WindowFace {
 public:
  logic::WindowFade& Fading() override { return fade_; }
  void ShowOpacity(bool, int) override {}
  void OpacityChanged(int opacity) override { opacities.push_back(opacity); }
  void StartTimer() override { timerRunning = true; }
  void StopTimer() override { timerRunning = false; }
  void ShowCentred(bool isModal) override {
    shown = true;
    modal = isModal;
    ++showCount;
  }
  void Hide() override { shown = false; }
  bool IsShown() const override { return shown; }
  void ReportError(const std::string& message) override { errors.push_back(message); }

  // Ticks the timer until it stops (at most limit ticks); returns the ticks taken.
  int RunFade(int limit = 100) {
    int ticks = 0;
    while (timerRunning && ticks < limit) {
      fade_.Tick();
      ++ticks;
    }
    return ticks;
  }

  bool shown = false;
  bool modal = false;
  int showCount = 0;
  bool timerRunning = false;
  std::vector<int> opacities;
  std::vector<std::string> errors;

 private:
  logic::WindowFade fade_{*this};
};

inline void Put(const std::filesystem::path& path, const core::Bytes& bytes) {
  std::filesystem::create_directories(path.parent_path());
  mapmaker::WriteBytes(path, bytes);
}

// A game installation on disk: the editor's marker, slot 3 titled in Windows-1252, two
// single-player maps and a campaign of two missions.
inline void WriteLogicGame(const std::filesystem::path& game) {
  Put(game / "editor" / "scridll.dll", {'m'});
  Put(game / "editor" / "maps.src" / "map.003" / "desc", {'D', 0xFC, 'n', 'e', 'n', 0x99, '\n'});
  const auto maps = game / "game" / "maps";
  Put(maps / "single" / "frontier.qdm",
      mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, {1, 0, 32, 24}), "frontier", 1262304000));
  Put(maps / "single" / "Dunes.qdm",
      mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, {4, 2, 48, 40}), "Dunes"));
  const mapmaker::SampleOptions c{3, 1, 48, 32};
  Put(maps / "campaign" / "007.qdc", mapmaker::Gzip(mapmaker::SampleMainContainer(format::CampaignMap, c), "007"));
  Put(maps / "campaign" / "007000.qdc", mapmaker::Gzip(mapmaker::SampleMissionContainer(c, 0), "007000"));
  Put(maps / "campaign" / "007003.qdc", mapmaker::Gzip(mapmaker::SampleMissionContainer(c, 3), "007003"));
  std::filesystem::create_directories(maps / "mplay");
}

}  // namespace kartwerk::testing
