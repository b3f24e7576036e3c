// The window fade (the steps, the platform classification, the real 20 ms timer), the version
// picker's label places, and how the editor is started off Windows.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <system_error>
#include <vector>

#include "game/game_location.hpp"
#include "tests/support/qt_test_support.hpp"
#include "ui/logic/fade_steps.hpp"
#include "ui/logic/notice_texts.hpp"
#include "ui/qt/prompt_windows.hpp"
#include "ui/qt/qt_application.hpp"
#include "ui/qt/version_picker_window.hpp"
#include "ui/qt/window_system.hpp"
#include "ui/qt/wine_editor_start.hpp"

namespace kartwerk::qt {
namespace {

using testing::Outside;
using testing::WaitFor;

TEST(FadeSteps, FadeInFromZeroTakesTwentyStepsAndStopsAt200) {
  int opacity = 0;
  int steps = 0;
  int highest = 0;
  for (logic::FadeStep step = logic::FadeInStep(opacity); !step.done; step = logic::FadeInStep(opacity)) {
    opacity = step.opacity;
    highest = std::max(highest, opacity);
    ++steps;
    ASSERT_LE(steps, 30) << "the fade never ends";
  }
  EXPECT_EQ(steps, 20);
  EXPECT_EQ(opacity, 200);
  EXPECT_EQ(highest, 200);
}

TEST(FadeSteps, FadeInOffTheGridOrAboveStillEndsAt200) {
  // An opener may hand over any opacity; the fade must neither pass 200 nor wrap round.
  for (int start : {195, 199, 201, 255}) {
    int opacity = start;
    int steps = 0;
    for (logic::FadeStep step = logic::FadeInStep(opacity); !step.done; step = logic::FadeInStep(opacity)) {
      opacity = step.opacity;
      ASSERT_LE(opacity, 255);
      ASSERT_LE(++steps, 30) << "from " << start;
    }
    EXPECT_EQ(opacity, 200) << "from " << start;
  }
  EXPECT_TRUE(logic::FadeInStep(200).done) << "a window handed 200 ends its fade-in at the first step";
}

TEST(FadeSteps, FadeOutReachesZeroThenEnds) {
  int opacity = 200;
  int steps = 0;
  logic::FadeStep step = logic::FadeOutStep(opacity);
  for (; !step.done; step = logic::FadeOutStep(opacity)) {
    opacity = step.opacity;
    ASSERT_LE(++steps, 30);
  }
  EXPECT_EQ(steps, 20);
  EXPECT_EQ(step.opacity, 0);
  EXPECT_TRUE(logic::FadeOutStep(0).done) << "alpha blending off sets 0 first, so the fade ends at once";
  EXPECT_EQ(logic::FadeOutStep(5).opacity, 0) << "never below 0";
}

using logic::PlatformClass;

struct PlatformCase {
  logic::PlatformVersion version;
  PlatformClass platform;
};

class ClassifyPlatformTable : public ::testing::TestWithParam<PlatformCase> {};

TEST_P(ClassifyPlatformTable, GivesTheCodeOfItsRow) {
  EXPECT_EQ(logic::ClassifyPlatform(GetParam().version), GetParam().platform);
}

INSTANTIATE_TEST_SUITE_P(Rows, ClassifyPlatformTable,
                         ::testing::Values(PlatformCase{{1, 4, 0, "", true}, PlatformClass::Windows95},
                                           PlatformCase{{1, 4, 10, " A ", true}, PlatformClass::Windows98SecondEdition},
                                           // "A" must be the second character
                                           PlatformCase{{1, 4, 10, "A", true}, PlatformClass::Windows98},
                                           PlatformCase{{1, 4, 10, " B", true}, PlatformClass::Windows98},
                                           PlatformCase{{1, 4, 10, "", true}, PlatformClass::Windows98},
                                           PlatformCase{{1, 4, 90, "", true}, PlatformClass::WindowsMe},
                                           PlatformCase{{1, 5, 0, "", true}, PlatformClass::Unknown},
                                           PlatformCase{{2, 3, 51, "", true}, PlatformClass::WindowsNt4},
                                           PlatformCase{{2, 4, 0, "Service Pack 6", true}, PlatformClass::WindowsNt4},
                                           PlatformCase{{2, 5, 0, "", true}, PlatformClass::Windows2000},
                                           PlatformCase{{2, 5, 1, "Service Pack 2", true}, PlatformClass::WindowsXp},
                                           PlatformCase{{2, 5, 2, "", true}, PlatformClass::Unknown},
                                           PlatformCase{{2, 10, 0, "", true}, PlatformClass::Unknown},
                                           PlatformCase{{0, 5, 1, "", true}, PlatformClass::Unknown},
                                           PlatformCase{{3, 5, 1, "", true}, PlatformClass::Unknown},
                                           PlatformCase{{2, 5, 1, "", false}, PlatformClass::Unknown}));

TEST(FadeDecision, ClassifiedVersionsDecideAndUnknownOnesAskTheDesktop) {
  EXPECT_TRUE(logic::WindowsFade(PlatformClass::Windows2000, false));
  EXPECT_TRUE(logic::WindowsFade(PlatformClass::WindowsXp, false));
  for (const PlatformClass older :
       {PlatformClass::Windows95, PlatformClass::Windows98, PlatformClass::Windows98SecondEdition,
        PlatformClass::WindowsMe, PlatformClass::WindowsNt4}) {
    EXPECT_FALSE(logic::WindowsFade(older, true)) << static_cast<int>(older);
  }
  EXPECT_TRUE(logic::WindowsFade(PlatformClass::Unknown, true));
  EXPECT_FALSE(logic::WindowsFade(PlatformClass::Unknown, false));
  EXPECT_TRUE(PlatformHasWindowOpacity(QStringLiteral("xcb")));
  EXPECT_FALSE(PlatformHasWindowOpacity(QStringLiteral("offscreen")));
  EXPECT_FALSE(PlatformHasWindowOpacity(QStringLiteral("wayland")));
  EXPECT_FALSE(PlatformHasWindowOpacity(QStringLiteral("linuxfb")));
}

class WindowFade : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::TestApplication();
    testing::WireSession(session, outside, logic::kFadeTimerIntervalMs);
  }
  QtSession session;
  Outside outside;
};

