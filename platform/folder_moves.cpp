#include "platform/folder_moves.hpp"

#include <cerrno>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/error_text.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"
#include "platform/process_leftovers.hpp"
#include "platform/whole_file.hpp"

namespace kartwerk::platform {
namespace fs = std::filesystem;
namespace {

class FolderCopyCategory : public std::error_category {
 public:
  const char* name() const noexcept override { return "kartwerk folder copy"; }
  std::string message(int) const override { return "a special file (a FIFO, a device or a socket) cannot be copied"; }
};

}  // namespace

std::error_code SpecialFileError() {
  static const FolderCopyCategory category;
  return {1, category};
}

std::error_code RenameFolder(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  // POSIX rename would silently replace an empty folder of the new name; a name in use is refused
  // on every platform alike.
  if (fs::exists(fs::symlink_status(to, ec))) return std::make_error_code(std::errc::file_exists);
  core::ClearLastFileError();
  fs::rename(from, to, ec);
  return core::FileSystemError(ec);
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
  core::ClearLastFileError();
  std::FILE* in = OpenForReading(from, notAFile);
  if (!in) return core::LastFileError();
  std::FILE* out = OpenFile(to, "wbx");
  if (!out) {
    const std::error_code error = core::LastFileError();
    std::fclose(in);
    return error;
  }
  std::vector<char> buffer(1 << 16);
  std::error_code error;
  for (std::size_t n; !error && (n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;) {
    core::ClearLastFileError();
    if (std::fwrite(buffer.data(), 1, n, out) != n) error = core::LastFileError();
  }
  if (!error && std::ferror(in)) error = std::make_error_code(std::errc::io_error);
  core::ClearLastFileError();
  if (std::fclose(out) != 0 && !error) error = core::LastFileError();
  std::fclose(in);
  return error;
}

// One copy of a folder tree. Strict copies fail on the first entry they cannot make as it was;
// the others note it and go on.
class TreeCopy {
 public:
  TreeCopy(const fs::path& from, const fs::path& to, bool strict) : from_(from), to_(to), strict_(strict) {}

  std::vector<UncopiedEntry> Run() {
    try {
      std::error_code ec;
      fs::create_directory(to_, ec);
      if (ec) throw fs::filesystem_error("Cannot copy the folder", from_, to_, ec);
      CopyContent(from_, to_);
      KeepAttributes(from_, to_, fs::symlink_status(from_, ec), true);
    } catch (const fs::filesystem_error&) {
      RemoveCopy();
      throw;
    }
    return std::move(uncopied_);
  }

 private:
  [[noreturn]] static void Fail(const fs::path& entry, const fs::path& copy, std::error_code ec) {
    throw fs::filesystem_error("Cannot copy the folder", entry, copy, ec);
  }

  // A failure to make an entry as it was: the end of a strict copy, a note in any other.
  void Uncopied(const fs::path& entry, const fs::path& copy, std::error_code ec) {
    if (strict_) Fail(entry, copy, ec);
    uncopied_.push_back({entry.lexically_relative(from_), core::ErrorText(ec)});
  }

  // Permission bits, then the times: changing the bits would not move them, but writing into a
  // folder does, so a folder's attributes are set once everything inside it is there.
  void KeepAttributes(const fs::path& entry, const fs::path& copy, fs::file_status status, bool ownBits) {
    std::error_code ec;
    if (ownBits) fs::permissions(copy, status.permissions(), ec);
    if (!ec) {
      if (const std::optional<EntryTimes> times = ReadEntryTimes(entry)) {
        ec = SetEntryTimes(copy, *times);
      } else {
        ec = core::LastFileError();
      }
    }
    if (ec) Uncopied(entry, copy, ec);
  }

  void CopyContent(const fs::path& folder, const fs::path& copyFolder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; it != end; it.increment(ec)) {
      if (ec) Fail(folder, copyFolder, ec);
      const fs::path entry = it->path();
      const fs::path copy = copyFolder / entry.filename();
      const fs::file_status status = it->symlink_status(ec);
      if (ec) Fail(entry, copy, ec);
      if (fs::is_symlink(status)) {
        CopyLink(entry, copy, status);
      } else if (fs::is_directory(status)) {
        if (!fs::create_directory(copy, ec) || ec)
          Fail(entry, copy, ec ? ec : std::make_error_code(std::errc::file_exists));
        CopyContent(entry, copy);
        KeepAttributes(entry, copy, status, true);
      } else if (fs::is_regular_file(status)) {
        if ((ec = CopyFileBytes(entry, copy))) Fail(entry, copy, ec);
        KeepAttributes(entry, copy, status, true);
      } else {
        Uncopied(entry, copy, SpecialFileError());
      }
    }
    if (ec) Fail(folder, copyFolder, ec);
  }

  void CopyLink(const fs::path& entry, const fs::path& copy, fs::file_status status) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(entry, ec);
    if (ec) Fail(entry, copy, ec);
    // Windows tells links to folders from links to files.
    if (fs::is_directory(fs::status(entry, ec))) {
      fs::create_directory_symlink(target, copy, ec);
    } else {
      fs::create_symlink(target, copy, ec);
    }
    if (ec) {
      Uncopied(entry, copy, ec);
      return;
    }
    KeepAttributes(entry, copy, status, false);  // a link's own bits mean nothing and cannot be set
  }

