// The windows' logic driven through a recording face: fades, the version picker, the notice and
// the editor prompt, with no window and no toolkit.
#include <gtest/gtest.h>

#include "game/game_location.hpp"
#include "tests/support/recording_face.hpp"
#include "ui/logic/notice_texts.hpp"
#include "ui/logic/prompts.hpp"
#include "ui/logic/version_picker.hpp"

namespace kartwerk {
namespace {

using testing::RecordingSession;
using testing::RecordingWindow;

TEST(WindowFadeLogic, FadesInTo200AndOutToZeroBeforeItsPendingActionRunsOnce) {
  RecordingWindow window;
  logic::WindowFade& fade = window.Fading();
  fade.StartIn();
  EXPECT_EQ(window.RunFade(), 21) << "20 steps of 10, then the step that stops the timer";
  EXPECT_EQ(fade.Opacity(), 200);
  EXPECT_EQ(fade.Current(), logic::WindowFade::Fade::None);

  int pendingRuns = 0;
  fade.StartOut([&] { ++pendingRuns; });
  EXPECT_EQ(window.RunFade(), 21);
  EXPECT_EQ(fade.Opacity(), 0);
  EXPECT_EQ(pendingRuns, 1);
  fade.Tick();
  EXPECT_EQ(pendingRuns, 1) << "a stray tick runs nothing again";

  // An opener with alpha blending off hands over 200: the fade-in ends at its first step.
  RecordingWindow opener, next;
  opener.Fading().SetAlphaBlend(false);
  opener.Fading().SetOpacity(200);
  next.Fading().CopyFrom(opener.Fading(), /*withOpacity=*/true);
  EXPECT_FALSE(next.Fading().AlphaBlend());
  next.Fading().StartIn();
  EXPECT_EQ(next.RunFade(), 1);
}

class VersionPickerLogic : public ::testing::Test, public logic::VersionLabelsFace {
 protected:
  void ShowVersionLabels(const std::vector<logic::VersionLabel>& shown) override { labels = shown; }
  int FocusedVersion() const override { return focused; }
  void ShowMoreNote(const std::string& text) override { note = text; }

  void Install(int count) {
    for (int i = 1; i <= count; ++i)
      session.installs.installedVersions.push_back({"", {}, "2." + std::to_string(i), i == 2 ? "" : "English", "", 0});
  }

  RecordingSession session;
  RecordingWindow window;
  std::vector<logic::VersionLabel> labels;
  std::string note = "(never set)";
  int focused = 0;
  logic::VersionPicker picker{session, window, *this};
};

TEST_F(VersionPickerLogic, PlacesOneLabelPerInstallationAndChoosesTheClickedOne) {
  Install(5);
  bool chosen = false;
  picker.Open(window.Fading(), [&] { chosen = true; });
  EXPECT_TRUE(window.shown);
  EXPECT_TRUE(window.modal);
  ASSERT_EQ(labels.size(), 5u);
  EXPECT_EQ(labels[0].text, "English 2.1");
  EXPECT_EQ(labels[1].text, " 2.2") << "no language: the text begins with the blank";
  EXPECT_EQ(labels[2].place, (logic::LabelPlace{235, 122}));
  EXPECT_EQ(labels[3].place, (logic::LabelPlace{82, 146}));
  EXPECT_EQ(labels[4].tag, 5);
  EXPECT_EQ(note, "") << "all installations are offered: no line under them";
  window.RunFade();

  picker.ChooseVersion(3);
  picker.ChooseVersion(4);  // ignored while fading out
  EXPECT_FALSE(chosen) << "the start goes on only after the fade-out";
  window.RunFade();
  EXPECT_TRUE(chosen);
  EXPECT_EQ(session.installs.chosenVersion, 3);
  EXPECT_TRUE(labels.empty()) << "the labels are destroyed at the end of the fade-out";
  EXPECT_FALSE(window.shown);
  EXPECT_TRUE(session.exits.empty());
}

TEST_F(VersionPickerLogic, OffersSixInstallationsSaysHowManyMoreAndAnswersTheKeys) {
  Install(9);
  picker.Open(window.Fading(), [] {});
  EXPECT_EQ(session.installs.installedVersions.size(), 9u) << "the list keeps every installation";
  ASSERT_EQ(labels.size(), 6u);
  EXPECT_EQ(labels.back().tag, 6);
  EXPECT_EQ(labels.back().place, (logic::LabelPlace{235, 146}));
  EXPECT_EQ(note, "3 more installations: start Kartwerk with --game DIR");
  window.RunFade();
  picker.Key(logic::KeyAction::Enter);
  EXPECT_EQ(window.Fading().Current(), logic::WindowFade::Fade::None) << "Enter without a focused label does nothing";
  focused = 6;
  picker.Key(logic::KeyAction::Enter);
  window.RunFade();
  EXPECT_EQ(session.installs.chosenVersion, 6);
}

TEST(MoreInstallationsText, CountsOnlyThoseBeyondSix) {
  EXPECT_EQ(logic::MoreInstallationsText(0), "");
  EXPECT_EQ(logic::MoreInstallationsText(6), "");
  EXPECT_EQ(logic::MoreInstallationsText(7), "1 more installation: start Kartwerk with --game DIR");
  EXPECT_EQ(logic::MoreInstallationsText(300), "294 more installations: start Kartwerk with --game DIR");
}

TEST_F(VersionPickerLogic, CloseEndsTheProgramWithoutAChoice) {
  Install(2);
  window.Fading().SetAlphaBlend(false);
  bool chosen = false;
  picker.Open(window.Fading(), [&] { chosen = true; });
  EXPECT_EQ(window.Fading().Opacity(), 200) << "alpha blending off: shown at 200 at once";
  window.RunFade();
  picker.Key(logic::KeyAction::Escape);
  EXPECT_FALSE(window.shown) << "alpha blending off hides the window at once";
  window.RunFade();
  EXPECT_FALSE(chosen);
  EXPECT_EQ(session.installs.chosenVersion, 0);
  EXPECT_EQ(session.exits, std::vector<int>{0});
}

class PromptLogic : public ::testing::Test, public logic::MessageFace {
 protected:
  void ShowMessage(const std::string& text) override { message = text; }