TEST_F(WindowFade, ShownWindowReachesTwoHundredInTwentyTicksOfItsTwentyMillisecondTimer) {
  NoticeWindow notice(session);
  EXPECT_EQ(notice.FadeTimer()->interval(), 20);
  EXPECT_FALSE(notice.FadeTimer()->isActive()) << "disabled at creation";
  EXPECT_EQ(notice.AlphaBlendValue(), 0);
  EXPECT_TRUE(notice.AlphaBlend());

  std::vector<int> seen;
  QObject::connect(&notice, &WindowBase::AlphaBlendValueChanged, [&seen](int v) { seen.push_back(v); });
  const auto started = std::chrono::steady_clock::now();
  bool closed = false;
  notice.Open([&closed] { closed = true; });
  ASSERT_TRUE(WaitFor([&] { return !notice.FadeTimer()->isActive(); }));
  const auto took = std::chrono::steady_clock::now() - started;

  ASSERT_EQ(seen.size(), 20u);
  for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], static_cast<int>(10 * (i + 1)));
  EXPECT_EQ(notice.AlphaBlendValue(), 200);
  EXPECT_NEAR(notice.windowOpacity(), 200.0 / 255.0, 0.01);
  EXPECT_GE(took, std::chrono::milliseconds(380)) << "twenty steps of 20 ms";

  // EXIT fades out through the same timer, then the window closes.
  seen.clear();
  testing::Click(notice.exitLabel);
  ASSERT_TRUE(WaitFor([&] { return closed; }));
  EXPECT_EQ(seen.size(), 20u);
  EXPECT_EQ(notice.AlphaBlendValue(), 0);
  EXPECT_FALSE(notice.isVisible());
}

TEST_F(WindowFade, WithoutAlphaBlendingTheWindowIsOpaqueAndFadesEndAtOnce) {
  NoticeWindow opener(session);
  opener.SetAlphaBlend(false);
  opener.SetAlphaBlendValue(200);
  EXPECT_DOUBLE_EQ(opener.windowOpacity(), 1.0);

  NoticeWindow notice(session);
  int changes = 0;
  QObject::connect(&notice, &WindowBase::AlphaBlendValueChanged, [&changes](int) { ++changes; });
  bool closed = false;
  notice.ShowNotice(QStringLiteral("message"), opener, [&closed] { closed = true; });
  EXPECT_FALSE(notice.AlphaBlend()) << "the opener's switch is handed on";
  EXPECT_DOUBLE_EQ(notice.windowOpacity(), 1.0);
  ASSERT_TRUE(WaitFor([&] { return !notice.FadeTimer()->isActive(); }));
  EXPECT_EQ(changes, 1) << "handed 200, the fade-in ends at its first step";

  // EXIT first sets the opacity to 0, so the fade-out ends at its first step too.
  const auto before = std::chrono::steady_clock::now();
  testing::Click(notice.exitBox);
  ASSERT_TRUE(WaitFor([&] { return closed; }));
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(200));
}

TEST(WindowSystem, TheScreenNumberComesFromTheDisplayName) {
  EXPECT_EQ(X11ScreenNumber(":0"), 0);
  EXPECT_EQ(X11ScreenNumber(":57.1"), 1);
  EXPECT_EQ(X11ScreenNumber("host.example:3.12"), 12);
  EXPECT_EQ(X11ScreenNumber(""), 0);
  EXPECT_EQ(X11ScreenNumber(":1."), 0);
  EXPECT_EQ(X11ScreenNumber(":1.x"), 0);
  EXPECT_FALSE(DesktopShowsWindowOpacity()) << "the offscreen desktop composites nothing";
}

