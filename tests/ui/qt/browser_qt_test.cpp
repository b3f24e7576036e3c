// The map browser's start sequence and handlers, driven as a user drives them, against sample
// installations made on disk: categories, rows, map information, the version picker, the fatal
// notices and a start with a map on the command line.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "desktop/startup.hpp"
#include "game/game_location.hpp"
#include "tests/support/qt_test_support.hpp"
#include "ui/logic/map_catalog.hpp"
#include "ui/qt/browser_window.hpp"
#include "ui/qt/window_look.hpp"

namespace kartwerk::qt {
namespace {

using namespace kartwerk::testing;

QStringList Rows(QTreeWidget* view) {
  QStringList rows;
  for (int i = 0; i < view->topLevelItemCount(); ++i) rows << view->topLevelItem(i)->text(0);
  return rows;
}

QTreeWidgetItem* Row(QTreeWidget* view, const QString& caption) {
  const auto found = view->findItems(caption, Qt::MatchExactly);
  return found.isEmpty() ? nullptr : found.first();
}

class Browser : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApplication();
    WireSession(session, outside);
  }

  // Starts the windows with the installations given and waits for the browser (or whatever the
  // start shows first) to settle.
  void Start(std::shared_ptr<const game::RegistrySource> registry) {
    session.installs.registry = std::move(registry);
    windows = std::make_unique<WindowSet>(session);
    windows->Browser().Logic().Start();
  }
  BrowserWindow& browser() { return windows->Browser(); }
  bool BrowserShown() { return browser().isVisible() && !browser().FadeTimer()->isActive(); }

  void Select(const QString& caption) {
    QTreeWidgetItem* row = Row(browser().mapList, caption);
    ASSERT_NE(row, nullptr) << caption.toStdString();
    Click(browser().mapList->viewport());  // focus, as the user's pointer would
    const QPoint at = browser().mapList->visualItemRect(row).center();
    SendMouse(browser().mapList->viewport(), QEvent::MouseButtonPress, at);
    SendMouse(browser().mapList->viewport(), QEvent::MouseButtonRelease, at);
    ASSERT_EQ(browser().mapList->currentItem(), row);
  }

  mapmaker::ScratchFolder scratch;
  QtSession session;
  Outside outside;
  std::unique_ptr<WindowSet> windows;
};

