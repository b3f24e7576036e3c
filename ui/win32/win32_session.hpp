// The session of the Win32 windows: the window logic's session, and the ways the windows reach
// outside themselves (ending the message loop, the error box, starting the editor) as hooks
// that tests replace. The windows hold it by reference; it outlives them.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "ui/logic/window_session.hpp"

namespace kartwerk::win32 {

struct Win32Hooks {
  // Leaves the message loop with the exit status (PostQuitMessage). Called at most once.
  std::function<void(int status)> endProgram;
  // The general error report above owner (null for none): a message box.
  std::function<void(const std::string& message, HWND owner)> reportError;
  // Starts the game's editor through the shell; why not, in the system's words, when it could not.
  std::function<std::optional<std::string>(const logic::EditorLaunch& launch)> launchEditor;
  // Called on the worker thread with each step's label; empty in normal use.
  std::function<void(const std::string& label)> workerProgress;
};

class Win32Session : public logic::WindowSession {
 public:
  // The hooks start as the program's own ways out.
  Win32Session();

  Win32Hooks hooks;

  void ReportError(const std::string& message, HWND owner) const;
  std::string StartEditor(const logic::EditorLaunch& launch) override;
  void ReportErrorAlone(const std::string& message) override { ReportError(message, nullptr); }
  void WorkerProgress(const std::string& label) override;

 protected:
  void LeaveMainLoop(int status) override;
};

}  // namespace kartwerk::win32
