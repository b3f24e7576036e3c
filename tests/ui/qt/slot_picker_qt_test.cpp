// The slot picker and progress window, and the editor prompt, driven from the browser as a user
// drives them: a slot double-clicked, the conversion on its worker, the prompt; compared byte for
// byte with the command line's conversion of the same map into the same slot.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

#include "desktop/startup.hpp"
#include "tests/support/qt_test_support.hpp"
#include "tests/support/run_program.hpp"
#include "ui/qt/qt_application.hpp"
#include "ui/qt/slot_picker_window.hpp"

namespace kartwerk::qt {
namespace {

using namespace kartwerk::testing;

// The notice's one button reads label ("NEXT" when the editor prompt follows, as the Windows face
// has it), whole and centred in its box.
void ExpectNoticeButton(const NoticeWindow& notice, const char* label) {
  EXPECT_EQ(notice.exitLabel->text(), QString::fromUtf8(label));
  const QRect box = notice.exitBox->geometry();
  const QRect text = notice.exitLabel->geometry();
  EXPECT_TRUE(box.contains(text)) << "label " << text.x() << "," << text.y() << " " << text.width() << "x"
                                  << text.height() << " outside its box";
  EXPECT_LE(std::abs(box.center().x() - text.center().x()), 1) << label << " is not centred";
}

class SlotPicker : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApplication();
    WireSession(session, outside);
    session.hooks.workerProgress = [this](const std::string& label) {
      std::unique_lock lock(mutex);
      labels.push_back(label);
      held.notify_all();
      if (holdAt.empty() || label == holdAt) held.wait(lock, [this] { return !holdWorker; });
    };
  }
  void TearDown() override {
    Release();
    windows.reset();
  }

  void Start(const std::filesystem::path& gameFolder) {
    session.installs.registry = game::ExplicitInstallation(gameFolder);
    windows = std::make_unique<WindowSet>(session);
    windows->Browser().Logic().Start();
    ASSERT_TRUE(WaitFor([&] { return browser().isVisible() && !browser().FadeTimer()->isActive(); }));
  }
  // A start with a map on the command line: the slot picker at once.
  void StartWithMap(const std::filesystem::path& gameFolder, const std::filesystem::path& map,
                    bool waitForPicker = true) {
    session.commandLineMap = map;
    desktop::SetMapKindFromFile(session.conversion, map.string());
    session.installs.registry = game::ExplicitInstallation(gameFolder);
    windows = std::make_unique<WindowSet>(session);
    windows->Browser().Logic().Start();
    if (waitForPicker) {
      ASSERT_TRUE(WaitFor([&] { return PickerShown(); }));
    }
  }
  BrowserWindow& browser() { return windows->Browser(); }
  SlotPickerWindow& picker() { return windows->SlotPicker(); }
  // The conversion the picker staged and runs.
  const format::Conversion& Staged() { return picker().Logic().run()->conversion(); }
  bool PickerShown() { return picker().isVisible() && !picker().FadeTimer()->isActive(); }

