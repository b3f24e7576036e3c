#include "ui/gui_windows.hpp"

namespace kartwerk {

GuiWindows::GuiWindows(GuiSession& session)
    : form8_(std::make_unique<TForm8>(session)),
      form9_(std::make_unique<TForm9>(session)),
      form1_(std::make_unique<TForm1>(session, *form8_)),
      form7_(std::make_unique<TForm7>(session, *form1_, *form8_, *form9_)) {}

bool GuiWindows::CloseShownWindow() {
  TFadeForm* const order[] = {form1_->EditorPrompt(), form8_.get(), form9_.get(), form1_.get(), form7_.get()};
  for (TFadeForm* window : order) {
    if (window != nullptr && window->isVisible()) {
      window->RequestClose();
      return true;
    }
  }
  return false;
}

// The browser goes first and the slot picker (with its worker) before the windows it uses.
GuiWindows::~GuiWindows() {
  form7_.reset();
  form1_.reset();
}

}  // namespace kartwerk
