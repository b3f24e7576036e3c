// The Win32 windows under Wine on a real X server: a whole conversion driven by the windows' own
// messages and keys, equal to `kartwerk.exe convert --slot`; the control texts read back with
// the Win32 API; and a picture of the real screen for each window once it has faded in, kept in
// the build folder for a person to look at.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

#include "install/explicit_installation.hpp"
#include "install/game_location.hpp"
#include "install/registry_tree.hpp"
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

// The middle of a rectangle as a mouse message's position.
LPARAM Middle(const RECT& rect) { return MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2); }

class Win32Face : public ::testing::Test {
 protected:
  void SetUp() override {
    game = scratch.path() / "game";
    WriteLogicGame(game);
    session.installs.Registry = ExplicitInstallation(game);
    session.CliffDataFile = std::filesystem::path(KARTWERK_EXE).parent_path() / "cliffdata";
    session.hooks.EndProgram = [this](int status) { exits.push_back(status); };
    session.hooks.ReportError = [this](const std::string& message, HWND) { errors.push_back(message); };
    session.hooks.LaunchEditor = [this](const EditorLaunch& launch) {
      editors.push_back(launch);
      return true;
    };
    DescribeDesktop(session);
  }

  ~Win32Face() override {
    windows.reset();
    FreeLibrary(program);
  }

  // The program's message loop, until done holds; false after 20 s.
  static bool PumpUntil(const std::function<bool()>& done) {
    for (const DWORD until = GetTickCount() + 20000; GetTickCount() < until;) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchWindowMessage(message);
      if (done()) return true;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return false;
  }

  // Waits for window to be on show and faded in, then has the real screen pictured as name.png:
  // the window's rectangle must be lit there (the screen around it is black).
  static void ExpectFadedInAndPictured(FadeWindow& window, const std::string& name) {
    ASSERT_TRUE(PumpUntil([&] { return window.IsShown() && window.Fading().Opacity() == kFadeShownOpacity; }))
        << name << " never faded in";
    RECT rect;
    GetWindowRect(window.Handle(), &rect);
    const std::optional<double> lit = ScreenBrightness(name, rect.left, rect.top, rect.right - rect.left,
                                                       rect.bottom - rect.top, [] { PumpUntil([] { return true; }); });
    ASSERT_TRUE(lit.has_value()) << "no screenshot of " << name << ": run by scripts/test-windows-desktop.sh";
    EXPECT_GT(*lit, 0.7) << name << " is not visible on the screen (the empty desktop is 0.5)";
  }

  // A registry naming one installation per folder.
  void Register(const std::vector<std::filesystem::path>& folders) {
    auto tree = std::make_shared<RegistryTree>();
    tree->CreateKey(std::string(kGameKeyPath));
    for (std::size_t i = 0; i < folders.size(); ++i) {
      RegistryNode& key = tree->CreateKey(std::string(kGameKeyPath) + "\\install" + std::to_string(i + 1));
      key.values["target folder"] = TextFromPath(folders[i]);
      key.values["version"] = "2." + std::to_string(i);
      key.values["language"] = "English";
    }
    session.installs.Registry = std::make_shared<TreeRegistrySource>(tree, PathFromText);
  }

  void Start() {
    windows.emplace(session, look);
    windows->Browser().PostCall([this] { windows->Browser().Logic().FormShow(); });
  }

