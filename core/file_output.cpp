#include "core/file_output.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "core/errors.hpp"

namespace kartwerk {
namespace {

std::string Reason(int error) { return std::strerror(error); }

}  // namespace

void WriteFileAtomic(const std::filesystem::path& path, std::span<const std::uint8_t> content) {
  std::string temp = path.string() + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) throw FileCreateError(path.string(), Reason(errno));
  const std::uint8_t* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      int error = errno;
      ::close(fd);
      ::unlink(temp.c_str());
      throw FileCreateError(path.string(), Reason(error));
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  // Editor files are ordinary user files: readable by all, as a plain create would make them.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
    int error = errno;
    ::unlink(temp.c_str());
    throw FileCreateError(path.string(), Reason(error));
  }
}

void WriteFileAtomic(const std::filesystem::path& path, std::string_view content) {
  WriteFileAtomic(path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(content.data()),
                                                      content.size()));
}

}  // namespace kartwerk
