#include "pipeline/slot_commit.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>

#include "core/error_text.hpp"
#include "format/map_info.hpp"
#include "game/slot_store.hpp"
#include "game/user_folders.hpp"
#include "platform/folder_entries.hpp"
#include "platform/folder_moves.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"
#include "platform/process_leftovers.hpp"

namespace kartwerk::pipeline {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kNewMarker = ".kartwerk-new-";
constexpr std::string_view kAsideMarker = ".kartwerk-aside-";
constexpr std::string_view kProbePrefix = ".kartwerk-probe-";

std::string Quoted(const fs::path& path) { return "\"" + platform::TextFromPath(path) + "\""; }

// ".map.007.kartwerk-new-4242-abcdefghij" for the slot map.007 and this process.
fs::path WorkFolderName(const fs::path& target, std::string_view marker) {
  return target.parent_path() /
         platform::PathFromText("." + platform::TextFromPath(target.filename()) + std::string(marker) +
                                std::to_string(platform::CurrentProcessId()) + "-" + platform::RandomSuffix());
}

// A folder this program leaves beside a slot while it works: which slot, which kind, which process.
struct WorkFolder {
  std::string slotName;
  bool aside = false;
  unsigned long process = 0;
};

std::optional<WorkFolder> ParseWorkFolder(std::string_view name) {
  for (const std::string_view marker : {kNewMarker, kAsideMarker}) {
    const std::size_t at = name.rfind(marker);
    if (name.empty() || name[0] != '.' || at == std::string::npos || at < 2) continue;
    const std::string_view rest = name.substr(at + marker.size());
    const std::size_t dash = rest.find('-');
    // A process number of more digits than any process has is someone else's name: left alone.
    if (dash == 0 || dash == std::string::npos || dash > 9 ||
        !std::all_of(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(dash),
                     [](char c) { return c >= '0' && c <= '9'; })) {
      continue;
    }
    return WorkFolder{std::string(name.substr(1, at - 1)), marker == kAsideMarker,
                      std::stoul(std::string(rest.substr(0, dash)))};
  }
  return std::nullopt;
}

// The title of the map in a folder, made fit for a file name on every platform.
std::string FolderTitle(const fs::path& folder) {
  const std::optional<std::string> desc = game::ReadSlotTitleFile(folder / "desc");
  if (!desc) return "untitled";
  const std::string title = core::Cp1252ToUtf8(*desc);
  std::string name;
  for (const char c : title) {
    const bool unsafe =
        static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
    name += unsafe ? '_' : c;
  }
  if (name.size() > 60) {
    name.resize(60);
    while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0x80)
      name.pop_back();  // a cut sequence
    if (!name.empty() && static_cast<unsigned char>(name.back()) >= 0xC0) name.pop_back();
  }
  while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();  // Windows drops them
  return name.empty() ? "untitled" : name;
}

}  // namespace

fs::path DefaultBackupFolder() { return game::UserProgramDataFolder() / "kartwerk" / "replaced-slots"; }

// FullPath keeps UNC and "\\\\?\\" paths whole, where absolute() would make them drive-relative on Windows.
fs::path TargetPath(const fs::path& target) { return platform::FullPath(target); }

std::string PreviousContentText(const fs::path& target, const fs::path& previous) {
  return "the previous content of " + Quoted(target) + " was moved to " + Quoted(previous);
}

SlotCommit::SlotCommit(fs::path target, fs::path backupFolder, SlotWarning warn, WriteGate gate)
    : target_(std::move(target)),
      backupFolder_(std::move(backupFolder)),
      store_(backupFolder_),
      warn_(std::move(warn)) {
  // The gate comes before any file call: a device name never reaches the file system.
  gate.backupFolder = backupFolder_;
  if (const std::string problem = FolderWriteProblem(target_, gate, FolderUse::Replace); !problem.empty()) {
    throw SlotFolderError(problem);
  }
  std::error_code ec;
  target_ = TargetPath(target_);  // messages name it in full
  if (fs::exists(target_, ec) && !fs::is_directory(target_, ec)) {
    throw SlotFolderError(Quoted(target_) + " is not a folder");
  }
  fs::create_directories(target_.parent_path(), ec);
  if (ec)
    throw SlotFolderError("Cannot create the folder " + Quoted(target_.parent_path()) + ": " + core::ErrorText(ec));
  SettleLeftovers();
  const fs::path folder = WorkFolderName(target_, kNewMarker);
  if (!fs::create_directory(folder, ec) || ec) {
    throw SlotFolderError("Cannot create a folder beside " + Quoted(target_) + ": " +
                          (ec ? core::ErrorText(ec) : std::string("the name is taken")));
  }
  folder_ = folder;
}

