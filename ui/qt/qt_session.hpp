// What the Qt windows share during one run: the toolkit-free session of the window logic, and the
// few ways the windows reach outside themselves (ending the program, the error report, starting
// the editor) as hooks that tests can replace. The windows hold it by reference; it outlives them.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "ui/logic/fade_steps.hpp"
#include "ui/logic/window_session.hpp"
#include "ui/qt/wine_editor_start.hpp"

class QWidget;

namespace kartwerk::qt {

struct QtHooks {
  // Ends the program (leaves the main loop) with its exit status. Called at most once per session.
  std::function<void(int status)> endProgram;
  // The general error report: a failure no window handles itself (a map that cannot be read, a
  // slot file that cannot be written), shown above owner, the window on show; null for none.
  std::function<void(const QString& message, QWidget* owner)> reportError;
  // Starts the game's editor without waiting for it; why not, when it could not be started.
  std::function<std::optional<std::string>(const logic::EditorLaunch& launch)> launchEditor;
  // Called on the worker thread with each step's label before the label is passed on to the
  // progress panel; empty in normal use.
  std::function<void(const std::string& label)> workerProgress;
};

// The session of the Qt windows: the hooks above take the place of the program's own ways out.
struct QtSession : logic::WindowSession {
  QtHooks hooks;

  void ReportError(const QString& message, QWidget* owner) const;
  std::string StartEditor(const logic::EditorLaunch& launch) override;
  void ReportErrorAlone(const std::string& message) override { ReportError(QString::fromStdString(message), nullptr); }
  void WorkerProgress(const std::string& label) override;

 protected:
  void LeaveMainLoop(int status) override;
};

}  // namespace kartwerk::qt