  // Double-clicks a map in the browser and waits for the slot picker.
  void OpenMap(QRadioButton* category, const QString& caption) {
    category->click();
    const auto found = browser().mapList->findItems(caption, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << caption.toStdString();
    DoubleClickRow(browser().mapList, browser().mapList->indexFromItem(found.first()));
    ASSERT_TRUE(WaitFor([&] { return PickerShown(); }));
    EXPECT_FALSE(browser().isVisible());
  }

  void ChooseSlot(int row) { DoubleClickRow(picker().slotList, picker().slotList->model()->index(row, 0)); }

  EditorPromptWindow* WaitForPrompt() {
    WaitFor([&] {
      EditorPromptWindow* prompt = picker().EditorPrompt();
      return prompt && prompt->isVisible() && !prompt->FadeTimer()->isActive();
    });
    return picker().EditorPrompt();
  }

  std::vector<std::string> Labels() {
    std::lock_guard lock(mutex);
    return labels;
  }
  void Hold() {
    std::lock_guard lock(mutex);
    holdWorker = true;
  }
  void Release() {
    std::lock_guard lock(mutex);
    holdWorker = false;
    held.notify_all();
  }
  bool WorkerHeld(std::size_t count) {
    std::lock_guard lock(mutex);
    return labels.size() >= count;
  }

  // A copy of the game as it is before the windows convert anything, for the command line.
  void CopyForReference(const SampleGame& game) {
    std::filesystem::copy(game.folder, scratch / "reference", std::filesystem::copy_options::recursive);
  }

  // The command line's conversion of the same map into the same slot of the copied game.
  std::filesystem::path ReferenceConversion(const SampleGame& game, const std::filesystem::path& map, int slot) {
    const std::filesystem::path copy = scratch / "reference";
    const std::filesystem::path copiedMap = copy / map.lexically_relative(game.folder);
    const ProgramResult result = RunProgram(KARTWERK_EXE, {"convert", copiedMap.string(), "--slot",
                                                           std::to_string(slot), "--game", copy.string(), "--quiet"});
    EXPECT_EQ(result.status, 0) << result.err;
    return SampleGame::SlotOf(copy, slot);
  }

  mapmaker::ScratchFolder scratch;
  QtSession session;
  Outside outside;
  std::unique_ptr<WindowSet> windows;

  std::mutex mutex;
  std::condition_variable held;
  std::vector<std::string> labels;
  bool holdWorker = false;
  std::string holdAt;  // the label to hold the worker at; empty: the first
};

TEST_F(SlotPicker, SinglePlayerMapConvertsIntoTheChosenSlotAndYesStartsTheEditor) {
  SampleGame game(scratch / "Vornmark II");
  CopyForReference(game);
  Start(game.folder);
  OpenMap(browser().singlePlayer, QStringLiteral("Dunes"));

  // The list: 255 slots, their titles decoded from the game's code page.
  ASSERT_EQ(picker().slotList->count(), 255);
  EXPECT_EQ(picker().slotList->item(0)->text(), QStringLiteral("Map 000:    --- empty ---"));
  EXPECT_EQ(picker().slotList->item(3)->text(), QStringLiteral("Map 003: D\u00FCnen\u2122"));
  EXPECT_EQ(picker().slotList->item(254)->text(), QStringLiteral("Map 254:    --- empty ---"));
  EXPECT_FALSE(picker().progressPanel->isVisible());
  EXPECT_EQ(picker().size(), QSize(370, 253));
  EXPECT_EQ(picker().title->text(), QStringLiteral("Select an editor slot to decompile map into"));
  EXPECT_TRUE(picker().isModal());
  EXPECT_EQ(Staged().MapName, "Dunes");
  EXPECT_GT(Staged().MissionStream.size(), 0) << "staged into memory while the list is shown";

  ChooseSlot(7);
  EXPECT_TRUE(picker().progressPanel->isVisible());
  EXPECT_EQ(picker().title->text(), QStringLiteral("Kartwerk for Vornmark II\u2122"));
  EXPECT_EQ(picker().mapValue->text(), QStringLiteral("Dunes"));
  EXPECT_EQ(picker().typeValue->text(), QStringLiteral("Singleplayer map"));
  EXPECT_EQ(picker().schemeValue->text(), QStringLiteral("Island"));
  EXPECT_EQ(picker().sizeValue->text(), QStringLiteral("48x40"));
  EXPECT_EQ(picker().progressGauge->maximum(), 19) << "the labels the command line counts";
  // The map is written beside the slot and takes its place only when complete.
  EXPECT_EQ(Staged().SlotFolder.parent_path(), game.Slot(7).parent_path());
  EXPECT_NE(Staged().SlotFolder, game.Slot(7));

  EditorPromptWindow* prompt = WaitForPrompt();
  ASSERT_NE(prompt, nullptr);
  EXPECT_EQ(prompt->message->text(), QStringLiteral("Do you wish to run Vornmark II\u2122 Editor now?"));
  EXPECT_EQ(prompt->size(), QSize(365, 73));
  EXPECT_TRUE(prompt->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(windows->Notice().isVisible()) << "no failure to report";
  EXPECT_FALSE(picker().isVisible());

  const std::vector<std::string> reported = Labels();
  ASSERT_EQ(reported.size(), 19u);
  EXPECT_EQ(reported.front(), "Airfields");
  EXPECT_EQ(std::count(reported.begin(), reported.end(), "Groups"), 2);
  EXPECT_EQ(picker().progressGauge->value(), 19) << "full once every label is reported";
  EXPECT_EQ(picker().stepValue->text(), QStringLiteral("Scripts"));

  const auto written = TreeFiles(game.Slot(7));
  EXPECT_EQ(written.size(), 6u + 15u);
  EXPECT_EQ(written, TreeFiles(ReferenceConversion(game, game.Single() / "Dunes.qdm", 7)));

  // "YES" starts the editor at once, in its folder, and the program ends after the fade-out.
  Click(prompt->yesLabel);
  ASSERT_EQ(outside.launches.size(), 1u);
  EXPECT_EQ(outside.ends, 0);
  EXPECT_EQ(outside.launches[0].program, game.folder / "editor" / "edit3.exe");
  EXPECT_EQ(outside.launches[0].workingFolder, game.folder / "editor");
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));
  EXPECT_FALSE(prompt->isVisible());
  EXPECT_TRUE(outside.errors.empty());
}

