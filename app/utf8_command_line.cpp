#include "app/utf8_command_line.hpp"

#ifdef _WIN32
// shellapi.h needs the types windows.h declares.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>

#include "platform/path_text.hpp"
#endif

namespace kartwerk::app {

Utf8CommandLine::Utf8CommandLine(int argc, char** argv) {
#ifdef _WIN32
  (void)argc;
  (void)argv;
  int count = 0;
  if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 0; i < count; ++i) arguments_.push_back(platform::TextFromPath(std::filesystem::path(wide[i])));
    LocalFree(wide);
  }
#else
  arguments_.assign(argv, argv + argc);
#endif
  for (std::string& argument : arguments_) pointers_.push_back(argument.data());
  pointers_.push_back(nullptr);
}

void UseUtf8Console() {
#ifdef _WIN32
  SetConsoleOutputCP(CP_UTF8);
#endif
}

#ifdef _WIN32
namespace {

// A handle the parent handed over (a pipe, a file, a console): output to it is kept there.
bool HandedOver(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace
#endif

bool AttachParentConsole() {
#ifdef _WIN32
  const bool output = HandedOver(STD_OUTPUT_HANDLE);
  const bool errors = HandedOver(STD_ERROR_HANDLE);
  if (output && errors) return true;
  // Errors handed over are where the program's messages go; without them, only a console will do.
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return errors;
  // std::cout and std::cerr write through stdout and stderr, so they follow them.
  if (!output && std::freopen("CONOUT$", "w", stdout) == nullptr) return errors;
  if (!errors) (void)std::freopen("CONOUT$", "w", stderr);
  return true;
#else
  return true;
#endif
}

}  // namespace kartwerk::app
