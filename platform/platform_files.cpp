#include "platform/platform_files.hpp"

#include <cerrno>
#include <cstdlib>
#include <random>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/error_text.hpp"
#include "core/errors.hpp"
#include "platform/path_text.hpp"

namespace kartwerk::platform {

std::string RandomSuffix() {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  const char* digits = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string s;
  for (int i = 0; i < 10; ++i) s += digits[rng() % 36];
  return s;
}

#ifdef _WIN32

std::filesystem::path TemporaryRoot() {
  std::wstring buffer(MAX_PATH + 1, L'\0');
  for (;;) {
    const DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return std::filesystem::temp_directory_path();
    if (length < buffer.size()) {
      buffer.resize(length);
      return std::filesystem::path(std::move(buffer));
    }
    buffer.resize(length + 1);
  }
}

void ReplaceFileWith(const std::filesystem::path& temporary, const std::filesystem::path& target) {
  if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return;
  const DWORD error = GetLastError();
  std::string reason;
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    reason = "The file is open in another program";
  } else if (error == ERROR_ACCESS_DENIED) {
    reason = core::ErrorText({static_cast<int>(error), std::system_category()}) +
             " (the file may be read-only or open in another program)";
  } else {
    reason = core::ErrorText({static_cast<int>(error), std::system_category()});
  }
  throw core::FileCreateError(TextFromPath(target), reason);
}

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
  std::wstring wide(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(path.c_str(), wide.c_str());
}

std::filesystem::path FullPath(const std::filesystem::path& path) {
  std::wstring buffer(MAX_PATH + 1, L'\0');
  for (;;) {
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return path;
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.resize(length + 1);
  }
  // A trailing separator, but not the one of a root ("C:\\", "\\\\server\\share\\").
  std::filesystem::path full(std::move(buffer));
  if (full.filename().empty() && full.has_relative_path()) full = full.parent_path();
  return full;
}

std::filesystem::path ResolvedPath(const std::filesystem::path& path) {
  const std::filesystem::path full = FullPath(path);
  // "\\\\server\\share\\...", "\\\\?\\C:\\...": the library takes neither prefix for a root name and
  // would make them drive-relative.
  const std::wstring& text = full.native();
  if (text.size() > 2 && (text[0] == L'\\' || text[0] == L'/') && (text[1] == L'\\' || text[1] == L'/')) return full;
  std::error_code ec;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(full, ec);
  return ec ? full : resolved;
}

std::FILE* OpenForReading(const std::filesystem::path& path, bool& notAFile) {
  notAFile = false;
  std::FILE* file = _wfopen(path.c_str(), L"rb");
  if (!file) {
    std::error_code ec;
    notAFile = errno == EACCES && std::filesystem::is_directory(path, ec);
    return nullptr;
  }
  // A named pipe or a console device is no file on disk.
  if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != FILE_TYPE_DISK) {
    std::fclose(file);
    notAFile = true;
    errno = EINVAL;
    return nullptr;
  }
  return file;
}

std::FILE* CreateUniqueSibling(const std::filesystem::path& target, std::filesystem::path& made) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    made = target;
    made += "." + RandomSuffix();
    if (std::FILE* f = _wfopen(made.c_str(), L"wbx")) return f;
  }
  return nullptr;
}

std::filesystem::path CreatePrivateFolder(const std::filesystem::path& base, const char* prefix) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path folder = base / (std::string(prefix) + RandomSuffix());
    if (std::filesystem::create_directory(folder)) return folder;
  }
  throw std::filesystem::filesystem_error("Cannot create a temporary folder", base,
                                          std::make_error_code(std::errc::file_exists));
}

std::string MoveObstacle(const std::filesystem::path&) { return {}; }

std::string FolderWriteObstacle(const std::filesystem::path&) { return {}; }

