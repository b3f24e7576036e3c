#include "app/gui_main.hpp"

#include <iostream>

#include "app/first_argument.hpp"

#if defined(_WIN32) && !defined(KARTWERK_QT_MODULE)
#include "app/window_session_setup.hpp"
#include "ui/win32/window_set.hpp"
#endif

#ifdef KARTWERK_QT_MODULE
#include <filesystem>

#include "platform/path_text.hpp"
#include "platform/program_files.hpp"
#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>

#include "app/display_check.hpp"
#endif
#endif

namespace kartwerk::app {

void AddWindowOptions(CLI::App& app, WindowOptions& options) {
  app.add_option("MAP", options.map, "A compiled map to convert in the windows (.qdm, .qdp, .qdc)");
  app.add_option("--game", options.game, "Window mode: use the game installed in this folder");
  app.add_option("--game-version", options.gameVersion, "Window mode: the version of the game given with --game");
  app.add_option("--wine-prefix", options.winePrefix, "Window mode: the Wine prefix whose registry names the game");
}

#ifdef KARTWERK_QT_MODULE
namespace {

// The Qt module's entry, or nullptr with the reason in `why`. The module stays loaded
// until the process ends.
RunWindowsEntry* LoadWindowsEntry(const std::filesystem::path& module, std::string& why) {
#ifdef _WIN32
  HMODULE handle = LoadLibraryW(module.c_str());
  if (handle == nullptr) {
    why = "error " + std::to_string(GetLastError());
    return nullptr;
  }
  auto* entry = reinterpret_cast<RunWindowsEntry*>(reinterpret_cast<void*>(GetProcAddress(handle, kRunWindowsSymbol)));
#else
  void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    why = dlerror();
    return nullptr;
  }
  auto* entry = reinterpret_cast<RunWindowsEntry*>(dlsym(handle, kRunWindowsSymbol));
#endif
  if (entry == nullptr) why = std::string("it has no entry \"") + kRunWindowsSymbol + "\"";
  return entry;
}

}  // namespace
#endif

int RunWindowMode(int argc, char** argv, [[maybe_unused]] const CLI::App& app, const WindowOptions& options) {
  // A typo or a file that is no map is told here, before the windows write anything.
  if (!options.map.empty()) {
    if (const auto mistake = FirstArgumentMistake(options.map)) {
      std::cerr << "kartwerk: " << *mistake << "\n";
      return 2;
    }
  }
#if defined(KARTWERK_QT_MODULE) && !defined(_WIN32)
  if (const auto reason = NoDisplayReason(ProcessDisplayEnvironment())) {
    std::cerr << "kartwerk: cannot open the windows: " << *reason
              << "; the commands work without one (kartwerk --help)\n";
    return 1;
  }
#endif
#ifdef KARTWERK_QT_MODULE
  const std::filesystem::path module = platform::ProgramFile(platform::ProgramFileKind::Module, KARTWERK_QT_MODULE);
  std::string why;
  RunWindowsEntry* entry = LoadWindowsEntry(module, why);
  if (entry == nullptr) {
    std::cerr << "kartwerk: cannot open the windows: loading \"" << platform::TextFromPath(module)
              << "\" failed: " << why << "\n"
              << "kartwerk: the subcommands work without them (kartwerk --help)\n";
    return 1;
  }
  return entry(argc, argv, options);
#elif defined(_WIN32)
  (void)app;
  // Windows: the native windows, built into the program.
  win32::Win32Session session;
  PrepareWindowSession(session, argc, argv, options);
  return win32::RunWin32Windows(session);
#else
  (void)argc;
  (void)argv;
  (void)options;
  // Built without windows: the subcommands are all there is, so asking for the windows is a
  // wrong use of this build.
  std::cerr << "kartwerk: this build has no windows; use one of its commands:\n\n" << app.help();
  return 2;
#endif
}

}  // namespace kartwerk::app
