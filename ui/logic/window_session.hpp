// Everything the windows share during one run, whatever draws them: the conversion they prepare
// and start, the game's installations, the map named on the command line, where "cliffdata"
// lives, and the ways out of the windows (ending the program with its exit status, starting the
// editor). The windows' logic holds it by reference; it outlives them.
#pragma once

#include <filesystem>
#include <string>

#include "format/conversion.hpp"
#include "game/game_installations.hpp"
#include "ui/logic/editor_launch.hpp"
#include "ui/logic/fade_steps.hpp"

namespace kartwerk::logic {

// Where the game was looked for, for the notice that says it was not found.
struct GameSearch {
  enum class Place { SystemRegistry, WinePrefix, GameFolder };
  Place place = Place::SystemRegistry;
  std::filesystem::path path;  // the prefix's registry file, or the folder given with --game
};

// The title of the program's error boxes in both faces: the program's name, as its windows and
// the box that shows its output when it has no terminal are titled.
inline constexpr const char* kErrorBoxTitle = "Kartwerk";

class WindowSession {
 public:
  virtual ~WindowSession() = default;

  format::Conversion conversion;
  game::GameInstallations installs;

  // The map named on the command line; empty for none.
  std::filesystem::path commandLineMap;
  // The cliff masks the object step needs, normally installed beside the program.
  std::filesystem::path cliffDataFile;
  // The Wine prefix named on the command line or by WINEPREFIX (else ~/.wine); the editor runs in
  // it unless the located game names its own (installs.gameWinePrefix).
  std::filesystem::path winePrefix;
  GameSearch search;

  // Whether the desktop can show a window half transparent (decides fading off the platforms
  // that ClassifyPlatform knows).
  bool desktopHasWindowOpacity = true;
  PlatformVersion platform;
  // The fade timers' interval; 20 ms.
  int fadeIntervalMs = kFadeTimerIntervalMs;

  // Ends the program once; later calls do nothing. The exit status is 1 after a fatal notice, or
  // when the run's last conversion failed; otherwise 0 (a completed conversion, or a plain close).
  void EndProgram(bool fatal = false);
  bool ProgramEnded() const { return ended_; }
  void NoteConversion(bool succeeded) { lastConversionFailed_ = !succeeded; }

  // Starts the game's editor without waiting for it; returns why it could not be started, or
  // an empty text when it was.
  virtual std::string StartEditor(const EditorLaunch& launch) = 0;
  // The general error report when no window is on show to hold it (the start sequence). Error
  // boxes are titled kErrorBoxTitle in both faces.
  virtual void ReportErrorAlone(const std::string& message) = 0;
  // Called on the worker thread with each step's label before the label reaches the window.
  virtual void WorkerProgress(const std::string& /*label*/) {}

 protected:
  // Leaves the window system's main loop with the exit status.
  virtual void LeaveMainLoop(int status) = 0;

 private:
  bool ended_ = false;
  bool lastConversionFailed_ = false;
};

// A path, or a file name's bytes, as UTF-8 for a window: well-formed UTF-8 stays as it is,
// anything else is read as Windows-1252.
std::string PathUtf8(const std::filesystem::path& path);
std::string FileNameUtf8(const std::string& bytes);

}  // namespace kartwerk::logic
