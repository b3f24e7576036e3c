#include "app/command_tree.hpp"

#include <iostream>
#include <sstream>

namespace kartwerk::app {
namespace {

void WriteOptions(std::ostringstream& out, const std::string& command, const CLI::App& app) {
  for (const CLI::Option* option : app.get_options()) {
    if (option->get_group().empty()) continue;
    if (option->get_positional()) {
      out << command << " argument " << option->get_name(true, false) << "\n";
      continue;
    }
    const char* kind = option->get_expected_max() == 0 ? "flag" : "option";
    for (const std::string& name : option->get_snames()) out << command << " " << kind << " -" << name << "\n";
    for (const std::string& name : option->get_lnames()) out << command << " " << kind << " --" << name << "\n";
  }
}

}  // namespace

std::string CommandTreeText(const CLI::App& app) {
  std::ostringstream out;
  const auto subcommands =
      app.get_subcommands([](const CLI::App* sub) { return !sub->get_name().empty() && !sub->get_group().empty(); });
  for (const CLI::App* sub : subcommands) out << "command " << sub->get_name() << "\n";
  WriteOptions(out, "-", app);
  for (const CLI::App* sub : subcommands) WriteOptions(out, sub->get_name(), *sub);
  return out.str();
}

void AddCommandTreeFlag(CLI::App& app) {
  app.add_flag_callback("--command-tree",
                        [&app] {
                          std::cout << CommandTreeText(app);
                          throw CLI::Success();
                        })
      ->group("")
      ->trigger_on_parse();
}

}  // namespace kartwerk::app
