// The Win32 faces of the notice (one message and "EXIT") and the editor prompt ("YES" and "EXIT"):
// white windows with a message and framed text buttons. Their logic is Notice and EditorPrompt.
#pragma once

#include "ui/logic/prompts.hpp"
#include "ui/win32/window_base.hpp"

namespace kartwerk::win32 {

class NoticeWindow : public WindowBase, private logic::MessageFace {
 public:
  NoticeWindow(Win32Session& session, WindowLook& look, HWND owner = nullptr);

  logic::Notice& Logic() { return logic_; }
  void Key(logic::KeyAction key) override { logic_.Key(key); }

  HWND Message() const { return message_; }
  HWND ExitLabel() const { return exitLabel_; }

 private:
  void ShowMessage(const std::string& message) override;
  void ShowButtonLabel(const std::string& label) override;

  logic::Notice logic_;
  HWND message_, exitLabel_;
  logic::layout::Box exitBox_ = logic::layout::prompts::kNoticeExitBox;
};

class EditorPromptWindow : public WindowBase {
 public:
  EditorPromptWindow(Win32Session& session, WindowLook& look, HWND owner);

  logic::EditorPrompt& Logic() { return logic_; }
  void Key(logic::KeyAction key) override { logic_.Key(key); }

  HWND Message() const { return message_; }
  HWND YesLabel() const { return yesLabel_; }
  HWND ExitLabel() const { return exitLabel_; }

 private:
  // YES is what Enter does: its box carries a dialog's default-button frame.
  void PaintOver(HDC dc) override;

  logic::EditorPrompt logic_;
  HWND message_, yesLabel_, exitLabel_;
};

}  // namespace kartwerk::win32
