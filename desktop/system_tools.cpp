#include "desktop/system_tools.hpp"

#include <cstdlib>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;
#endif

namespace kartwerk::desktop {

std::filesystem::path FindProgramInPath(std::string_view name) {
#ifdef _WIN32
  (void)name;
  return {};
#else
  const char* path = std::getenv("PATH");
  if (!path) return {};
  const std::string_view folders(path);
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string_view::npos) end = folders.size();
    // An empty entry means the current folder; a helper is never taken from there.
    if (end > start) {
      const std::filesystem::path candidate =
          std::filesystem::path(folders.substr(start, end - start)) / name;  // not on Windows
      std::error_code ec;
      if (std::filesystem::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0) {
        return candidate;
      }
    }
    start = end + 1;
  }
  return {};
#endif
}

int RunQuietly(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
#ifdef _WIN32
  (void)program;
  (void)arguments;
  return -1;
#else
  std::vector<std::string> args;
  args.push_back(program.string());
  args.insert(args.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;

  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

}  // namespace kartwerk::desktop
