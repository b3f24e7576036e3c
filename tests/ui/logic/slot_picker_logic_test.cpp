// The slot picker's logic through a recording face: the slot rows, a whole conversion on the
// worker with its reports crossing to the test's thread, the editor prompt and the exit status.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "convert/records/cliff_data.hpp"
#include "install/explicit_installation.hpp"
#include "tests/support/recording_face.hpp"
#include "ui/logic/slot_picker.hpp"

namespace kartwerk {
namespace {

using namespace kartwerk::testing;

// A session that can hold the worker at its first step report until the test releases it.
struct HoldingSession : RecordingSession {
  void WorkerProgress(const std::string&) override {
    std::unique_lock lock(mutex);
    ++reports;
    changed.notify_all();
    changed.wait(lock, [this] { return !hold; });
  }
  bool WaitForReport() {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(20), [this] { return reports > 0; });
  }
  void Release() {
    std::lock_guard lock(mutex);
    hold = false;
    changed.notify_all();
  }

  std::mutex mutex;
  std::condition_variable changed;
  bool hold = false;
  int reports = 0;
};

class SlotPickerLogic : public ::testing::Test, public SlotPickerFace, public MessageFace {
 protected:
  void SetUp() override {
    const auto game = scratch.path() / "game";
    WriteLogicGame(game);
    map = game / "game" / "maps" / "single" / "frontier.qdm";
    session.installs.Registry = ExplicitInstallation(game);
    session.conversion.CliffDataBuffer = LoadCliffData(std::filesystem::path(KARTWERK_EXE).parent_path() / "cliffdata");
    session.EnsureTempFolder();
  }

  void ShowSlotList(const std::string& shownTitle) override {
    title = shownTitle;
    panel.reset();
  }
  void ShowSlotRows(const std::vector<std::string>& shown) override { rows = shown; }
  void FocusSlotList() override {}
  int SelectedSlot(bool) override { return selected; }
  void ShowProgressPanel(const std::string& shownTitle, const ProgressPanel& shown) override {
    title = shownTitle;
    panel = shown;
  }
  void ShowProgress(const std::string& label, int value) override {
    steps.push_back(label);
    gauge = value;
  }
  void PostToWindowThread(std::function<void()> call) override {
    std::lock_guard lock(mutex);
    posted.push_back(std::move(call));
  }
  EditorPrompt& MakeEditorPrompt() override { return prompt.emplace(session, promptWindow); }
  void ShowMessage(const std::string& text) override { notices.push_back(text); }

  // Runs what the worker posted, as the window's thread would, until done holds (or 20 s pass).
  bool RunPosted(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done() && std::chrono::steady_clock::now() < until) {
      std::deque<std::function<void()>> calls;
      {
        std::lock_guard lock(mutex);
        calls.swap(posted);
      }
      for (auto& call : calls) call();
      window.RunFade();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
  }

  ScratchFolder scratch;
  std::filesystem::path map;
  HoldingSession session;
  RecordingWindow window, noticeWindow, promptWindow;
  Notice notice{session, noticeWindow, *this};
  std::optional<EditorPrompt> prompt;
  SlotPicker picker{session, window, *this, notice};

