// The command line and the console in UTF-8 on every platform. Windows hands a program its
// arguments in the ANSI code page, which cannot hold every file name ("地图\Übersicht.qdm" on a
// Western system): there they are taken from the wide command line instead.
#pragma once

#include <string>
#include <vector>

namespace kartwerk::app {

class Utf8CommandLine {
 public:
  // On Windows argc and argv are ignored in favour of GetCommandLineW; elsewhere they are kept.
  Utf8CommandLine(int argc, char** argv);
  Utf8CommandLine(const Utf8CommandLine&) = delete;
  Utf8CommandLine& operator=(const Utf8CommandLine&) = delete;

  int argc() const { return static_cast<int>(arguments_.size()); }
  char** argv() { return pointers_.data(); }

 private:
  std::vector<std::string> arguments_;
  std::vector<char*> pointers_;  // into arguments_, then a null pointer, as main's argv
};

// Makes a Windows console show the UTF-8 the program prints; nothing elsewhere.
void UseUtf8Console();

// kartwerk.exe is a windows program (no console opens on a double-click); started from a console
// it prints into that console: standard output and error the parent did not redirect are joined
// to the parent's console, if it has one. Returns whether what the program prints reaches a
// console or a handle its parent handed over (false for a start from Explorer); always true
// elsewhere.
bool AttachParentConsole();

}  // namespace kartwerk::app