TEST_F(SlotPicker, CampaignOfThreeMissionsFillsItsGaugeAsTheCommandLineCountsAndMatchesIt) {
  SampleGame game(scratch / "Vornmark II");
  SampleGame::WriteMap(game.Campaign() / "007005.qdc", mapmaker::SampleMissionContainer({3, 1, 48, 32}, 5), "007005");
  CopyForReference(game);
  Start(game.folder);
  OpenMap(browser().campaigns, QStringLiteral("007"));
  EXPECT_EQ(browser().missionsValue->text(), QStringLiteral("3"));

  ChooseSlot(42);
  EXPECT_EQ(picker().mapValue->text(), QStringLiteral("Campaign 7"));
  EXPECT_EQ(picker().typeValue->text(), QStringLiteral("Campaign map"));
  EXPECT_EQ(picker().schemeValue->text(), QStringLiteral("Beach"));
  EXPECT_EQ(picker().sizeValue->text(), QStringLiteral("48x32"));
  EXPECT_EQ(picker().progressGauge->maximum(), 47);

  EditorPromptWindow* prompt = WaitForPrompt();
  ASSERT_NE(prompt, nullptr);
  EXPECT_EQ(Labels().size(), 47u);
  EXPECT_EQ(picker().progressGauge->value(), 47);
  for (const char* mission : {"mis.000", "mis.003", "mis.005"}) {
    EXPECT_TRUE(std::filesystem::is_directory(game.Slot(42) / mission)) << mission;
  }
  EXPECT_EQ(TreeFiles(game.Slot(42)), TreeFiles(ReferenceConversion(game, game.Campaign() / "007.qdc", 42)));

  // "EXIT" starts nothing.
  Click(prompt->exitBox);
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));
  EXPECT_TRUE(outside.launches.empty());
}

// A map whose script holds a code the game does not know: its last step fails.
std::filesystem::path WriteBrokenMap(const SampleGame& game) {
  const mapmaker::SampleOptions options{2, 0, 40, 30};
  SampleGame::WriteMap(
      game.Single() / "broken.qdm",
      mapmaker::ReplaceSection(
          mapmaker::SampleMainContainer(format::SinglePlayerMap, options),
          format::SectionPosition(format::Section::Scripts, format::SinglePlayerMap),
          mapmaker::Le().I32(2).U32(0).U32(0).U32(0xFFFF).U32(0).U32(0).U32(0x00010001).U32(1000).U32(0xFFFF)),
      "broken");
  return game.Single() / "broken.qdm";
}

TEST_F(SlotPicker, AFailingStepOfACommandLineMapIsNamedBeforeTheEditorIsOffered) {
  SampleGame game(scratch / "Vornmark II");
  const auto before = TreeFiles(game.Slot(3));
  StartWithMap(game.folder, WriteBrokenMap(game));
  ChooseSlot(3);

  NoticeWindow& notice = windows->Notice();
  ASSERT_TRUE(WaitFor([&] { return notice.isVisible() && !notice.FadeTimer()->isActive(); }));
  const QString text = notice.message->text().remove(QChar(0x200B));
  EXPECT_EQ(text,
            QStringLiteral("Step \"Scripts\" of mission mis.000 failed: Unknown script code 1000 in \"Script 01\"; "
                           "the slot was left as it was"));
  EXPECT_EQ(picker().EditorPrompt(), nullptr) << "the prompt comes after the notice";
  ExpectNoticeButton(notice, logic::kNoticeNextLabel);
  EXPECT_EQ(TreeFiles(game.Slot(3)), before) << "the slot's own map is untouched";
  EXPECT_EQ(EntryNames(game.Slot(3).parent_path()), std::vector<std::string>{"map.003"});

  Click(notice.exitLabel);
  EditorPromptWindow* prompt = WaitForPrompt();
  ASSERT_NE(prompt, nullptr) << "the editor is still offered";
  EXPECT_EQ(outside.ends, 0);
  Click(prompt->exitLabel);
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));
  EXPECT_EQ(outside.status, 1) << "a failed conversion";
}