namespace {

// FILETIME counts 100 ns from 1601; EntryTimes counts ns from 1970.
constexpr std::int64_t kFileTimeTo1970 = 116444736000000000LL;

std::int64_t FromFileTime(const FILETIME& t) {
  const std::int64_t ticks = (static_cast<std::int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  return (ticks - kFileTimeTo1970) * 100;
}

FILETIME ToFileTime(std::int64_t nanoseconds) {
  const std::uint64_t ticks = static_cast<std::uint64_t>(nanoseconds / 100 + kFileTimeTo1970);
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

}  // namespace

std::optional<EntryTimes> ReadEntryTimes(const std::filesystem::path& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return EntryTimes{FromFileTime(data.ftLastAccessTime), FromFileTime(data.ftLastWriteTime)};
}

std::error_code SetEntryTimes(const std::filesystem::path& path, const EntryTimes& times) {
  // Folders open only with backup semantics; a link is opened itself, not followed.
  HANDLE handle = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {static_cast<int>(GetLastError()), std::system_category()};
  const FILETIME accessed = ToFileTime(times.accessed);
  const FILETIME modified = ToFileTime(times.modified);
  const bool set = SetFileTime(handle, nullptr, &accessed, &modified);
  const DWORD error = GetLastError();
  CloseHandle(handle);
  return set ? std::error_code() : std::error_code(static_cast<int>(error), std::system_category());
}

unsigned long CurrentProcessId() { return GetCurrentProcessId(); }

bool ProcessIsRunning(unsigned long id) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;  // it exists, but belongs to someone else
  DWORD code = 0;
  const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  CloseHandle(process);
  return running;
}

std::tm LocalTime(std::time_t seconds) {
  std::tm local{};
  localtime_s(&local, &seconds);
  return local;
}

std::tm UtcTime(std::time_t seconds) {
  std::tm utc{};
  gmtime_s(&utc, &seconds);
  return utc;
}

#else

std::filesystem::path TemporaryRoot() {
  for (const char* name : {"TMPDIR", "TEMP"}) {
    const char* base = std::getenv(name);
    if (base && *base) return base;
  }
  return std::filesystem::temp_directory_path();
}

void ReplaceFileWith(const std::filesystem::path& temporary, const std::filesystem::path& target) {
  std::error_code ec;
  std::filesystem::rename(temporary, target, ec);
  if (ec) throw core::FileCreateError(TextFromPath(target), core::ErrorText(ec));
}

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) { return std::fopen(path.c_str(), mode); }

std::filesystem::path FullPath(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(path, ec);
  if (ec) full = path;
  full = full.lexically_normal();
  if (full.filename().empty() && full.has_relative_path()) full = full.parent_path();
  return full;
}

std::filesystem::path ResolvedPath(const std::filesystem::path& path) {
  const std::filesystem::path full = FullPath(path);
  std::error_code ec;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(full, ec);
  return ec ? full : resolved;
}

std::FILE* OpenForReading(const std::filesystem::path& path, bool& notAFile) {
  notAFile = false;
  // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
  constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
  // O_NOATIME is refused (EPERM) for a file of another user; such a file is read as usual.
  int fd = ::open(path.c_str(), kFlags | O_NOATIME);
  if (fd < 0 && errno == EPERM) fd = ::open(path.c_str(), kFlags);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    notAFile = true;
    ::close(fd);
    errno = EINVAL;
    return nullptr;
  }
  // A regular file never blocks; reads go back to the ordinary mode.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* file = ::fdopen(fd, "rb");
  if (!file) ::close(fd);
  return file;
}

std::FILE* CreateUniqueSibling(const std::filesystem::path& target, std::filesystem::path& made) {
  // An output file is an ordinary user file, created with the permissions a plain create gives
  // under the file creation mask. (Reading the mask means setting it, which would change it
  // for a moment for every other thread of the process.)
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = TextFromPath(target) + "." + RandomSuffix();
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
      const int error = errno;
      ::close(fd);
      ::unlink(name.c_str());
      errno = error;
      return nullptr;
    }
    made = name;
    return file;
  }
  return nullptr;
}

std::filesystem::path CreatePrivateFolder(const std::filesystem::path& base, const char* prefix) {
  std::string templ = (base / (std::string(prefix) + "XXXXXX")).string();
  if (!::mkdtemp(templ.data())) {
    throw std::filesystem::filesystem_error("Cannot create a temporary folder", base,
                                            std::error_code(errno, std::generic_category()));
  }
  return templ;
}

