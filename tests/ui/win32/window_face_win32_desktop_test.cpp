// The Win32 windows under Wine on a real X server: a whole conversion driven by the windows' own
// messages and keys, equal to `kartwerk.exe convert --slot`; the control texts read back with
// the Win32 API; and a picture of the real screen for each window once it has faded in, kept in
// the build folder for a person to look at.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "game/explicit_installation.hpp"
#include "game/game_location.hpp"
#include "game/registry_tree.hpp"
#include "pipeline/conversion_steps.hpp"
#include "platform/program_path.hpp"
#include "tests/support/desktop_screenshot.hpp"
#include "tests/support/folder_tree.hpp"
#include "tests/support/recording_face.hpp"
#include "tests/support/run_program.hpp"
#include "ui/logic/notice_texts.hpp"
#include "ui/win32/wide_text.hpp"
#include "ui/win32/window_set.hpp"

namespace kartwerk::win32 {
namespace {

using namespace kartwerk::testing;

std::string Text(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return Narrow(text);
}

std::string ListViewRow(HWND list, int row) {
  wchar_t text[256] = {};
  LVITEMW item{};
  item.pszText = text;
  item.cchTextMax = 256;
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return Narrow(text);
}

std::string ListBoxRow(HWND list, int row) {
  std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0)) + 1,
                    L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
  return Narrow(text.c_str());
}

// The screen's resolution, as the windows are drawn at it.
UINT ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return static_cast<UINT>(dpi);
}

// The pictures at another resolution than 96 dpi are named after it ("browser-144dpi").
std::string DpiSuffix() { return ScreenDpi() == kDesignDpi ? "" : "-" + std::to_string(ScreenDpi()) + "dpi"; }

// Every static text and button caption of window that its font draws wider than its box.
std::vector<std::string> TextsCutOff(HWND window) {
  std::vector<std::string> cut;
  EnumChildWindows(
      window,
      [](HWND control, LPARAM data) -> BOOL {
        wchar_t type[16] = {};
        GetClassNameW(control, type, 16);
        const bool label = lstrcmpiW(type, L"STATIC") == 0, button = lstrcmpiW(type, L"BUTTON") == 0;
        const std::string text = Text(control);
        if (!(label || button) || text.empty() || !IsWindowVisible(control)) return TRUE;
        RECT box;
        GetClientRect(control, &box);
        HDC dc = GetDC(control);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        const std::wstring wide = Wide(text);
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        // A radio button draws its circle beside the caption: the caption has the rest.
        const int room = box.right - (button ? GetSystemMetrics(SM_CXMENUCHECK) + 2 : 0);
        if (size.cx > room || size.cy > box.bottom) {
          reinterpret_cast<std::vector<std::string>*>(data)->push_back(
              text + " (" + std::to_string(size.cx) + "x" + std::to_string(size.cy) + " in " + std::to_string(room) +
              "x" + std::to_string(box.bottom) + ")");
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&cut));
  return cut;
}

// The middle of a rectangle as a mouse message's position.
LPARAM Middle(const RECT& rect) { return MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2); }

class Win32Face : public ::testing::Test {
 protected:
  // The suite draws its windows at the screen's resolution, as the program's manifest declares.
  static void SetUpTestSuite() { DeclarePerMonitorDpiAwareness(); }

  void SetUp() override {
    game = scratch.path() / "game";
    WriteLogicGame(game);
    session.installs.registry = game::ExplicitInstallation(game);
    session.cliffDataFile = std::filesystem::path(KARTWERK_EXE).parent_path() / "cliffdata";
    session.hooks.endProgram = [this](int status) { exits.push_back(status); };
    session.hooks.reportError = [this](const std::string& message, HWND) { errors.push_back(message); };
    session.hooks.launchEditor = [this](const logic::EditorLaunch& launch) {
      editors.push_back(launch);
      return std::optional<std::string>();
    };
    DescribeDesktop(session);
  }

  ~Win32Face() override {
    windows.reset();
    FreeLibrary(program);
  }

  // The program's message loop, until done holds; false after 20 s.
  static bool PumpUntil(const std::function<bool()>& done) { return PumpUntilFor(done); }

 public:
  static bool PumpUntilFor(const std::function<bool()>& done) {
    for (const DWORD until = GetTickCount() + 20000; GetTickCount() < until;) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchWindowMessage(message);
      if (done()) return true;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return false;
  }

 protected:
  // Waits for window to be on show and faded in, then has the real screen pictured as name.png:
  // the window's rectangle must be lit there (the screen around it is black).
  static void ExpectFadedInAndPictured(WindowBase& window, const std::string& name) {
    ASSERT_TRUE(PumpUntil([&] { return window.IsShown() && window.Fading().Opacity() == logic::kFadeShownOpacity; }))
        << name << " never faded in";
    RECT rect;
    GetWindowRect(window.Handle(), &rect);
    const std::optional<double> lit = ScreenBrightness(name + DpiSuffix(), rect.left, rect.top, rect.right - rect.left,
                                                       rect.bottom - rect.top, [] { PumpUntil([] { return true; }); });
    ASSERT_TRUE(lit.has_value()) << "no screenshot of " << name << ": run by scripts/test-win32-desktop.sh";
    EXPECT_GT(*lit, 0.7) << name << " is not visible on the screen (the empty desktop is 0.5)";
  }

  // A registry naming one installation per folder.
  void Register(const std::vector<std::filesystem::path>& folders) {
    auto tree = std::make_shared<game::RegistryTree>();
    tree->CreateKey(std::string(game::kGameKeyPath));
    for (std::size_t i = 0; i < folders.size(); ++i) {
      game::RegistryNode& key = tree->CreateKey(std::string(game::kGameKeyPath) + "\\install" + std::to_string(i + 1));
      key.values["target folder"] = platform::TextFromPath(folders[i]);
      key.values["version"] = "2." + std::to_string(i);
      key.values["language"] = "English";
    }
    session.installs.registry = std::make_shared<game::TreeRegistrySource>(tree, platform::PathFromText);
  }

  void Start() {
    windows.emplace(session, look);
    windows->Browser().PostCall([this] { windows->Browser().Logic().Start(); });
  }