TEST_F(SlotPicker, AFailingStepOfABrowsedMapReturnsToTheBrowserWithTheErrorOnTop) {
  SampleGame game(scratch / "Vornmark II");
  WriteBrokenMap(game);
  const auto before = TreeFiles(game.Slot(3));
  Start(game.folder);
  OpenMap(browser().singlePlayer, QStringLiteral("broken"));
  ChooseSlot(3);
  ASSERT_TRUE(WaitFor([&] { return !outside.errors.empty() && browser().isVisible(); }));
  EXPECT_TRUE(outside.errors[0].startsWith(QStringLiteral("Step \"Scripts\" of mission mis.000 failed")))
      << outside.errors[0].toStdString();
  EXPECT_EQ(TreeFiles(game.Slot(3)), before) << "the slot is left as it was";
  EXPECT_EQ(outside.errorOwners[0], &browser());
  EXPECT_FALSE(picker().isVisible());
  EXPECT_EQ(picker().EditorPrompt(), nullptr) << "no editor for a failed map";
  EXPECT_EQ(outside.ends, 0);

  // Another map converts from the same browser; the run then ends as a success.
  OpenMap(browser().singlePlayer, QStringLiteral("Dunes"));
  EXPECT_FALSE(picker().progressPanel->isVisible()) << "the slot list, not the last progress";
  ChooseSlot(7);
  EditorPromptWindow* prompt = WaitForPrompt();
  ASSERT_NE(prompt, nullptr);
  Click(prompt->exitLabel, Qt::RightButton);
  EXPECT_TRUE(prompt->isVisible()) << "only the left button answers";
  QTest::keyClick(prompt, Qt::Key_Escape);
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));
  EXPECT_EQ(outside.status, 0);
  EXPECT_TRUE(outside.launches.empty()) << "Escape is EXIT";
}

// A map whose header reads (the browser shows it) but whose gzip data is cut off further on.
std::filesystem::path WriteDamagedMap(const SampleGame& game) {
  core::Bytes damaged = mapmaker::ReadBytes(game.Single() / "Dunes.qdm");
  damaged.resize(damaged.size() * 2 / 3);
  mapmaker::WriteBytes(game.Single() / "damaged.qdm", damaged);
  return game.Single() / "damaged.qdm";
}

TEST_F(SlotPicker, ADamagedBrowsedMapReturnsToTheBrowserWithItsError) {
  SampleGame game(scratch / "Vornmark II");
  WriteDamagedMap(game);
  Start(game.folder);
  browser().singlePlayer->click();
  const auto rows = browser().mapList->findItems(QStringLiteral("damaged"), Qt::MatchExactly);
  ASSERT_EQ(rows.size(), 1);
  DoubleClickRow(browser().mapList, browser().mapList->indexFromItem(rows.first()));
  ASSERT_TRUE(WaitFor([&] { return !outside.errors.empty() && browser().isVisible(); }));
  EXPECT_EQ(outside.errorOwners[0], &browser());
  EXPECT_FALSE(picker().isVisible());
  EXPECT_EQ(outside.ends, 0);
  QTest::keyClick(browser().mapList, Qt::Key_Escape);
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));
  EXPECT_EQ(outside.status, 1) << "the map chosen last failed";
}

TEST_F(SlotPicker, ALongMapTitleEndsWithAnEllipsis) {
  SampleGame game(scratch / "Vornmark II");
  const std::string name = "The very long road across the northern mountains and down to the sea";
  SampleGame::WriteMap(game.Single() / (name + ".qdm"),
                       mapmaker::SampleMainContainer(format::SinglePlayerMap, {1, 0, 32, 24}), "long");
  // A slot title too long for its row is shown whole under the pointer; one that fits has no tooltip.
  WriteText(game.folder / "editor" / "maps.src" / "map.009" / "desc", name + " " + name + "\n");
  StartWithMap(game.folder, game.Single() / (name + ".qdm"));
  EXPECT_EQ(picker().slotList->item(9)->toolTip(), picker().slotList->item(9)->text());
  EXPECT_TRUE(picker().slotList->item(9)->text().contains(QString::fromStdString(name)));
  EXPECT_EQ(picker().slotList->item(0)->toolTip(), QString());
  ChooseSlot(2);
  const QString shown = picker().mapValue->text();
  EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
  EXPECT_LE(picker().mapValue->fontMetrics().horizontalAdvance(shown), picker().mapValue->width());
  EXPECT_EQ(picker().mapValue->toolTip(), QString::fromStdString(name));
  ASSERT_NE(WaitForPrompt(), nullptr);
}

