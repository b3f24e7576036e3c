#include "ui/gui_session.hpp"

namespace kartwerk {

void GuiSession::EnsureTempFolder() {
  if (!temp_) {
    temp_.emplace();
    conversion.TempFolder = temp_->path();
  }
}

void GuiSession::EndProgram(bool fatal) {
  if (ended_) return;
  ended_ = true;
  if (hooks.EndProgram) hooks.EndProgram(fatal || lastConversionFailed_ ? 1 : 0);
}

void GuiSession::ReportError(const QString& message, QWidget* owner) const {
  if (hooks.ReportError) hooks.ReportError(message, owner);
}

bool GuiSession::LaunchEditor(const EditorLaunch& launch) const {
  return hooks.LaunchEditor && hooks.LaunchEditor(launch);
}

}  // namespace kartwerk
