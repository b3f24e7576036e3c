#include "ui/gui_session.hpp"

#include "ui/notice_texts.hpp"

namespace kartwerk {

void GuiSession::LeaveMainLoop(int status) {
  if (hooks.EndProgram) hooks.EndProgram(status);
}

void GuiSession::ReportError(const QString& message, QWidget* owner) const {
  if (hooks.ReportError) hooks.ReportError(message, owner);
}

std::string GuiSession::StartEditor(const EditorLaunch& launch) {
  if (!hooks.LaunchEditor) return EditorStartFailure(launch, "this program cannot start other programs").toStdString();
  const std::optional<std::string> failure = hooks.LaunchEditor(launch);
  return failure ? EditorStartFailure(launch, *failure).toStdString() : std::string();
}

void GuiSession::WorkerProgress(const std::string& label) {
  if (hooks.WorkerProgress) hooks.WorkerProgress(label);
}

}  // namespace kartwerk
