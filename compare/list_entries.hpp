// The editor's text lists read back into entries, by the same field lists the writers take their
// keys from: each entry with what identifies it from one version of the file to the next (its
// number or name, or its type and place), its fields in the file's own key names and, for what
// stands on the map, its place. A file that stops making sense is named damaged at its line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "compare/file_comparison.hpp"

namespace kartwerk::compare {

enum class ListKind { None, Units, Sounds, Groups, Support, Players, Scripts, Phrases, Objects };

// The list a slot file holds, by its name ("mapunits", "mis.003/scripts2"); None for the rest.
ListKind ListKindOf(std::string_view fileName);

// Whether a list's entries stand on the map and pair by type and place (units, sounds,
// objects), rather than by their number or name.
bool IsPlacedList(ListKind kind);

// What a list's entries are called together: "units", "scripts", "flags and support groups".
const char* PluralOf(ListKind kind);

using Fields = std::vector<std::pair<std::string, std::string>>;

struct ListEntry {
  std::string noun;        // "unit", "sound", "object"; empty for numbered and named entries
  std::string key;         // numbered and named entries: "Group 3", "flag 5", "script \"Script 01\""
  std::string type;        // placed entries: what it is ("tank_pz4", "river"); a moved entry keeps it
  std::size_t number = 0;  // its place in the list, from 1
  Fields fields;           // in the file's order and key names, the place left out
  std::optional<Position> at;
  std::string_view text;               // the entry's lines as the file holds them
  std::vector<std::string_view> body;  // a script's lines after its header
};

struct ListReading {
  std::vector<ListEntry> entries;
  // Empty, or where the file stops reading as its writer writes it: "cut short at line 12",
  // "line 40 holds bytes no writer produces", "line 7 is not a unit line".
  std::string damage;
};

// The entries of text, which must outlive them.
ListReading ReadListEntries(ListKind kind, std::string_view text);

// "key=value" pairs of one line, quotes kept; a key may carry a number after a space ("ID 0").
// Words before the first pair come back as one pair with an empty key in front.
Fields LinePairs(std::string_view line);

}  // namespace kartwerk::compare
