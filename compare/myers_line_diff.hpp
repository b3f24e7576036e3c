// The shortest edit script between two runs of lines (Myers' O((N+M)D) difference, in linear
// space by its middle snake), so one inserted line is one inserted line however long the texts.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace kartwerk::compare {

// One step of the script: a line kept, a line of from deleted, a line of to inserted.
struct LineEdit {
  enum class Op { Keep, Delete, Insert };
  Op op = Op::Keep;
  std::size_t from = 0;  // index in from: the line kept or deleted, or where an insertion comes
  std::size_t to = 0;    // index in to: the line kept or inserted, or where a deletion goes
  friend bool operator==(const LineEdit&, const LineEdit&) = default;
};

// Every line of both in order, each once: kept lines with their places on both sides.
std::vector<LineEdit> MyersLineDiff(std::span<const std::string_view> from, std::span<const std::string_view> to);

}  // namespace kartwerk::compare
