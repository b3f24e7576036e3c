// The keys of a slot's and a mission's "desc" and "info" that differ between two versions.
#pragma once

#include <string_view>
#include <vector>

#include "compare/file_comparison.hpp"

namespace kartwerk::compare {

// Whether the file (by its name relative to the slot folder) is a "desc" or an "info".
bool IsHeaderFile(std::string_view fileName);

// The differing keys: "title" of a desc; the values and texts of an info, each by its name.
// An info too short for its keys names "length" with both sizes.
std::vector<FieldChange> CompareHeaderKeys(std::string_view fileName, std::string_view mapContent,
                                           std::string_view folderContent);

}  // namespace kartwerk::compare
