// Everything the windows share during one run: the conversion they prepare and start, the game's
// installations, the map named on the command line, where "cliffdata" lives, and the few ways the
// windows reach outside themselves (ending the program, the error report, starting the editor).
// The windows hold it by reference; it outlives them.
#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/conversion.hpp"
#include "core/temp_folder.hpp"
#include "install/game_installations.hpp"
#include "ui/editor_launch.hpp"
#include "ui/fade.hpp"

class QWidget;

namespace kartwerk {

struct GuiHooks {
  // Ends the program (leaves the main loop) with its exit status. Called at most once per session.
  std::function<void(int status)> EndProgram;
  // The general error report: a failure no window handles itself (a map that cannot be read, a
  // slot file that cannot be written), shown above owner, the window on show; null for none.
  std::function<void(const QString& message, QWidget* owner)> ReportError;
  // Starts the game's editor without waiting for it; false when it could not be started.
  std::function<bool(const EditorLaunch& launch)> LaunchEditor;
  // Called on the worker thread with each step's label before the label is passed on to the
  // progress panel; empty in normal use.
  std::function<void(const std::string& label)> WorkerProgress;
};

// Where the game was looked for, for the notice that says it was not found.
struct GameSearch {
  enum class Place { SystemRegistry, WinePrefix, GameFolder };
  Place place = Place::SystemRegistry;
  std::filesystem::path path;  // the prefix's registry file, or the folder given with --game
};

struct GuiSession {
  Conversion conversion;
  GameInstallations installs;

  // The map named on the command line; empty for none.
  std::filesystem::path CommandLineMap;
  // The cliff masks the object step needs, normally installed beside the program.
  std::filesystem::path CliffDataFile;
  // The Wine prefix named on the command line or by WINEPREFIX (else ~/.wine); the editor runs in
  // it unless the located game names its own (installs.GameWinePrefix).
  std::filesystem::path WinePrefix;
  GameSearch Search;

  // Whether the desktop can show a window half transparent (decides fading off the platforms
  // that ClassifyPlatform knows).
  bool DesktopHasWindowOpacity = true;
  PlatformVersion Platform;
  // The fade timers' interval; 20 ms.
  int FadeIntervalMs = FadeTimerIntervalMs;

  GuiHooks hooks;

  // Creates this run's private temporary folder on first use and makes it conversion.TempFolder.
  // Throws std::filesystem::filesystem_error when it cannot be created.
  void EnsureTempFolder();

  // Ends the program through the hook, once; later calls do nothing. The exit status is 1 after
  // a fatal notice, or when the run's last conversion failed; otherwise 0 (a completed
  // conversion, or a plain close).
  void EndProgram(bool fatal = false);
  bool ProgramEnded() const { return ended_; }
  void NoteConversion(bool succeeded) { lastConversionFailed_ = !succeeded; }

  void ReportError(const QString& message, QWidget* owner) const;
  bool LaunchEditor(const EditorLaunch& launch) const;

 private:
  std::optional<PrivateTempFolder> temp_;
  bool ended_ = false;
  bool lastConversionFailed_ = false;
};

}  // namespace kartwerk
