#include "ui/fade.hpp"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kartwerk {

PlatformVersion QueryPlatformVersion() {
  PlatformVersion v;
#ifdef _WIN32
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (GetVersionExA(&info)) {
#pragma GCC diagnostic pop
    v.queried = true;
    v.platformId = static_cast<int>(info.dwPlatformId);
    v.major = static_cast<int>(info.dwMajorVersion);
    v.minor = static_cast<int>(info.dwMinorVersion);
    v.servicePack = info.szCSDVersion;
  }
#endif
  return v;
}

}  // namespace kartwerk