TEST_F(Browser, StartListsSinglePlayerMapsAndFadesIn) {
  SampleGame game(scratch / "Vornmark II");
  Start(game::ExplicitInstallation(game.folder));
  ASSERT_TRUE(WaitFor([&] { return BrowserShown(); }));
  EXPECT_EQ(browser().AlphaBlendValue(), 200);
  EXPECT_TRUE(browser().singlePlayer->isChecked());
  EXPECT_EQ(Rows(browser().mapList), (QStringList{"Dunes", "frontier"})) << "names without extension, in listing order";
  EXPECT_EQ(session.conversion.MapKind, format::SinglePlayerMap);
  EXPECT_TRUE(browser().sizeValue->text().isEmpty()) << "no information before a selection";
  EXPECT_EQ(session.installs.gameFolder, std::filesystem::absolute(game.folder));
  EXPECT_EQ(outside.ends, 0);
  EXPECT_TRUE(outside.errors.empty());

  // The window as the Parts lay it out.
  EXPECT_EQ(browser().size(), QSize(417, 253));
  EXPECT_TRUE(browser().windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(browser().windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(browser().mapList->geometry(), QRect(4, 60, 261, 189));
  EXPECT_EQ(browser().informationPanel->geometry(), QRect(268, 48, 145, 194));
  EXPECT_EQ(browser().title->text(), QStringLiteral("Select a map to decompile"));
  EXPECT_EQ(browser().campaigns->text(), QStringLiteral("Campaigns"));
}

TEST_F(Browser, TheWidestSizeShowsWholeAndEnterOpensTheRowTheKeyboardStandsOn) {
  SampleGame game(scratch / "Vornmark II");
  // Only the head of a map is read for its information: file head, section name and size, then
  // scheme, width and height.
  core::Bytes head(8 + 12 + 4, 0);
  for (std::int32_t value : {0, 99999, 99999}) {
    for (int shift = 0; shift < 32; shift += 8) head.push_back(static_cast<std::uint8_t>(value >> shift));
  }
  SampleGame::WriteMap(game.Single() / "huge.qdm", head, "huge");
  Start(game::ExplicitInstallation(game.folder));
  ASSERT_TRUE(WaitFor([&] { return BrowserShown(); }));
  EXPECT_EQ(QApplication::focusWidget(), browser().mapList) << "focus starts on the list";

  Select(QStringLiteral("huge"));
  QLabel* size = browser().sizeValue;
  EXPECT_EQ(size->text(), QStringLiteral("99999x99999"));
  EXPECT_GE(size->width(), size->fontMetrics().horizontalAdvance(size->text()));
  EXPECT_LE(size->geometry().right(), browser().informationPanel->width() - 1) << "inside the panel";
  EXPECT_GT(size->x(), browser().sizeCaption->geometry().right()) << "clear of \"Size:\"";
  Select(QStringLiteral("Dunes"));
  EXPECT_EQ(size->x(), browser().schemeValue->x()) << "a narrow value stays in the value column";

  // Enter opens the current row even when no arrow key has selected it yet.
  browser().mapList->clearSelection();
  browser().mapList->setCurrentItem(Row(browser().mapList, QStringLiteral("frontier")), 0,
                                    QItemSelectionModel::NoUpdate);
  QTest::keyClick(browser().mapList, Qt::Key_Return);
  ASSERT_TRUE(WaitFor([&] { return windows->SlotPicker().isVisible(); }));
  EXPECT_EQ(windows->SlotPicker().Logic().run()->conversion().MapName, "frontier");
}

TEST_F(Browser, TheBannerMovesTheWindowAndOnlyTheLeftButtonCloses) {
  SampleGame game(scratch / "Vornmark II");
  Start(game::ExplicitInstallation(game.folder));
  ASSERT_TRUE(WaitFor([&] { return BrowserShown(); }));
  const QPoint before = browser().pos();
  // The offscreen desktop has no system move: the window follows the pointer.
  SendMouse(browser().banner, QEvent::MouseButtonPress, QPoint(10, 10));
  QMouseEvent move(QEvent::MouseMove, QPointF(40, 30), browser().banner->mapToGlobal(QPointF(40, 30)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(browser().banner, &move);
  SendMouse(browser().banner, QEvent::MouseButtonRelease, QPoint(40, 30));
  EXPECT_EQ(browser().pos(), before + QPoint(30, 20));

  Click(browser().closeLabel, Qt::RightButton);
  Click(browser().closeLabel, Qt::MiddleButton);
  EXPECT_NE(browser().CurrentFade(), WindowBase::Fade::Out);
  EXPECT_EQ(browser().pos(), before + QPoint(30, 20)) << "a press on \"X\" never drags";
  Click(browser().closeLabel);
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));
  EXPECT_EQ(outside.status, 0) << "a plain close";
}

TEST_F(Browser, SelectionShowsSizeSchemeAndMissionsAndCategoriesKeepTheLastInformation) {
  SampleGame game(scratch / "Vornmark II");
  Start(game::ExplicitInstallation(game.folder));
  ASSERT_TRUE(WaitFor([&] { return BrowserShown(); }));

  Select(QStringLiteral("Dunes"));
  EXPECT_EQ(browser().sizeValue->text(), QStringLiteral("48x40"));
  EXPECT_EQ(browser().schemeValue->text(), QStringLiteral("Island"));
  EXPECT_EQ(browser().missionsValue->text(), QStringLiteral("1"));
  EXPECT_EQ(session.conversion.MapName, "Dunes.qdm");

  // Multiplayer maps keep their information after a 16-byte first section.
  browser().multiplayer->click();
  EXPECT_EQ(Rows(browser().mapList), QStringList{"islands"});
  EXPECT_EQ(session.conversion.MapKind, format::MultiplayerMap);
  EXPECT_EQ(browser().sizeValue->text(), QStringLiteral("48x40")) << "a category change keeps the information";
  Select(QStringLiteral("islands"));
  EXPECT_EQ(browser().sizeValue->text(), QStringLiteral("40x36"));
  EXPECT_EQ(browser().schemeValue->text(), QStringLiteral("Beach"));

  // A campaign is listed by its main file; its mission files count as its missions.
  browser().campaigns->click();
  EXPECT_EQ(Rows(browser().mapList), QStringList{"007"});
  // Selected without the mouse (as the keyboard selects): the information follows all the same.
  browser().mapList->topLevelItem(0)->setSelected(true);
  EXPECT_EQ(browser().sizeValue->text(), QStringLiteral("48x32"));
  EXPECT_EQ(browser().schemeValue->text(), QStringLiteral("Beach"));
  EXPECT_EQ(browser().missionsValue->text(), QStringLiteral("2"));
  EXPECT_EQ(session.conversion.MissionList, (std::vector<std::string>{"007.qdc", "007000.qdc", "007003.qdc"}));

  EXPECT_TRUE(outside.errors.empty());
}

TEST_F(Browser, UnknownSchemesShortFilesAndUnreadableMaps) {
  SampleGame game(scratch / "Vornmark II");
  SampleGame::WriteMap(game.Single() / "odd.qdm",
                       mapmaker::MapBuilder(format::SinglePlayerMap).MapInfo(7, 256, 320).Build(), "odd");
  SampleGame::WriteMap(game.Single() / "stub.qdm", core::Bytes(30, 1), "stub");  // ends inside the information
  WriteText(game.Single() / "broken.qdm", "this is no gzip member");
  Start(game::ExplicitInstallation(game.folder));
  ASSERT_TRUE(WaitFor([&] { return BrowserShown(); }));

  Select(QStringLiteral("odd"));
  EXPECT_EQ(browser().sizeValue->text(), QStringLiteral("256x320"));
  EXPECT_EQ(browser().schemeValue->text(), QStringLiteral("Unknown"));

  EXPECT_EQ(browser().sizeValue->toolTip(), QString()) << "a map read whole has no problem to tell";

  // A map whose content ends inside the information (6 of its 12 bytes) cannot be read: no values
  // made of zeros, and the reason under the pointer.
  Select(QStringLiteral("stub"));
  EXPECT_EQ(browser().sizeValue->text(), QStringLiteral("cannot be read"));
  EXPECT_EQ(browser().schemeValue->text(), QString());
  EXPECT_EQ(browser().missionsValue->text(), QString());
  EXPECT_TRUE(browser().sizeValue->toolTip().contains(QStringLiteral("before its information")))
      << browser().sizeValue->toolTip().toStdString();
  EXPECT_TRUE(outside.errors.empty());

  // A map that cannot be decompressed is reported, and the information says so too.
  Select(QStringLiteral("broken"));
  ASSERT_FALSE(outside.errors.empty());
  EXPECT_TRUE(outside.errors.back().contains(QStringLiteral("broken.qdm"))) << outside.errors.back().toStdString();
  EXPECT_EQ(browser().sizeValue->text(), QStringLiteral("cannot be read"));
  EXPECT_EQ(browser().sizeValue->toolTip(), outside.errors.back());
  EXPECT_EQ(outside.ends, 0);
  Select(QStringLiteral("odd"));
  EXPECT_EQ(browser().sizeValue->toolTip(), QString());
}

// The banner is painted in the screen's pixels: at a device pixel ratio of 1.5 (150 %) its picture
// holds 1.5 times the pixels each way and still covers the layout's 415 x 70.
TEST_F(Browser, TheBannerIsPaintedAtTheDevicePixelRatio) {
  const QPixmap normal = BannerPicture();
  const QPixmap scaled = BannerPicture(1.5);
  EXPECT_EQ(normal.size(), QSize(415, 70));
  EXPECT_EQ(scaled.size(), QSize(623, 105));
  EXPECT_DOUBLE_EQ(scaled.devicePixelRatio(), 1.5);
  EXPECT_EQ(scaled.deviceIndependentSize().toSize(), QSize(415, 70));
  // The same sky in the corner, and the word mark drawn there in the finer pixels.
  const QImage a = normal.toImage(), b = scaled.toImage();
  EXPECT_EQ(a.pixelColor(0, 0), b.pixelColor(0, 0));
  int markPixels = 0;
  for (int y = 0; y < b.height(); ++y) {
    for (int x = 0; x < b.width() / 2; ++x) markPixels += b.pixelColor(x, y).blue() < 200 ? 1 : 0;
  }
  EXPECT_GT(markPixels, 200) << "the word mark is drawn into the larger picture";
}

TEST_F(Browser, SelectionReadsOnlyTheHeaderOfAMap) {
  // A large map cut off after its first kilobytes: whole decompression fails, the header does not.
  SampleGame game(scratch / "Vornmark II");
  mapmaker::MapBuilder big(format::SinglePlayerMap);
  big.MapInfo(1, 512, 512);
  core::Bytes noise(4 * 1024 * 1024);
  std::uint32_t x = 12345;
  for (auto& b : noise) {
    x = x * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(x >> 24);
  }
  big.Set(format::Section::TerrainRhombs, noise);
  core::Bytes packed = mapmaker::Gzip(big.Build(), std::string("huge"));
  packed.resize(64 * 1024);
  mapmaker::WriteBytes(game.Single() / "huge.qdm", packed);
  Start(game::ExplicitInstallation(game.folder));
  ASSERT_TRUE(WaitFor([&] { return BrowserShown(); }));

  Select(QStringLiteral("huge"));
  EXPECT_TRUE(outside.errors.empty()) << outside.errors.front().toStdString();
  EXPECT_EQ(browser().sizeValue->text(), QStringLiteral("512x512"));
  EXPECT_EQ(browser().schemeValue->text(), QStringLiteral("Beach"));

  // The same reading straight from the catalogue.
  const format::MapInformation info =
      logic::ReadMapHeaderInformation(game.Single() / "huge.qdm", format::SinglePlayerMap);
  EXPECT_EQ(info.TerrainScheme, 1u);
  EXPECT_EQ(info.width, 512);
}

TEST_F(Browser, CampaignFolderListsOnlySevenCharacterNames) {
  const std::filesystem::path folder = scratch / "campaign";
  for (const char* name : {"001.qdc", "001000.qdc", "001001.qdc", "02.qdc", "0123.qdc", "abc.QDC", "x.qdm"}) {
    WriteText(folder / name, "");
  }
  std::filesystem::create_directories(folder / "dir.qdc");
  EXPECT_EQ(logic::CategoryRows(folder, logic::CategoryOf(format::CampaignMap)),
            (std::vector<std::string>{"001", "abc"}));
  EXPECT_EQ(logic::CampaignFiles(folder, "001").size(), 3u);
  EXPECT_EQ(logic::CategoryRows(folder, logic::CategoryOf(format::SinglePlayerMap)), std::vector<std::string>{"x"});
  EXPECT_TRUE(logic::CategoryRows(scratch / "missing", logic::CategoryOf(format::MultiplayerMap)).empty());
  EXPECT_EQ(logic::MapInformationOffset(format::MultiplayerMap), 56u);
  EXPECT_EQ(logic::MapInformationOffset(format::CampaignMap), 24u);
}

TEST_F(Browser, MissingCliffDataIsAFatalNotice) {
  SampleGame game(scratch / "Vornmark II");
  session.cliffDataFile = scratch / "nowhere" / "cliffdata";
  Start(game::ExplicitInstallation(game.folder));
  NoticeWindow& notice = windows->Notice();
  ASSERT_TRUE(WaitFor([&] { return notice.isVisible() && !notice.FadeTimer()->isActive(); }));
  EXPECT_EQ(notice.message->text(),
            QStringLiteral("Missing file named cliffdata, \n\rPlease reinstall Kartwerk to restore the missing file."));
  EXPECT_FALSE(browser().isVisible());
  EXPECT_TRUE(notice.isModal());
  EXPECT_EQ(outside.ends, 0) << "the program ends when the notice is closed";
  Click(notice.exitLabel);
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));
  EXPECT_FALSE(notice.isVisible());
}

