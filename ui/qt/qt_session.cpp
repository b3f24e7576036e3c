#include "ui/gui_session.hpp"

#include "ui/notice_texts.hpp"

namespace kartwerk {

void GuiSession::LeaveMainLoop(int status) {
  if (hooks.EndProgram) hooks.EndProgram(status);
}

void GuiSession::ReportError(const QString& message, QWidget* owner) const {
  if (hooks.ReportError) hooks.ReportError(message, owner);
}

bool GuiSession::LaunchEditor(const EditorLaunch& launch) const {
  return hooks.LaunchEditor && hooks.LaunchEditor(launch);
}

std::string GuiSession::StartEditor(const EditorLaunch& launch) {
  return LaunchEditor(launch) ? std::string() : EditorStartFailure(launch).toStdString();
}

void GuiSession::WorkerProgress(const std::string& label) {
  if (hooks.WorkerProgress) hooks.WorkerProgress(label);
}

}  // namespace kartwerk
