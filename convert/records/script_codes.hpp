// ScriptCodeTable: the editor's script keywords, one row per script code 1 to 97.
//
// A compiled statement ends in a code item whose value picks a row; the row's name and
// items become the statement's lines in "scripts2". An item is a word, written as it
// stands, or a value slot ("?"), which takes the next item of the statement.
// The game's version 1.9 knows a slightly older keyword set (six rows differ), so there
// are two fixed tables and the installed version picks one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "format/game_version.hpp"

namespace kartwerk::records {

inline constexpr std::size_t kScriptCodeCount = 97;
inline constexpr std::size_t kMaxScriptCodeItems = 23;

// The item that stands for a value of the statement rather than a word.
inline constexpr std::string_view kValueSlot = "?";

// The connectives and the marker: codes that join or close statements and carry no items.
inline constexpr std::uint16_t kAndCode = 1;
inline constexpr std::uint16_t kOrCode = 2;
inline constexpr std::uint16_t kMarkerCode = 7;
inline constexpr std::uint16_t kNotCode = 26;

struct ScriptCode {
  std::uint16_t code = 0;
  std::string_view name;
  // Words and value slots in order; the row ends at the first empty entry.
  std::array<std::string_view, kMaxScriptCodeItems> items{};

  constexpr std::size_t ItemCount() const {
    std::size_t count = 0;
    while (count < items.size() && !items[count].empty()) ++count;
    return count;
  }
};

// Row i holds script code i + 1.
using ScriptCodeTable = std::array<ScriptCode, kScriptCodeCount>;

// The keyword set of the installed game: the first set for GameVersionKind::OlderKeywords (version
// "1.9"), the second for every other kind (None only before a game has been located).
const ScriptCodeTable& ScriptCodeTableFor(format::GameVersionKind gameVersionKind);

// The row of a script code, or nullptr for a code the table has no row for (0, 98 and up).
const ScriptCode* FindScriptCode(const ScriptCodeTable& table, std::uint32_t code);

}  // namespace kartwerk::records
