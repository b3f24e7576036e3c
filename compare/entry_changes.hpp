// Pairs the entries of two versions of a text list and says what differs: entries added,
// removed, and changed with the fields that changed (a placed entry that stands elsewhere moved).
#pragma once

#include <vector>

#include "compare/file_comparison.hpp"
#include "compare/list_entries.hpp"

namespace kartwerk {

// Entries the same in both versions are left out. Pairing: first entries with the same text,
// then the same key, then (for entries with a place) the nearest one of the same type.
std::vector<EntryChange> CompareListEntries(const std::vector<ListEntry>& mapEntries,
                                            const std::vector<ListEntry>& folderEntries);

// The fields of to that differ from those of from, in from's order, then those only in to.
std::vector<FieldChange> CompareFields(const std::vector<std::pair<std::string, std::string>>& from,
                                       const std::vector<std::pair<std::string, std::string>>& to);

}  // namespace kartwerk