  // A failed copy goes whole, read-only folders inside it included.
  void RemoveCopy() {
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(to_, ec))) {
      fs::permissions(to_, fs::perms::owner_all, fs::perm_options::add, ec);
      for (fs::recursive_directory_iterator it(to_, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
          fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
      }
    }
    fs::remove_all(to_, ec);
  }

  fs::path from_;
  fs::path to_;
  bool strict_;
  std::vector<UncopiedEntry> uncopied_;
};

}  // namespace

void CopyFolder(const fs::path& from, const fs::path& to) { TreeCopy(from, to, true).Run(); }

std::vector<UncopiedEntry> CopyFolderAsFarAsPossible(const fs::path& from, const fs::path& to) {
  return TreeCopy(from, to, false).Run();
}

void MoveFolder(const fs::path& from, const fs::path& to) {
  if (!RenameFolder(from, to)) return;
  CopyFolder(from, to);
  std::error_code ec;
  fs::remove_all(from, ec);
  if (ec) throw fs::filesystem_error("Cannot remove the folder after copying it", from, to, ec);
}

std::string FolderMoveReason(const fs::filesystem_error& e) {
  const std::string reason = core::ErrorText(e.code());
  if (e.path1().empty()) return reason;
  std::string text = "\"";
  text += TextFromPath(e.path1());
  text += "\": ";
  return text + reason;
}

namespace {

// Relative path -> what it is: "d" a folder, "f<size>" a file, "l<target>" a link, "?" anything else.
std::map<fs::path, std::string> Listing(const fs::path& folder) {
  std::map<fs::path, std::string> names;
  for (fs::recursive_directory_iterator it(folder), end; it != end; ++it) {
    const fs::file_status status = it->symlink_status();
    // The letter and its detail joined by appending: an optimising GCC 12 warns of overlapping
    // copies in "l" + text.
    char letter = '?';
    std::string detail;
    if (fs::is_symlink(status)) {
      letter = 'l';
      detail = TextFromPath(fs::read_symlink(it->path()));
    } else if (fs::is_directory(status)) {
      letter = 'd';
    } else if (fs::is_regular_file(status)) {
      letter = 'f';
      detail = std::to_string(it->file_size());
    }
    std::string kind(1, letter);
    kind.append(detail);
    names[it->path().lexically_relative(folder)] = std::move(kind);
  }
  return names;
}

}  // namespace

bool SameFolderContent(const fs::path& a, const fs::path& b) {
  try {
    const auto names = Listing(a);
    if (names != Listing(b)) return false;
    for (const auto& [name, kind] : names) {
      if (kind[0] == '?') return false;  // nothing to compare a special file by
      if (kind[0] != 'f') continue;
      // A file that cannot be read compares as different from everything.
      if (!SameFileBytes(a / name, b / name)) return false;
    }
    return true;
  } catch (const fs::filesystem_error&) {
    return false;
  }
}

}  // namespace kartwerk::platform
