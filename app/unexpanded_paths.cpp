#include "app/unexpanded_paths.hpp"

namespace kartwerk::app {
namespace {

void Collect(const CLI::App& command, std::vector<std::string>& warnings) {
  for (const CLI::Option* option : command.get_options()) {
    if (option->get_expected_max() == 0) continue;  // a flag holds no path
    for (const std::string& value : option->results()) {
      if (value.empty() || value[0] != '~') continue;
      warnings.push_back("\"" + value +
                         "\" starts with \"~\", which the shell did not expand (it was quoted); it names a folder "
                         "\"~\" in the current folder, not your home folder");
    }
  }
}

}  // namespace

std::vector<std::string> UnexpandedTildeWarnings(const CLI::App& app) {
  std::vector<std::string> warnings;
  Collect(app, warnings);
  for (const CLI::App* sub : app.get_subcommands()) Collect(*sub, warnings);
  return warnings;
}

}  // namespace kartwerk::app