TEST_F(SlotPicker, ADamagedCommandLineMapEndsTheProgramAfterItsError) {
  SampleGame game(scratch / "Vornmark II");
  StartWithMap(game.folder, WriteDamagedMap(game), /*waitForPicker=*/false);
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));
  EXPECT_EQ(outside.errors.size(), 1u);
  EXPECT_EQ(outside.errorOwners[0], nullptr) << "no window is on show";
  EXPECT_EQ(outside.status, 1);
}

TEST_F(SlotPicker, ReplacingAMapSaysWhereThePreviousOneWent) {
  SampleGame game(scratch / "Vornmark II");
  WriteText(game.Slot(3) / "mis.000" / "notes", "my own work");
  const auto before = TreeFiles(game.Slot(3));
  Start(game.folder);
  OpenMap(browser().singlePlayer, QStringLiteral("frontier"));
  ChooseSlot(3);

  NoticeWindow& notice = windows->Notice();
  ASSERT_TRUE(WaitFor([&] { return notice.isVisible() && !notice.FadeTimer()->isActive(); }));
  const QString text = notice.message->text().remove(QChar(0x200B));
  const QString lead = QStringLiteral("The slot's previous map was moved to \"");
  ASSERT_TRUE(text.startsWith(lead)) << text.toStdString();
  const QString rest = text.mid(lead.size());
  const auto close = rest.indexOf(QStringLiteral("\".\n"));
  ASSERT_GT(close, 0) << text.toStdString();
  EXPECT_TRUE(rest.endsWith(QStringLiteral("\"kartwerk backups\" lists it, \"kartwerk restore\" puts it back.")))
      << text.toStdString();
  const std::filesystem::path backup = rest.left(close).toStdString();
  EXPECT_EQ(backup.parent_path(), pipeline::DefaultBackupFolder());
  EXPECT_EQ(TreeFiles(backup), before);
  ExpectNoticeButton(notice, logic::kNoticeNextLabel);
  EXPECT_EQ(TreeFiles(game.Slot(3)).size(), 6u + 15u);
  EXPECT_EQ(EntryNames(game.Slot(3).parent_path()), std::vector<std::string>{"map.003"});

  Click(notice.exitLabel);
  EditorPromptWindow* prompt = WaitForPrompt();
  ASSERT_NE(prompt, nullptr);
  Click(prompt->exitLabel);
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));
  std::filesystem::remove_all(backup);
}

TEST_F(SlotPicker, ClosingDuringTheConversionStopsAtTheNextStepAndCleansUp) {
  SampleGame game(scratch / "Vornmark II");
  Start(game.folder);
  OpenMap(browser().singlePlayer, QStringLiteral("frontier"));
  Hold();
  ChooseSlot(9);
  // The worker waits in its first report until the window has been closed.
  ASSERT_TRUE(WaitFor([&] { return WorkerHeld(1); }));
  Click(picker().closeLabel);
  Release();
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));

  EXPECT_EQ(Labels(), std::vector<std::string>{"Airfields"}) << "no step after the one under way";
  EXPECT_FALSE(std::filesystem::exists(game.Slot(9))) << "a stopped conversion leaves no slot behind";
  EXPECT_EQ(EntryNames(game.Slot(9).parent_path()), std::vector<std::string>{"map.003"});
  EXPECT_EQ(picker().EditorPrompt(), nullptr);
  EXPECT_FALSE(windows->Notice().isVisible());

  // A late end report changes nothing.
  WaitFor([] { return false; }, 50);
  EXPECT_EQ(outside.ends, 1);
  EXPECT_EQ(picker().EditorPrompt(), nullptr);
}

