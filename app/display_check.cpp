// The window mode's display check. Windows always has its desktop, so this is for the other
// systems only.
#ifndef _WIN32
#include "app/display_check.hpp"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/text.hpp"

namespace kartwerk::app {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1) {
    parts.push_back(text.substr(start, end - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

// The local sockets an X display such as ":0", "unix:1.0" or "/path/to/socket" listens on; none
// for a display on another host, which only a connection through Qt can test.
std::vector<std::string> XDisplaySockets(const std::string& display) {
  if (!display.empty() && display.front() == '/') return {display};
  const std::size_t colon = display.rfind(':');
  if (colon == std::string::npos) return {};
  const std::string host = display.substr(0, colon);
  if (!host.empty() && host != "unix") return {};
  const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
  const std::string path = "/tmp/.X11-unix/X" + number;
  return {path, "@" + path};  // the file, and Linux's abstract name of the same socket
}

// Why the X display cannot be reached; nothing when it can (or cannot be told).
std::optional<std::string> XProblem(const DisplayEnvironment& environment) {
  const std::string display = environment.variable("DISPLAY");
  if (display.empty()) return "DISPLAY is not set";
  const std::vector<std::string> sockets = XDisplaySockets(display);
  if (sockets.empty() && display.find(':') != std::string::npos) return std::nullopt;
  for (const std::string& socket : sockets) {
    if (environment.socketAnswers(socket)) return std::nullopt;
  }
  return "the X display \"" + display + "\" does not answer";
}

std::optional<std::string> WaylandProblem(const DisplayEnvironment& environment) {
  const std::string name = environment.variable("WAYLAND_DISPLAY");
  std::string socket = name;
  if (name.empty() || name.front() != '/') {
    const std::string runtime = environment.variable("XDG_RUNTIME_DIR");
    if (runtime.empty()) return name.empty() ? "WAYLAND_DISPLAY is not set" : "XDG_RUNTIME_DIR is not set";
    socket = runtime + "/" + (name.empty() ? "wayland-0" : name);
  }
  if (environment.socketAnswers(socket)) return std::nullopt;
  if (name.empty()) return "WAYLAND_DISPLAY is not set";
  return "the Wayland display \"" + name + "\" does not answer";
}

bool LocalSocketAnswers(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.data(), path.size());
  if (path.front() == '@') address.sun_path[0] = '\0';
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size());
  const bool answers = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
  ::close(fd);
  return answers;
}

}  // namespace

DisplayEnvironment ProcessDisplayEnvironment() {
  return {[](const char* name) {
            const char* value = std::getenv(name);
            return std::string(value ? value : "");
          },
          LocalSocketAnswers};
}

std::optional<std::string> NoDisplayReason(const DisplayEnvironment& environment) {
  std::vector<std::string> platforms;
  for (const std::string& entry : Split(environment.variable("QT_QPA_PLATFORM"), ';')) {
    const std::string name = core::AsciiLower(entry.substr(0, entry.find(':')));
    if (!name.empty()) platforms.push_back(name);
  }
  if (platforms.empty()) platforms = {"wayland", "xcb"};
  std::vector<std::string> reasons;
  for (const std::string& platform : platforms) {
    std::optional<std::string> problem;
    if (platform == "xcb") {
      problem = XProblem(environment);
    } else if (platform.starts_with("wayland")) {
      problem = WaylandProblem(environment);
    } else {
      return std::nullopt;  // offscreen, a frame buffer, a remote protocol: Qt needs no display
    }
    if (!problem) return std::nullopt;
    if (std::find(reasons.begin(), reasons.end(), *problem) == reasons.end()) reasons.push_back(*problem);
  }
  std::string text = "no display (";
  for (const std::string& reason : reasons) text += (reason == reasons.front() ? "" : ", ") + reason;
  return text + ")";
}

}  // namespace kartwerk::app
#endif
