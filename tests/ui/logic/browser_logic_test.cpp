// The map browser's logic through recording faces: the start sequence with its fatal notices and
// the version picker, the categories and rows, the selected map's information, a damaged map,
// the keys, and the hand-over to the slot picker.
#include <gtest/gtest.h>

#include <optional>

#include "game/explicit_installation.hpp"
#include "game/game_location.hpp"
#include "game/registry_tree.hpp"
#include "tests/support/recording_face.hpp"
#include "ui/logic/browser.hpp"

namespace kartwerk {
namespace {

using namespace kartwerk::testing;

class BrowserLogic : public ::testing::Test,
                     public logic::BrowserFace,
                     public logic::SlotPickerFace,
                     public logic::MessageFace,
                     public logic::VersionLabelsFace {
 protected:
  void SetUp() override {
    game = scratch.path() / "game";
    WriteLogicGame(game);
    session.cliffDataFile = std::filesystem::path(KARTWERK_EXE).parent_path() / "cliffdata";
  }
  // A registry with one installation per folder, in the order given.
  void Register(const std::vector<std::filesystem::path>& folders) {
    auto tree = std::make_shared<game::RegistryTree>();
    tree->CreateKey(std::string(game::kGameKeyPath));
    for (std::size_t i = 0; i < folders.size(); ++i) {
      game::RegistryNode& key = tree->CreateKey(std::string(game::kGameKeyPath) + "\\install" + std::to_string(i + 1));
      key.values["target folder"] = folders[i].string();
      key.values["version"] = "2." + std::to_string(i);
      key.values["language"] = "English";
    }
    session.installs.registry = std::make_shared<game::TreeRegistrySource>(
        tree, [](std::string_view text) { return std::filesystem::path(text); });
  }
  void Start() {
    browser.Prepare();
    browser.Start();
    window.RunFade();
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const logic::MapRow& row : rows) captions.push_back(row.text);
    return captions;
  }

  void ShowCategory(format::MapKindCode kind) override { category = kind; }
  void ShowMapRows(const std::vector<logic::MapRow>& shown) override { rows = shown; }
  int SelectedMap(bool keyboardRow) override { return selected < 0 && keyboardRow ? (selected = current) : selected; }
  void ShowMapInformation(const logic::MapInformationText& shown) override { information = shown; }
  void FocusMapList() override {}
  void ShowSlotList(const std::string&) override {}
  void ShowSlotRows(const std::vector<std::string>& shown) override { slotRows = shown.size(); }
  void FocusSlotList() override {}
  int SelectedSlot(bool) override { return -1; }
  void ShowProgressPanel(const std::string&, const logic::ProgressPanel&) override {}
  void ShowProgress(const std::string&, int) override {}
  void PostToWindowThread(std::function<void()>) override {}
  logic::EditorPrompt& MakeEditorPrompt() override { return prompt.emplace(session, promptWindow); }
  void ShowMessage(const std::string& text) override { notices.push_back(text); }
  void ShowVersionLabels(const std::vector<logic::VersionLabel>& shown) override { versionLabels = shown.size(); }
  int FocusedVersion() const override { return 0; }
  void ShowMoreNote(const std::string&) override {}

  mapmaker::ScratchFolder scratch;
  std::filesystem::path game;
  RecordingSession session;
  RecordingWindow window, pickerWindow, noticeWindow, versionWindow, promptWindow;
  logic::Notice notice{session, noticeWindow, *this};
  logic::VersionPicker versions{session, versionWindow, *this};
  std::optional<logic::EditorPrompt> prompt;
  logic::SlotPicker picker{session, pickerWindow, *this, notice};
  logic::Browser browser{session, window, *this, picker, notice, versions};

