#include "pipeline/backup_restore.hpp"

#include <stdexcept>

#include "core/folder_moves.hpp"
#include "core/path_text.hpp"
#include "pipeline/out_folder_rule.hpp"

namespace kartwerk {
namespace fs = std::filesystem;

RestoreResult RestoreBackup(const BackupStore& store, const BackupRecord& backup, SlotWarning warn) {
  if (backup.origin.empty()) {
    throw std::runtime_error("no record says where \"" + TextFromPath(backup.folder) +
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
  try {
    fs::remove(slot.Folder());
    CopyFolder(backup.folder, slot.Folder());
  } catch (const fs::filesystem_error& e) {
    throw SlotFolderError("Cannot copy \"" + TextFromPath(backup.folder) + "\": " + e.code().message());
  }
  const bool unchanged = BackupStore::IsUnchangedConversion(backup);
  slot.PutsBackBackup(unchanged ? backup.written : std::nullopt);
  RestoreResult result{slot.Target(), slot.Commit()};
  try {
    store.Remove(backup.folder);
  } catch (const fs::filesystem_error& e) {
    if (warn) warn("\"" + TextFromPath(backup.folder) + "\" was put back but stays as well: " + e.code().message());
  }
  return result;
}

}  // namespace kartwerk
