// The subcommands of the kartwerk executable. Each Add...Command registers its options
// on the application and the function that runs it; runners return the exit status
// (0 success, 1 the work failed, 2 wrong usage).
#pragma once

#include <CLI/CLI.hpp>
#include <functional>

namespace kartwerk::app {

using Runner = std::function<int()>;

void AddInfoCommand(CLI::App& app, Runner& run);
void AddConvertCommand(CLI::App& app, Runner& run);
void AddInstallsCommand(CLI::App& app, Runner& run);
void AddSlotsCommand(CLI::App& app, Runner& run);
void AddRegisterCommand(CLI::App& app, Runner& run);
void AddPreviewCommand(CLI::App& app, Runner& run);
void AddDiffCommand(CLI::App& app, Runner& run);
void AddBackupsCommand(CLI::App& app, Runner& run);
void AddRestoreCommand(CLI::App& app, Runner& run);

}  // namespace kartwerk::app