TEST_F(WindowFade, KeysAnswerTheButtonsAndAFailedEditorStartIsExplained) {
  NoticeWindow notice(session);
  bool closed = false;
  notice.Open([&closed] { closed = true; });
  ASSERT_TRUE(QTest::qWaitForWindowActive(&notice)) << "keys go to the active window";
  QTest::keyClick(&notice, Qt::Key_Return);
  ASSERT_TRUE(WaitFor([&] { return closed; })) << "Enter is the notice's EXIT";

  outside.editorStarts = false;
  session.winePrefix = "/home/u/.wine";
  EditorPromptWindow prompt(session);
  closed = false;
  prompt.Open([&closed] { closed = true; });
  ASSERT_TRUE(QTest::qWaitForWindowActive(&prompt));
  QTest::keyClick(&prompt, Qt::Key_Return);
  ASSERT_TRUE(WaitFor([&] { return closed; }));
  ASSERT_EQ(outside.launches.size(), 1u) << "Enter is YES";
  // Why, then the command and the folder on a line each.
  const QStringList lines = prompt.EditorStartFailure().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 3) << prompt.EditorStartFailure().toStdString();
  EXPECT_EQ(lines[0], QStringLiteral("Could not start the Vornmark II\u2122 Editor: no such program"));
  EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Program: wine "))) << lines[1].toStdString();
  EXPECT_TRUE(lines[1].endsWith(QStringLiteral("edit3.exe"))) << lines[1].toStdString();
  EXPECT_TRUE(lines[2].startsWith(QStringLiteral("Folder: "))) << lines[2].toStdString();
}

// An editor that is not there is found out before Wine is asked to start it (Wine would start
// and end at once, and the user would see nothing).
TEST(EditorStart, AMissingEditorIsReportedWithTheSystemsReason) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "kartwerk-no-such-game" / "editor";
  const std::optional<std::string> why = StartEditorThroughWine({folder / "edit3.exe", folder, {}});
  ASSERT_TRUE(why.has_value());
  EXPECT_EQ(*why, std::make_error_code(std::errc::no_such_file_or_directory).message());
}

TEST(VersionLabels, PlacesFollowTheTable) {
  EXPECT_EQ(logic::VersionLabelPlace(1, 1), (logic::LabelPlace{135, 135}));
  EXPECT_EQ(logic::VersionLabelPlace(2, 1), (logic::LabelPlace{67, 135}));
  EXPECT_EQ(logic::VersionLabelPlace(2, 2), (logic::LabelPlace{209, 135}));
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(logic::VersionLabelPlace(3, i), (logic::LabelPlace{100 * i - 65, 135}));
  for (int n = 4; n <= 6; ++n) {
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(logic::VersionLabelPlace(n, i), (logic::LabelPlace{100 * i - 65, 122})) << n;
  }
  EXPECT_EQ(logic::VersionLabelPlace(4, 4), (logic::LabelPlace{135, 146}));
  EXPECT_EQ(logic::VersionLabelPlace(5, 4), (logic::LabelPlace{82, 146}));
  EXPECT_EQ(logic::VersionLabelPlace(5, 5), (logic::LabelPlace{187, 146}));
  EXPECT_EQ(logic::VersionLabelPlace(6, 4), (logic::LabelPlace{35, 146}));
  EXPECT_EQ(logic::VersionLabelPlace(6, 5), (logic::LabelPlace{135, 146}));
  EXPECT_EQ(logic::VersionLabelPlace(6, 6), (logic::LabelPlace{235, 146}));
}

TEST(EditorStart, RunsTheEditorThroughWineInItsFolderAndPrefix) {
  const WineEditorCommand command =
      WineEditorCommandFor({"/games/Vornmark II/editor/edit3.exe", "/games/Vornmark II/editor", "/home/u/.wine-vm"});
  EXPECT_EQ(command.program, QStringLiteral("wine"));
  EXPECT_EQ(command.arguments, QStringList{QStringLiteral("/games/Vornmark II/editor/edit3.exe")});
  EXPECT_EQ(command.workingFolder, QStringLiteral("/games/Vornmark II/editor"));
  EXPECT_EQ(command.environment, QStringList{QStringLiteral("WINEPREFIX=/home/u/.wine-vm")});

  const WineEditorCommand noPrefix = WineEditorCommandFor({"/g/editor/edit3.exe", "/g/editor", {}});
  EXPECT_TRUE(noPrefix.environment.isEmpty()) << "without a prefix the inherited environment decides";
}

}  // namespace
}  // namespace kartwerk::qt
