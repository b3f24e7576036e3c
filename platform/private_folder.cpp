#include "platform/private_folder.hpp"

#include <cerrno>
#include <system_error>

#include "core/error_text.hpp"
#include "platform/path_text.hpp"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kartwerk::platform {
namespace fs = std::filesystem;

#ifdef _WIN32

// The user's local application data folder is private to the account already.
void MakePrivateFolder(const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) throw PrivateFolderError("Cannot create the folder \"" + TextFromPath(folder) + "\": " + core::ErrorText(ec));
}

#else

void MakePrivateFolder(const fs::path& folder) {
  const std::string name = "\"" + TextFromPath(folder) + "\"";
  struct stat link {};
  if (::lstat(folder.c_str(), &link) != 0) {
    std::error_code ec;
    fs::create_directories(folder.parent_path(), ec);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
      throw PrivateFolderError("Cannot create the folder " + name + ": " + core::ErrorText(core::LastFileError()));
    }
    if (::lstat(folder.c_str(), &link) != 0) throw PrivateFolderError("Cannot create the folder " + name);
  }
  const uid_t user = ::getuid();
  if (S_ISLNK(link.st_mode)) {
    struct stat target {};
    if (link.st_uid != user) {
      throw PrivateFolderError(name + " is a symbolic link that belongs to another user; nothing was moved there");
    }
    if (::stat(folder.c_str(), &target) != 0 || !S_ISDIR(target.st_mode)) {
      throw PrivateFolderError(name + " is a symbolic link that does not lead to a folder; nothing was moved there");
    }
    if (target.st_uid != user) {
      throw PrivateFolderError(name + " leads to a folder that belongs to another user; nothing was moved there");
    }
    link = target;
  } else if (!S_ISDIR(link.st_mode)) {
    throw PrivateFolderError(name + " is not a folder");
  } else if (link.st_uid != user) {
    throw PrivateFolderError(name + " belongs to another user; nothing was moved there");
  }
  if ((link.st_mode & 0777) != 0700 && ::chmod(folder.c_str(), 0700) != 0) {
    throw PrivateFolderError("Cannot make " + name + " private: " + core::ErrorText(core::LastFileError()));
  }
}

#endif

}  // namespace kartwerk::platform
