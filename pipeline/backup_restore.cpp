#include "pipeline/backup_restore.hpp"

#include <stdexcept>

#include "core/error_text.hpp"
#include "pipeline/out_folder_rule.hpp"
#include "platform/path_text.hpp"

namespace kartwerk::pipeline {
namespace fs = std::filesystem;

RestoreResult RestoreBackup(const BackupStore& store, const BackupRecord& backup, SlotWarning warn) {
  if (backup.origin.empty()) {
    throw std::runtime_error("no record says where \"" + platform::TextFromPath(backup.folder) +
                             "\" came from; move it back by hand");
  }
  // An --out folder (no editor slot) follows the --out rule again: what lies there now is replaced
  // only when it is a map, so a record naming a folder of the user's files is refused.
  // The same gate as a conversion: a record naming the home folder, a disk or a link is refused.
  const WriteGate gate{{}, store.Folder(), "put a backup back into"};
  if (const std::string problem = FolderWriteProblem(backup.origin, gate, FolderUse::Replace); !problem.empty()) {
    throw SlotFolderError(problem);
  }
  if (backup.installation.empty()) {
    if (const auto refusal = OutFolderRefusal(TargetPath(backup.origin), store)) throw SlotFolderError(*refusal);
  }
  SlotCommit slot(backup.origin, store.Folder(), warn, gate);
  // A copy, so that a failing commit still leaves the backup whole.
  RestoreResult result;
  try {
    fs::remove(slot.Folder());
    result.notRestored = platform::CopyFolderAsFarAsPossible(backup.folder, slot.Folder());
  } catch (const fs::filesystem_error& e) {
    throw SlotFolderError("Cannot copy \"" + platform::TextFromPath(backup.folder) +
                          "\": " + platform::FolderMoveReason(e));
  }
  // A backup that did not come back whole is no conversion Kartwerk can make again.
  const bool unchanged = result.notRestored.empty() && BackupStore::IsUnchangedConversion(backup);
  slot.PutsBackBackup(unchanged ? backup.written : std::nullopt, backup.gameVersion);
  result.place = slot.Target();
  result.previous = slot.Commit();
  if (!result.notRestored.empty()) return result;  // the backup is the only whole copy
  try {
    store.Remove(backup.folder);
  } catch (const fs::filesystem_error& e) {
    if (warn)
      warn("\"" + platform::TextFromPath(backup.folder) +
           "\" was put back but stays as well: " + core::ErrorText(e.code()));
  }
  return result;
}

std::string NotRestoredText(const std::vector<platform::UncopiedEntry>& entries) {
  std::string text = "could not put back ";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) text += ", ";
    text += "\"" + platform::TextFromPath(entries[i].relative) + "\" (" + entries[i].reason + ")";
  }
  return text;
}

}  // namespace kartwerk::pipeline
