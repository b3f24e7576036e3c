#include "ui/qt/qt_session.hpp"

#include "ui/logic/notice_texts.hpp"

namespace kartwerk::qt {

void QtSession::LeaveMainLoop(int status) {
  if (hooks.endProgram) hooks.endProgram(status);
}

void QtSession::ReportError(const QString& message, QWidget* owner) const {
  if (hooks.reportError) hooks.reportError(message, owner);
}

std::string QtSession::StartEditor(const logic::EditorLaunch& launch) {
  if (!hooks.launchEditor)
    return logic::EditorStartFailureText(launch, logic::kCannotStartPrograms, /*throughWine=*/true);
  const std::optional<std::string> failure = hooks.launchEditor(launch);
  return failure ? logic::EditorStartFailureText(launch, *failure, /*throughWine=*/true) : std::string();
}

void QtSession::WorkerProgress(const std::string& label) {
  if (hooks.workerProgress) hooks.workerProgress(label);
}

}  // namespace kartwerk::qt
