// The two records of a terrain rhomb: the 4-byte record of the compiled map and the
// 8-byte record the editor keeps in its "rhombs" file.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "convert/records/record_fields.hpp"
#include "core/byte_stream.hpp"

namespace kartwerk::records {

// One cell of the compiled terrain section.
struct CompiledRhomb {
  static constexpr std::size_t kSize = 4;
  enum Field : std::size_t { kTileCode, kLevelWord };
  static constexpr RecordFields<2> kFields{{{0, 2}, {2, 2}}};
  static_assert(FieldsFill(kFields, kSize));

  std::uint16_t tileCode = 0;   // meaning depends on the terrain scheme
  std::uint16_t levelWord = 0;  // only its low five bits reach the editor

  // Reads the little-endian record; bytes missing from a short record read as 0.
  static CompiledRhomb Decode(std::span<const std::uint8_t> record) {
    const FieldReader<kFields> f(record);
    return CompiledRhomb{f.U16<kTileCode>(), f.U16<kLevelWord>()};
  }
};

// One cell as the editor stores it: the tile code spelled out.
struct EditorRhomb {
  static constexpr std::size_t kSize = 8;

  std::uint8_t terrain = 0;    // terrain type the editor records for the cell
  std::uint8_t tileClass = 0;  // class of the tile code
  std::uint16_t shape = 0;     // 0 plain tile, 1 to 12 transition piece
  std::uint8_t levelLow = 0;   // low four bits of the level word, moved into the high nibble
  std::uint8_t levelHigh = 0;  // 1 when the level word exceeds 15
  std::uint16_t tileCode = 0;  // copied unchanged

  // The record in file order, little-endian.
  std::array<std::uint8_t, kSize> Bytes() const {
    return {terrain,  tileClass, static_cast<std::uint8_t>(shape),    static_cast<std::uint8_t>(shape >> 8),
            levelLow, levelHigh, static_cast<std::uint8_t>(tileCode), static_cast<std::uint8_t>(tileCode >> 8)};
  }
};

}  // namespace kartwerk::records
