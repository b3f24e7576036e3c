// The map browser's tooltip picture: drawn off the interface thread (the list answers at once,
// even for the largest map), shown while the pointer rests on the row, and nothing at all (no
// picture, no error) for a map that cannot be read.
#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QLabel>
#include <QPixmap>
#include <QToolTip>
#include <QTreeWidget>
#include <chrono>
#include <set>

#include "mapmaker/bench_maps.hpp"
#include "tests/support/qt_test_support.hpp"
#include "ui/qt/browser_window.hpp"
#include "ui/qt/map_picture_tip.hpp"

namespace kartwerk::qt {
namespace {

using namespace kartwerk::testing;

class MapPictureTipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApplication();
    WireSession(session, outside);
    game = std::make_unique<SampleGame>(scratch / "Vornmark II");
    mapmaker::WriteBytes(game->Single() / "broken.qdm", core::Bytes{0x1F, 0x8B, 8, 0, 'x', 'y'});
  }
  void Start() {
    session.installs.registry = game::ExplicitInstallation(game->folder);
    windows = std::make_unique<WindowSet>(session);
    windows->Browser().Logic().Start();
    ASSERT_TRUE(WaitFor([&] { return browser().isVisible(); }));
    tip = browser().mapList->findChild<MapPictureTip*>();
    ASSERT_NE(tip, nullptr);
  }
  BrowserWindow& browser() { return windows->Browser(); }

  // The pointer comes to rest on a row: the desktop sends the tooltip event. Returns how long the
  // list took to answer it.
  std::chrono::milliseconds RestOn(const QString& caption) {
    const auto found = browser().mapList->findItems(caption, Qt::MatchExactly);
    EXPECT_FALSE(found.isEmpty()) << caption.toStdString();
    QWidget* viewport = browser().mapList->viewport();
    const QPoint at = browser().mapList->visualItemRect(found.first()).center();
    QHelpEvent event(QEvent::ToolTip, at, viewport->mapToGlobal(at));
    const auto start = std::chrono::steady_clock::now();
    QCoreApplication::sendEvent(viewport, &event);
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  }

  mapmaker::ScratchFolder scratch;
  QtSession session;
  Outside outside;
  std::unique_ptr<SampleGame> game;
  std::unique_ptr<WindowSet> windows;
  MapPictureTip* tip = nullptr;
};

TEST_F(MapPictureTipTest, PictureIsDrawnOffTheInterfaceThreadAndShownOnTheRow) {
  // A 512 x 512 map, so that drawing takes a while.
  std::filesystem::copy_file(mapmaker::WriteBenchMap(scratch.path(), mapmaker::FindBenchMapPreset("large")),
                             game->Single() / "large.qdm");
  Start();
  const auto answered = RestOn(QStringLiteral("large"));
  EXPECT_LT(answered.count(), 50) << "the list does not wait for the 512 x 512 map to be drawn";
  EXPECT_FALSE(tip->Popup()->isVisible()) << "nothing to show before the picture arrives";
  ASSERT_TRUE(WaitFor([&] { return tip->Popup()->isVisible(); }));
  EXPECT_EQ(tip->PictureLabel()->pixmap().size(), QSize(512, 512)) << "at least a pixel per cell";

  RestOn(QStringLiteral("frontier"));
  ASSERT_TRUE(WaitFor([&] { return tip->Popup()->isVisible() && tip->DrawnCount() == 2; }));
  const QImage picture = tip->PictureLabel()->pixmap().toImage();
  EXPECT_EQ(picture.size(), QSize(192, 144)) << "32 x 24 cells at 6 pixels, the longer side near 200";
  std::set<QRgb> colours;
  for (int y = 0; y < picture.height(); y += 3) {
    for (int x = 0; x < picture.width(); x += 3) colours.insert(picture.pixel(x, y));
  }
  EXPECT_GT(colours.size(), 8u) << "terrain of several types and levels";

  // Leaving the list takes the picture away; coming back shows the one already drawn.
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(browser().mapList->viewport(), &leave);
  EXPECT_FALSE(tip->Popup()->isVisible());
  RestOn(QStringLiteral("frontier"));
  EXPECT_TRUE(tip->Popup()->isVisible()) << "drawn once, shown at once";
  EXPECT_EQ(tip->DrawnCount(), 2u);
  EXPECT_TRUE(outside.errors.empty());
}

