#include "ui/qt/qt_session.hpp"

#include "ui/logic/notice_texts.hpp"

namespace kartwerk::qt {

void QtSession::LeaveMainLoop(int status) {
  if (hooks.EndProgram) hooks.EndProgram(status);
}

void QtSession::ReportError(const QString& message, QWidget* owner) const {
  if (hooks.ReportError) hooks.ReportError(message, owner);
}

std::string QtSession::StartEditor(const logic::EditorLaunch& launch) {
  if (!hooks.LaunchEditor)
    return logic::EditorStartFailureText(launch, logic::kCannotStartPrograms, /*throughWine=*/true);
  const std::optional<std::string> failure = hooks.LaunchEditor(launch);
  return failure ? logic::EditorStartFailureText(launch, *failure, /*throughWine=*/true) : std::string();
}

void QtSession::WorkerProgress(const std::string& label) {
  if (hooks.WorkerProgress) hooks.WorkerProgress(label);
}

}  // namespace kartwerk::qt
