#include "ui/gui_session.hpp"

namespace kartwerk {

void GuiSession::EnsureTempFolder() {
  if (!temp_) {
    temp_.emplace();
    conversion.TempFolder = temp_->path();
  }
}

void GuiSession::EndProgram() {
  if (ended_) return;
  ended_ = true;
  if (hooks.EndProgram) hooks.EndProgram();
}

void GuiSession::ReportError(const QString& message) const {
  if (hooks.ReportError) hooks.ReportError(message);
}

void GuiSession::LaunchEditor(const EditorLaunch& launch) const {
  if (hooks.LaunchEditor) hooks.LaunchEditor(launch);
}

}  // namespace kartwerk