SlotCommit::~SlotCommit() { Discard(); }

void SlotCommit::PutsBackBackup(std::optional<platform::FolderListing> written, format::GameVersionKind gameVersion) {
  writesConversion_ = false;
  restoredListing_ = std::move(written);
  gameVersion_ = gameVersion;
}

void SlotCommit::Discard() {
  if (committed_ || folder_.empty()) return;
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
  folder_.clear();
}

fs::path SlotCommit::BackupPathFor(const fs::path& content, const std::string& slotName) const {
  return store_.NewBackupPath(slotName, FolderTitle(content));
}

void SlotCommit::DescribeBackup(const fs::path& backup, const fs::path& content, const std::string& slotName,
                                const std::optional<WrittenRecord>& recorded) const {
  BackupRecord record;
  record.folder = backup;
  record.origin = target_.parent_path() / platform::PathFromText(slotName);
  record.installation = InstallationOfSlot(record.origin);
  record.when = BackupStore::WhenOf(backup, slotName);
  record.title = FolderTitle(content);
  record.converted = recorded.has_value();
  // An edited conversion keeps its version too: comparing it with its map needs it most.
  if (recorded) record.gameVersion = recorded->gameVersion;
  if (recorded) {
    // Names, sizes and times, taken before the move (which keeps them): listing and pruning judge
    // the backup by them without reading it. The same stamp as when the conversion was put in
    // place says the content is untouched since, so it is read only when the stamp has moved (or
    // an earlier version wrote the place's record without one).
    std::optional<std::string> stamp = platform::FolderStamp(content);
    const bool untouched = stamp && !recorded->seen.empty() && *stamp == recorded->seen;
    if (recorded->listing && (untouched || platform::ListFolder(content) == recorded->listing)) {
      record.written = recorded->listing;
      record.seen = stamp.value_or(std::string());
    }
  }
  store_.Describe(record);
}

fs::path SlotCommit::KeepInBackup(const fs::path& aside, const std::string& slotName,
                                  const std::optional<WrittenRecord>& recorded, const fs::path& reserved) const {
  // A folder that cannot be moved whole is left where it is: a copy that cannot remove its
  // original would be made again by every later run.
  std::string reason = platform::MoveObstacle(aside);
  if (reason.empty()) {
    try {
      store_.MakeReady();
    } catch (const std::exception& e) {
      reason = e.what();
    }
  }
  // Two processes may keep a backup of one slot in the same millisecond: the later takes the next
  // sequence number. Only a name taken meanwhile is tried again; any other failure ends the attempt.
  for (int n = 1; n <= 20 && reason.empty(); ++n) {
    const fs::path backup = n == 1 && !reserved.empty() ? reserved : BackupPathFor(aside, slotName);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(backup, ec))) continue;  // taken meanwhile, with its own record
    if (backup != reserved) {
      try {
        DescribeBackup(backup, aside, slotName, recorded);
      } catch (const std::exception& e) {
        reason = e.what();
        break;
      }
    }
    try {
      platform::MoveFolder(aside, backup);
      return backup;
    } catch (const fs::filesystem_error& e) {
      reason = platform::FolderMoveReason(e);
      store_.Forget(backup);
      if (e.code() != std::errc::file_exists) break;
    }
  }
  if (!reserved.empty()) store_.Forget(reserved);
  if (warn_) {
    warn_("the previous content of " + Quoted(aside.parent_path() / platform::PathFromText(slotName)) + " stays in " +
          Quoted(aside) + ": " + reason);
  }
  return {};
}