TEST_F(SlotPicker, StoppingDuringSoundsLeavesAnOccupiedSlotUntouched) {
  SampleGame game(scratch / "Vornmark II");
  const auto before = TreeFiles(game.Slot(3));
  Start(game.folder);
  OpenMap(browser().singlePlayer, QStringLiteral("frontier"));
  holdAt = "Sounds";
  Hold();
  ChooseSlot(3);
  ASSERT_TRUE(WaitFor([&] { return !Labels().empty() && Labels().back() == "Sounds"; }));
  Click(picker().closeLabel);
  Release();
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));
  EXPECT_EQ(Labels().back(), "Sounds");
  EXPECT_EQ(TreeFiles(game.Slot(3)), before);
  EXPECT_EQ(EntryNames(game.Slot(3).parent_path()), std::vector<std::string>{"map.003"});
  EXPECT_EQ(picker().EditorPrompt(), nullptr);
}

TEST_F(SlotPicker, ClosingTheSlotListWritesNothingAndOffersNothing) {
  SampleGame game(scratch / "Vornmark II");
  Start(game.folder);
  OpenMap(browser().multiplayer, QStringLiteral("islands"));
  Click(picker().closeLabel);
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));
  std::vector<std::string> folders;
  for (const auto& entry : std::filesystem::directory_iterator(game.folder / "editor" / "maps.src")) {
    folders.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(folders, std::vector<std::string>{"map.003"});
  EXPECT_EQ(picker().EditorPrompt(), nullptr);
  EXPECT_TRUE(outside.launches.empty());
}

TEST_F(SlotPicker, ASlotFileThatCannotBeWrittenIsReportedAndNothingStarts) {
  SampleGame game(scratch / "Vornmark II");
  // A campaign whose name is no number has no "desc" title.
  SampleGame::WriteMap(game.Campaign() / "abc.qdc", mapmaker::SampleMainContainer(format::CampaignMap, {3, 1, 48, 32}),
                       "abc");
  SampleGame::WriteMap(game.Campaign() / "abc000.qdc", mapmaker::SampleMissionContainer({3, 1, 48, 32}, 0), "abc000");
  Start(game.folder);
  OpenMap(browser().campaigns, QStringLiteral("abc"));
  ChooseSlot(5);
  ASSERT_EQ(outside.errors.size(), 1u);
  EXPECT_EQ(outside.errors[0], QStringLiteral("'abc' is not a valid integer value"));
  EXPECT_FALSE(picker().progressPanel->isVisible());
  EXPECT_FALSE(picker().Logic().run()->Started());
  EXPECT_TRUE(picker().isVisible()) << "another slot, or X, is still possible";
}

TEST_F(SlotPicker, CommandLineStartConvertsTheNamedMap) {
  SampleGame game(scratch / "Vornmark II");
  CopyForReference(game);
  session.commandLineMap = game.Mplay() / "islands.qdp";
  desktop::SetMapKindFromFile(session.conversion, session.commandLineMap.string());
  session.installs.registry = game::ExplicitInstallation(game.folder);
  windows = std::make_unique<WindowSet>(session);
  windows->Browser().Logic().Start();
  ASSERT_TRUE(WaitFor([&] { return PickerShown(); }));
  EXPECT_FALSE(browser().isVisible());
  ChooseSlot(0);
  EXPECT_EQ(picker().typeValue->text(), QStringLiteral("Multiplayer map"));
  EXPECT_EQ(picker().schemeValue->text(), QStringLiteral("Beach"));
  ASSERT_NE(WaitForPrompt(), nullptr);
  EXPECT_EQ(TreeFiles(game.Slot(0)), TreeFiles(ReferenceConversion(game, game.Mplay() / "islands.qdp", 0)));
}

TEST_F(SlotPicker, CommandLineStartWithoutTheGameShowsTheNoticeThenEnds) {
  SampleGame game(scratch / "Vornmark II");
  std::filesystem::remove(game.folder / "editor" / "scridll.dll");
  session.commandLineMap = game.Single() / "frontier.qdm";
  session.installs.registry = game::ExplicitInstallation(game.folder);
  session.search = {logic::GameSearch::Place::GameFolder, game.folder};  // as --game DIR sets it
  windows = std::make_unique<WindowSet>(session);
  windows->Browser().Logic().Start();
  NoticeWindow& notice = windows->Notice();
  ASSERT_TRUE(WaitFor([&] { return notice.isVisible() && !notice.FadeTimer()->isActive(); }));
  EXPECT_TRUE(notice.message->text().startsWith(QStringLiteral("Could not locate Vornmark II")));
  ExpectNoticeButton(notice, logic::kNoticeExitLabel);  // closing it ends the program
  EXPECT_EQ(picker().slotList->count(), 0);
  Click(notice.exitLabel);
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));
  EXPECT_FALSE(picker().isVisible());
}

