// The program's windows for one session: the browser (the main window), the slot picker, the
// notice window and the version picker. The editor prompt is made later by the slot picker.
#pragma once

#include <memory>

#include "ui/qt/browser_window.hpp"
#include "ui/qt/prompt_windows.hpp"
#include "ui/qt/slot_picker_window.hpp"
#include "ui/qt/version_picker_window.hpp"

namespace kartwerk::qt {

class WindowSet {
 public:
  // The windows others open are made first, so each can be handed the ones it uses.
  explicit WindowSet(QtSession& session);
  ~WindowSet();
  WindowSet(const WindowSet&) = delete;
  WindowSet& operator=(const WindowSet&) = delete;

  BrowserWindow& Browser() { return *browser_; }
  SlotPickerWindow& SlotPicker() { return *slotPicker_; }
  NoticeWindow& Notice() { return *notice_; }
  VersionPickerWindow& VersionPicker() { return *versionPicker_; }

  // Closes the topmost window on show as its "X" or "EXIT" does; false when none is on show.
  bool CloseShownWindow();

 private:
  std::unique_ptr<NoticeWindow> notice_;
  std::unique_ptr<VersionPickerWindow> versionPicker_;
  std::unique_ptr<SlotPickerWindow> slotPicker_;
  std::unique_ptr<BrowserWindow> browser_;
};

}  // namespace kartwerk::qt
