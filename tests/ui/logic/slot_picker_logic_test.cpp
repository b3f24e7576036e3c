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
#include "format/section_directory.hpp"
#include "game/explicit_installation.hpp"
#include "tests/support/folder_tree.hpp"
#include "tests/support/recording_face.hpp"
#include "ui/logic/notice_texts.hpp"
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

class SlotPickerLogic : public ::testing::Test, public logic::SlotPickerFace, public logic::MessageFace {
 protected:
  void SetUp() override {
    const auto game = scratch.path() / "game";
    WriteLogicGame(game);
    map = game / "game" / "maps" / "single" / "frontier.qdm";
    session.installs.registry = game::ExplicitInstallation(game);
    session.conversion.CliffDataBuffer =
        records::LoadCliffData(std::filesystem::path(KARTWERK_EXE).parent_path() / "cliffdata");
  }

  void ShowSlotList(const std::string& shownTitle) override {
    title = shownTitle;
    panel.reset();
  }
  void ShowSlotRows(const std::vector<std::string>& shown) override { rows = shown; }
  void FocusSlotList() override {}
  int SelectedSlot(bool) override { return selected; }
  void ShowProgressPanel(const std::string& shownTitle, const logic::ProgressPanel& shown) override {
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
  logic::EditorPrompt& MakeEditorPrompt() override { return prompt.emplace(session, promptWindow); }
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

  mapmaker::ScratchFolder scratch;
  std::filesystem::path map;
  HoldingSession session;
  RecordingWindow window, noticeWindow, promptWindow;
  logic::Notice notice{session, noticeWindow, *this};
  std::optional<logic::EditorPrompt> prompt;
  logic::SlotPicker picker{session, window, *this, notice};

  std::string title;
  std::vector<std::string> rows, steps, notices;
  std::optional<logic::ProgressPanel> panel;
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
  EXPECT_EQ(title, logic::kSlotListTitle);
  ASSERT_EQ(rows.size(), 255u);
  EXPECT_NE(rows[3].find("D\xC3\xBCnen\xE2\x84\xA2"), std::string::npos) << "slot titles are shown as UTF-8";
  window.RunFade();

  picker.ChooseSlot();
  EXPECT_FALSE(panel) << "no row selected: nothing happens";
  selected = 5;
  picker.Key(logic::KeyAction::Enter);
  ASSERT_TRUE(panel);
  EXPECT_EQ(title, logic::kProgressTitle);
  EXPECT_EQ(panel->size, "32x24");
  EXPECT_EQ(panel->gaugeMaximum, 19) << "the labels the command line counts for one mission";
  EXPECT_EQ(panel->map, "frontier");
  picker.ChooseSlot();  // a second choice while the worker runs changes nothing

  ASSERT_TRUE(RunPosted([&] { return prompt.has_value(); }));
  EXPECT_EQ(steps.size(), 19u) << "four map steps, Groups, fourteen mission steps";
  EXPECT_EQ(gauge, 19) << "one step of the gauge for each label";
  EXPECT_FALSE(window.shown);
  EXPECT_TRUE(failures.empty());
  EXPECT_TRUE(std::filesystem::exists(scratch.path() / "game" / "editor" / "maps.src" / "map.005" / "rhombs"));
  promptWindow.RunFade();
  prompt->Key(logic::KeyAction::Escape);
  promptWindow.RunFade();
  EXPECT_EQ(session.exits, std::vector<int>{0});
  EXPECT_TRUE(session.editors.empty());
}

TEST_F(SlotPickerLogic, AnEditorThatCannotStartIsANoticeAndStatusOne) {
  session.editorFailure = "Could not start the editor: the file was not found";
  picker.Open(
      map, window.Fading(), true, [](const std::string&) {}, true);
  window.RunFade();
  selected = 2;
  picker.Key(logic::KeyAction::Enter);
  ASSERT_TRUE(RunPosted([&] { return prompt.has_value(); }));
  promptWindow.RunFade();
  prompt->Key(logic::KeyAction::Enter);  // YES
  promptWindow.RunFade();
  ASSERT_EQ(session.editors.size(), 1u);
  ASSERT_EQ(notices, std::vector<std::string>{session.editorFailure}) << "the reason is shown before the end";
  EXPECT_TRUE(session.exits.empty()) << "the notice holds the program until it is closed";
  noticeWindow.RunFade();
  notice.Exit();
  noticeWindow.RunFade();
  EXPECT_EQ(session.exits, std::vector<int>{1}) << "the slot was written, but the editor did not start";
  EXPECT_TRUE(std::filesystem::exists(scratch.path() / "game" / "editor" / "maps.src" / "map.002" / "rhombs"));
}

TEST_F(SlotPickerLogic, AnUnreadableMapReturnsItsFailureUnseenAndXEndsTheProgram) {
  mapmaker::WriteBytes(map, {'n', 'o', 't', ' ', 'g', 'z'});
  std::vector<std::string> failures;
  picker.Open(
      map, window.Fading(), true, [&](const std::string& f) { failures.push_back(f); }, true);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_FALSE(failures[0].empty());
  EXPECT_EQ(window.showCount, 0);

  mapmaker::WriteBytes(
      map, mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, {1, 0, 32, 24}), "frontier"));
  picker.Open(
      map, window.Fading(), true, [&](const std::string& f) { failures.push_back(f); }, true);
  window.RunFade();
  picker.Key(logic::KeyAction::Escape);
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
  std::optional<logic::SlotPicker> doomed;
  doomed.emplace(session, window, *this, notice);
  doomed->Open(
      map, window.Fading(), true, [](const std::string&) {}, true);
  window.RunFade();
  selected = 9;
  doomed->ChooseSlot();
  ASSERT_TRUE(session.WaitForReport());
  ASSERT_NE(doomed->run(), nullptr);
  EXPECT_TRUE(doomed->run()->Started());

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
  session.search = {logic::GameSearch::Place::GameFolder, scratch.path() / "game"};
  picker.Open(
      map, window.Fading(), true, [](const std::string&) {}, true);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("Looked in the folder"), std::string::npos);
  noticeWindow.RunFade();
  notice.Exit();
  noticeWindow.RunFade();
  EXPECT_EQ(session.exits, std::vector<int>{1});
}

