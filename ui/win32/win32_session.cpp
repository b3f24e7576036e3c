#include "ui/win32/win32_session.hpp"

#include "desktop/shell_open.hpp"
#include "ui/logic/notice_texts.hpp"
#include "ui/win32/wide_text.hpp"

namespace kartwerk::win32 {

Win32Session::Win32Session() {
  hooks.endProgram = [](int status) { PostQuitMessage(status); };
  hooks.reportError = [](const std::string& message, HWND owner) {
    // The box takes the focus; the control that had it (a list the keyboard was in) gets it back.
    const HWND focus = GetFocus();
    MessageBoxW(owner, Wide(message).c_str(), Wide(logic::kErrorBoxTitle).c_str(), MB_OK | MB_ICONERROR);
    if (focus != nullptr && IsWindow(focus) && IsWindowVisible(focus)) SetFocus(focus);
  };
  hooks.launchEditor = [](const logic::EditorLaunch& launch) {
    return desktop::OpenWithShell(launch.program, launch.workingFolder);
  };
}

void Win32Session::ReportError(const std::string& message, HWND owner) const {
  if (hooks.reportError) hooks.reportError(message, owner);
}

std::string Win32Session::StartEditor(const logic::EditorLaunch& launch) {
  if (!hooks.launchEditor)
    return logic::EditorStartFailureText(launch, logic::kCannotStartPrograms, /*throughWine=*/false);
  const std::optional<std::string> failure = hooks.launchEditor(launch);
  return failure ? logic::EditorStartFailureText(launch, *failure, /*throughWine=*/false) : std::string();
}

void Win32Session::WorkerProgress(const std::string& label) {
  if (hooks.workerProgress) hooks.workerProgress(label);
}

void Win32Session::LeaveMainLoop(int status) {
  if (hooks.endProgram) hooks.endProgram(status);
}

}  // namespace kartwerk::win32
