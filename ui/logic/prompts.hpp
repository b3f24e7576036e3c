// The logic of the two small windows of the same make: the notice (one message and "EXIT") and
// the editor prompt ("Do you wish to run ... Editor now?" with "YES" and "EXIT"). Both are shown
// modally with their opener's fade, and close by fading out before their caller goes on.
#pragma once

#include <functional>
#include <string>

#include "ui/logic/window_face.hpp"

namespace kartwerk::logic {

// The message of both windows' design; the notice always replaces it.
inline constexpr const char* kEditorPromptText = "Do you wish to run Vornmark II\u2122 Editor now?";

// The notice's one button: "EXIT" when closing it ends the program, "NEXT" when the editor prompt
// follows it.
inline constexpr const char* kNoticeExitLabel = "EXIT";
inline constexpr const char* kNoticeNextLabel = "NEXT";

class MessageFace {
 public:
  virtual ~MessageFace() = default;
  // Shows the message (UTF-8); the window may grow to show a long one whole.
  virtual void ShowMessage(const std::string& message) = 0;
  // Labels the button for what closing the notice leads to; a face may keep its one label.
  virtual void ShowButtonLabel(const std::string& /*label*/) {}
};

class Prompt : public WindowLogic {
 public:
  Prompt(WindowSession& session, WindowFace& window) : WindowLogic(session, window) {}

  // Takes the opener's alpha-blending switch and opacity, shows the window modally and fades it
  // in; afterClose runs once the window has faded out and closed.
  void Open(const WindowFade& opener, std::function<void()> afterClose);
  // Shows without an opener: the switch and opacity the window has.
  void Open(std::function<void()> afterClose);
  void Start();
  // "EXIT": fades out (at once with alpha blending off) and closes.
  void Exit();
  // Escape and Enter both answer the notice's one button.
  void Key(KeyAction key) override;

 protected:
  void FadeOutAndClose();

 private:
  std::function<void()> afterClose_;
};

class Notice : public Prompt {
 public:
  Notice(WindowSession& session, WindowFace& window, MessageFace& message)
      : Prompt(session, window), message_(message) {}
  // Shows the message and the button's label, then opens as Prompt::Open does.
  void ShowNotice(const std::string& message, const WindowFade& opener, std::function<void()> afterClose,
                  const std::string& buttonLabel = kNoticeExitLabel);

 private:
  MessageFace& message_;
};

class EditorPrompt : public Prompt {
 public:
  using Prompt::Prompt;
  // "YES": fades out (always the full 20 steps) and starts the editor at once.
  void Yes();
  // Enter is "YES", Escape "EXIT".
  void Key(KeyAction key) override;
  // Why "YES" could not start the editor; empty when it started (or "YES" was not chosen).
  const std::string& EditorStartFailure() const { return editorStartFailure_; }

 private:
  std::string editorStartFailure_;
};

}  // namespace kartwerk::logic
