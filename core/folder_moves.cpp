#include "core/folder_moves.hpp"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "core/platform_files.hpp"
#include "core/process_leftovers.hpp"
#include "core/whole_file.hpp"

namespace kartwerk {
namespace fs = std::filesystem;

std::error_code RenameFolder(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  // POSIX rename would silently replace an empty folder of the new name; a name in use is refused
  // on every platform alike.
  if (fs::exists(fs::symlink_status(to, ec))) return std::make_error_code(std::errc::file_exists);
  fs::rename(from, to, ec);
  return ec;
}

bool RenamesBetween(const fs::path& fromFolder, const fs::path& toFolder) {
  // Named after this process, so that a run killed between these steps leaves a name the next
  // run recognises and removes.
  const std::string name = ProcessMarkedName(".kartwerk-probe-");
  std::error_code ec;
  if (!fs::create_directory(fromFolder / name, ec) || ec) return false;
  const bool renamed = !RenameFolder(fromFolder / name, toFolder / name);
  fs::remove(renamed ? toFolder / name : fromFolder / name, ec);
  return renamed;
}

namespace {

// Copies one file's bytes; returns the system's error (a full disk says so, unlike some
// library copies that report any short write as an input/output error).
std::error_code CopyFileBytes(const fs::path& from, const fs::path& to) {
  bool notAFile = false;
  std::FILE* in = OpenForReading(from, notAFile);
  if (!in) return {errno, std::generic_category()};
  std::FILE* out = OpenFile(to, "wbx");
  if (!out) {
    const int error = errno;
    std::fclose(in);
    return {error, std::generic_category()};
  }
  std::vector<char> buffer(1 << 16);
  int error = 0;
  for (std::size_t n; error == 0 && (n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;) {
    if (std::fwrite(buffer.data(), 1, n, out) != n) error = errno;
  }
  if (error == 0 && std::ferror(in)) error = EIO;
  if (std::fclose(out) != 0 && error == 0) error = errno;
  std::fclose(in);
  return error ? std::error_code(error, std::generic_category()) : std::error_code();
}

}  // namespace

void CopyFolder(const fs::path& from, const fs::path& to) {
  std::error_code ec;  // the first failure ends the copy
  fs::create_directory(to, ec);
  fs::recursive_directory_iterator it(from, ec);
  for (const fs::recursive_directory_iterator end; !ec && it != end;) {
    const fs::path copy = to / it->path().lexically_relative(from);
    if (it->is_directory(ec)) {
      fs::create_directory(copy, ec);
    } else if (!ec) {
      ec = CopyFileBytes(it->path(), copy);
    }
    if (!ec) it.increment(ec);
  }
  if (ec) {
    std::error_code ignored;
    fs::remove_all(to, ignored);
    throw fs::filesystem_error("Cannot copy the folder", from, to, ec);
  }
}

void MoveFolder(const fs::path& from, const fs::path& to) {
  if (!RenameFolder(from, to)) return;
  CopyFolder(from, to);
  std::error_code ec;
  fs::remove_all(from, ec);
  if (ec) throw fs::filesystem_error("Cannot remove the folder after copying it", from, to, ec);
}

namespace {

std::map<fs::path, std::uintmax_t> Listing(const fs::path& folder) {
  std::map<fs::path, std::uintmax_t> names;  // relative path -> size (-1 for a folder)
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    names[entry.path().lexically_relative(folder)] = entry.is_regular_file() ? entry.file_size() : std::uintmax_t(-1);
  }
  return names;
}

}  // namespace

bool SameFolderContent(const fs::path& a, const fs::path& b) {
  try {
    const auto names = Listing(a);
    if (names != Listing(b)) return false;
    for (const auto& [name, size] : names) {
      if (size == std::uintmax_t(-1)) continue;
      // A file that cannot be read (or is no regular file) compares as different from everything.
      if (!SameFileBytes(a / name, b / name)) return false;
    }
    return true;
  } catch (const fs::filesystem_error&) {
    return false;
  }
}

}  // namespace kartwerk
