// The windows module's entry: start-up rules, the installation source, then the windows'
// main loop. Loaded by the program only when it opens its windows.
#include "app/window_options.hpp"
#include "app/window_session_setup.hpp"
#include "ui/qt/qt_application.hpp"
#include "ui/qt/qt_session.hpp"

namespace kartwerk::app {
using qt::QtSession;
using qt::RunWindows;
namespace {

int RunWindowsWith(int argc, char** argv, const WindowOptions& options) {
  QtSession session;
  PrepareWindowSession(session, argc, argv, options);
  int qtArgc = argc;  // the application object keeps a reference to it
  return RunWindows(qtArgc, argv, session);
}

}  // namespace
}  // namespace kartwerk::app

#ifdef _WIN32
#define KARTWERK_EXPORT __declspec(dllexport)
#else
#define KARTWERK_EXPORT __attribute__((visibility("default")))
#endif

extern "C" KARTWERK_EXPORT int kartwerk_run_windows(int argc, char** argv,
                                                    const kartwerk::app::WindowOptions& options) {
  return kartwerk::app::RunWindowsWith(argc, argv, options);
}

// The program looks the entry up by this name; a changed signature must change both.
static_assert(std::is_same_v<decltype(kartwerk_run_windows), kartwerk::app::RunWindowsEntry>);
