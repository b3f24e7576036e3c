#include "app/utf8_command_line.hpp"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include "core/path_text.hpp"
#endif

namespace kartwerk::app {

Utf8CommandLine::Utf8CommandLine(int argc, char** argv) {
#ifdef _WIN32
  (void)argc;
  (void)argv;
  int count = 0;
  if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 0; i < count; ++i) arguments_.push_back(TextFromPath(std::filesystem::path(wide[i])));
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

}  // namespace kartwerk::app
