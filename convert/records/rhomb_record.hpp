// The two records of a terrain rhomb: the 4-byte record of the compiled map and the
// 8-byte record the editor keeps in its "rhombs" file.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "core/byte_stream.hpp"

namespace kartwerk {

inline constexpr std::size_t kCompiledRhombSize = 4;
inline constexpr std::size_t kEditorRhombSize = 8;

// One cell of the compiled terrain section.
struct CompiledRhomb {
  std::uint16_t tileCode = 0;   // meaning depends on the terrain scheme
  std::uint16_t levelWord = 0;  // only its low five bits reach the editor

  // Reads the little-endian record; bytes missing from a short record read as 0.
  static CompiledRhomb Parse(std::span<const std::uint8_t> record) {
    return CompiledRhomb{U16At(record, 0), U16At(record, 2)};
  }
};

// One cell as the editor stores it: the tile code spelled out.
struct EditorRhomb {
  std::uint8_t terrain = 0;    // terrain type the editor records for the cell
  std::uint8_t tileClass = 0;  // class of the tile code
  std::uint16_t shape = 0;     // 0 plain tile, 1 to 12 transition piece
  std::uint8_t levelLow = 0;   // low four bits of the level word, moved into the high nibble
  std::uint8_t levelHigh = 0;  // 1 when the level word exceeds 15
  std::uint16_t tileCode = 0;  // copied unchanged

  // The record in file order, little-endian.
  std::array<std::uint8_t, kEditorRhombSize> Bytes() const {
    return {terrain,  tileClass, static_cast<std::uint8_t>(shape),    static_cast<std::uint8_t>(shape >> 8),
            levelLow, levelHigh, static_cast<std::uint8_t>(tileCode), static_cast<std::uint8_t>(tileCode >> 8)};
  }
};

}  // namespace kartwerk
