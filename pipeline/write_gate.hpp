// The one policy for every file and folder Kartwerk creates or replaces: a slot or --out folder a
// conversion replaces, a backup put back, a picture, a gallery. Whatever the command, a write
// never touches:
//   - the map being read, or the folder that holds it or any folder above it;
//   - the root of a file system or the home folder, as a folder to replace;
//   - Kartwerk's own data folder (the backups and the records), or a folder that holds it;
//   - a target that is itself a symbolic link (the refusal names where it leads);
//   - an existing file or folder Kartwerk did not write (a slot is the exception: the editor's
//     slots are replaced whole, their content kept in the backups);
//   - a Windows device name ("NUL", "COM1", "aux.txt") or a "\\.\" device path, refused from
//     the text alone, before any file call;
// and a target the user cannot write, or that holds entries of another owner, is refused before
// anything is moved. Each refusal is one line naming the target and the reason.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kartwerk::pipeline {

// A write the gate refused; nothing was written or moved.
class WriteRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What one command's writes must keep clear of.
struct WriteGate {
  std::vector<std::filesystem::path> inputs;  // the maps the command reads
  std::filesystem::path backupFolder;         // where replaced content goes, when not the default
  std::string action = "replace";             // as the refusal says it: "refusing to <action> ..."
};

// Kartwerk's folder in the user's program data folder: the backups and the records of what it wrote.
std::filesystem::path KartwerkDataFolder();

// Why a path names a Windows device rather than a file ("NUL", "con", "COM1", "aux.txt",
// "LPT1 .log", "\\\\.\\C:"), or an empty text. Pure text, the same on every platform.
std::string DeviceNameProblem(std::string_view pathText);

// How a folder is written.
enum class FolderUse {
  Replace,    // replaced whole; its content moves to the backups (a slot, --out DIR, a restore)
  WriteInto,  // files are written into it (a gallery); it must hold only what Kartwerk wrote
  Parent,     // folders are made in it (the folder of a batch); each of them is checked on its own
};

// Why folder may not be used so, or an empty text.
std::string FolderWriteProblem(const std::filesystem::path& folder, const WriteGate& gate, FolderUse use);

// Why a single file (a picture) may not be created or replaced, or an empty text. ownWrite says
// whether the file there now is the one Kartwerk recorded writing.
std::string FileWriteProblem(const std::filesystem::path& file, const WriteGate& gate, bool ownWrite);

// FileWriteProblem with the record of what Kartwerk wrote there: what WriteGatedFile would refuse.
std::string GatedFileProblem(const std::filesystem::path& file, const WriteGate& gate);

// Writes a file through the gate: refused (WriteRefused) unless it is new or the unchanged file
// Kartwerk wrote there before; written whole (FileCreateError) and recorded as Kartwerk's.
void WriteGatedFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes, const WriteGate& gate);

// A folder of files Kartwerk fills (a gallery): checked once when opened (WriteRefused), new,
// empty or holding exactly what Kartwerk wrote there last; Finish records what it holds then.
class GatedFolder {
 public:
  GatedFolder(std::filesystem::path folder, const WriteGate& gate);
  const std::filesystem::path& Folder() const { return folder_; }
  // Writes relative (a '/'-separated path inside the folder) whole, creating its folders.
  void Write(const std::string& relative, std::span<const std::uint8_t> bytes) const;
  void Write(const std::string& relative, std::string_view text) const;
  void Finish() const;

 private:
  std::filesystem::path folder_;
};

}  // namespace kartwerk::pipeline
