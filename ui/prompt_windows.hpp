// The two small windows of the same make: TForm8, the notice window (one message and "EXIT"),
// and TForm6, the editor prompt ("Do you wish to run ... Editor now?" with "YES" and "EXIT").
// Both are white, always on top, shown modally, and fade; their boxes and labels act as buttons
// when a mouse button is released over them.
#pragma once

#include <QString>
#include <functional>

#include "ui/fade_form.hpp"

class QFrame;
class QLabel;

namespace kartwerk {

// What both windows share: the message label, the "EXIT" box and showing with a close action.
class TPromptForm : public TFadeForm {
  Q_OBJECT

 public:
  TPromptForm(GuiSession& session, const char* name, int clientHeight, QWidget* owner);

  // Takes the opener's alpha-blending switch and opacity, shows the window modally and fades it
  // in; afterClose runs once the window has faded out and closed.
  void Open(const TFadeForm& opener, std::function<void()> afterClose);
  // Shows without an opener: the switch and opacity the window has.
  void Open(std::function<void()> afterClose);

  void FormShow();
  // "EXIT": fades out (at once with alpha blending off) and closes.
  void Shape2MouseUp();

  QLabel* Label1;
  QFrame* Shape2;
  QLabel* Label3;

 protected:
  // Escape and Enter both answer the notice's one button; the prompt takes Enter as "YES".
  void CloseRequested() override { Shape2MouseUp(); }
  void EnterPressed() override { Shape2MouseUp(); }
  void FadeOutAndClose();
  // A grey-framed box and the blue label on it that together act as one button.
  QFrame* MakeBox(const char* name, int left, int top);
  QLabel* MakeButtonLabel(const char* name, const QString& text, int left, int top);

 private:
  std::function<void()> afterClose_;
};

// The notice window: its caller sets the message.
class TForm8 : public TPromptForm {
  Q_OBJECT

 public:
  explicit TForm8(GuiSession& session, QWidget* owner = nullptr);
  // Sets the message, then opens as TPromptForm::Open does.
  void ShowNotice(const QString& message, const TFadeForm& opener, std::function<void()> afterClose);
};

// The editor prompt, created by the slot picker when a conversion has ended.
class TForm6 : public TPromptForm {
  Q_OBJECT

 public:
  explicit TForm6(GuiSession& session, QWidget* owner = nullptr);

  // "YES": fades out (always the full 20 steps) and starts the editor at once.
  void Shape1MouseUp();
  // Why "YES" could not start the editor; empty when it started (or "YES" was not chosen).
  const QString& EditorStartFailure() const { return editorStartFailure_; }

  QFrame* Shape1;
  QLabel* Label2;

 protected:
  void EnterPressed() override { Shape1MouseUp(); }

 private:
  QString editorStartFailure_;
};

// The message of both windows' design; the notice always replaces it.
inline constexpr const char* EditorPromptText = "Do you wish to run Vornmark II\u2122 Editor now?";

}  // namespace kartwerk