  RecordingSession session;
  RecordingWindow opener, window;
  std::string message;
};

TEST_F(PromptLogic, NoticeShowsItsMessageAndClosesOnceAfterItsFade) {
  logic::Notice notice(session, window, *this);
  opener.Fading().SetOpacity(120);
  int closed = 0;
  notice.ShowNotice("Missing file", opener.Fading(), [&] { ++closed; });
  EXPECT_EQ(message, "Missing file");
  EXPECT_EQ(window.Fading().Opacity(), 120) << "the opener's opacity is taken over";
  window.RunFade();
  notice.Key(logic::KeyAction::Enter);
  notice.Key(logic::KeyAction::Escape);  // already closing
  window.RunFade();
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(window.shown);
  notice.Exit();
  EXPECT_FALSE(window.timerRunning) << "EXIT on a closed notice does nothing";
}

TEST_F(PromptLogic, EditorPromptStartsTheEditorInItsFolderOnYesOnly) {
  session.installs.gameFolder = "/games/vm";
  session.winePrefix = "/home/u/.wine";
  logic::EditorPrompt prompt(session, window);
  bool closed = false;
  prompt.Open(opener.Fading(), [&] { closed = true; });
  window.RunFade();
  session.editorFailure = "no wine";
  prompt.Key(logic::KeyAction::Enter);
  ASSERT_EQ(session.editors.size(), 1u) << "the editor starts before the fade-out has ended";
  EXPECT_FALSE(closed);
  EXPECT_EQ(session.editors[0].program.filename(), "edit3.exe");
  EXPECT_EQ(session.editors[0].workingFolder.filename(), "editor");
  EXPECT_EQ(session.editors[0].winePrefix, "/home/u/.wine");
  EXPECT_EQ(prompt.EditorStartFailure(), "no wine");
  window.RunFade();
  EXPECT_TRUE(closed);

  logic::EditorPrompt other(session, window);
  other.Open([] {});
  other.Key(logic::KeyAction::Escape);
  window.RunFade();
  EXPECT_EQ(session.editors.size(), 1u) << "EXIT starts nothing";
}

TEST(NoticeTexts, SayWhereTheGameWasLookedForAndNameTheChosenInstallation) {
  const std::string folder = logic::GameNotLocatedText({logic::GameSearch::Place::GameFolder, "/games/k\xe4rt"});
  EXPECT_NE(folder.find("Looked in the folder /games/k\xc3\xa4rt (no editor"), std::string::npos)
      << "a name that is no UTF-8 is read as Windows-1252";
  game::GameInstallations installs;
  installs.installedVersions.push_back({"", "/g/de", "2.0", "", "", 0});
  installs.chosenVersion = 1;
  EXPECT_EQ(logic::NoEditorInInstallationText(installs).rfind("2.0 in /g/de has no Vornmark II\u2122 editor", 0), 0u);
}

TEST(NoticeTexts, GameNotLocatedSaysWhereItLookedBelowTheFixedText) {
  const std::string fixed(game::kGameNotLocatedMessage);
  const std::string prefix =
      logic::GameNotLocatedText({logic::GameSearch::Place::WinePrefix, "/home/u/.wine/system.reg"});
  EXPECT_EQ(prefix.rfind(fixed + "\n\n", 0), 0u);
  EXPECT_NE(prefix.find("/home/u/.wine/system.reg"), std::string::npos);
  const std::string folder = logic::GameNotLocatedText({logic::GameSearch::Place::GameFolder, "/games/vm"});
  EXPECT_NE(folder.find("/games/vm"), std::string::npos);
  const std::string registry = logic::GameNotLocatedText({logic::GameSearch::Place::SystemRegistry, {}});
  EXPECT_NE(registry.find("Looked in the system registry."), std::string::npos);
  for (const std::string& text : {prefix, folder, registry})
    EXPECT_NE(text.find("--game DIR"), std::string::npos) << text;
  // Only a search through a Wine prefix advises one: the system's own registry has none.
  EXPECT_NE(prefix.find("--wine-prefix DIR"), std::string::npos);
  EXPECT_NE(folder.find("--wine-prefix DIR"), std::string::npos);
  EXPECT_EQ(registry.find("--wine-prefix"), std::string::npos) << registry;
}

// The system's registry named an installation, but its editor is missing: the notice names the
// folder and the missing file instead of blaming the registry.
TEST(NoticeTexts, AnInstallationWithoutItsEditorIsNamedWithTheMissingFile) {
  game::GameInstallations installs;
  installs.installedVersions.push_back({"", "C:\\Games\\VM", "2.2", "English", "1", 0});
  installs.installedVersions.push_back({"", "D:\\VM2\\", "2.0", "English", "2", 0});
  const logic::GameSearch registry{logic::GameSearch::Place::SystemRegistry, {}};
  const struct {
    std::size_t chosen;
    const char* file;
  } cases[] = {{0, "C:\\Games\\VM\\editor\\scridll.dll"},
               {1, "C:\\Games\\VM\\editor\\scridll.dll"},
               {2, "D:\\VM2\\editor\\scridll.dll"}};
  for (const auto& c : cases) {
    installs.chosenVersion = c.chosen;
    const std::string text = logic::GameNotLocatedText(registry, installs);
    EXPECT_EQ(text.find(game::kGameNotLocatedMessage), std::string::npos) << text;
    EXPECT_NE(text.find(std::string(c.file) + " was not found."), std::string::npos) << text;
    EXPECT_EQ(text.find("--wine-prefix"), std::string::npos) << text;
  }
  // Nothing registered, or a search elsewhere: the fixed text as before.
  EXPECT_EQ(logic::GameNotLocatedText(registry, {}), logic::GameNotLocatedText(registry));
  const logic::GameSearch prefix{logic::GameSearch::Place::WinePrefix, "/home/u/.wine/system.reg"};
  EXPECT_EQ(logic::GameNotLocatedText(prefix, installs), logic::GameNotLocatedText(prefix));
}

TEST(NoticeTexts, TheBackupCommandsAreOnesTheUserCanRun) {
  EXPECT_EQ(logic::BackupCommandsText("/usr/bin/kartwerk", false),
            "\"kartwerk backups\" lists it, \"kartwerk restore\" puts it back.");
  EXPECT_EQ(logic::BackupCommandsText("C:\\Program Files\\Kartwerk\\kartwerk.exe", true),
            "\"C:\\Program Files\\Kartwerk\\kartwerk.exe\" backups lists it, "
            "\"C:\\Program Files\\Kartwerk\\kartwerk.exe\" restore puts it back.");
}

// Both faces word the failure alike: why, then the program and its folder each on a line of its
// own; only the Qt face starts the editor through Wine and says so.
TEST(NoticeTexts, AFailedEditorStartSaysWhyAndGivesEachPathALine) {
  const logic::EditorLaunch launch{"/games/Vornmark II/editor/edit3.exe", "/games/Vornmark II/editor", "/home/u/.wine"};
  EXPECT_EQ(logic::EditorStartFailureText(launch, "No such file or directory", /*throughWine=*/true),
            "Could not start the Vornmark II\u2122 Editor: No such file or directory\n"
            "Program: wine /games/Vornmark II/editor/edit3.exe\n"
            "Folder: /games/Vornmark II/editor");
  EXPECT_EQ(logic::EditorStartFailureText(launch, "The system cannot find the file specified.", /*throughWine=*/false),
            "Could not start the Vornmark II\u2122 Editor: The system cannot find the file specified.\n"
            "Program: /games/Vornmark II/editor/edit3.exe\n"
            "Folder: /games/Vornmark II/editor");
#ifndef _WIN32
  // A POSIX name is bytes; Windows names are wide from end to end and never arrive as such bytes.
  const logic::EditorLaunch foreign{
      "/g/\xe9"
      "diteur/edit3.exe",
      "/g/\xe9"
      "diteur",
      {}};
  EXPECT_NE(logic::EditorStartFailureText(foreign, "x", false)
                .find("\nProgram: /g/\xc3\xa9"
                      "diteur/edit3.exe\n"),
            std::string::npos)
      << "a folder name that is no UTF-8 is read as Windows-1252, as every notice reads it";
#endif
}

}  // namespace
}  // namespace kartwerk