  std::string title;
  std::vector<std::string> rows, steps, notices;
  std::optional<ProgressPanel> panel;
  int selected = -1;
  int gauge = 0;
  std::mutex mutex;
  std::deque<std::function<void()>> posted;
};

TEST_F(SlotPickerLogic, ConvertsIntoTheChosenSlotThenOffersTheEditor) {
  std::vector<std::string> failures;
  picker.Open(
      map, window.Fading(), /*withOpacity=*/true, [&](const std::string& f) { failures.push_back(f); }, true);
  ASSERT_TRUE(window.shown);
  EXPECT_TRUE(window.modal);
  EXPECT_EQ(title, kSlotListTitle);
  ASSERT_EQ(rows.size(), 255u);
  EXPECT_NE(rows[3].find("D\xC3\xBCnen\xE2\x84\xA2"), std::string::npos) << "slot titles are shown as UTF-8";
  window.RunFade();

  picker.ChooseSlot();
  EXPECT_FALSE(panel) << "no row selected: nothing happens";
  selected = 5;
  picker.Key(KeyAction::Enter);
  ASSERT_TRUE(panel);
  EXPECT_EQ(title, kProgressTitle);
  EXPECT_EQ(panel->size, "32x24");
  EXPECT_EQ(panel->gaugeMaximum, 5);
  EXPECT_EQ(panel->map, "frontier");
  picker.ChooseSlot();  // a second choice while the worker runs changes nothing

  ASSERT_TRUE(RunPosted([&] { return prompt.has_value(); }));
  EXPECT_EQ(steps.size(), 19u) << "four map steps, Groups, fourteen mission steps";
  EXPECT_EQ(gauge, 5) << "the gauge stops at its maximum";
  EXPECT_FALSE(window.shown);
  EXPECT_TRUE(failures.empty());
  EXPECT_TRUE(std::filesystem::exists(scratch.path() / "game" / "editor" / "maps.src" / "map.005" / "rhombs"));
  promptWindow.RunFade();
  prompt->Key(KeyAction::Escape);
  promptWindow.RunFade();
  EXPECT_EQ(session.exits, std::vector<int>{0});
  EXPECT_TRUE(session.editors.empty());
}

TEST_F(SlotPickerLogic, AnUnreadableMapReturnsItsFailureUnseenAndXEndsTheProgram) {
  WriteBytes(map, {'n', 'o', 't', ' ', 'g', 'z'});
  std::vector<std::string> failures;
  picker.Open(
      map, window.Fading(), true, [&](const std::string& f) { failures.push_back(f); }, true);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_FALSE(failures[0].empty());
  EXPECT_EQ(window.showCount, 0);

  WriteBytes(map, Gzip(SampleMainContainer(SinglePlayerMap, {1, 0, 32, 24}), "frontier"));
  picker.Open(
      map, window.Fading(), true, [&](const std::string& f) { failures.push_back(f); }, true);
  window.RunFade();
  picker.Key(KeyAction::Escape);
  window.RunFade();
  EXPECT_EQ(session.exits, std::vector<int>{0});
  EXPECT_EQ(failures.size(), 1u) << "X ends the program rather than returning";
}

TEST_F(SlotPickerLogic, XDuringTheConversionStopsTheWorkerAndLeavesTheSlotAsItWas) {
  session.hold = true;
  picker.Open(
      map, window.Fading(), true, [](const std::string&) {}, true);
  window.RunFade();
  selected = 7;
  picker.ChooseSlot();
  ASSERT_TRUE(session.WaitForReport());
  picker.Close();
  session.Release();
  ASSERT_TRUE(RunPosted([&] { return !session.exits.empty(); }));
  EXPECT_EQ(session.exits, std::vector<int>{0});
  EXPECT_FALSE(prompt) << "no editor prompt after X";
  EXPECT_FALSE(std::filesystem::exists(scratch.path() / "game" / "editor" / "maps.src" / "map.007"));
}

// The window goes while its conversion runs (the program ends with the worker between steps):
// the picker stops and joins its worker before the chosen slot and the faces the worker's end
// uses go, and the slot stays as it was.
TEST_F(SlotPickerLogic, DestroyedDuringTheConversionJoinsTheWorkerFirst) {
  session.hold = true;
  std::optional<SlotPicker> doomed;
  doomed.emplace(session, window, *this, notice);
  doomed->Open(
      map, window.Fading(), true, [](const std::string&) {}, true);
  window.RunFade();
  selected = 9;
  doomed->ChooseSlot();
  ASSERT_TRUE(session.WaitForReport());
  ASSERT_NE(doomed->Worker(), nullptr);
  EXPECT_TRUE(doomed->Worker()->Started());

  // The worker is held inside its first report; it is let go only once the destruction has begun.
  std::jthread release([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    session.Release();
  });
  doomed.reset();
  {
    std::lock_guard lock(mutex);
    ASSERT_FALSE(posted.empty()) << "the worker's end was delivered before the picker went";
    posted.clear();  // the calls name the picker that is gone
  }
  const auto slots = scratch.path() / "game" / "editor" / "maps.src";
  EXPECT_FALSE(std::filesystem::exists(slots / "map.009"));
  if (std::filesystem::exists(slots)) {
    for (const auto& entry : std::filesystem::directory_iterator(slots)) {
      EXPECT_EQ(entry.path().filename().string().find("map.009"), std::string::npos)
          << "left beside the slot: " << entry.path();
    }
  }
  EXPECT_TRUE(session.exits.empty()) << "going is not ending the program";
}

TEST_F(SlotPickerLogic, AGameNotLocatedIsAFatalNotice) {
  std::filesystem::remove(scratch.path() / "game" / "editor" / "scridll.dll");
  session.Search = {GameSearch::Place::GameFolder, scratch.path() / "game"};
  picker.Open(
      map, window.Fading(), true, [](const std::string&) {}, true);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("Looked in the folder"), std::string::npos);
  noticeWindow.RunFade();
  notice.Exit();
  noticeWindow.RunFade();
  EXPECT_EQ(session.exits, std::vector<int>{1});
}

}  // namespace
}  // namespace kartwerk
