// A library for LD_PRELOAD that kills its process at the k-th rename (KARTWERK_KILL_AT_RENAME=k),
// just before it or, with KARTWERK_KILL_AFTER_RENAME set, just after it: the moments a crash or a
// power cut can hit a run that swaps folders. KARTWERK_RENAME_LOG=FILE appends one line per
// rename, so a test knows how many moments there are.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<int> renames{0};

void Log(const char* from, const char* to) {
  const char* log = std::getenv("KARTWERK_RENAME_LOG");
  if (!log) return;
  const int fd = ::open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  for (const char* part : {from, " -> ", to, "\n"}) {
    if (::write(fd, part, std::strlen(part)) < 0) break;
  }
  ::close(fd);
}

}  // namespace

extern "C" int rename(const char* from, const char* to) {
  using Rename = int (*)(const char*, const char*);
  static const Rename real = reinterpret_cast<Rename>(::dlsym(RTLD_NEXT, "rename"));
  const char* at = std::getenv("KARTWERK_KILL_AT_RENAME");
  const int count = ++renames;
  const bool killHere = at && std::atoi(at) == count;
  const bool after = std::getenv("KARTWERK_KILL_AFTER_RENAME") != nullptr;
  Log(from, to);
  if (killHere && !after) ::kill(::getpid(), SIGKILL);
  const int result = real(from, to);
  if (killHere && after) ::kill(::getpid(), SIGKILL);
  return result;
}