  format::MapKindCode category = format::CampaignMap;
  std::vector<logic::MapRow> rows;
  int selected = -1, current = -1;
  std::optional<logic::MapInformationText> information;
  std::size_t slotRows = 0, versionLabels = 0;
  std::vector<std::string> notices;
};

TEST_F(BrowserLogic, ListsTheCategoriesAndShowsTheSelectedMapsInformation) {
  session.installs.registry = game::ExplicitInstallation(game);
  Start();
  EXPECT_TRUE(window.shown);
  EXPECT_FALSE(window.modal);
  EXPECT_EQ(category, format::SinglePlayerMap);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Dunes", "frontier"})) << "listed without regard to case";
  EXPECT_FALSE(information) << "no information before a selection";
  selected = 0;
  browser.ShowSelected();
  ASSERT_TRUE(information);
  EXPECT_EQ(information->size, "48x40");
  EXPECT_EQ(information->missions, "1");

  browser.ChooseCategory(format::CampaignMap);
  EXPECT_EQ(Captions(), std::vector<std::string>{"007"}) << "a campaign is listed by its main file";
  EXPECT_EQ(information->size, "48x40") << "a category change keeps the information";
  browser.ShowSelected();
  EXPECT_EQ(information->size, "48x32");
  EXPECT_EQ(information->missions, "2");
  EXPECT_EQ(browser.MapFile("007").filename(), "007.qdc");

  // A damaged map: the error above the browser, and the information says the map cannot be read.
  Put(game / "game" / "maps" / "campaign" / "007.qdc", {'x'});
  browser.ShowSelected();
  EXPECT_EQ(window.errors.size(), 1u);
  EXPECT_EQ(information->size, logic::kUnreadableMapText);
  EXPECT_EQ(information->scheme, "");
  EXPECT_EQ(information->problem, window.errors.back()) << "the reason, for the tooltip";
  // Opening it returns to the list with the failure, the program going on.
  browser.OpenSelected();
  window.RunFade();
  EXPECT_TRUE(window.shown);
  EXPECT_EQ(window.errors.size(), 2u);
  EXPECT_EQ(pickerWindow.showCount, 0);
  EXPECT_TRUE(session.exits.empty());
}

// A map cut short after its first 40 bytes is still a gzip member, but its content ends before
// the information: no "0x0 / Normal / 1", and opening it still fails.
TEST_F(BrowserLogic, AMapCutShortSaysItCannotBeReadInsteadOfZeros) {
  session.installs.registry = game::ExplicitInstallation(game);
  const auto file = game / "game" / "maps" / "single" / "Dunes.qdm";
  core::Bytes whole = mapmaker::ReadBytes(file);
  ASSERT_GT(whole.size(), 40u);
  Put(file, core::Bytes(whole.begin(), whole.begin() + 40));
  Start();
  selected = 0;
  browser.ShowSelected();
  ASSERT_TRUE(information);
  EXPECT_EQ(information->size, logic::kUnreadableMapText);
  EXPECT_EQ(information->missions, "");
  EXPECT_NE(information->problem.find("before its information"), std::string::npos) << information->problem;
  EXPECT_TRUE(window.errors.empty()) << "selecting it is no error yet";
  // The next, whole map shows its values and no problem.
  selected = 1;
  browser.ShowSelected();
  EXPECT_EQ(information->size, "32x24");
  EXPECT_EQ(information->problem, "");
  selected = 0;
  browser.ShowSelected();
  browser.OpenSelected();
  window.RunFade();
  EXPECT_EQ(window.errors.size(), 1u) << "opening it reports the error as before";
  EXPECT_EQ(pickerWindow.showCount, 0);
}

TEST_F(BrowserLogic, EnterHandsTheKeyboardsRowToTheSlotPickerAndEscapeThereEnds) {
  session.installs.registry = game::ExplicitInstallation(game);
  Start();
  current = 1;
  browser.Key(logic::KeyAction::Enter);
  EXPECT_EQ(selected, 1) << "the row the keyboard stands on is chosen";
  window.RunFade();
  EXPECT_FALSE(window.shown);
  ASSERT_TRUE(pickerWindow.shown);
  EXPECT_EQ(slotRows, 255u);
  EXPECT_EQ(picker.mapPath.filename(), "frontier.qdm");
  pickerWindow.RunFade();
  picker.Key(logic::KeyAction::Escape);
  pickerWindow.RunFade();
  EXPECT_EQ(session.exits, std::vector<int>{0});
}

TEST_F(BrowserLogic, FatalStartsEndWithStatusOne) {
  session.installs.registry = game::ExplicitInstallation(game);
  session.cliffDataFile = scratch.path() / "missing";
  Start();
  ASSERT_EQ(notices, std::vector<std::string>{logic::kMissingCliffDataMessage});
  EXPECT_FALSE(window.shown);
  noticeWindow.RunFade();
  notice.Key(logic::KeyAction::Escape);
  noticeWindow.RunFade();
  EXPECT_EQ(session.exits, std::vector<int>{1});
}

TEST_F(BrowserLogic, AnUnreadableCommandLineMapIsReportedAloneAndEndsWithStatusOne) {
  session.installs.registry = game::ExplicitInstallation(game);
  session.commandLineMap = scratch.path() / "broken.qdm";
  Put(session.commandLineMap, {'x'});
  Start();
  EXPECT_EQ(session.errors.size(), 1u);
  EXPECT_EQ(session.exits, std::vector<int>{1});
  EXPECT_EQ(window.showCount + pickerWindow.showCount, 0);
}

TEST_F(BrowserLogic, AnInstallationWithoutEditorIsChosenAgain) {
  const auto empty = scratch.path() / "empty";
  std::filesystem::create_directories(empty);
  Register({empty, game});
  Start();
  ASSERT_TRUE(versionWindow.shown);
  EXPECT_EQ(versionLabels, 2u);
  versionWindow.RunFade();
  versions.ChooseVersion(1);
  versionWindow.RunFade();
  EXPECT_TRUE(versionWindow.shown) << "the picker is shown again";
  ASSERT_EQ(versionWindow.errors.size(), 1u);
  EXPECT_NE(versionWindow.errors[0].find("has no Vornmark II\u2122 editor"), std::string::npos);
  versionWindow.RunFade();
  versions.ChooseVersion(2);
  versionWindow.RunFade();
  window.RunFade();
  EXPECT_TRUE(window.shown);
  EXPECT_EQ(Captions().size(), 2u);
}

}  // namespace
}  // namespace kartwerk
