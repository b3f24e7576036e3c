#include "ui/qt/qt_session.hpp"

#include "ui/logic/notice_texts.hpp"

namespace kartwerk::qt {

void QtSession::LeaveMainLoop(int status) {
  if (hooks.EndProgram) hooks.EndProgram(status);
}

void QtSession::ReportError(const QString& message, QWidget* owner) const {
  if (hooks.ReportError) hooks.ReportError(message, owner);
}

bool QtSession::LaunchEditor(const EditorLaunch& launch) const {
  return hooks.LaunchEditor && hooks.LaunchEditor(launch);
}

std::string QtSession::StartEditor(const EditorLaunch& launch) {
  return LaunchEditor(launch) ? std::string() : EditorStartFailureText(launch, /*throughWine=*/true);
}

void QtSession::WorkerProgress(const std::string& label) {
  if (hooks.WorkerProgress) hooks.WorkerProgress(label);
}

}  // namespace kartwerk::qt
