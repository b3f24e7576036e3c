// Pairs the entries of two versions of a text list and says what differs, as a map maker made
// it: entries added, removed, changed with the fields that changed (a placed entry that stands
// elsewhere moved), a script renamed, the list's order changed.
#pragma once

#include <string>
#include <vector>

#include "compare/file_comparison.hpp"
#include "compare/list_entries.hpp"

namespace kartwerk::compare {

struct ListChanges {
  std::vector<EntryChange> entries;
  std::string note;  // a limit met while pairing, said in the output
};

// Entries the same in both versions are left out. Numbered and named entries pair by their
// number or name; a script left unpaired pairs with one of the same lines under another name;
// entries on the map pair by least cost (PairPlacedEntries).
ListChanges CompareListEntries(ListKind kind, const std::vector<ListEntry>& mapEntries,
                               const std::vector<ListEntry>& folderEntries);

// The fields of to that differ from those of from, in from's order, then those only in to.
std::vector<FieldChange> CompareFields(const Fields& from, const Fields& to);

// The lines of a script's body that differ, by the shortest edit script: "line N" changed,
// added (numbered as in to) or removed (numbered as in from).
std::vector<FieldChange> CompareBodies(const std::vector<std::string_view>& from,
                                       const std::vector<std::string_view>& to);

}  // namespace kartwerk::compare