  ScratchFolder scratch;
  std::filesystem::path game;
  Win32Session session;
  // The pictures from the program's own resources.
  HMODULE program =
      LoadLibraryExW(Wide(KARTWERK_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  WindowLook look{program};
  std::optional<WindowSet> windows;
  std::vector<int> exits;
  std::vector<std::string> errors;
  std::vector<EditorLaunch> editors;
};

TEST_F(Win32Face, AConversionDrivenByMessagesWritesTheSlotAsTheCommandDoes) {
  // The worker waits at its first step until the progress panel has been pictured.
  std::mutex mutex;
  std::condition_variable changed;
  bool atFirstStep = false, released = false;
  session.hooks.WorkerProgress = [&](const std::string&) {
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
  EXPECT_EQ(SendMessageW(browser.CategoryButton(SinglePlayerMap), BM_GETCHECK, 0, 0), BST_CHECKED);

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
  EXPECT_EQ(Text(picker.Title()), kSlotListTitle);
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
  EXPECT_TRUE(IsWindowVisible(picker.ProgressPanelWindow()));
  EXPECT_EQ(Text(picker.Title()), kProgressTitle);
  EXPECT_EQ(Text(picker.MapValue()), "frontier");
  EXPECT_EQ(Text(picker.TypeValue()), "Singleplayer map");
  EXPECT_EQ(Text(picker.SizeValue()), "32x24");
  EXPECT_EQ(SendMessageW(picker.Gauge(), PBM_GETRANGE, FALSE, 0), GaugeMaximum(0));
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
  EXPECT_EQ(Text(prompt.Message()), kEditorPromptText);
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
      RunProgram(KARTWERK_EXE, {"convert", TextFromPath(other / "game" / "maps" / "single" / "frontier.qdm"), "--slot",
                                "7", "--game", TextFromPath(other), "--quiet"});
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
  ASSERT_NE(versions.VersionLabelWindow(2), nullptr);
  EXPECT_EQ(Text(versions.VersionLabelWindow(1)), "English 2.0");
  EXPECT_EQ(Text(versions.VersionLabelWindow(2)), "English 2.1");
  EXPECT_EQ(GetFocus(), versions.VersionLabelWindow(1));
  // Tab moves to the second version, Enter chooses it; the browser lists that installation.
  PostMessageW(versions.VersionLabelWindow(1), WM_KEYDOWN, VK_TAB, 0);
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == versions.VersionLabelWindow(2); }));
  PostMessageW(versions.VersionLabelWindow(2), WM_KEYDOWN, VK_RETURN, 0);
  ExpectFadedInAndPictured(windows->Browser(), "browser-second-version");
  EXPECT_EQ(session.installs.GameFolder, second);
  // Escape closes the browser and ends the program.
  PostMessageW(windows->Browser().MapList(), WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(PumpUntil([&] { return !exits.empty(); }));
  EXPECT_EQ(exits, std::vector<int>{0});
}

// More installations than labels: six are offered and a line under them, in a window grown to
// hold it, says how many more there are and how to reach them.
TEST_F(Win32Face, TheVersionPickerOffersSixAndNamesTheOthers) {
  std::vector<std::filesystem::path> folders = {game};
  for (int i = 2; i <= 8; ++i) {
    folders.push_back(scratch.path() / ("install " + std::to_string(i)));
    std::filesystem::create_directories(folders.back());
  }
  Register(folders);
  Start();
  VersionPickerWindow& versions = windows->VersionPicker();
  ExpectFadedInAndPictured(versions, "version-picker-more");
  EXPECT_NE(versions.VersionLabelWindow(6), nullptr);
  EXPECT_EQ(Text(versions.MoreNoteLabel()), "2 more installations: start Kartwerk with --game DIR");
  EXPECT_TRUE(IsWindowVisible(versions.MoreNoteLabel()));
  RECT client;
  GetClientRect(versions.Handle(), &client);
  EXPECT_EQ(client.bottom, layout::version_picker::kHeight + layout::version_picker::kMoreNoteExtraHeight);
  EXPECT_EQ(session.installs.InstalledVersions.size(), 8u);
}

// No installation at all: the notice says where the game was looked for; a click on its "EXIT"
// box ends the program with status 1.
TEST_F(Win32Face, TheNoticeOfAMissingGameEndsTheProgramOnAClick) {
  Register({});
  Start();
  NoticeWindow& notice = windows->Notice();
  ExpectFadedInAndPictured(notice, "notice");
  EXPECT_EQ(Text(notice.Message()), GameNotLocatedText(session.Search));
  RECT box = ToRect(layout::prompts::kNoticeExitBox);
  RECT client;
  GetClientRect(notice.Handle(), &client);
  OffsetRect(&box, 0, client.bottom - layout::prompts::kNoticeHeight);  // the box moves down with a long message
  PostMessageW(notice.Handle(), WM_LBUTTONUP, 0, Middle(box));
  ASSERT_TRUE(PumpUntil([&] { return !exits.empty(); }));
  EXPECT_EQ(exits, std::vector<int>{1});
}

// The program itself: a map given on the command line opens the slot picker at once, without a
// console; Escape, posted to it from here, closes it and the program ends with status 0.
TEST_F(Win32Face, TheProgramOpensItsWindowsForAMapAndClosesOnEscape) {
  const std::wstring command = L"\"" + Wide(KARTWERK_EXE) + L"\" --game \"" + game.wstring() + L"\" \"" +
                               (game / "game" / "maps" / "single" / "Dunes.qdm").wstring() + L"\"";
  std::wstring line = command;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  struct Found {
    DWORD process;
    HWND window = nullptr;
  } found{process.dwProcessId};
  const auto faded = [&] {
    found.window = nullptr;
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto& f = *reinterpret_cast<Found*>(data);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (owner == f.process && IsWindowVisible(window)) f.window = window;
          return f.window == nullptr;
        },
        reinterpret_cast<LPARAM>(&found));
    BYTE alpha = 0;
    return found.window != nullptr && GetLayeredWindowAttributes(found.window, nullptr, &alpha, nullptr) &&
           alpha == kFadeShownOpacity;
  };
  EXPECT_TRUE(PumpUntil(faded));
  if (found.window != nullptr) {
    EXPECT_EQ(Text(found.window), "Editor slot");
    RECT rect;
    GetWindowRect(found.window, &rect);
    const std::optional<double> lit =
        ScreenBrightness("program-slot-picker", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                         [] { PumpUntil([] { return true; }); });
    ASSERT_TRUE(lit.has_value());
    EXPECT_GT(*lit, 0.7);
    PostMessageW(found.window, WM_KEYDOWN, VK_ESCAPE, 0);
  }
  const bool ended = WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.hProcess, 99);
  DWORD status = 99;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_TRUE(ended);
  EXPECT_EQ(status, 0u);
}

}  // namespace
}  // namespace kartwerk::win32
