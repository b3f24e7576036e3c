// The program's windows for one session: the browser (the main window), the slot picker, the
// notice window and the version picker. The editor prompt is made later by the slot picker.
#pragma once

#include <memory>

#include "ui/browser_window.hpp"
#include "ui/prompt_windows.hpp"
#include "ui/slot_picker_window.hpp"
#include "ui/version_picker_window.hpp"

namespace kartwerk {

class GuiWindows {
 public:
  // The windows others open are made first, so each can be handed the ones it uses.
  explicit GuiWindows(GuiSession& session);
  ~GuiWindows();
  GuiWindows(const GuiWindows&) = delete;
  GuiWindows& operator=(const GuiWindows&) = delete;

  TForm7& Form7() { return *form7_; }
  TForm1& Form1() { return *form1_; }
  TForm8& Form8() { return *form8_; }
  TForm9& Form9() { return *form9_; }

  // Closes the topmost window on show as its "X" or "EXIT" does; false when none is on show.
  bool CloseShownWindow();

 private:
  std::unique_ptr<TForm8> form8_;
  std::unique_ptr<TForm9> form9_;
  std::unique_ptr<TForm1> form1_;
  std::unique_ptr<TForm7> form7_;
};

}  // namespace kartwerk
