// Runs the kartwerk executable (or any program) as a user would, capturing what it prints.
#pragma once

#include <string>
#include <vector>

namespace kartwerk::testing {

struct ProgramResult {
  int status = -1;  // exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs program with args (no shell involved); extraEnv entries are "NAME=value".
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& extraEnv = {});

// Runs program with args and its standard error on a pseudo-terminal, as in an interactive
// shell; `err` holds what the terminal showed (line feeds arrive as "\r\n"), `out` stays empty.
ProgramResult RunOnTerminal(const std::string& program, const std::vector<std::string>& args);

// The lines of a program's output, without their line feeds.
std::vector<std::string> Lines(const std::string& text);

}  // namespace kartwerk::testing