// A gzip member whose trailer states size bytes (only the trailer is read before the size check).
core::Bytes WithStatedLength(core::Bytes gzip, std::uint32_t size) {
  for (std::size_t i = 0; i < 4; ++i) gzip[gzip.size() - 4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
  return gzip;
}

// Refused before anything is written, with the reason; the list stays for another choice, and the
// next choice converts through the same checks.
TEST_F(SlotPickerLogic, RefusalsAreReportedAndLeaveTheListForAnotherChoice) {
  const auto slots = scratch.path() / "game" / "editor" / "maps.src";
  const struct {
    const char* name;
    std::function<std::filesystem::path()> makeMap;
    int refusedSlot;
    std::string reason;
  } cases[] = {
      {"a slot folder that holds the map",
       [&] {
         const auto inSlot = slots / "map.004" / "frontier.qdm";
         std::filesystem::create_directories(inSlot.parent_path());
         std::filesystem::copy_file(map, inSlot);
         return inSlot;
       },
       4, "Checking the slot folder failed: refusing to convert into "},
      {"a campaign larger than the editor makes",
       [&] {
         const auto folder = map.parent_path().parent_path() / "campaign";
         const mapmaker::SampleOptions options{3, 1, 48, 32};
         Put(folder / "077.qdc", mapmaker::Gzip(mapmaker::SampleMainContainer(format::CampaignMap, options), "077"));
         for (int i = 0; i < 5; ++i)
           Put(folder / ("0770" + std::to_string(10 + i) + ".qdc"),
               WithStatedLength(mapmaker::Gzip(mapmaker::SampleMissionContainer(options, 1), "m"), 256u << 20));
         return folder / "077.qdc";
       },
       6, "Checking the size failed: the conversion would write 1283 MiB, more than the 1036 MiB"},
#ifndef _WIN32  // MinGW's library makes no symbolic links
      // The windows' conversion meets the same write gate as the command line's.
      {"a slot that is a link to a folder of the user's files",
       [&] {
         const auto documents = scratch.path() / "Documents";
         std::filesystem::create_directories(documents);
         Put(documents / "notes.txt", core::Bytes{'m', 'i', 'n', 'e'});
         std::filesystem::create_directory_symlink(documents, slots / "map.005");
         return map;
       },
       5, "Checking the slot folder failed: refusing to convert into "},
      {"a slot that is a link to the map's own folder",
       [&] {
         std::filesystem::create_directory_symlink(map.parent_path(), slots / "map.007");
         return map;
       },
       7, "Checking the slot folder failed: refusing to convert into "},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    window.errors.clear();
    panel.reset();
    logic::SlotPicker one{session, window, *this, notice};
    const std::filesystem::path mapFile = c.makeMap();
    const auto before = TreeFiles(scratch.path());
    one.Open(
        mapFile, window.Fading(), true, [](const std::string&) {}, true);
    window.RunFade();
    selected = c.refusedSlot;
    one.ChooseSlot();
    ASSERT_EQ(window.errors.size(), 1u);
    EXPECT_EQ(window.errors[0].rfind(c.reason, 0), 0u) << window.errors[0];
    EXPECT_NE(window.errors[0].find("the slot was left as it was"), std::string::npos) << window.errors[0];
    EXPECT_FALSE(panel) << "the list stays on show";
    EXPECT_TRUE(window.shown);
    const auto refused = slots / ("map.00" + std::to_string(c.refusedSlot));
    for (const auto& entry : std::filesystem::directory_iterator(slots)) {
      EXPECT_EQ(entry.path().filename().string().find(".kartwerk-"), std::string::npos) << "left: " << entry.path();
    }
    EXPECT_EQ(std::filesystem::exists(refused / "desc"), false) << "nothing written into the refused slot";
    EXPECT_EQ(TreeFiles(scratch.path()), before) << "nothing around the slot changed";
  }
  // The first case's map again, into a slot that may take it: converted whole.
  picker.Open(
      slots / "map.004" / "frontier.qdm", window.Fading(), true, [](const std::string&) {}, true);
  window.RunFade();
  selected = 8;
  picker.ChooseSlot();
  ASSERT_TRUE(RunPosted([&] { return prompt.has_value(); }));
  EXPECT_TRUE(std::filesystem::exists(slots / "map.008" / "mis.000" / "sounds"));
}

// Warnings of a damaged map reach the notice before the editor prompt, as the command line
// prints them; the conversion itself completes.
TEST_F(SlotPickerLogic, ADamagedMapsWarningsAreNoticedBeforeTheEditorPrompt) {
  const core::Bytes huge = mapmaker::Le().I32(0x7FFFFFFF).bytes;
  core::Bytes container = mapmaker::SampleMainContainer(format::SinglePlayerMap, {1, 0, 32, 24});
  for (format::Section s : {format::Section::Players, format::Section::Sounds})
    container = mapmaker::ReplaceSection(container, format::SectionPosition(s, format::SinglePlayerMap), huge);
  mapmaker::WriteBytes(map, mapmaker::Gzip(container, "frontier"));
  picker.Open(
      map, window.Fading(), true, [](const std::string&) {}, true);
  window.RunFade();
  selected = 1;
  picker.ChooseSlot();
  ASSERT_TRUE(RunPosted([&] { return !notices.empty(); }));
  EXPECT_FALSE(prompt) << "the notice comes first";
  EXPECT_EQ(notices[0].rfind("Warnings while converting the map:\n", 0), 0u) << notices[0];
  for (const char* list : {"players", "sounds"}) {
    EXPECT_NE(notices[0].find("mis.000: \"" + std::string(list) + "\" announces 2147483647 entries"), std::string::npos)
        << notices[0];
  }
  EXPECT_TRUE(std::filesystem::exists(scratch.path() / "game" / "editor" / "maps.src" / "map.001" / "rhombs"));
  noticeWindow.RunFade();
  notice.Exit();
  noticeWindow.RunFade();
  ASSERT_TRUE(RunPosted([&] { return prompt.has_value(); }));
  EXPECT_TRUE(session.exits.empty());
}

// A notice lists the first warnings and counts the rest: a map warning for every record never
// makes a notice taller than the screen.
TEST(MapWarnings, NoticeListsTheFirstAndCountsTheRest) {
  const struct {
    std::vector<std::string> shown;
    std::size_t total;
    std::string text;
  } cases[] = {
      {{}, 0, ""},
      {{"a"}, 1, "Warnings while converting the map:\na\n"},
      {{"a", "b"}, 3, "Warnings while converting the map:\na\nb\nand 1 more warning.\n"},
      {{"a"}, 9, "Warnings while converting the map:\na\nand 8 more warnings.\n"},
      {{"D\xFCne"}, 1, "Warnings while converting the map:\nD\xC3\xBCne\n"},  // a name in Windows-1252
  };
  for (const auto& c : cases) EXPECT_EQ(logic::MapWarningsText(c.shown, c.total), c.text);
}

}  // namespace
}  // namespace kartwerk