  mapmaker::ScratchFolder scratch;
  std::filesystem::path game;
  Win32Session session;
  // The pictures from the program's own resources.
  HMODULE program =
      LoadLibraryExW(Wide(KARTWERK_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  WindowLook look{program};
  std::optional<WindowSet> windows;
  std::vector<int> exits;
  std::vector<std::string> errors;
  std::vector<logic::EditorLaunch> editors;
};

TEST_F(Win32Face, AConversionDrivenByMessagesWritesTheSlotAsTheCommandDoes) {
  // The worker waits at its first step until the progress panel has been pictured.
  std::mutex mutex;
  std::condition_variable changed;
  bool atFirstStep = false, released = false;
  session.hooks.workerProgress = [&](const std::string&) {
    std::unique_lock lock(mutex);
    atFirstStep = true;
    changed.wait(lock, [&] { return released; });
  };
  Start();
  BrowserWindow& browser = windows->Browser();
  ExpectFadedInAndPictured(browser, "browser");
  const HWND maps = browser.MapList();
  ASSERT_EQ(SendMessageW(maps, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(ListViewRow(maps, 0), "Dunes");
  EXPECT_EQ(ListViewRow(maps, 1), "frontier");
  EXPECT_EQ(SendMessageW(browser.CategoryButton(format::SinglePlayerMap), BM_GETCHECK, 0, 0), BST_CHECKED);

  // Selecting a row shows its map's information.
  LVITEMW selected{};
  selected.stateMask = selected.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(maps, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&selected));
  EXPECT_EQ(Text(browser.SizeValue()), "32x24");
  EXPECT_FALSE(Text(browser.SchemeValue()).empty());

  // A double-click on the row opens the slot picker for it.
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(maps, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  PostMessageW(maps, WM_LBUTTONDBLCLK, MK_LBUTTON, Middle(row));
  SlotPickerWindow& picker = windows->SlotPicker();
  ExpectFadedInAndPictured(picker, "slot-picker");
  EXPECT_FALSE(browser.IsShown());
  EXPECT_EQ(Text(picker.Title()), logic::kSlotListTitle);
  const HWND slots = picker.SlotList();
  ASSERT_EQ(SendMessageW(slots, LB_GETCOUNT, 0, 0), 255);
  EXPECT_NE(ListBoxRow(slots, 3).find("D\u00fcnen\u2122"), std::string::npos);  // "desc" in Windows-1252

  // Enter chooses the slot the keyboard stands on.
  SendMessageW(slots, LB_SETCURSEL, 7, 0);
  PostMessageW(slots, WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_TRUE(PumpUntil([&] {
    std::lock_guard lock(mutex);
    return atFirstStep;
  }));
  EXPECT_TRUE(IsWindowVisible(picker.ProgressPanel()));
  EXPECT_EQ(Text(picker.Title()), logic::kProgressTitle);
  EXPECT_EQ(Text(picker.MapValue()), "frontier");
  EXPECT_EQ(Text(picker.TypeValue()), "Singleplayer map");
  EXPECT_EQ(Text(picker.SizeValue()), "32x24");
  EXPECT_EQ(SendMessageW(picker.ProgressGauge(), PBM_GETRANGE, FALSE, 0),
            static_cast<LRESULT>(pipeline::ReportedLabelCount(1)))
      << "the labels the command line counts for a map of one mission";
  ExpectFadedInAndPictured(picker, "progress");
  {
    std::lock_guard lock(mutex);
    released = true;
  }
  changed.notify_all();

  // The end: the editor prompt; Escape is its "EXIT" and ends the program with status 0.
  ASSERT_TRUE(PumpUntil([&] { return picker.EditorPromptShown() != nullptr; }));
  EditorPromptWindow& prompt = *picker.EditorPromptShown();
  ExpectFadedInAndPictured(prompt, "editor-prompt");
  EXPECT_EQ(Text(prompt.Message()), logic::kEditorPromptText);
  EXPECT_EQ(Text(prompt.YesLabel()), "YES");
  PostMessageW(prompt.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(PumpUntil([&] { return !exits.empty(); }));
  EXPECT_EQ(exits, std::vector<int>{0});
  EXPECT_TRUE(editors.empty());
  EXPECT_TRUE(errors.empty()) << errors.front();

  // The same map through the command, into another copy of the game: the same files.
  const auto other = scratch.path() / "other";
  WriteLogicGame(other);
  const ProgramResult command =
      RunProgram(KARTWERK_EXE, {"convert", platform::TextFromPath(other / "game" / "maps" / "single" / "frontier.qdm"),
                                "--slot", "7", "--game", platform::TextFromPath(other), "--quiet"});
  ASSERT_EQ(command.status, 0) << command.err;
  const auto slot = [](const std::filesystem::path& folder) { return folder / "editor" / "maps.src" / "map.007"; };
  const auto written = TreeFiles(slot(game));
  EXPECT_GT(written.size(), 5u);
  EXPECT_EQ(written, TreeFiles(slot(other)));
}

TEST_F(Win32Face, TheVersionPickerAnswersTabAndEnter) {
  const auto second = scratch.path() / "second";
  WriteLogicGame(second);
  Register({game, second});
  Start();
  VersionPickerWindow& versions = windows->VersionPicker();
  ExpectFadedInAndPictured(versions, "version-picker");
  ASSERT_NE(versions.VersionLabel(2), nullptr);
  EXPECT_EQ(Text(versions.VersionLabel(1)), "English 2.0");
  EXPECT_EQ(Text(versions.VersionLabel(2)), "English 2.1");
  EXPECT_EQ(GetFocus(), versions.VersionLabel(1));
  // Tab moves to the second version, Enter chooses it; the browser lists that installation.
  PostMessageW(versions.VersionLabel(1), WM_KEYDOWN, VK_TAB, 0);
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == versions.VersionLabel(2); }));
  PostMessageW(versions.VersionLabel(2), WM_KEYDOWN, VK_RETURN, 0);
  ExpectFadedInAndPictured(windows->Browser(), "browser-second-version");
  EXPECT_EQ(session.installs.gameFolder, second);
  // Escape closes the browser and ends the program.
  PostMessageW(windows->Browser().MapList(), WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(PumpUntil([&] { return !exits.empty(); }));
  EXPECT_EQ(exits, std::vector<int>{0});
}

// At 96 dpi and at 144 (150 %, run again so by scripts/test-win32-desktop.sh) the windows are
// the layout's size scaled, and every text fits its box in the fonts of that resolution.
TEST_F(Win32Face, TheWindowsFitTheirTextsAtTheScreensResolution) {
  const UINT dpi = ScreenDpi();
  Start();
  BrowserWindow& browser = windows->Browser();
  ExpectFadedInAndPictured(browser, "browser-fit");
  EXPECT_EQ(browser.Dpi(), dpi);
  RECT rect;
  GetWindowRect(browser.Handle(), &rect);
  // 417 x 253 at 96 dpi, 626 x 380 at 144.
  EXPECT_NEAR(rect.right - rect.left, 417.0 * dpi / 96, 1.0);
  EXPECT_NEAR(rect.bottom - rect.top, 253.0 * dpi / 96, 1.0);
  EXPECT_EQ(TextsCutOff(browser.Handle()), std::vector<std::string>{});
  // The map information's values, and the slot picker's texts with its list.
  LVITEMW selected{};
  selected.stateMask = selected.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(browser.MapList(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));
  EXPECT_EQ(Text(browser.SizeValue()), "48x40");
  EXPECT_EQ(TextsCutOff(browser.Handle()), std::vector<std::string>{});
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(browser.MapList(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  EXPECT_GE(row.bottom - row.top, ScaleToDpi(16, dpi)) << "the rows grow with their icon and font";
  PostMessageW(browser.MapList(), WM_KEYDOWN, VK_RETURN, 0);
  SlotPickerWindow& picker = windows->SlotPicker();
  ExpectFadedInAndPictured(picker, "slot-picker-fit");
  GetWindowRect(picker.Handle(), &rect);
  EXPECT_NEAR(rect.right - rect.left, 370.0 * dpi / 96, 1.0);
  EXPECT_EQ(TextsCutOff(picker.Handle()), std::vector<std::string>{});
  EXPECT_EQ(SendMessageW(picker.SlotList(), LB_GETITEMHEIGHT, 0, 0),
            ScaleToDpi(logic::layout::slot_picker::kSlotRowHeight, dpi));
  PostMessageW(picker.SlotList(), WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(PumpUntil([&] { return !exits.empty(); }));
}

// A damaged map says so in the information, with the reason under the pointer; a slot title too
// long for its row ends with "..." and the row keeps the whole title.
TEST_F(Win32Face, DamagedMapsAndLongSlotTitlesSayWhatTheyCannotShow) {
  const auto frontier = game / "game" / "maps" / "single" / "frontier.qdm";
  const core::Bytes whole = mapmaker::ReadBytes(frontier);
  Put(frontier, core::Bytes(whole.begin(), whole.begin() + 40));
  const std::string longTitle = "Die lange Reise " + std::string(120, 'x') + " Ende";
  Put(game / "editor" / "maps.src" / "map.009" / "desc", core::Bytes(longTitle.begin(), longTitle.end()));
  Start();
  BrowserWindow& browser = windows->Browser();
  ExpectFadedInAndPictured(browser, "browser-damaged-map");
  LVITEMW selected{};
  selected.stateMask = selected.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(browser.MapList(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&selected));
  EXPECT_EQ(Text(browser.SizeValue()), logic::kUnreadableMapText);
  EXPECT_EQ(Text(browser.SchemeValue()), "");
  EXPECT_NE(browser.TooltipText(browser.SizeValue()).find("before its information"), std::string::npos)
      << browser.TooltipText(browser.SizeValue());
  SendMessageW(browser.MapList(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));
  EXPECT_EQ(Text(browser.SizeValue()), "48x40");
  EXPECT_EQ(browser.TooltipText(browser.SizeValue()), "") << "a whole map has no reason to show";

  PostMessageW(browser.MapList(), WM_KEYDOWN, VK_RETURN, 0);
  SlotPickerWindow& picker = windows->SlotPicker();
  ExpectFadedInAndPictured(picker, "slot-picker-long-title");
  const HWND slots = picker.SlotList();
  EXPECT_TRUE(picker.RowIsCut(9));
  EXPECT_FALSE(picker.RowIsCut(3));
  EXPECT_NE(picker.RowText(9).find(longTitle), std::string::npos) << "the row keeps the whole title";
  PostMessageW(slots, WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(PumpUntil([&] { return !exits.empty(); }));
}

// The text the tooltip window holds for a control's tool.
std::string TipWindowText(HWND tip, HWND control) {
  wchar_t text[1024] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = control;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text;
  SendMessageW(tip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
  return Narrow(text);
}

// A slot that held a map: the notice after the conversion names the backup commands as they run
// here (the program's whole path) and its button says it leads on; the editor prompt that follows
// marks YES, what Enter does, with a default button's frame.
TEST_F(Win32Face, TheEditorPromptAndNoticesSayWhatFollows) {
  SetCursorPos(0, 0);
  Start();
  BrowserWindow& browser = windows->Browser();
  ExpectFadedInAndPictured(browser, "browser-before-backup");
  SetFocus(browser.MapList());
  PostMessageW(browser.MapList(), WM_KEYDOWN, VK_RETURN, 0);
  SlotPickerWindow& picker = windows->SlotPicker();
  ExpectFadedInAndPictured(picker, "slot-picker-before-backup");
  SendMessageW(picker.SlotList(), LB_SETCURSEL, 3, 0);  // the slot holding "Duenen"
  PostMessageW(picker.SlotList(), WM_KEYDOWN, VK_RETURN, 0);
  NoticeWindow& notice = windows->Notice();
  ExpectFadedInAndPictured(notice, "notice-backup");
  const std::string message = Text(notice.Message());
  const std::string program = "\"" + platform::TextFromPath(platform::ProgramPath()) + "\"";
  EXPECT_NE(message.find(" backups lists it"), std::string::npos) << message;
  // Long paths may break after a separator: the notice holds zero-width spaces there.
  std::string plain;
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message.compare(i, 3, "\u200B") == 0) {
      i += 2;
    } else {
      plain += message[i];
    }
  }
  EXPECT_NE(plain.find(program + " backups"), std::string::npos) << plain;
  EXPECT_EQ(plain.find("\"kartwerk backups\""), std::string::npos) << plain;
  EXPECT_EQ(Text(notice.ExitLabel()), logic::kNoticeNextLabel);
  {
    // The label is as wide as its text, and stays inside its box.
    RECT label;
    GetWindowRect(notice.ExitLabel(), &label);
    HDC dc = GetDC(notice.ExitLabel());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(notice.ExitLabel(), WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32W(dc, L"NEXT", 4, &text);
    SelectObject(dc, old);
    ReleaseDC(notice.ExitLabel(), dc);
    EXPECT_GE(label.right - label.left, text.cx);
    RECT window;
    GetWindowRect(notice.Handle(), &window);
    const RECT box = ScaledRect(logic::layout::prompts::kNoticeExitBox, notice.Dpi());
    EXPECT_GE(label.left - window.left, box.left) << "inside its box";
  }
  PostMessageW(notice.Handle(), WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_TRUE(PumpUntil([&] { return picker.EditorPromptShown() != nullptr; }));
  EditorPromptWindow& prompt = *picker.EditorPromptShown();
  ExpectFadedInAndPictured(prompt, "editor-prompt-default-yes");
  // The frame: the pixel just outside YES's grey box is dark, the one outside EXIT's is not.
  const UINT dpi = prompt.Dpi();
  const RECT yes = ScaledRect(logic::layout::prompts::kYesBox, dpi),
             exit = ScaledRect(logic::layout::prompts::kExitBox, dpi);
  HDC dc = GetDC(prompt.Handle());
  const COLORREF yesRing = GetPixel(dc, yes.left - 1, (yes.top + yes.bottom) / 2);
  const COLORREF exitRing = GetPixel(dc, exit.left - 1, (exit.top + exit.bottom) / 2);
  ReleaseDC(prompt.Handle(), dc);
  EXPECT_LT(GetRValue(yesRing) + GetGValue(yesRing) + GetBValue(yesRing), 200) << std::hex << yesRing;
  EXPECT_GT(GetRValue(exitRing) + GetGValue(exitRing) + GetBValue(exitRing), 600) << std::hex << exitRing;
  PostMessageW(prompt.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(PumpUntil([&] { return !exits.empty(); }));
  EXPECT_EQ(exits, std::vector<int>{0});
}

// The system's registry names the game, but its editor is missing: the notice names the folder and
// the missing file, and advises nothing that needs Wine.
TEST_F(Win32Face, TheEditorPromptAndNoticesNameAMissingEditor) {
  const auto bare = scratch.path() / "bare game";
  std::filesystem::create_directories(bare / "editor");
  Register({bare});
  Start();
  NoticeWindow& notice = windows->Notice();
  ExpectFadedInAndPictured(notice, "notice-missing-editor");
  const std::string message = Text(notice.Message());
  EXPECT_EQ(message, logic::GameNotLocatedText(session.search, session.installs));
  EXPECT_NE(message.find("scridll.dll was not found"), std::string::npos) << message;
  EXPECT_NE(message.find(platform::TextFromPath(bare)), std::string::npos) << message;
  EXPECT_EQ(message.find("--wine-prefix"), std::string::npos) << message;
  EXPECT_EQ(Text(notice.ExitLabel()), logic::kNoticeExitLabel) << "closing it ends the program";
  PostMessageW(notice.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(PumpUntil([&] { return !exits.empty(); }));
  EXPECT_EQ(exits, std::vector<int>{1});
}

// A map name the browser's row cuts shows whole under the map's picture, in the project's own tip;
// a name that fits adds nothing to the picture.
TEST_F(Win32Face, TheMapRowUnderThePointerShowsTheNameItCuts) {
  const std::string longName = "Die lange Reise durch das Hochland " + std::string(40, 'x') + " Ende";
  const auto single = game / "game" / "maps" / "single";
  std::filesystem::copy_file(single / "Dunes.qdm", single / (longName + ".qdm"));
  SetCursorPos(0, 0);
  Start();
  BrowserWindow& browser = windows->Browser();
  ExpectFadedInAndPictured(browser, "browser-long-name");
  const HWND maps = browser.MapList();
  EXPECT_EQ(ListView_GetExtendedListViewStyle(maps) & LVS_EX_LABELTIP, 0u) << "the list view's own tip is off";
  MapPictureTip& tip = browser.PictureTip();
  const auto rowOf = [&](const std::string& name) {
    for (int row = 0; row < ListView_GetItemCount(maps); ++row) {
      if (ListViewRow(maps, row) == name) return row;
    }
    return -1;
  };
  const struct {
    std::string name;
    std::string caption;
  } cases[] = {{longName, longName}, {"Dunes", ""}};
  for (const auto& c : cases) {
    const int row = rowOf(c.name);
    ASSERT_GE(row, 0) << c.name;
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(maps, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    POINT at{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(maps, &at);
    SetCursorPos(at.x, at.y);
    PumpUntil([] { return true; });
    SendMessageW(maps, WM_MOUSEHOVER, 0, Middle(rect));
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(tip.Popup()) && tip.Shown() != nullptr; })) << c.name;
    EXPECT_EQ(Narrow(tip.Caption()), c.caption);
    RECT shown;
    GetWindowRect(tip.Popup(), &shown);
    if (!c.caption.empty()) {
      HDC dc = GetDC(maps);
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(maps, WM_GETFONT, 0, 0)));
      SIZE text{};
      const std::wstring wide = Wide(c.caption);
      GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &text);
      SelectObject(dc, old);
      ReleaseDC(maps, dc);
      EXPECT_GE(shown.right - shown.left, text.cx) << "the tip is wide enough for the whole name";
      const std::optional<double> lit =
          ScreenBrightness("browser-long-name-tip" + DpiSuffix(), shown.left, shown.top, shown.right - shown.left,
                           shown.bottom - shown.top, [] { PumpUntil([] { return true; }); });
      ASSERT_TRUE(lit.has_value());
    }
  }
}

// The real pointer resting on a slot row that is not chosen: a title the row cuts shows whole in
// a tooltip just below the row; a title that fits shows none, however long the pointer rests, and
// leaving the list takes the tip away.
TEST_F(Win32Face, TheSlotRowUnderThePointerShowsTheTitleItCuts) {
  std::string longTitle = "Die lange Reise";
  for (int i = 0; i < 8; ++i) longTitle += " durch das weite Land";
  Put(game / "editor" / "maps.src" / "map.009" / "desc", core::Bytes(longTitle.begin(), longTitle.end()));
  SetCursorPos(0, 0);
  Start();
  BrowserWindow& browser = windows->Browser();
  ASSERT_TRUE(PumpUntil([&] { return browser.IsShown(); }));
  LVITEMW selected{};
  selected.stateMask = selected.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(browser.MapList(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));
  PostMessageW(browser.MapList(), WM_KEYDOWN, VK_RETURN, 0);
  SlotPickerWindow& picker = windows->SlotPicker();
  ASSERT_TRUE(PumpUntil([&] { return picker.IsShown() && picker.Fading().Opacity() == logic::kFadeShownOpacity; }));
  const HWND slots = picker.SlotList();
  ASSERT_TRUE(picker.RowIsCut(9));
  ASSERT_FALSE(picker.RowIsCut(3));
  SendMessageW(slots, LB_SETCURSEL, 2, 0);
  const PointerTip& tip = picker.RowTip();
  const auto rowRect = [&](int row) {
    RECT rect{};
    SendMessageW(slots, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    MapWindowPoints(slots, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  };
  const auto pointAt = [&](int row) {
    const RECT rect = rowRect(row);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  };
  const auto shown = [&] { return IsWindowVisible(tip.Window()) != FALSE; };

  pointAt(9);
  ASSERT_TRUE(PumpUntil(shown)) << "no tip over the cut title";
  EXPECT_EQ(Narrow(tip.Shown().c_str()), picker.RowText(9));
  EXPECT_EQ(TipWindowText(tip.Window(), slots), picker.RowText(9));
  EXPECT_EQ(SendMessageW(slots, LB_GETCURSEL, 0, 0), 2) << "pointing is not choosing";
  RECT tipRect;
  GetWindowRect(tip.Window(), &tipRect);
  EXPECT_GE(tipRect.top, rowRect(9).bottom) << "below the row, off the pointer";
  EXPECT_NEAR(tipRect.left, rowRect(9).left, 8);
  EXPECT_LE(tipRect.right - tipRect.left, rowRect(9).right - rowRect(9).left + 16) << "a long title wraps";
  const std::optional<double> lit =
      ScreenBrightness("slot-picker-row-tip" + DpiSuffix(), tipRect.left, tipRect.top, tipRect.right - tipRect.left,
                       tipRect.bottom - tipRect.top, [] { PumpUntil([] { return true; }); });
  ASSERT_TRUE(lit.has_value());
  EXPECT_GT(*lit, 0.6) << "the tip is drawn on the screen";

  // A title that fits: the tip goes, and stays away while the pointer rests there.
  pointAt(3);
  ASSERT_TRUE(PumpUntil([&] { return !shown(); })) << "the tip stays over a title that fits";
  const DWORD rested = GetTickCount() + 1500;
  PumpUntil([&] { return GetTickCount() > rested; });
  EXPECT_FALSE(shown());
  EXPECT_EQ(tip.Shown(), L"");

  // Back on the cut title, then off the list.
  pointAt(9);
  ASSERT_TRUE(PumpUntil(shown));
  SetCursorPos(0, 0);
  EXPECT_TRUE(PumpUntil([&] { return !shown(); })) << "the tip stays after the pointer left the list";
  PostMessageW(slots, WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(PumpUntil([&] { return !exits.empty(); }));
}

// The font height of a control, in pixels.
int FontHeight(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return std::abs(font.lfHeight);
}

SIZE WindowSize(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// Moved to a monitor of 144 dpi, the browser takes the place the system suggests, the layout's
// size at that resolution and its controls' boxes and fonts scaled; moved back, those of 96 dpi.
TEST_F(Win32Face, TheBrowserScalesAnewWhenTheResolutionChanges) {
  Start();
  BrowserWindow& browser = windows->Browser();
  ASSERT_TRUE(PumpUntil([&] { return browser.IsShown() && browser.Fading().Opacity() == logic::kFadeShownOpacity; }));
  ASSERT_EQ(browser.Dpi(), kDesignDpi) << "made at 96 dpi";
  const HWND window = browser.Handle();
  const HWND maps = browser.MapList();
  const HWND label = browser.CategoryButton(format::MultiplayerMap);
  const SIZE list = WindowSize(maps), button = WindowSize(label);
  const int listFont = FontHeight(maps), buttonFont = FontHeight(label);
  ASSERT_GT(listFont, 0);
  RECT before;
  GetWindowRect(window, &before);
  const auto change = [&](UINT dpi, RECT suggested) {
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    PumpUntil([] { return true; });
  };

  change(144, RECT{40, 30, 40 + 626, 30 + 380});
  EXPECT_EQ(browser.Dpi(), 144u);
  RECT client, at;
  GetClientRect(window, &client);
  GetWindowRect(window, &at);
  EXPECT_NEAR(client.right, 626, 2);
  EXPECT_NEAR(client.bottom, 380, 2);
  EXPECT_EQ(at.left, 40);
  EXPECT_EQ(at.top, 30);
  EXPECT_NEAR(WindowSize(maps).cx, list.cx * 1.5, 2);
  EXPECT_NEAR(WindowSize(maps).cy, list.cy * 1.5, 2);
  EXPECT_GE(WindowSize(label).cy, button.cy * 3 / 2 - 1);
  EXPECT_NEAR(FontHeight(maps), listFont * 1.5, 1);
  EXPECT_NEAR(FontHeight(label), buttonFont * 1.5, 1);
  EXPECT_EQ(TextsCutOff(window), std::vector<std::string>{});
  const std::optional<double> lit = ScreenBrightness("browser-dpi-changed-to-144", at.left, at.top, at.right - at.left,
                                                     at.bottom - at.top, [] { PumpUntil([] { return true; }); });
  ASSERT_TRUE(lit.has_value());
  EXPECT_GT(*lit, 0.7);

  change(kDesignDpi, before);
  EXPECT_EQ(browser.Dpi(), kDesignDpi);
  GetClientRect(window, &client);
  EXPECT_NEAR(client.right, 417, 1);
  EXPECT_NEAR(client.bottom, 253, 1);
  EXPECT_EQ(WindowSize(maps).cx, list.cx);
  EXPECT_EQ(WindowSize(maps).cy, list.cy);
  EXPECT_EQ(FontHeight(maps), listFont);
  EXPECT_EQ(FontHeight(label), buttonFont);
  EXPECT_EQ(TextsCutOff(window), std::vector<std::string>{});
  EXPECT_TRUE(errors.empty());
}

// The editor missing from its folder: the shell's refusal in the system's words, and the program
// and the folder each on a line of their own.
TEST_F(Win32Face, AMissingEditorIsReportedWithTheSystemsReason) {
  Win32Session real;
  const logic::EditorLaunch launch{game / "editor" / "edit3.exe", game / "editor", {}};
  const std::string text = real.StartEditor(launch);
  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), 3u) << text;
  EXPECT_EQ(lines[0].rfind("Could not start the Vornmark II\u2122 Editor: ", 0), 0u) << lines[0];
  EXPECT_GT(lines[0].size(), std::string("Could not start the Vornmark II\u2122 Editor: ").size() + 3) << "a reason";
  EXPECT_EQ(lines[1], "Program: " + platform::TextFromPath(launch.program));
  EXPECT_EQ(lines[2], "Folder: " + platform::TextFromPath(launch.workingFolder));
}

// The pointer resting on a row shows the map drawn from above in a tooltip window beside it,
// drawn on the picture thread; moving to the damaged map's row takes it away and shows none.
TEST_F(Win32Face, ThePointerRestingOnARowShowsTheMapsPicture) {
  const auto frontier = game / "game" / "maps" / "single" / "frontier.qdm";
  Put(frontier, core::Bytes{'n', 'o'});
  Start();
  BrowserWindow& browser = windows->Browser();
  ExpectFadedInAndPictured(browser, "browser-before-picture");
  MapPictureTip& tip = browser.PictureTip();
  const HWND maps = browser.MapList();
  const auto restOn = [&](int row) {
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(maps, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    // The real pointer goes there too: the list follows its moves, and a move off the row takes
    // the picture away.
    POINT at{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(maps, &at);
    SetCursorPos(at.x, at.y);
    PumpUntil([] { return true; });
    SendMessageW(maps, WM_MOUSEHOVER, 0, Middle(rect));
  };
  restOn(0);
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(tip.Popup()) != FALSE; })) << "no picture for Dunes";
  BITMAP picture{};
  ASSERT_NE(tip.Shown(), nullptr);
  GetObjectW(tip.Shown(), sizeof(picture), &picture);
  EXPECT_NEAR(std::max(picture.bmWidth, picture.bmHeight), MapPictureTip::kPictureSide, 48)
      << picture.bmWidth << "x" << picture.bmHeight;
  RECT shown;
  GetWindowRect(tip.Popup(), &shown);
  RECT list;
  GetWindowRect(maps, &list);
  EXPECT_GT(shown.left, list.left) << "beside the pointer";
  const std::optional<double> lit =
      ScreenBrightness("browser-map-picture" + DpiSuffix(), shown.left, shown.top, shown.right - shown.left,
                       shown.bottom - shown.top, [] { PumpUntil([] { return true; }); });
  ASSERT_TRUE(lit.has_value());
  EXPECT_GT(*lit, 0.15) << "the picture is drawn, not a black box";
  EXPECT_EQ(tip.DrawnCount(), 1u);

  // The damaged map: no picture, and the one on show goes.
  restOn(1);
  ASSERT_TRUE(PumpUntil([&] { return tip.DrawnCount() == 2; }));
  PumpUntil([] { return true; });
  EXPECT_FALSE(IsWindowVisible(tip.Popup()));
  EXPECT_TRUE(errors.empty()) << "a map pointed at is no error";
  // Back on Dunes: the picture drawn before, at once.
  restOn(0);
  EXPECT_TRUE(IsWindowVisible(tip.Popup()));
  EXPECT_EQ(tip.DrawnCount(), 2u);
}

TEST_F(Win32Face, TheCategoriesAreChosenByKeyboardAlone) {
  // The pointer is put off the window, so that no map picture left by the hover test covers it.
  SetCursorPos(0, 0);
  Start();
  BrowserWindow& browser = windows->Browser();
  ExpectFadedInAndPictured(browser, "browser-keyboard");
  const HWND single = browser.CategoryButton(format::SinglePlayerMap);
  const HWND multi = browser.CategoryButton(format::MultiplayerMap);
  const HWND campaigns = browser.CategoryButton(format::CampaignMap);
  const HWND maps = browser.MapList();
  const auto checked = [&] {
    for (format::MapKindCode kind : {format::SinglePlayerMap, format::MultiplayerMap, format::CampaignMap}) {
      if (SendMessageW(browser.CategoryButton(kind), BM_GETCHECK, 0, 0) == BST_CHECKED) return kind;
    }
    return static_cast<format::MapKindCode>(-1);
  };
  const auto key = [&](WPARAM code, HWND expectedFocus) {
    PostMessageW(GetFocus(), WM_KEYDOWN, code, 0);
    return PumpUntil([&] { return GetFocus() == expectedFocus; });
  };
  SetFocus(maps);
  ASSERT_EQ(GetFocus(), maps);

  // Tab enters the group at the checked button.
  ASSERT_TRUE(key(VK_TAB, single)) << "Tab from the map list goes to the checked category";
  // Down and Right move on and choose; the list follows.
  ASSERT_TRUE(key(VK_DOWN, multi));
  EXPECT_EQ(checked(), format::MultiplayerMap);
  EXPECT_EQ(SendMessageW(maps, LVM_GETITEMCOUNT, 0, 0), 0) << "the game has no multiplayer maps";
  ASSERT_TRUE(key(VK_RIGHT, campaigns));
  EXPECT_EQ(checked(), format::CampaignMap);
  EXPECT_EQ(SendMessageW(maps, LVM_GETITEMCOUNT, 0, 0), 1) << "the one campaign";
  // Past the last button the arrows come round to the first; Up and Left go back.
  ASSERT_TRUE(key(VK_DOWN, single));
  EXPECT_EQ(checked(), format::SinglePlayerMap);
  EXPECT_EQ(SendMessageW(maps, LVM_GETITEMCOUNT, 0, 0), 2);
  ASSERT_TRUE(key(VK_LEFT, campaigns));
  ASSERT_TRUE(key(VK_UP, multi));
  EXPECT_EQ(checked(), format::MultiplayerMap);
  // Tab leaves the group: the next stop is the map list again, and the choice stays.
  ASSERT_TRUE(key(VK_TAB, maps));
  EXPECT_EQ(checked(), format::MultiplayerMap);
  // Shift+Tab comes back to the checked button, not to the first of the group.
  // (GetKeyState reads the keyboard state the posted message carries with it.)
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  const bool back = key(VK_TAB, multi);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_TRUE(back);
  EXPECT_TRUE(errors.empty());
}

// More installations than labels: six are offered and a line under them, in a window grown to
// hold it, says how many more there are and how to reach them; at 144 dpi too (run again so by
// scripts/test-win32-desktop.sh), where the line still fits its box.
TEST_F(Win32Face, TheVersionPickerOffersSixAndNamesTheOthers) {
  const UINT dpi = ScreenDpi();
  std::vector<std::filesystem::path> folders = {game};
  for (int i = 2; i <= 8; ++i) {
    folders.push_back(scratch.path() / ("install " + std::to_string(i)));
    std::filesystem::create_directories(folders.back());
  }
  Register(folders);
  Start();
  VersionPickerWindow& versions = windows->VersionPicker();
  ExpectFadedInAndPictured(versions, "version-picker-more");
  EXPECT_EQ(versions.Dpi(), dpi);
  EXPECT_NE(versions.VersionLabel(6), nullptr);
  EXPECT_EQ(Text(versions.MoreNote()), "2 more installations: start Kartwerk with --game DIR");
  EXPECT_TRUE(IsWindowVisible(versions.MoreNote()));
  RECT client;
  GetClientRect(versions.Handle(), &client);
  EXPECT_NEAR(
      client.bottom,
      ScaleToDpi(logic::layout::version_picker::kHeight + logic::layout::version_picker::kMoreNoteExtraHeight, dpi),
      1.0);
  EXPECT_EQ(TextsCutOff(versions.Handle()), std::vector<std::string>{});
  RECT note;
  GetWindowRect(versions.MoreNote(), &note);
  MapWindowPoints(nullptr, versions.Handle(), reinterpret_cast<POINT*>(&note), 2);
  EXPECT_LE(note.bottom, client.bottom) << "the line lies inside the grown window";
  EXPECT_EQ(session.installs.installedVersions.size(), 8u);
}

// No installation at all: the notice says where the game was looked for; a click on its "EXIT"
// box ends the program with status 1.
TEST_F(Win32Face, TheNoticeOfAMissingGameEndsTheProgramOnAClick) {
  Register({});
  Start();
  NoticeWindow& notice = windows->Notice();
  ExpectFadedInAndPictured(notice, "notice");
  EXPECT_EQ(Text(notice.Message()), logic::GameNotLocatedText(session.search));
  RECT box = ScaledRect(logic::layout::prompts::kNoticeExitBox, notice.Dpi());
  RECT client;
  GetClientRect(notice.Handle(), &client);
  // The box moves down with a long message.
  OffsetRect(&box, 0, client.bottom - ScaleToDpi(logic::layout::prompts::kNoticeHeight, notice.Dpi()));
  PostMessageW(notice.Handle(), WM_LBUTTONUP, 0, Middle(box));
  ASSERT_TRUE(PumpUntil([&] { return !exits.empty(); }));
  EXPECT_EQ(exits, std::vector<int>{1});
}

// A copy of kartwerk.exe started here, as the shell or a person starts it.
class StartedProgram {
 public:
  // flags DETACHED_PROCESS starts it as Explorer does: no console of its own and no output handed
  // over (the standard handles are given as none).
  explicit StartedProgram(const std::vector<std::wstring>& arguments, DWORD flags = 0) {
    std::wstring line = L"\"" + Wide(KARTWERK_EXE) + L"\"";
    for (const std::wstring& argument : arguments) line += L" \"" + argument + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (flags & DETACHED_PROCESS) startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &startup, &process)) {
      CloseHandle(process.hThread);
      handle_ = process.hProcess;
      id_ = process.dwProcessId;
    }
  }
  // Takes over a program another one started (the shell, `start`).
  explicit StartedProgram(DWORD id)
      : handle_(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, id)), id_(id) {}
  ~StartedProgram() {
    if (handle_ == nullptr) return;
    if (WaitForSingleObject(handle_, 0) != WAIT_OBJECT_0) TerminateProcess(handle_, 99);
    CloseHandle(handle_);
  }
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  bool Started() const { return handle_ != nullptr; }
  DWORD Id() const { return id_; }
  // Its exit status once it has ended within 20 s; nothing otherwise.
  std::optional<DWORD> Status() const {
    if (handle_ == nullptr || WaitForSingleObject(handle_, 20000) != WAIT_OBJECT_0) return std::nullopt;
    DWORD status = 99;
    GetExitCodeProcess(handle_, &status);
    return status;
  }

 private:
  HANDLE handle_ = nullptr;
  DWORD id_ = 0;
};

// The window titled title of the process (any process for 0) once it is on show and faded in;
// null after 20 s.
HWND FadedInWindow(const std::wstring& title, DWORD process = 0) {
  struct Search {
    const std::wstring& title;
    DWORD process;
    HWND window = nullptr;
  } search{title, process};
  const bool found = Win32Face::PumpUntilFor([&] {
    search.window = nullptr;
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto& s = *reinterpret_cast<Search*>(data);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          wchar_t text[64] = {};
          GetWindowTextW(window, text, 64);
          if ((s.process == 0 || owner == s.process) && IsWindowVisible(window) && s.title == text) s.window = window;
          return s.window == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    BYTE alpha = 0;
    return search.window != nullptr && GetLayeredWindowAttributes(search.window, nullptr, &alpha, nullptr) &&
           alpha == logic::kFadeShownOpacity;
  });
  return found ? search.window : nullptr;
}

// Pictures the window on the real screen, where it must be lit.
void ExpectPictured(HWND window, const std::string& name) {
  RECT rect;
  GetWindowRect(window, &rect);
  const std::optional<double> lit =
      ScreenBrightness(name, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                       [] { Win32Face::PumpUntilFor([] { return true; }); });
  ASSERT_TRUE(lit.has_value());
  EXPECT_GT(*lit, 0.7) << name;
}

// The program itself: a map given on the command line opens the slot picker at once, without a
// console; Escape, posted to it from here, closes it and the program ends with status 0.
TEST_F(Win32Face, TheProgramOpensItsWindowsForAMapAndClosesOnEscape) {
  StartedProgram program({L"--game", game.wstring(), (game / "game" / "maps" / "single" / "Dunes.qdm").wstring()});
  ASSERT_TRUE(program.Started());
  const HWND window = FadedInWindow(L"Editor slot", program.Id());
  ASSERT_NE(window, nullptr);
  ExpectPictured(window, "program-slot-picker");
  PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(program.Status(), 0u);
}

// A map under a user folder whose name is past ASCII, as a double-click hands it over: the slot
// picker opens for it, and Enter on a slot converts it there.
TEST_F(Win32Face, AMapUnderAFolderPastAsciiOpensTheSlotPickerAndConverts) {
  const std::filesystem::path user = std::filesystem::path(L"C:\\users") / L"J\u00fcrgen";
  const std::filesystem::path map = user / L"Karten" / L"Insel \u00dcbung.qdp";
  Put(map, mapmaker::Gzip(mapmaker::SampleMainContainer(format::MultiplayerMap, {2, 1, 40, 32}), "Insel"));
  StartedProgram program({L"--game", game.wstring(), map.wstring()});
  ASSERT_TRUE(program.Started());
  const HWND window = FadedInWindow(L"Editor slot", program.Id());
  ASSERT_NE(window, nullptr) << "no slot picker for the map";
  const HWND slots = FindWindowExW(window, nullptr, L"LISTBOX", nullptr);
  ASSERT_NE(slots, nullptr);
  SendMessageW(slots, LB_SETCURSEL, 4, 0);
  PostMessageW(slots, WM_KEYDOWN, VK_RETURN, 0);
  const HWND prompt = FadedInWindow(L"Start the editor", program.Id());
  ASSERT_NE(prompt, nullptr) << "the conversion did not end with the editor prompt";
  PostMessageW(prompt, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(program.Status(), 0u);
  const auto slot = game / "editor" / "maps.src" / "map.004";
  EXPECT_TRUE(std::filesystem::is_regular_file(slot / "rhombs"));
  EXPECT_TRUE(std::filesystem::is_regular_file(slot / "mis.000" / "scripts2"));
  std::error_code ec;
  std::filesystem::remove_all(user, ec);
}

// The association as a desktop uses it: `start /unix MAP` (what a Linux file manager runs for a
// Windows file type) opens the slot picker of the registered program for that map.
TEST_F(Win32Face, StartOpensTheSlotPickerThroughTheAssociation) {
  // The program registers its map types; the game is found through the machine's registry.
  ASSERT_EQ(RunProgram(KARTWERK_EXE, {"register"}).status, 0);
  const std::wstring key = Wide(std::string(game::kGameKeyPath)) + L"\\start-test";
  HKEY installation = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &installation, nullptr),
            ERROR_SUCCESS);
  const auto set = [&](const wchar_t* name, const std::wstring& value) {
    RegSetValueExW(installation, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  };
  set(L"target folder", game.wstring());
  set(L"version", L"2.2");
  set(L"language", L"English");
  RegCloseKey(installation);

  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  ASSERT_NE(unixName, nullptr) << "not running under Wine";
  const auto map = game / "game" / "maps" / "single" / "Dunes.qdm";
  char* unixMap = unixName(map.c_str());
  ASSERT_NE(unixMap, nullptr);
  const std::wstring unixPath = platform::PathFromText(unixMap).wstring();
  HeapFree(GetProcessHeap(), 0, unixMap);

  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  std::wstring line = L"\"" + std::wstring(system) + L"\\start.exe\" /unix \"" + unixPath + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION start{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                             &startup, &start));
  CloseHandle(start.hThread);
  CloseHandle(start.hProcess);

  const HWND window = FadedInWindow(L"Editor slot");
  EXPECT_NE(window, nullptr) << "start did not open the slot picker";
  if (window != nullptr) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    StartedProgram program(id);
    ExpectPictured(window, "start-slot-picker");
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(program.Status(), 0u);
  }
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
}

// A message box (dialog class "#32770") titled title of the process (any for 0) once it is on show;
// null after 20 s.
HWND ShownMessageBox(const std::wstring& title, DWORD process = 0) {
  struct Search {
    const std::wstring& title;
    DWORD process;
    HWND window = nullptr;
  } search{title, process};
  Win32Face::PumpUntilFor([&] {
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto& s = *reinterpret_cast<Search*>(data);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          wchar_t text[64] = {}, type[16] = {};
          GetWindowTextW(window, text, 64);
          GetClassNameW(window, type, 16);
          if ((s.process == 0 || owner == s.process) && IsWindowVisible(window) && s.title == text &&
              lstrcmpW(type, L"#32770") == 0) {
            s.window = window;
          }
          return s.window == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.window != nullptr;
  });
  return search.window;
}

// The class and title of every top-level window of a process, for a failure's message.
std::string WindowsOf(DWORD process) {
  std::pair<DWORD, std::string> found{process, ""};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& [id, list] = *reinterpret_cast<std::pair<DWORD, std::string>*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != id) return TRUE;
        wchar_t text[64] = {}, type[64] = {};
        GetWindowTextW(window, text, 64);
        GetClassNameW(window, type, 64);
        list += "[" + Narrow(type) + " \"" + Narrow(text) + "\"" + (IsWindowVisible(window) ? " shown" : "") + "] ";
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.second.empty() ? "none" : found.second;
}

// The message a message box shows (its text is the static control 0xFFFF).
std::string MessageBoxText(HWND box) { return Text(GetDlgItem(box, 0xFFFF)); }

// Started from Explorer (no console, no output handed over), the program shows what it would have
// printed in a window titled "Kartwerk", and ends with the same status once the window is closed.
TEST_F(Win32Face, AnExplorerStartShowsTheProblemWithTheFileInAWindow) {
  const std::filesystem::path notes = scratch.path() / L"notes.txt";
  Put(notes, core::Bytes{'h', 'i'});
  const struct {
    std::filesystem::path file;
    const char* problem;
    const char* picture;
  } cases[] = {
      {notes, "is not a compiled map (expected .qdm, .qdp or .qdc)", "explorer-start-notes"},
      {scratch.path() / L"gone.qdm", "does not exist", "explorer-start-missing-map"},
  };
  // Explorer has no console the program could join: this process lets go of its own (the suite's
  // output goes to a file, not to the console). The test runs last in the suite for that reason.
  FreeConsole();
  for (const auto& c : cases) {
    StartedProgram program({c.file.wstring()}, DETACHED_PROCESS);
    ASSERT_TRUE(program.Started());
    const HWND box = ShownMessageBox(L"Kartwerk", program.Id());
    ASSERT_NE(box, nullptr) << "no window for " << platform::TextFromPath(c.file)
                            << "; the program's windows: " << WindowsOf(program.Id())
                            << "; its status: " << program.Status().value_or(999);
    const std::string text = MessageBoxText(box);
    EXPECT_EQ(text, "\"" + platform::TextFromPath(c.file) + "\" " + c.problem);
    ExpectPictured(box, c.picture + DpiSuffix());
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(program.Status(), 2u) << "wrong usage, as on a terminal";
  }
  // A batch conversion started so (a shortcut of the user's own): its progress, a map's failure
  // and the summary, every line in the one box, none lost on the way.
  const std::filesystem::path good = scratch.path() / L"Insel.qdp";
  const std::filesystem::path bad = scratch.path() / L"kaputt.qdm";
  Put(good, mapmaker::Gzip(mapmaker::SampleMainContainer(format::MultiplayerMap, {2, 1, 40, 32}), "Insel"));
  Put(bad, core::Bytes{'n', 'o'});
  StartedProgram batch(
      {L"convert", good.wstring(), bad.wstring(), L"--out", (scratch.path() / L"out").wstring(), L"--jobs", L"1"},
      DETACHED_PROCESS);
  ASSERT_TRUE(batch.Started());
  const HWND box = ShownMessageBox(L"Kartwerk", batch.Id());
  ASSERT_NE(box, nullptr) << "no window for the batch; its status: " << batch.Status().value_or(999);
  const std::vector<std::string> lines = Lines(MessageBoxText(box));
  ASSERT_FALSE(lines.empty());
  const auto starting = [&lines](const std::string& start) {
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
  };
  EXPECT_GT(starting("[1/2] Insel: "), 0) << "the progress of the map that converts";
  EXPECT_EQ(starting(platform::TextFromPath(bad) + ": "), 1) << "the failure of the other, once";
  EXPECT_EQ(lines.back(), "2 maps: 1 converted, 1 failed (" + platform::TextFromPath(bad) + ")");
  ExpectPictured(box, "explorer-start-batch" + DpiSuffix());
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(batch.Status(), 1u) << "a map failed, as on a terminal";

  // From a console the text goes where it always went, and no window opens.
  const ProgramResult console = RunProgram(KARTWERK_EXE, {platform::TextFromPath(notes)});
  EXPECT_EQ(console.status, 2);
  EXPECT_NE(console.err.find("is not a compiled map"), std::string::npos) << console.err;
}

// An error box is titled "Kartwerk", and the list that had the focus has it again once the box is
// closed; the keyboard's focus cue shows after Tab, and Enter in a list just entered opens its
// first row.
TEST_F(Win32Face, TheFocusComesBackToTheListAfterAnErrorBox) {
  SetCursorPos(0, 0);
  session.hooks.reportError = Win32Session().hooks.reportError;  // the real message box
  Start();
  BrowserWindow& browser = windows->Browser();
  ExpectFadedInAndPictured(browser, "browser-before-error");
  const HWND maps = browser.MapList();
  SetFocus(maps);
  ASSERT_EQ(GetFocus(), maps);

  // The box is modal: it is pictured and closed from another thread while it runs its own loop.
  std::string shown;
  std::thread closer([&] {
    const DWORD until = GetTickCount() + 20000;
    HWND box = nullptr;
    while (box == nullptr && GetTickCount() < until) {
      box = FindWindowW(L"#32770", L"Kartwerk");
      if (box == nullptr || !IsWindowVisible(box)) {
        box = nullptr;
        Sleep(20);
      }
    }
    if (box == nullptr) return;
    shown = MessageBoxText(box);
    RECT rect;
    GetWindowRect(box, &rect);
    try {
      ScreenBrightness("error-box" + DpiSuffix(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                       [] { Sleep(20); });
    } catch (const std::exception&) {
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  browser.ReportError("The map \"Dunes\" cannot be read.");
  closer.join();
  EXPECT_EQ(shown, "The map \"Dunes\" cannot be read.") << "no box titled Kartwerk";
  PumpUntil([] { return true; });
  EXPECT_EQ(GetFocus(), maps) << "the focus did not come back to the map list";

  // Tab goes to the categories and back into the list: both show the keyboard's cue, and the list
  // stands on its first row, which Enter opens.
  const auto key = [&](WPARAM code, HWND expectedFocus) {
    PostMessageW(GetFocus(), WM_KEYDOWN, code, 0);
    return PumpUntil([&] { return GetFocus() == expectedFocus; });
  };
  ASSERT_TRUE(key(VK_TAB, browser.CategoryButton(format::SinglePlayerMap)));
  EXPECT_EQ(SendMessageW(GetFocus(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0) << "no focus cue after Tab";
  ASSERT_TRUE(key(VK_TAB, maps));
  EXPECT_EQ(SendMessageW(maps, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);
  EXPECT_EQ(ListView_GetNextItem(maps, -1, LVNI_FOCUSED), 0) << "the list entered does not stand on its first row";
  PostMessageW(maps, WM_KEYDOWN, VK_RETURN, 0);
  SlotPickerWindow& picker = windows->SlotPicker();
  ExpectFadedInAndPictured(picker, "slot-picker-by-enter");
  EXPECT_NE(session.conversion.MapName.find("Dunes"), std::string::npos) << session.conversion.MapName;
  PostMessageW(picker.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(PumpUntil([&] { return !exits.empty(); }));
}

}  // namespace
}  // namespace kartwerk::win32
