// The two small windows of the same make: NoticeWindow, the notice window (one message and "EXIT",
// or "NEXT" when the editor prompt follows),
// and EditorPromptWindow, the editor prompt ("Do you wish to run ... Editor now?" with "YES" and "EXIT").
// Both are white, always on top, shown modally, and fade; their boxes and labels act as buttons
// when a mouse button is released over them.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <utility>

#include "ui/logic/prompts.hpp"
#include "ui/logic/window_layout.hpp"
#include "ui/qt/window_base.hpp"

class QFrame;
class QLabel;

namespace kartwerk::qt {

// What both windows share: the message label, the "EXIT" box and showing with a close action.
class PromptWindow : public WindowBase {
  Q_OBJECT

 public:
  PromptWindow(QtSession& session, const char* name, int clientHeight, QWidget* owner, logic::Prompt& logic);

  // Takes the opener's alpha-blending switch and opacity, shows the window modally and fades it
  // in; afterClose runs once the window has faded out and closed.
  void Open(const WindowBase& opener, std::function<void()> afterClose) {
    prompt_.Open(opener.Fading(), std::move(afterClose));
  }
  // Shows without an opener: the switch and opacity the window has.
  void Open(std::function<void()> afterClose) { prompt_.Open(std::move(afterClose)); }

  QLabel* message;
  QFrame* exitBox;
  QLabel* exitLabel;

 protected:
  // Escape and Enter as the window's logic takes them (the prompt takes Enter as "YES").
  void CloseRequested() override { prompt_.Key(logic::KeyAction::Escape); }
  void EnterPressed() override { prompt_.Key(logic::KeyAction::Enter); }
  // A grey-framed box and the blue label on it that together act as one button.
  QFrame* MakeBox(const char* name, logic::layout::Box at);
  QLabel* MakeButtonLabel(const char* name, const QString& text, logic::layout::Box at);

 private:
  logic::Prompt& prompt_;
};

// The notice window: its caller sets the message.
class NoticeWindow : public PromptWindow, private logic::MessageFace {
  Q_OBJECT

 public:
  explicit NoticeWindow(QtSession& session, QWidget* owner = nullptr);
  // Sets the message, then opens as PromptWindow::Open does.
  void ShowNotice(const QString& text, const WindowBase& opener, std::function<void()> afterClose) {
    logic_.ShowNotice(text.toStdString(), opener.Fading(), std::move(afterClose));
  }
  logic::Notice& Logic() { return logic_; }

 private:
  void ShowMessage(const std::string& message) override;
  // Centres the label in its box, wherever the message has moved the box.
  void ShowButtonLabel(const std::string& label) override;

  logic::Notice logic_;
};

// The editor prompt, created by the slot picker when a conversion has ended.
class EditorPromptWindow : public PromptWindow {
  Q_OBJECT

 public:
  explicit EditorPromptWindow(QtSession& session, QWidget* owner = nullptr);

  // Why "YES" could not start the editor; empty when it started (or "YES" was not chosen).
  QString EditorStartFailure() const { return QString::fromStdString(logic_.EditorStartFailure()); }

  QFrame* yesBox;
  QLabel* yesLabel;
  logic::EditorPrompt& Logic() { return logic_; }

 private:
  logic::EditorPrompt logic_;
};

}  // namespace kartwerk::qt
