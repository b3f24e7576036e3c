// What a comparison of a converted map with a folder found, file by file, in the map's words:
// the entries of the text lists added, removed and changed, the cells of the grids that changed,
// the keys of "desc" and "info" that differ.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kartwerk::compare {

enum class FileState {
  Same,          // byte for byte what the conversion makes
  Changed,       // present in both, different (or unreadable, or cut short: see note)
  OnlyInFolder,  // the folder holds a file the conversion does not make
  OnlyInMap,     // the conversion makes a file the folder lacks
};

// "same", "changed", "only in the folder", "only in the map".
const char* FileStateText(FileState state);

// A place on the map in position units (32 per cell).
struct Position {
  std::int64_t x = 0;
  std::int64_t y = 0;
  friend bool operator==(const Position&, const Position&) = default;
};

struct FieldChange {
  enum class Edit { Changed, Added, Removed };  // a field (or a script's line) only in to, or only in from
  std::string field;
  std::string from;
  std::string to;
  Edit edit = Edit::Changed;
};

// One entry of a text list (a unit, a script, a group, ...) that differs, or the list's order.
struct EntryChange {
  enum class Kind { Added, Removed, Changed, Renamed, Reordered };
  Kind kind = Kind::Changed;
  // "unit 17 'tank_3'", "unit 17 'tank_3' (now 16)", "unit 'medic' (now 40)" for an added one,
  // "script \"Script 01\"", "Group 4"; the list ("units") for an order changed.
  std::string entry;
  std::vector<FieldChange> fields;
  std::optional<Position> from;  // where the entry stood in the map's version (entries with a place)
  std::optional<Position> to;    // where it stands in the folder's
  std::size_t number = 0;        // its place in the map's list, from 1; 0 for an added entry
  std::size_t nowNumber = 0;     // its place in the folder's list; 0 for a removed entry
  std::string newName;           // a renamed entry's name in the folder ("\"Attack\"")
  bool Moved() const { return from && to && !(*from == *to); }
};

// The cells of a grid file that differ: how many, their bounding rectangle, and which ones.
struct GridChange {
  std::int32_t columns = 0;                                 // the grid's row length in cells
  std::int32_t rows = 0;                                    // grows when the file holds more cells than the map
  std::int64_t cells = 0;                                   // cells that differ
  std::int32_t left = 0, top = 0, right = -1, bottom = -1;  // inclusive; right < left when none
  std::vector<bool> changed;  // row by row, up to the last cell that differs; empty when none does

  void Mark(std::int64_t cell);
};

struct FileComparison {
  std::string name;  // relative to the folder, "/" between the parts: "mis.000/mapunits"
  FileState state = FileState::Same;
  // Damage or a limit met: "cut short: 100 of 262144 bytes", "cannot be read: ...", "damaged: cut
  // short at line 12" (a text list whose entries are then not listed).
  std::string note;
  std::uint64_t mapBytes = 0;
  std::uint64_t folderBytes = 0;
  std::vector<EntryChange> entries;  // text lists
  std::optional<GridChange> grid;    // grids
  std::vector<FieldChange> keys;     // "desc" and "info"
  std::vector<std::string> lines;    // the unified line diff, when asked for
};

struct FolderComparison {
  std::vector<FileComparison> files;  // in the order the conversion makes them, then the folder's extra files
  bool AllSame() const;
};

}  // namespace kartwerk::compare
