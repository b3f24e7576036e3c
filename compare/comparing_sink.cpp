#include "compare/comparing_sink.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "compare/entry_changes.hpp"
#include "compare/header_keys.hpp"
#include "compare/line_diff.hpp"
#include "compare/list_entries.hpp"
#include "convert/records/rhomb_record.hpp"
#include "convert/writers/mission_grid_files.hpp"
#include "core/error_text.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"

namespace kartwerk::compare {
namespace {

// A slot's "cflags" holds two bytes per map cell.
constexpr std::int64_t kCellFlagBytes = 2;

// The name relative to the folder, "/" between its parts on every platform.
std::string RelativeName(const std::filesystem::path& folder, const std::filesystem::path& target) {
  std::string name = platform::TextFromPath(target.lexically_relative(folder));
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

}  // namespace

ComparingSink::ComparingSink(std::filesystem::path folder, const format::Conversion& conversion, bool lines,
                             FolderComparison& result)
    : folder_(std::move(folder)), conversion_(conversion), lines_(lines), result_(result) {}

ComparingSink::~ComparingSink() { CloseFolderFile(); }

void ComparingSink::CloseFolderFile() {
  if (folderFile_) std::fclose(folderFile_);
  folderFile_ = nullptr;
}

void ComparingSink::Begin(const std::filesystem::path& target) {
  CloseFolderFile();  // a file begun before whose writer failed
  current_ = FileComparison{};
  current_.name = RelativeName(folder_, target);
  made_.insert(current_.name);
  open_ = true;
  differs_ = false;
  mapContent_.clear();
  folderContent_.clear();
  cellBytes_ = 0;
  const std::string base = platform::TextFromPath(target.filename());
  const bool inMission = current_.name.find('/') != std::string::npos;
  const format::MapInformation& map = conversion_.MapInfoRecord;
  if (!inMission && (base == "rhombs" || base == "cflags") && map.width > 0 && map.height > 0) {
    cellBytes_ = base == "rhombs" ? static_cast<std::int64_t>(records::EditorRhomb::kSize) : kCellFlagBytes;
    current_.grid.emplace();
    current_.grid->columns = map.width;
    current_.grid->rows = map.height;
  } else if (inMission && (base == "mines" || base == "locations")) {
    cellBytes_ = 1;
    current_.grid.emplace();
    current_.grid->columns = current_.grid->rows = writers::kMissionGridSide;
  }
  hold_ = cellBytes_ == 0 && (lines_ || ListKindOf(current_.name) != ListKind::None || IsHeaderFile(current_.name));

  std::error_code error;
  if (!std::filesystem::exists(target, error)) {
    current_.state = FileState::OnlyInMap;
    return;
  }
  // Only a plain file is read, checked on the very handle that reads it: a pipe or a device in its
  // place (or swapped in) would block or never end.
  bool notAFile = false;
  core::ClearLastFileError();
  folderFile_ = platform::OpenForReading(target, notAFile);
  if (!folderFile_) {
    current_.state = FileState::Changed;
    current_.note = notAFile ? "not a regular file" : "cannot be read: " + core::ErrorText(core::LastFileError());
  }
}

void ComparingSink::Write(std::span<const std::uint8_t> piece) {
  if (!open_) return;
  const std::uint64_t offset = current_.mapBytes;
  current_.mapBytes += piece.size();
  if (hold_) {
    if (mapContent_.size() + piece.size() > kMaxHeldFileBytes) {
      hold_ = false;
      mapContent_.clear();
      mapContent_.shrink_to_fit();
      folderContent_.clear();
      folderContent_.shrink_to_fit();
      current_.note = "too large to list what changed";
    } else {
      mapContent_.append(reinterpret_cast<const char*>(piece.data()), piece.size());
    }
  }
  if (!folderFile_) return;
  buffer_.resize(piece.size());
  const std::size_t got = std::fread(buffer_.data(), 1, piece.size(), folderFile_);
  current_.folderBytes += got;
  if (hold_) folderContent_.append(buffer_.data(), got);
  if (got == piece.size() && std::memcmp(buffer_.data(), piece.data(), got) == 0) return;
  differs_ = true;
  if (cellBytes_ == 0) return;
  // The cells whose bytes differ; the cells past the end of a short file count as changed.
  for (std::size_t i = 0; i < piece.size(); ++i) {
    if (i < got && static_cast<std::uint8_t>(buffer_[i]) == piece[i]) continue;
    const auto cell = static_cast<std::int64_t>((offset + i) / static_cast<std::uint64_t>(cellBytes_));
    current_.grid->Mark(cell);
  }
}

void ComparingSink::End() {
  if (!open_) return;
  open_ = false;
  if (folderFile_) {
    // What the folder's file holds beyond the conversion's end.
    char rest[64 * 1024];
    for (std::size_t got; (got = std::fread(rest, 1, sizeof rest, folderFile_)) > 0;) {
      current_.folderBytes += got;
      differs_ = true;
      if (hold_ && folderContent_.size() + got <= kMaxHeldFileBytes) {
        folderContent_.append(rest, got);
      } else if (hold_) {
        hold_ = false;
        current_.note = "too large to list what changed";
      }
    }
    const bool readError = std::ferror(folderFile_) != 0;
    CloseFolderFile();
    if (readError) {
      differs_ = true;
      hold_ = false;
      current_.note = "cannot be read to its end";
    }
    // A text list is shorter or longer by its edits; any other file has the size the map gives it.
    const bool fixedSize = ListKindOf(current_.name) == ListKind::None;
    if (fixedSize && current_.folderBytes < current_.mapBytes && current_.note.empty()) {
      current_.note =
          "cut short: " + std::to_string(current_.folderBytes) + " of " + std::to_string(current_.mapBytes) + " bytes";
    } else if (fixedSize && current_.folderBytes > current_.mapBytes && current_.note.empty()) {
      const std::uint64_t longer = current_.folderBytes - current_.mapBytes;
      current_.note = std::to_string(longer) + (longer == 1 ? " byte longer" : " bytes longer");
    }
    current_.state = differs_ ? FileState::Changed : FileState::Same;
    if (differs_ && hold_) Describe(current_);
  }
  if (current_.state != FileState::Changed) current_.grid.reset();
  if (current_.state == FileState::Same) current_.note.clear();  // a limit met by a file that is the same
  result_.files.push_back(std::move(current_));
  mapContent_.clear();
  folderContent_.clear();
}

void ComparingSink::Describe(FileComparison& file) {
  const ListKind kind = ListKindOf(file.name);
  if (kind != ListKind::None) {
    const ListReading before = ReadListEntries(kind, mapContent_);
    const ListReading after = ReadListEntries(kind, folderContent_);
    // A file that stops reading as its writer writes it is named so, not taken apart into
    // entries (unless the map's own text reads no better, when both are compared as they are).
    if (!after.damage.empty() && before.damage.empty()) {
      if (file.note.empty()) file.note = "damaged: " + after.damage;
    } else {
      ListChanges changes = CompareListEntries(kind, before.entries, after.entries);
      file.entries = std::move(changes.entries);
      if (file.note.empty()) file.note = std::move(changes.note);
    }
  } else if (IsHeaderFile(file.name)) {
    file.keys = CompareHeaderKeys(file.name, mapContent_, folderContent_);
  }
  if (lines_) file.lines = UnifiedLineDiff(mapContent_, folderContent_);
}

void ComparingSink::AddFolderOnlyFiles() {
  std::error_code error;
  std::vector<std::string> extra;
  for (auto it = std::filesystem::recursive_directory_iterator(folder_, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_directory(error)) continue;
    const std::string name = RelativeName(folder_, it->path());
    if (!made_.count(name)) extra.push_back(name);
  }
  std::sort(extra.begin(), extra.end());
  for (std::string& name : extra) {
    FileComparison file;
    file.name = std::move(name);
    file.state = FileState::OnlyInFolder;
    result_.files.push_back(std::move(file));
  }
}

}  // namespace kartwerk::compare