TEST_F(Browser, GameNotLocatedIsAFatalNotice) {
  const std::filesystem::path bare = scratch / "not a game";
  std::filesystem::create_directories(bare);                      // no editor marker
  session.search = {logic::GameSearch::Place::GameFolder, bare};  // as --game DIR sets it
  Start(game::ExplicitInstallation(bare));
  NoticeWindow& notice = windows->Notice();
  ASSERT_TRUE(WaitFor([&] { return notice.isVisible() && !notice.FadeTimer()->isActive(); }));
  // The fixed message, then where the game was looked for and how to name it.
  const QString text = notice.message->text();
  EXPECT_TRUE(
      text.startsWith(QStringLiteral("Could not locate Vornmark II due to missing or incorrect registry "
                                     "entries. You might wish to reinstall the game.\n\n")));
  EXPECT_TRUE(text.contains(QStringLiteral("--wine-prefix DIR")) && text.contains(QStringLiteral("--game DIR")));
  EXPECT_EQ(notice.width(), 365);
  EXPECT_GT(notice.height(), 99) << "taller for the longer text";
  EXPECT_EQ(notice.AlphaBlendValue(), 200);
  Click(notice.exitBox);
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));
  EXPECT_EQ(outside.status, 1);
  EXPECT_FALSE(browser().isVisible());
}

