#include "pipeline/write_gate.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <system_error>

#include "core/error_text.hpp"
#include "core/text.hpp"
#include "game/user_folders.hpp"
#include "pipeline/output_records.hpp"
#include "pipeline/target_check.hpp"
#include "platform/file_output.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"

namespace kartwerk::pipeline {
namespace fs = std::filesystem;
namespace {

#ifdef _WIN32
constexpr bool kDeviceNamesReachDevices = true;
#else
constexpr bool kDeviceNamesReachDevices = false;  // "NUL" and "aux.txt" are plain names here
#endif

constexpr std::size_t kNamedEntries = 3;  // how many foreign names a refusal shows

std::string Quoted(const fs::path& path) { return "\"" + platform::TextFromPath(path) + "\""; }

bool IsDeviceBase(std::string base) {
  // "COM¹" to "COM³" and "LPT¹" to "LPT³" are devices too (superscript digits, in UTF-8).
  for (const char* superscript : {"\xC2\xB9", "\xC2\xB2", "\xC2\xB3"}) {
    if (base.size() == 5 && base.substr(3) == superscript) base = base.substr(0, 3) + "1";
  }
  static constexpr std::array<std::string_view, 6> kNames = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  if (std::find(kNames.begin(), kNames.end(), base) != kNames.end()) return true;
  return base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) && base[3] >= '0' &&
         base[3] <= '9';
}

// Whether inner is outer or lies inside it (both resolved).
bool IsWithin(const fs::path& inner, const fs::path& outer) {
  const auto [o, i] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
  return o == outer.end() || (std::next(o) == outer.end() && o->empty());
}

// Kartwerk's data folder and the backup folder: no write goes into them, nor replaces a folder
// that holds them.
std::string DataFolderReason(const fs::path& target, const WriteGate& gate) {
  const fs::path resolved = platform::ResolvedPath(target);
  for (const fs::path& data : {KartwerkDataFolder(), gate.backupFolder}) {
    if (data.empty() || data.is_relative()) continue;
    const fs::path own = platform::ResolvedPath(data);
    if (IsWithin(resolved, own)) return "it lies in Kartwerk's own data folder " + Quoted(own);
    if (IsWithin(own, resolved)) return "it holds Kartwerk's own data folder " + Quoted(own);
  }
  return {};
}

std::string LinkReason(const fs::path& full) {
  std::error_code ec;
  if (!fs::is_symlink(fs::symlink_status(full, ec))) return {};
  const fs::path leads = fs::read_symlink(full, ec);
  return "it is a symbolic link to " + Quoted(leads);
}

std::string DeviceReason(const fs::path& given, const fs::path& full) {
  if (!kDeviceNamesReachDevices) return {};
  std::string problem = DeviceNameProblem(platform::TextFromPath(given));
  return problem.empty() ? DeviceNameProblem(platform::TextFromPath(full)) : problem;
}

// A few names of what a folder holds, for a refusal: "a.txt, b/ and 3 more".
std::string SomeEntries(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    names.push_back(platform::TextFromPath(it->path().filename()) + (it->is_directory(ec) ? "/" : ""));
  }
  std::sort(names.begin(), names.end());
  std::string text;
  for (std::size_t i = 0; i < names.size() && i < kNamedEntries; ++i) text += (i ? ", " : "") + names[i];
  if (names.size() > kNamedEntries) text += " and " + std::to_string(names.size() - kNamedEntries) + " more";
  return text;
}

// "\\server" or "\\server\share" on Windows: the root of a network file system, which the library
// may take for a folder below the current drive's root (and put the work folder there).
bool IsNetworkRoot(const std::string& text) {
  if (!kDeviceNamesReachDevices) return false;  // "//" is one more separator elsewhere
  if (text.size() < 2 || (text[0] != '\\' && text[0] != '/') || (text[1] != '\\' && text[1] != '/')) return false;
  if (text.size() > 2 && (text[2] == '?' || text[2] == '.')) return false;  // a device or verbatim path
  std::size_t names = 0;
  for (std::size_t start = 2; start < text.size();) {
    const std::size_t end = std::min(text.find_first_of("/\\", start), text.size());
    if (end > start) ++names;
    start = end + 1;
  }
  return names <= 2;
}

std::string FolderReason(const fs::path& folder, const fs::path& full, const WriteGate& gate, FolderUse use) {
  if (std::string device = DeviceReason(folder, full); !device.empty()) return device;
  if (full.filename().empty() || !full.has_relative_path() || IsNetworkRoot(platform::TextFromPath(full))) {
    return "it is the root of a file system";
  }
  if (std::string link = LinkReason(full); !link.empty()) return link;
  if (std::string reason = ProtectedFolderReason(full, {}); !reason.empty()) return reason;
  for (const fs::path& input : gate.inputs) {
    if (std::string reason = ProtectedFolderReason(full, platform::FullPath(input)); !reason.empty()) return reason;
  }
  if (std::string reason = DataFolderReason(full, gate); !reason.empty()) return reason;
  std::error_code ec;
  const fs::file_status status = fs::status(full, ec);
  if (!fs::exists(status)) return platform::FolderWriteObstacle(full.parent_path());
  if (use != FolderUse::Replace) {
    if (!fs::is_directory(status)) return "it is not a folder";
    if (use == FolderUse::WriteInto && !fs::is_empty(full, ec) && !OutputRecords::Default().Holds(full)) {
      return "it holds files Kartwerk did not write (" + SomeEntries(full) + "); choose a new or empty folder";
    }
    return platform::FolderWriteObstacle(full);
  }
  if (std::string parent = platform::FolderWriteObstacle(full.parent_path()); !parent.empty()) return parent;
  return platform::MoveObstacle(full);
}

}  // namespace

