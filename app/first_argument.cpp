#include "app/first_argument.hpp"

#include <filesystem>
#include <system_error>

#include "format/map_file_check.hpp"
#include "platform/path_text.hpp"

namespace kartwerk::app {
namespace {

bool LooksLikePath(const std::string& argument) {
  if (argument.find_first_of("/\\") != std::string::npos) return true;
  const std::filesystem::path path = platform::PathFromText(argument);
  if (!path.extension().empty()) return true;
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

}  // namespace

std::optional<std::string> FirstArgumentMistake(const std::string& argument) {
  const std::optional<std::string> problem = format::MapFileProblem(platform::PathFromText(argument));
  if (!problem) return std::nullopt;
  if (LooksLikePath(argument)) return problem;
  return "unknown command '" + argument + "'; see kartwerk --help";
}

std::optional<std::string> MistakenFirstArgument(const CLI::App& app, int argc, const char* const* argv) {
  if (argc < 2 || argv == nullptr || argv[1] == nullptr) return std::nullopt;
  const std::string first = argv[1];
  if (first.empty() || first.front() == '-') return std::nullopt;
  for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
    if (command->check_name(first)) return std::nullopt;
  }
  return FirstArgumentMistake(first);
}

}  // namespace kartwerk::app