TEST_F(MapPictureTipTest, DamagedMapShowsNoPictureAndNoErrorUntilChosen) {
  Start();
  RestOn(QStringLiteral("broken"));
  ASSERT_TRUE(WaitFor([&] { return tip->DrawnCount() == 1; }));
  QCoreApplication::processEvents();
  EXPECT_FALSE(tip->Popup()->isVisible());
  EXPECT_FALSE(QToolTip::isVisible()) << "a name shown whole needs no tooltip";
  EXPECT_TRUE(outside.errors.empty()) << "pointing at a map is not choosing it";

  // Choosing it reports the error as before.
  browser().mapList->findItems(QStringLiteral("broken"), Qt::MatchExactly).first()->setSelected(true);
  EXPECT_EQ(outside.errors.size(), 1u);
}

// A name the list ends with "..." shows whole under the pointer: at once as a text tooltip, over
// the map's picture once it is drawn, and alone for a map without a picture; a name shown whole
// gets no caption.
TEST_F(MapPictureTipTest, ANameTheListCutsShowsWholeOverThePictureOrAlone) {
  const QString longName = QStringLiteral("The battle for the long bridge at the end of the world");
  const QString brokenName = QStringLiteral("The broken bridge at the far end of the long river valley");
  std::filesystem::copy_file(game->Single() / "frontier.qdm", game->Single() / (longName.toStdString() + ".qdm"));
  mapmaker::WriteBytes(game->Single() / (brokenName.toStdString() + ".qdm"), core::Bytes{0x1F, 0x8B, 8, 0, 'x', 'y'});
  Start();
  const QTreeWidget* list = browser().mapList;
  ASSERT_GT(list->fontMetrics().horizontalAdvance(longName), list->columnWidth(0)) << "the name fits its row";
  const auto tipText = [] { return QToolTip::isVisible() ? QToolTip::text() : QString(); };

  RestOn(longName);
  EXPECT_EQ(tipText(), longName) << "the name at once, while the picture is drawn";
  ASSERT_TRUE(WaitFor([&] { return tip->Popup()->isVisible(); }));
  EXPECT_FALSE(tip->Caption()->isHidden());
  EXPECT_EQ(tip->Caption()->text(), longName);
  EXPECT_LE(tip->Caption()->geometry().bottom(), tip->PictureLabel()->geometry().top()) << "over the picture";
  EXPECT_GE(tip->Caption()->height(), tip->Caption()->heightForWidth(tip->Caption()->width()))
      << "every line of the name has room";
  EXPECT_LE(tip->Popup()->width(), tip->PictureLabel()->pixmap().width() + 4)
      << "the name wraps at the picture's width";
  EXPECT_TRUE(WaitFor([] { return !QToolTip::isVisible(); })) << "the caption takes the text tooltip's place";

  // A name shown whole: the picture alone.
  RestOn(QStringLiteral("frontier"));
  ASSERT_TRUE(WaitFor([&] { return tip->Popup()->isVisible() && tip->DrawnCount() == 2; }));
  EXPECT_TRUE(tip->Caption()->isHidden());
  EXPECT_FALSE(QToolTip::isVisible());

  // A map without a picture: its cut name alone, until the pointer leaves.
  RestOn(brokenName);
  ASSERT_TRUE(WaitFor([&] { return tip->DrawnCount() == 3; }));
  QCoreApplication::processEvents();
  EXPECT_FALSE(tip->Popup()->isVisible());
  EXPECT_EQ(tipText(), brokenName);
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(browser().mapList->viewport(), &leave);
  EXPECT_TRUE(WaitFor([] { return !QToolTip::isVisible(); }));
  EXPECT_TRUE(outside.errors.empty());
}

}  // namespace
}  // namespace kartwerk::qt
