// The program's Win32 windows for one run, and the message loop that drives them: the browser
// (the main window), the slot picker, the notice and the version picker. The editor prompt is
// made later by the slot picker.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/win32/browser_window.hpp"
#include "ui/win32/prompt_windows.hpp"
#include "ui/win32/slot_picker_window.hpp"
#include "ui/win32/version_picker_window.hpp"

namespace kartwerk::win32 {

class WindowSet {
 public:
  // The windows others open are made first, so each can be handed the ones it uses.
  WindowSet(Win32Session& session, WindowLook& look);
  ~WindowSet();
  WindowSet(const WindowSet&) = delete;
  WindowSet& operator=(const WindowSet&) = delete;

  BrowserWindow& Browser() { return *browser_; }
  SlotPickerWindow& SlotPicker() { return *slotPicker_; }
  NoticeWindow& Notice() { return *notice_; }
  VersionPickerWindow& VersionPicker() { return *versionPicker_; }

 private:
  std::unique_ptr<NoticeWindow> notice_;
  std::unique_ptr<VersionPickerWindow> versionPicker_;
  std::unique_ptr<SlotPickerWindow> slotPicker_;
  std::unique_ptr<BrowserWindow> browser_;
};

// Handles one message of the thread's queue as the windows take it: Enter and Escape go to the
// logic of the window they were typed in, Tab moves the focus between its tab stops, and the
// rest is translated and dispatched.
void DispatchWindowMessage(MSG& message);

// What the desktop offers the windows: layered windows' alpha, and the Windows version.
void DescribeDesktop(logic::WindowSession& session);

// The windows' run: the browser's start sequence from inside the message loop, until the
// program ends; returns the exit status.
int RunWin32Windows(Win32Session& session);

}  // namespace kartwerk::win32
