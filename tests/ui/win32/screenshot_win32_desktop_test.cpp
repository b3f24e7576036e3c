// Pictures of the real screen for the suites that show windows: a plain layered popup, white at
// alpha 200 like a window after its fade, is seen where it stands, blended at that alpha over the
// desktop, which the empty corner of the screen shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/desktop_screenshot.hpp"

namespace kartwerk {
namespace {

constexpr int kLeft = 300;
constexpr int kTop = 200;
constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kCorner = 120;  // the empty square at the screen's bottom right corner
constexpr BYTE kAlpha = 200;

HWND ShowWhitePopup() {
  WNDCLASSW type{};
  type.lpfnWndProc = DefWindowProcW;
  type.hInstance = GetModuleHandleW(nullptr);
  type.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  type.lpszClassName = L"KartwerkScreenshotProbe";
  RegisterClassW(&type);
  HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, type.lpszClassName, L"probe",
                                WS_POPUP, kLeft, kTop, kWidth, kHeight, nullptr, nullptr, type.hInstance, nullptr);
  if (window == nullptr) return nullptr;
  SetLayeredWindowAttributes(window, 0, kAlpha, LWA_ALPHA);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  return window;
}

TEST(DesktopScreenshot, AWindowIsSeenWhereItStandsAndTheEmptyScreenIsNot) {
  HWND window = ShowWhitePopup();
  ASSERT_NE(window, nullptr);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);

  // The rectangle keeps off the window's edges: a border pixel more or less must not matter.
  const std::optional<double> shown =
      testing::ScreenBrightness("white-popup", kLeft + 8, kTop + 8, kWidth - 16, kHeight - 16);
  const std::optional<double> empty =
      testing::ScreenBrightness("empty-corner", screenWidth - kCorner, screenHeight - kCorner, kCorner, kCorner);
  DestroyWindow(window);
  testing::PumpMessages();

  ASSERT_TRUE(shown && empty) << "run this suite with scripts/test-windows-desktop.sh";
  EXPECT_LT(*empty, 0.6);
  EXPECT_NEAR(*shown, *empty + kAlpha / 255.0 * (1 - *empty), 0.02);
  const std::filesystem::path folder = testing::ScreenshotsFolder().value();
  EXPECT_TRUE(std::filesystem::is_regular_file(folder / "white-popup.png"));
  EXPECT_FALSE(std::filesystem::exists(folder / "white-popup.want"));
  EXPECT_FALSE(std::filesystem::exists(folder / "white-popup.seen"));
}

TEST(DesktopScreenshot, RefusesNamesAndRectanglesItCannotPicture) {
  EXPECT_THROW(testing::ScreenBrightness("../outside", 0, 0, 10, 10), std::invalid_argument);
  EXPECT_THROW(testing::ScreenBrightness("flat", 0, 0, 0, 10), std::invalid_argument);
  if (testing::ScreenshotsFolder()) {
    // Past the screen's edge the script answers with an error rather than a brightness.
    EXPECT_THROW(testing::ScreenBrightness("past-the-edge", GetSystemMetrics(SM_CXSCREEN) - 5, 0, 10, 10),
                 std::runtime_error);
  }

  // Without the script there is no picture to take, and no waiting for one.
  const std::optional<std::filesystem::path> folder = testing::ScreenshotsFolder();
  SetEnvironmentVariableW(L"KARTWERK_SCREENSHOTS", nullptr);
  EXPECT_EQ(testing::ScreenBrightness("nobody-answers", 0, 0, 10, 10), std::nullopt);
  if (folder) SetEnvironmentVariableW(L"KARTWERK_SCREENSHOTS", folder->c_str());
}

}  // namespace
}  // namespace kartwerk