TEST_F(Browser, NoRegistryAtAllIsTheSameNotice) {
  Start(nullptr);
  ASSERT_TRUE(WaitFor([&] { return windows->Notice().isVisible(); }));
  EXPECT_TRUE(windows->Notice().message->text().startsWith(QStringLiteral("Could not locate Vornmark II")));
}

TEST_F(Browser, CloseEndsTheProgramAfterTheFadeOut) {
  SampleGame game(scratch / "Vornmark II");
  Start(game::ExplicitInstallation(game.folder));
  ASSERT_TRUE(WaitFor([&] { return BrowserShown(); }));
  Click(browser().closeLabel);
  EXPECT_EQ(outside.ends, 0);
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));
  EXPECT_EQ(browser().AlphaBlendValue(), 0);
  EXPECT_FALSE(windows->SlotPicker().isVisible()) << "nothing else opens";
}

class VersionPicker : public Browser {
 protected:
  // n installations, each a sample game of its own; installation i has version "2.i".
  void StartWith(int n) {
    MakeGames(n);
    Start(RegistryOf(installs));
  }
  void MakeGames(int n) {
    for (int i = 1; i <= n; ++i) {
      games.push_back(std::make_unique<SampleGame>(scratch / ("game " + std::to_string(i))));
      installs.push_back({games.back()->folder, "2." + std::to_string(i), i == 2 ? "" : "Lang" + std::to_string(i)});
    }
    // The second game has a map of its own, to tell which one the browser lists.
    SampleGame::WriteMap(games.size() > 1 ? games[1]->Single() / "second.qdm" : scratch / "unused.qdm",
                         mapmaker::SampleMainContainer(format::SinglePlayerMap, {9, 0, 16, 16}), "second");
  }
  VersionPickerWindow& picker() { return windows->VersionPicker(); }
  bool PickerShown() { return picker().isVisible() && !picker().FadeTimer()->isActive(); }