void SlotCommit::SettleLeftovers() {
  const fs::path parent = target_.parent_path();
  std::error_code ec;
  // One reading of the folder around the slot finds the work folders and the probes alike.
  platform::FolderReading reading(parent);
  std::vector<platform::FolderEntry>& entries = reading.Entries();
  std::vector<std::pair<fs::path, WorkFolder>> found;
  for (const platform::FolderEntry& entry : entries) {
    if (const std::optional<WorkFolder> work = ParseWorkFolder(entry.name)) {
      if (!platform::ProcessIsRunning(work->process))
        found.emplace_back(parent / platform::PathFromText(entry.name), *work);
    } else if (warn_ && (entry.name.find(kNewMarker) != std::string::npos ||
                         entry.name.find(kAsideMarker) != std::string::npos)) {
      warn_("left " + Quoted(parent / platform::PathFromText(entry.name)) +
            " alone: its name is not one this program gives");
    }
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  platform::RemoveEndedProcessLeftovers(parent, entries, {kProbePrefix});
  for (const auto& [path, work] : found) {
    // What this user may not move (another user's run, a folder made read-only) is reported and
    // left alone: removing or copying part of it would repeat on every later run.
    if (const std::string obstacle = platform::MoveObstacle(path); !obstacle.empty()) {
      if (warn_) warn_("left " + Quoted(path) + " alone: " + obstacle);
      continue;
    }
    if (!work.aside) {
      // A conversion that never finished: its folder never held anyone's map.
      fs::remove_all(path, ec);
      continue;
    }
    const fs::path slot = parent / platform::PathFromText(work.slotName);
    if (!fs::exists(slot, ec)) {
      ec = platform::RenameFolder(path, slot);
      if (warn_) {
        warn_(ec ? Quoted(path) + " holds the map an interrupted conversion moved out of " + Quoted(slot) + ": " +
                       core::ErrorText(ec)
                 : "put back " + Quoted(slot) + ", which an interrupted conversion had moved aside");
      }
      continue;
    }
    const fs::path backup = KeepInBackup(path, work.slotName, store_.WrittenRecordOf(slot));
    if (!backup.empty() && warn_) {
      warn_("a map an interrupted conversion had moved out of " + Quoted(slot) + " is kept in " + Quoted(backup));
    }
  }
}

fs::path SlotCommit::Commit() {
  if (committed_ || folder_.empty()) throw std::logic_error("A slot folder is committed once");
  const fs::path parent = target_.parent_path();
  std::error_code ec;
  if (fs::exists(target_, ec) && !fs::is_directory(target_, ec))
    throw SlotFolderError(Quoted(target_) + " is not a folder");
  const bool hadContent = fs::is_directory(target_, ec) && !fs::is_empty(target_, ec);
  const std::string slotName = platform::TextFromPath(target_.filename());
  // What Kartwerk wrote into the target before, and what it puts there now: a backup that is
  // exactly the former may be removed later, as it can be made again.
  const std::optional<WrittenRecord> recorded = store_.WrittenRecordOf(target_);
  fs::path reserved;  // the backup of the previous content, whose record is written

  // The previous content is made safe before the target is touched: where a rename cannot reach
  // the backup folder (another file system), it is copied there first.
  fs::path copied;
  if (hadContent) {
    const auto cannotKeep = [&](const std::string& reason) {
      return SlotFolderError("Cannot keep the previous content of " + Quoted(target_) + " in " + Quoted(backupFolder_) +
                             ": " + reason);
    };
    if (backupFolder_.is_relative()) throw cannotKeep("no data folder for backups (set HOME)");
    if (const std::string obstacle = platform::MoveObstacle(target_); !obstacle.empty()) throw cannotKeep(obstacle);
    try {
      store_.MakeReady();
      // The backup's record comes first: when it cannot be written, nothing has moved yet.
      reserved = BackupPathFor(target_, slotName);
      DescribeBackup(reserved, target_, slotName, recorded);
    } catch (const std::exception& e) {
      throw cannotKeep(e.what());
    }
    if (!platform::RenamesBetween(parent, backupFolder_)) {
      copied = backupFolder_ / platform::ProcessMarkedName(".kartwerk-incoming-");
      try {
        platform::CopyFolder(target_, copied);
      } catch (const fs::filesystem_error& e) {
        store_.Forget(reserved);
        throw cannotKeep(platform::FolderMoveReason(e));
      }
    }
  }

  const std::optional<platform::FolderListing> placed =
      writesConversion_ ? ListFolder(folder_, &written_) : restoredListing_;
  // The stamp of the new folder is the one it has in the target's place (a rename keeps names,
  // sizes and times): the next conversion into the place compares with it.
  const std::string placedStamp = placed ? platform::FolderStamp(folder_).value_or(std::string()) : std::string();

  // Old folder aside, new one in. Another conversion committing into the same target at the same
  // time may put its folder in between; that one is moved aside and kept as well, and the later
  // commit wins.
  std::vector<fs::path> displaced;
  bool removedEmpty = false;
  const auto fail = [&](const std::string& message) {
    if (!fs::exists(target_, ec)) {
      if (!displaced.empty()) {
        platform::RenameFolder(displaced.front(), target_);
      } else if (removedEmpty) {
        fs::create_directory(target_, ec);
      }
    }
    if (!copied.empty()) fs::remove_all(copied, ec);
    if (!reserved.empty()) store_.Forget(reserved);
    return SlotFolderError(message);
  };
  for (int attempt = 0;; ++attempt) {
    if (attempt == 20) throw fail("Cannot put the new folder in place of " + Quoted(target_) + ": it keeps changing");
    if (fs::is_directory(target_, ec)) {
      if (fs::is_empty(target_, ec)) {
        removedEmpty = fs::remove(target_, ec) || removedEmpty;  // an empty folder holds nothing to keep
      } else {
        const fs::path aside = WorkFolderName(target_, kAsideMarker);
        if (const std::error_code moved = platform::RenameFolder(target_, aside)) {
          if (fs::exists(target_, ec))
            throw fail("Cannot move " + Quoted(target_) + " aside: " + core::ErrorText(moved));
          continue;
        }
        displaced.push_back(aside);
      }
    }
    const std::error_code renamed = platform::RenameFolder(folder_, target_);
    if (!renamed) break;
    if (!fs::exists(target_, ec)) {
      throw fail("Cannot rename " + Quoted(folder_) + " to " + Quoted(target_) + ": " + core::ErrorText(renamed));
    }
  }
  committed_ = true;
  try {
    store_.RecordWritten(target_, placed, gameVersion_, placedStamp);
  } catch (const std::exception& e) {
    if (warn_) warn_(e.what());  // the place then counts as holding something Kartwerk did not write
  }

  fs::path previous;  // where the first folder moved aside went: the target's content before
  std::vector<fs::path> made;
  for (std::size_t i = 0; i < displaced.size(); ++i) {
    // Folders another run put in between are conversions of that run, not the target's content.
    const std::optional<WrittenRecord> wrote = i == 0 ? recorded : std::nullopt;
    fs::path backup;
    if (i == 0 && !copied.empty() && platform::SameFolderContent(displaced[0], copied)) {
      if (!platform::RenameFolder(copied, reserved)) {
        backup = reserved;
        fs::remove_all(displaced[0], ec);
        copied.clear();
      }
    }
    if (backup.empty()) backup = KeepInBackup(displaced[i], slotName, wrote, i == 0 ? reserved : fs::path());
    if (!backup.empty()) made.push_back(backup);
    if (i == 0) previous = backup.empty() ? displaced[0] : backup;
  }
  if (!copied.empty()) fs::remove_all(copied, ec);

  // Of what this place held before, only backups that can be made again are removed, and only
  // past its ten newest; the backups just made are never among them.
  store_.Prune(target_, made);
  return previous;
}

void FinishSlot(SlotCommit& slot, ConversionEnd& end) {
  if (!end.Completed()) {
    slot.Discard();
    end.slotLeftAsItWas = true;
    return;
  }
  try {
    end.previousContent = slot.Commit();
  } catch (...) {
    end.error = std::current_exception();
    end.failedInStep = false;
    end.failedMission.clear();
    // Once the new folder is in place the slot holds the conversion, whatever failed after it.
    if (slot.Committed()) {
      end.failedStep = "keeping the slot's previous content";
      return;
    }
    end.failedStep = "replacing the slot folder";
    end.slotLeftAsItWas = true;
    slot.Discard();
  }
}

SlotFolderSink::SlotFolderSink(fs::path target, fs::path backupFolder, SlotWarning warn, WriteGate gate)
    : target_(std::move(target)),
      backupFolder_(std::move(backupFolder)),
      warn_(std::move(warn)),
      gate_(std::move(gate)) {}

void SlotFolderSink::Open(format::Conversion& conversion) {
  slot_.emplace(target_, backupFolder_, warn_, gate_);
  conversion.SlotFolder = slot_->Folder();
  conversion.Written = &slot_->Written();  // the commit records what the steps wrote, without reading it back
  slot_->SetGameVersion(conversion.GameVersionKind);
}

void SlotFolderSink::Finish(ConversionEnd& end) {
  if (slot_) {
    FinishSlot(*slot_, end);
  } else {
    end.slotLeftAsItWas = true;  // nothing of the target was touched before the private folder
  }
}

}  // namespace kartwerk::pipeline
