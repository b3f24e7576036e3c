#include "ui/qt/window_set.hpp"

namespace kartwerk::qt {

WindowSet::WindowSet(QtSession& session)
    : notice_(std::make_unique<NoticeWindow>(session)),
      versionPicker_(std::make_unique<VersionPickerWindow>(session)),
      slotPicker_(std::make_unique<SlotPickerWindow>(session, *notice_)),
      browser_(std::make_unique<BrowserWindow>(session, *slotPicker_, *notice_, *versionPicker_)) {}

bool WindowSet::CloseShownWindow() {
  WindowBase* const order[] = {slotPicker_->EditorPrompt(), notice_.get(), versionPicker_.get(), slotPicker_.get(),
                               browser_.get()};
  for (WindowBase* window : order) {
    if (window != nullptr && window->isVisible()) {
      window->RequestClose();
      return true;
    }
  }
  return false;
}

// The browser goes first and the slot picker (with its worker) before the windows it uses.
WindowSet::~WindowSet() {
  browser_.reset();
  slotPicker_.reset();
}

}  // namespace kartwerk::qt
