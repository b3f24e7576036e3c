// What a terrain scheme's tile codes mean, as tables, and the steps that turn a compiled
// rhomb into the editor's rhomb with such tables. Each scheme ("Normal"; "Beach" and
// "Island") supplies its own tables; the steps are the same for all.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>

#include "convert/records/rhomb_record.hpp"

namespace kartwerk::records {

// An inclusive run of tile codes.
struct CodeRange {
  std::uint16_t first = 0;
  std::uint16_t last = 0;
  constexpr bool Holds(std::uint16_t code) const { return code >= first && code <= last; }
};

// One tile class: the codes it owns, which of them are plain tiles (shape 0), and the
// terrain type on the other side of its transition pieces.
struct TileClassRow {
  std::uint8_t tileClass = 0;
  CodeRange codes;
  std::span<const CodeRange> plain;  // every other code of the class is a transition piece
  std::uint8_t partner = 0;
};

// One cell of a shape table: the transition codes of one class that have one shape.
// Unused places hold 0, which is a plain code in every scheme.
struct ShapeCell {
  std::uint8_t shape = 0;
  std::uint8_t tileClass = 0;
  std::array<std::uint16_t, 5> codes{};
};

struct RhombScheme {
  std::span<const TileClassRow> classes;
  std::span<const ShapeCell> shapes;
};

// The class row holding code; nullptr when no row does (a gap in the tables).
const TileClassRow* FindTileClass(const RhombScheme& scheme, std::uint16_t code);
bool IsPlainCode(const TileClassRow& row, std::uint16_t code);
// The shape of a transition code of the given class; 0 when no cell of the table names it.
std::uint8_t FindTransitionShape(const RhombScheme& scheme, std::uint8_t tileClass, std::uint16_t code);
// Shapes 1, 2, 6, 7, 8 and 11 show the partner's terrain; the others the tile's own class.
bool ShowsPartnerTerrain(std::uint16_t shape);

// Class, shape, terrain, level bytes and tile code of one rhomb under the scheme's tables.
EditorRhomb ConvertRhombWith(const RhombScheme& scheme, const CompiledRhomb& rhomb);

// The level bytes: four level bits in the high nibble, and a flag for anything above 15.
constexpr void SetRhombLevel(EditorRhomb& out, std::uint16_t levelWord) {
  out.levelLow = static_cast<std::uint8_t>((levelWord % 16) * 16);
  out.levelHigh = levelWord > 15 ? 1 : 0;
}

// Converts a whole terrain section under one scheme, with ConvertRhombWith's results. All but
// the level bytes depend on the tile code alone, so the tables are searched once per code met
// and the answer remembered; a map uses a few hundred codes for a million rhombs.
class RhombConverter {
 public:
  explicit RhombConverter(const RhombScheme& scheme) : scheme_(scheme) {}
  EditorRhomb Convert(const CompiledRhomb& rhomb) {
    if (rhomb.tileCode >= kRemembered) return ConvertRhombWith(scheme_, rhomb);
    if (!isKnown_[rhomb.tileCode]) Remember(rhomb.tileCode);
    EditorRhomb out = known_[rhomb.tileCode];
    SetRhombLevel(out, rhomb.levelWord);
    return out;
  }

  // Whether tileCode's record is remembered (all codes the tables list are); KnownWord then gives it
  // as one little-endian word, its level bytes 0.
  static bool Remembers(std::uint16_t tileCode) { return tileCode < kRemembered; }
  std::uint64_t KnownWord(std::uint16_t tileCode) {
    if (!isKnown_[tileCode]) Remember(tileCode);
    return knownWords_[tileCode];
  }

  // Writes Convert(rhomb).Bytes() to out (EditorRhomb::kSize bytes): the remembered record with
  // this rhomb's level bytes put in.
  void ConvertInto(const CompiledRhomb rhomb, std::uint8_t* out) {
    if (rhomb.tileCode >= kRemembered) {
      ConvertUnremembered(rhomb, out);
      return;
    }
    if (!isKnown_[rhomb.tileCode]) Remember(rhomb.tileCode);
    EditorRhomb level;
    SetRhombLevel(level, rhomb.levelWord);
    if constexpr (std::endian::native == std::endian::little) {
      // The remembered record as one word (its level bytes 0), the level bytes put in.
      const std::uint64_t record = knownWords_[rhomb.tileCode] | std::uint64_t{level.levelLow} << (8 * kLevelLowAt) |
                                   std::uint64_t{level.levelHigh} << (8 * kLevelHighAt);
      std::memcpy(out, &record, sizeof record);
    } else {
      const auto& bytes = knownBytes_[rhomb.tileCode];
      std::copy(bytes.begin(), bytes.end(), out);
      out[kLevelLowAt] = level.levelLow;
      out[kLevelHighAt] = level.levelHigh;
    }
  }

 private:
  // Where the level bytes lie in the editor's record (see EditorRhomb::Bytes).
  static constexpr std::size_t kLevelLowAt = 4;
  static constexpr std::size_t kLevelHighAt = 5;
  void Remember(std::uint16_t tileCode);
  // Kept out of line, so the rhomb of the usual path stays in registers.
  void ConvertUnremembered(CompiledRhomb rhomb, std::uint8_t* out) const;

  // Every code the tables list lies below this; codes from here up are converted each time.
  static constexpr std::size_t kRemembered = 1024;
  const RhombScheme& scheme_;
  std::array<EditorRhomb, kRemembered> known_{};
  std::array<std::array<std::uint8_t, EditorRhomb::kSize>, kRemembered> knownBytes_{};
  std::array<std::uint64_t, kRemembered> knownWords_{};  // knownBytes_ in memory order
  std::array<bool, kRemembered> isKnown_{};
};

}  // namespace kartwerk::records