TEST_F(SlotPicker, WithoutWindowOpacityEveryWindowIsShownOpaqueAtOnce) {
  SampleGame game(scratch / "Vornmark II");
  session.desktopHasWindowOpacity = false;
  session.fadeIntervalMs = logic::kFadeTimerIntervalMs;
  session.installs.registry = game::ExplicitInstallation(game.folder);
  windows = std::make_unique<WindowSet>(session);
  EXPECT_FALSE(browser().AlphaBlend());
  EXPECT_EQ(browser().AlphaBlendValue(), 200) << "set when the browser is created";
  browser().Logic().Start();
  EXPECT_TRUE(browser().isVisible());
  EXPECT_DOUBLE_EQ(browser().windowOpacity(), 1.0);

  const auto rows = browser().mapList->findItems(QStringLiteral("frontier"), Qt::MatchExactly);
  ASSERT_EQ(rows.size(), 1);
  DoubleClickRow(browser().mapList, browser().mapList->indexFromItem(rows.first()));
  EXPECT_FALSE(browser().isVisible()) << "hidden at once, not faded";
  ASSERT_TRUE(WaitFor([&] { return picker().isVisible(); }));
  EXPECT_FALSE(picker().AlphaBlend()) << "the switch is handed on";
  EXPECT_EQ(picker().AlphaBlendValue(), 200);
  EXPECT_DOUBLE_EQ(picker().windowOpacity(), 1.0);

  ChooseSlot(1);
  EditorPromptWindow* prompt = WaitForPrompt();
  ASSERT_NE(prompt, nullptr);
  EXPECT_FALSE(prompt->AlphaBlend());
  EXPECT_DOUBLE_EQ(prompt->windowOpacity(), 1.0);
  // "YES" keeps the prompt on show for its whole fade-out, even without alpha blending.
  Click(prompt->yesLabel);
  EXPECT_TRUE(prompt->isVisible());
  EXPECT_EQ(outside.launches.size(), 1u);
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));
}

// The error box is titled with the program's name, as the Windows face's is, with or without a
// window to stand above.
TEST(ErrorBox, IsTitledKartwerkAboveItsOwnerOrAlone) {
  TestApplication();
  QWidget owner(nullptr, Qt::WindowStaysOnTopHint);
  owner.show();
  for (QWidget* over : {static_cast<QWidget*>(nullptr), &owner}) {
    QString title, text;
    bool onTop = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (box == nullptr || !box->isVisible()) continue;
        title = box->windowTitle();
        text = box->text();
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        box->accept();
      }
    });
    poll.start(10);
    ShowErrorBox(QStringLiteral("Cannot create file \"/x\". Permission denied"), over);
    poll.stop();
    EXPECT_EQ(title, QStringLiteral("Kartwerk"));
    EXPECT_EQ(title, QString::fromUtf8(logic::kErrorBoxTitle));
    EXPECT_EQ(text, QStringLiteral("Cannot create file \"/x\". Permission denied"));
    EXPECT_EQ(onTop, over != nullptr) << "on top like the window it stands above";
  }
}

TEST(GaugeAndNotice, FailureText) {
  pipeline::ConversionEnd end;
  end.error = std::make_exception_ptr(std::runtime_error("Stream read error"));
  end.failedStep = "Units";
  end.failedInStep = true;
  end.failedMission = "mis.003";
  EXPECT_EQ(ConversionFailureNotice(end),
            QStringLiteral("Step \"Units\" of mission mis.003 failed: Stream read error"));
  // Paths in the error text may break at their separators.
  end.error = std::make_exception_ptr(std::runtime_error("Cannot create file \"/a/b\". No"));
  EXPECT_EQ(ConversionFailureNotice(end).count(QChar(0x200B)), 2);
  EXPECT_EQ(ConversionFailureNotice(end).remove(QChar(0x200B)),
            QStringLiteral("Step \"Units\" of mission mis.003 failed: Cannot create file \"/a/b\". No"));
}

}  // namespace
}  // namespace kartwerk::qt
