#include "ui/win32/win32_session.hpp"

#include "core/path_text.hpp"
#include "install/shell_open.hpp"
#include "ui/logic/notice_texts.hpp"
#include "ui/win32/wide_text.hpp"

namespace kartwerk::win32 {

Win32Session::Win32Session() {
  hooks.EndProgram = [](int status) { PostQuitMessage(status); };
  hooks.ReportError = [](const std::string& message, HWND owner) {
    MessageBoxW(owner, Wide(message).c_str(), L"Error", MB_OK | MB_ICONERROR);
  };
  hooks.LaunchEditor = [](const EditorLaunch& launch) { return OpenWithShell(launch.program, launch.workingFolder); };
}

void Win32Session::ReportError(const std::string& message, HWND owner) const {
  if (hooks.ReportError) hooks.ReportError(message, owner);
}

std::string Win32Session::StartEditor(const EditorLaunch& launch) {
  return hooks.LaunchEditor && hooks.LaunchEditor(launch) ? std::string()
                                                          : EditorStartFailureText(launch, /*throughWine=*/false);
}

void Win32Session::WorkerProgress(const std::string& label) {
  if (hooks.WorkerProgress) hooks.WorkerProgress(label);
}

void Win32Session::LeaveMainLoop(int status) {
  if (hooks.EndProgram) hooks.EndProgram(status);
}

}  // namespace kartwerk::win32