namespace {

std::string Quoted(const std::filesystem::path& path) { return "\"" + TextFromPath(path) + "\""; }

// What stops a move at one entry: another owner, or a folder whose entries cannot be changed
// (a copy to another file system removes them one by one; a rename to another folder changes "..").
std::string EntryObstacle(const std::filesystem::path& path, const struct stat& st) {
  if (st.st_uid != ::getuid()) return Quoted(path) + " belongs to another user";
  if (S_ISDIR(st.st_mode) && ::access(path.c_str(), W_OK | X_OK | R_OK) != 0) {
    return Quoted(path) + " is a folder you may not change (" + core::ErrorText(core::LastFileError()) + ")";
  }
  return {};
}

}  // namespace

std::string MoveObstacle(const std::filesystem::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return {};
  if (std::string obstacle = EntryObstacle(path, st); !obstacle.empty() || !S_ISDIR(st.st_mode)) return obstacle;
  std::error_code ec;
  for (std::filesystem::recursive_directory_iterator it(path, ec), end; it != end; it.increment(ec)) {
    if (ec) return "cannot look into " + Quoted(path) + ": " + core::ErrorText(ec);
    if (::lstat(it->path().c_str(), &st) != 0) continue;  // gone meanwhile
    if (std::string obstacle = EntryObstacle(it->path(), st); !obstacle.empty()) return obstacle;
  }
  if (ec) return "cannot look into " + Quoted(path) + ": " + core::ErrorText(ec);
  return {};
}

std::string FolderWriteObstacle(const std::filesystem::path& folder) {
  std::filesystem::path existing = folder;
  struct stat st {};
  while (::stat(existing.c_str(), &st) != 0 && existing.has_relative_path()) existing = existing.parent_path();
  if (!S_ISDIR(st.st_mode)) return Quoted(existing) + " is not a folder";
  if (::access(existing.c_str(), W_OK | X_OK) == 0) return {};
  return "you may not write into " + Quoted(existing) + " (" + core::ErrorText(core::LastFileError()) + ")";
}

std::optional<EntryTimes> ReadEntryTimes(const std::filesystem::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
  constexpr std::int64_t kNano = 1000000000;
  return EntryTimes{static_cast<std::int64_t>(st.st_atim.tv_sec) * kNano + st.st_atim.tv_nsec,
                    static_cast<std::int64_t>(st.st_mtim.tv_sec) * kNano + st.st_mtim.tv_nsec};
}

std::error_code SetEntryTimes(const std::filesystem::path& path, const EntryTimes& times) {
  constexpr std::int64_t kNano = 1000000000;
  const auto toTimespec = [](std::int64_t ns) {
    // Floor division, so that times before 1970 keep their nanoseconds within 0 to 999999999.
    std::int64_t seconds = ns / kNano;
    std::int64_t rest = ns % kNano;
    if (rest < 0) {
      rest += kNano;
      --seconds;
    }
    return timespec{static_cast<time_t>(seconds), static_cast<long>(rest)};
  };
  const timespec both[2] = {toTimespec(times.accessed), toTimespec(times.modified)};
  if (::utimensat(AT_FDCWD, path.c_str(), both, AT_SYMLINK_NOFOLLOW) != 0) return {errno, std::generic_category()};
  return {};
}

unsigned long CurrentProcessId() { return static_cast<unsigned long>(::getpid()); }

bool ProcessIsRunning(unsigned long id) {
  // Signal 0 only asks whether the process exists; EPERM means it does, under another user.
  // (Number 0 would ask about the whole process group.)
  if (id == 0) return false;
  return ::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
}

std::tm LocalTime(std::time_t seconds) {
  std::tm local{};
  ::localtime_r(&seconds, &local);
  return local;
}

std::tm UtcTime(std::time_t seconds) {
  std::tm utc{};
  ::gmtime_r(&seconds, &utc);
  return utc;
}

#endif

}  // namespace kartwerk::platform
