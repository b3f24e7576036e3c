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

}  // namespace kartwerk::testing
