// measure_run PROGRAM [ARG...]: runs the program with its standard output sent to /dev/null and
// prints "SECONDS PEAK_BYTES STATUS" on standard output: the wall time from start to end, the
// program's peak resident memory and its exit status (128 + signal when a signal ended it).
//
// The peak comes from wait4. The kernel counts a child's peak from its fork, so a big parent
// (an interpreter) would show through; this launcher is small, and the figure is the program's.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: measure_run PROGRAM [ARG...]\n", stderr);
    return 2;
  }
  timespec start{}, end{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t child = fork();
  if (child < 0) {
    std::perror("measure_run: fork");
    return 1;
  }
  if (child == 0) {
    const int devnull = open("/dev/null", O_WRONLY);
    if (devnull >= 0) dup2(devnull, STDOUT_FILENO);
    execvp(argv[1], argv + 1);
    std::perror("measure_run: exec");
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) < 0) {
    std::perror("measure_run: wait4");
    return 1;
  }
  clock_gettime(CLOCK_MONOTONIC, &end);
  const double seconds = static_cast<double>(end.tv_sec - start.tv_sec) + (end.tv_nsec - start.tv_nsec) / 1e9;
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::printf("%.6f %ld %d\n", seconds, usage.ru_maxrss * 1024L, code);
  return 0;
}