  std::vector<std::unique_ptr<SampleGame>> games;
  std::vector<Installation> installs;
};

TEST_F(VersionPicker, TwoInstallationsChooseTheSecond) {
  StartWith(2);
  ASSERT_TRUE(WaitFor([&] { return PickerShown(); }));
  EXPECT_FALSE(browser().isVisible());
  EXPECT_EQ(picker().size(), QSize(370, 174));
  EXPECT_FALSE(picker().moreNote->isVisible());
  EXPECT_FALSE(picker().windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(picker().firstLine->text(), QStringLiteral("Multiple versions of Vornmark II\u2122"));
  ASSERT_NE(picker().VersionLabel(1), nullptr);
  ASSERT_NE(picker().VersionLabel(2), nullptr);
  EXPECT_EQ(picker().VersionLabel(3), nullptr);
  EXPECT_EQ(picker().VersionLabel(1)->geometry(), QRect(67, 135, 100, 17));
  EXPECT_EQ(picker().VersionLabel(2)->geometry(), QRect(209, 135, 100, 17));
  EXPECT_EQ(picker().VersionLabel(1)->text(), QStringLiteral("Lang1 2.1"));
  EXPECT_EQ(picker().VersionLabel(2)->text(), QStringLiteral(" 2.2")) << "no language: the text begins with the blank";
  EXPECT_EQ(picker().VersionLabel(2)->property("tag").toInt(), 2);
  // The labels' text is drawn blue, as in the Win32 face, whatever the focus frame's style says:
  // the most saturated pixel of the text is blue with little red or green.
  for (int tag : {1, 2}) {
    const QImage picture = picker().VersionLabel(tag)->grab().toImage();
    QColor ink = Qt::white;
    for (int y = 0; y < picture.height(); ++y) {
      for (int x = 0; x < picture.width(); ++x) {
        const QColor c = picture.pixelColor(x, y);
        if (c.blue() - c.red() > ink.blue() - ink.red()) ink = c;
      }
    }
    EXPECT_GT(ink.blue(), 180) << tag;
    EXPECT_LT(ink.red(), 90) << tag;
    EXPECT_LT(ink.green(), 90) << tag;
  }

  Click(picker().VersionLabel(2));
  ASSERT_TRUE(WaitFor([&] { return BrowserShown(); }));
  EXPECT_EQ(session.installs.chosenVersion, 2);
  EXPECT_EQ(picker().VersionLabel(1), nullptr) << "the labels go when the picker closes";
  EXPECT_FALSE(picker().isVisible());
  EXPECT_EQ(session.installs.gameFolder, games[1]->folder);
  EXPECT_TRUE(Rows(browser().mapList).contains(QStringLiteral("second")));
}

TEST_F(VersionPicker, AnInstallationWithoutItsEditorSaysSoAndTheKeyboardChoosesAgain) {
  MakeGames(2);
  std::filesystem::remove(games[0]->folder / "editor" / "scridll.dll");
  Start(RegistryOf(installs));
  ASSERT_TRUE(WaitFor([&] { return PickerShown(); }));
  EXPECT_EQ(QApplication::focusWidget(), picker().VersionLabel(1)) << "focus starts on the first version";
  QTest::keyClick(picker().VersionLabel(1), Qt::Key_Return);
  ASSERT_TRUE(WaitFor([&] { return !outside.errors.empty() && PickerShown(); }));
  EXPECT_TRUE(outside.errors[0].contains(QStringLiteral("has no Vornmark II\u2122 editor")))
      << outside.errors[0].toStdString();
  EXPECT_EQ(outside.errorOwners[0], &picker());
  EXPECT_FALSE(windows->Notice().isVisible()) << "no fatal notice";

  // The keyboard's second choice (Tab, Enter) is typed on the real desktop suite; here a click.
  Click(picker().VersionLabel(2));
  ASSERT_TRUE(WaitFor([&] { return BrowserShown(); }));
  EXPECT_EQ(session.installs.chosenVersion, 2);
  EXPECT_EQ(outside.ends, 0);
}

TEST_F(VersionPicker, FiveAndSixInstallationsUseTwoRows) {
  StartWith(5);
  ASSERT_TRUE(WaitFor([&] { return PickerShown(); }));
  EXPECT_EQ(picker().VersionLabel(3)->pos(), QPoint(235, 122));
  EXPECT_EQ(picker().VersionLabel(4)->pos(), QPoint(82, 146));
  EXPECT_EQ(picker().VersionLabel(5)->pos(), QPoint(187, 146));
  EXPECT_EQ(picker().VersionLabel(6), nullptr);
}

TEST_F(VersionPicker, SixLabelsAtMostAndALineForTheOthers) {
  StartWith(8);
  ASSERT_TRUE(WaitFor([&] { return PickerShown(); }));
  EXPECT_EQ(session.installs.installedVersions.size(), 8u);
  for (int i = 1; i <= 6; ++i) ASSERT_NE(picker().VersionLabel(i), nullptr) << i;
  EXPECT_EQ(picker().VersionLabel(6)->pos(), QPoint(235, 146));
  EXPECT_TRUE(picker().moreNote->isVisible());
  EXPECT_EQ(picker().moreNote->text(), QStringLiteral("2 more installations: start Kartwerk with --game DIR"));
  EXPECT_EQ(picker().size(), QSize(370, 194)) << "the window grows to hold the line";
  Click(picker().VersionLabel(6));
  ASSERT_TRUE(WaitFor([&] { return BrowserShown(); }));
  EXPECT_EQ(session.installs.chosenVersion, 6);
  EXPECT_EQ(session.installs.gameFolder, games[5]->folder);
}

TEST_F(VersionPicker, CloseEndsTheProgramWithoutAChoice) {
  StartWith(2);
  ASSERT_TRUE(WaitFor([&] { return PickerShown(); }));
  Click(picker().closeLabel);
  ASSERT_TRUE(WaitFor([&] { return outside.ends == 1; }));
  EXPECT_EQ(session.installs.chosenVersion, 0);
  EXPECT_FALSE(browser().isVisible());
  EXPECT_FALSE(picker().isVisible());
}

TEST_F(VersionPicker, ACommandLineMapSkipsThePickerAndChoosesByFolder) {
  // Started with a map inside the second game: no picker, the second game is used.
  MakeGames(3);
  session.commandLineMap = games[1]->Single() / "second.qdm";
  desktop::SetMapKindFromFile(session.conversion, session.commandLineMap.string());
  Start(RegistryOf(installs));
  SlotPickerWindow& slotPicker = windows->SlotPicker();
  ASSERT_TRUE(WaitFor([&] { return slotPicker.isVisible() && !slotPicker.FadeTimer()->isActive(); }));
  EXPECT_FALSE(picker().isVisible());
  EXPECT_FALSE(browser().isVisible()) << "the browser stays unseen";
  EXPECT_EQ(session.installs.chosenVersion, 2);
  EXPECT_EQ(session.installs.gameFolder, games[1]->folder);
  EXPECT_EQ(slotPicker.slotList->count(), 255);
  EXPECT_EQ(slotPicker.Logic().run()->conversion().MapName, "second") << "the picker's conversion staged it";
}

}  // namespace
}  // namespace kartwerk::qt
