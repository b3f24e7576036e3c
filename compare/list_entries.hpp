// The editor's text lists read back into entries: each entry with the key that identifies it
// from one version of the file to the next, its fields in order and, for what stands on the
// map, its place.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "compare/file_comparison.hpp"

namespace kartwerk {

enum class ListKind { None, Units, Sounds, Groups, Support, Players, Scripts, Phrases, Objects };

// The list a slot file holds, by its name ("mapunits", "mis.003/scripts2"); None for the rest.
ListKind ListKindOf(std::string_view fileName);

struct ListEntry {
  std::string key;                                          // the same entry in both versions has the same key
  std::string type;                                         // what it is ("tank_pz4"): a moved entry keeps it
  std::string label;                                        // how the report names it: "unit 17 'tank_pz4'"
  std::vector<std::pair<std::string, std::string>> fields;  // in the file's order, the place left out
  std::optional<Position> at;
  std::string_view text;  // the entry's lines as the file holds them
};

// The entries of text, which must outlive them.
std::vector<ListEntry> ReadListEntries(ListKind kind, std::string_view text);

// "key=value" pairs of one line, quotes kept; a key may carry a number after a space ("ID 0").
// Words before the first pair come back as one pair with an empty value in front.
std::vector<std::pair<std::string, std::string>> LinePairs(std::string_view line);

}  // namespace kartwerk
