// A window face that records what the window logic asks of it, with no window behind it, and a
// session whose ways out are recorded too. Timer ticks are driven by the test (RunFade).
#pragma once

#include <string>
#include <vector>

#include "ui/logic/window_face.hpp"
#include "ui/logic/window_session.hpp"

namespace kartwerk::testing {

struct RecordingSession : WindowSession {
  std::vector<int> exits;             // the exit status of every LeaveMainLoop
  std::vector<EditorLaunch> editors;  // every editor start asked for
  std::string editorFailure;          // what StartEditor answers

  std::string StartEditor(const EditorLaunch& launch) override {
    editors.push_back(launch);
    return editorFailure;
  }

 protected:
  void LeaveMainLoop(int status) override { exits.push_back(status); }
};

class RecordingWindow : public WindowFace {
 public:
  WindowFade& Fading() override { return fade_; }
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
  WindowFade fade_{*this};
};

}  // namespace kartwerk::testing
