#include "ui/win32/window_set.hpp"

#include <optional>
#include <stdexcept>
#include <string>

#include "convert/records/cliff_data.hpp"

namespace kartwerk::win32 {
namespace {

logic::PlatformVersion QueryPlatformVersion() {
  logic::PlatformVersion version;
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (GetVersionExA(&info)) {
#pragma GCC diagnostic pop
    version.queried = true;
    version.platformId = static_cast<int>(info.dwPlatformId);
    version.major = static_cast<int>(info.dwMajorVersion);
    version.minor = static_cast<int>(info.dwMinorVersion);
    version.servicePack = info.szCSDVersion;
  }
  return version;
}

bool IsRadioButton(HWND control) {
  wchar_t name[16] = {};
  if (GetClassNameW(control, name, 16) == 0 || lstrcmpiW(name, L"BUTTON") != 0) return false;
  const auto type = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE)) & BS_TYPEMASK;
  return type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON;
}

// The arrow keys move through a group of radio buttons (the browser's categories) and choose the
// button they land on, as in a dialog; Tab enters the group at its checked button and leaves it.
bool MoveInButtonGroup(HWND root, HWND focus, WPARAM key) {
  if (key != VK_LEFT && key != VK_RIGHT && key != VK_UP && key != VK_DOWN) return false;
  if (focus == nullptr || !IsRadioButton(focus)) return false;
  HWND next = GetNextDlgGroupItem(root, focus, key == VK_LEFT || key == VK_UP);
  if (next == nullptr || next == focus || !IsRadioButton(next)) return true;
  SetFocus(next);
  SendMessageW(next, BM_CLICK, 0, 0);
  return true;
}

// The keyboard is in use: the window's controls show their focus cues from now on, as a dialog
// shows them once a key has moved in it (Windows hides them until then).
void ShowKeyboardCues(HWND root) { SendMessageW(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0); }

}  // namespace

WindowSet::WindowSet(Win32Session& session, WindowLook& look)
    : notice_(std::make_unique<NoticeWindow>(session, look)),
      versionPicker_(std::make_unique<VersionPickerWindow>(session, look)),
      slotPicker_(std::make_unique<SlotPickerWindow>(session, look, notice_->Logic())),
      browser_(std::make_unique<BrowserWindow>(session, look, slotPicker_->Logic(), notice_->Logic(),
                                               versionPicker_->Logic())) {}

// The browser goes first and the slot picker (with its worker) before the windows it uses.
WindowSet::~WindowSet() {
  browser_.reset();
  slotPicker_.reset();
}

void DispatchWindowMessage(MSG& message) {
  if (message.message == WM_KEYDOWN) {
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (WindowBase* window = WindowBase::FromHandle(root)) {
      if (message.wParam == VK_TAB || (message.wParam >= VK_LEFT && message.wParam <= VK_DOWN)) {
        ShowKeyboardCues(root);
      }
      switch (message.wParam) {
        case VK_RETURN: window->Key(logic::KeyAction::Enter); return;
        case VK_ESCAPE: window->Key(logic::KeyAction::Escape); return;
        case VK_TAB:
          if (HWND next = GetNextDlgTabItem(root, message.hwnd, GetKeyState(VK_SHIFT) < 0)) {
            SetFocus(next);
            // The focus frame a window draws follows the focus.
            InvalidateRect(root, nullptr, TRUE);
          }
          return;
        default:
          if (MoveInButtonGroup(root, message.hwnd, message.wParam)) return;
          break;
      }
    }
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void DescribeDesktop(logic::WindowSession& session) {
  // Every Windows desktop shows a layered window's alpha, composited or not.
  session.desktopHasWindowOpacity = true;
  session.platform = QueryPlatformVersion();
}

int RunWin32Windows(Win32Session& session) {
  DescribeDesktop(session);
  if (session.cliffDataFile.empty()) session.cliffDataFile = records::DefaultCliffDataPath();
  std::optional<WindowLook> look;
  try {
    look.emplace(GetModuleHandleW(nullptr));
  } catch (const std::runtime_error& failure) {
    session.ReportErrorAlone(std::string("Cannot open the windows: ") + failure.what());
    return 1;
  }
  WindowSet windows(session, *look);
  // Started from inside the message loop, so that ending the program at any step leaves it.
  windows.Browser().PostCall([&windows] { windows.Browser().Logic().Start(); });
  MSG message;
  int got = 0;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) DispatchWindowMessage(message);
  return got < 0 ? 1 : static_cast<int>(message.wParam);
}

}  // namespace kartwerk::win32