fs::path KartwerkDataFolder() { return game::UserProgramDataFolder() / "kartwerk"; }

std::string DeviceNameProblem(std::string_view pathText) {
  const auto startsWith = [&](std::string_view prefix) { return pathText.substr(0, prefix.size()) == prefix; };
  if (startsWith("\\\\.\\") || startsWith("//./") || startsWith("\\??\\") || startsWith("\\\\?\\GLOBALROOT")) {
    return "\"" + std::string(pathText) + "\" is a device path, not a file or folder";
  }
  std::size_t start = 0;
  while (start <= pathText.size()) {
    const std::size_t end = std::min(pathText.find_first_of("/\\", start), pathText.size());
    const std::string_view name = pathText.substr(start, end - start);
    // The system reads "aux.txt", "NUL " and "con:" as the device alone.
    std::string base(name.substr(0, name.find_first_of(".:")));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    if (IsDeviceBase(core::AsciiUpper(base))) {
      return "\"" + std::string(name) + "\" is a Windows device name, not a file or folder";
    }
    start = end + 1;
  }
  return {};
}

std::string FolderWriteProblem(const fs::path& folder, const WriteGate& gate, FolderUse use) {
  const fs::path full = kDeviceNamesReachDevices && !DeviceNameProblem(platform::TextFromPath(folder)).empty()
                            ? folder  // no file call at all for a device
                            : platform::FullPath(folder);
  const std::string reason = FolderReason(folder, full, gate, use);
  return reason.empty() ? reason : "refusing to " + gate.action + " " + Quoted(full) + ": " + reason;
}

std::string FileWriteProblem(const fs::path& file, const WriteGate& gate, bool ownWrite) {
  const auto refuse = [&](const fs::path& full, const std::string& reason) {
    return "refusing to " + gate.action + " " + Quoted(full) + ": " + reason;
  };
  if (std::string device = DeviceReason(file, file); !device.empty()) return refuse(file, device);
  const fs::path full = platform::FullPath(file);
  if (std::string device = DeviceReason(file, full); !device.empty()) return refuse(full, device);
  if (full.filename().empty() || !full.has_relative_path()) return refuse(full, "it names no file");
  if (std::string link = LinkReason(full); !link.empty()) return refuse(full, link);
  std::error_code ec;
  for (const fs::path& input : gate.inputs) {
    if (fs::equivalent(full, input, ec)) return refuse(full, "it is the map being read");
  }
  if (std::string reason = DataFolderReason(full, gate); !reason.empty()) return refuse(full, reason);
  const fs::file_status status = fs::status(full, ec);
  if (fs::exists(status)) {
    if (!fs::is_regular_file(status)) return refuse(full, "it is not a file");
    if (!ownWrite) return refuse(full, "it is a file Kartwerk did not write; choose a new name");
  }
  if (std::string parent = platform::FolderWriteObstacle(full.parent_path()); !parent.empty())
    return refuse(full, parent);
  return {};
}

std::string GatedFileProblem(const fs::path& file, const WriteGate& gate) {
  const bool deviceName = kDeviceNamesReachDevices && !DeviceNameProblem(platform::TextFromPath(file)).empty();
  return FileWriteProblem(file, gate, !deviceName && OutputRecords::Default().Holds(file));
}

void WriteGatedFile(const fs::path& file, std::span<const std::uint8_t> bytes, const WriteGate& gate) {
  const std::string problem = GatedFileProblem(file, gate);
  if (!problem.empty()) throw WriteRefused(problem);
  platform::WriteFileAtomic(platform::FullPath(file), bytes);
  try {
    OutputRecords::Default().Record(file);
  } catch (const std::exception&) {
    // The file is written; without its record a later run only refuses to replace it.
  }
}

GatedFolder::GatedFolder(fs::path folder, const WriteGate& gate) {
  const std::string problem = FolderWriteProblem(folder, gate, FolderUse::WriteInto);
  if (!problem.empty()) throw WriteRefused(problem);
  folder_ = platform::FullPath(folder);
  std::error_code ec;
  fs::create_directories(folder_, ec);
  if (ec) throw WriteRefused("Cannot create the folder " + Quoted(folder_) + ": " + core::ErrorText(ec));
}

void GatedFolder::Write(const std::string& relative, std::span<const std::uint8_t> bytes) const {
  const fs::path path = folder_ / platform::PathFromText(relative);
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  platform::WriteFileAtomic(path, bytes);
}

void GatedFolder::Write(const std::string& relative, std::string_view text) const {
  Write(relative, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

void GatedFolder::Finish() const {
  try {
    OutputRecords::Default().Record(folder_);
  } catch (const std::exception&) {
    // The pictures are written; without the record a later run only refuses to write there again.
  }
}

}  // namespace kartwerk::pipeline
