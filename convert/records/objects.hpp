// Object placement: one 10-byte object record of the compiled map becomes one line of the
// editor's "objects" file, and a cliff object also stamps its footprint onto CliffGrid.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "convert/records/record_fields.hpp"
#include "core/byte_stream.hpp"
#include "format/conversion.hpp"

namespace kartwerk::records {

inline constexpr std::size_t kObjectNameSize = 16;
inline constexpr std::uint8_t kCliffNameIndex = 8;  // the cliff objects

struct ObjectRecord {
  static constexpr std::size_t kSize = 10;
  enum Field : std::size_t { kX, kY, kNameIndex, kAttrByte, kAttrWord, kVariant };
  // The "objects" line writes no keys: its words are the name, x, y, variant, attrByte and attrWord.
  static constexpr RecordFields<6> kFields{
      {{0, 2, "x"}, {2, 2, "y"}, {4, 1, "name"}, {5, 1, "attrByte"}, {6, 2, "attrWord"}, {8, 2, "variant"}}};
  static_assert(FieldsFill(kFields, kSize));

  std::uint16_t x = 0;  // position units, 32 per cell
  std::uint16_t y = 0;
  std::uint8_t nameIndex = 0;  // entry of the object names section
  std::uint8_t attrByte = 0;
  std::uint16_t attrWord = 0;
  std::uint16_t variant = 0;  // for a cliff object also its mask number

  // Reads the little-endian record; bytes missing from a short record read as 0.
  static ObjectRecord Decode(std::span<const std::uint8_t> record);
};

// Entry index of the object names table that starts at tableOffset in stream: the text of
// its 16 bytes up to the first zero byte. Reads the container's bytes directly, so the
// stream's read position is never touched; bytes past the container's end read as 0 (an
// entry wholly past it gives an empty name).
std::string LookupObjectName(const core::ByteStream& stream, std::int64_t tableOffset, std::uint8_t index);

// "name x y variant attrByte attrWord\n", the numbers unsigned and in plain decimal.
std::string ObjectLine(std::string_view name, const ObjectRecord& record);
// The same line appended to out.
void AppendObjectLine(std::string& out, std::string_view name, const ObjectRecord& record);
// The same line spelled into at, which has room for name.size() + kMaxObjectNumbers bytes;
// returns the end of the line (the "objects" writer spells its lines in its output buffer).
inline constexpr std::size_t kMaxObjectNumbers = 5 * 6 + 1;  // five blanks and numbers, the line feed
char* FormatObjectLine(char* at, std::string_view name, const ObjectRecord& record);

// The entries of the object names table that starts at tableOffset in stream, each read once
// with LookupObjectName when first asked for: tens of thousands of objects share a few names.
class ObjectNames {
 public:
  ObjectNames(const core::ByteStream& stream, std::int64_t tableOffset) : stream_(stream), tableOffset_(tableOffset) {}
  const std::string& operator[](std::uint8_t index) {
    if (!known_[index]) {
      names_[index] = LookupObjectName(stream_, tableOffset_, index);
      known_[index] = true;
    }
    return names_[index];
  }

 private:
  const core::ByteStream& stream_;
  std::int64_t tableOffset_;
  std::array<std::string, 256> names_;
  std::array<bool, 256> known_{};
};

// Cliff objects stamp their mask, except the variants 56 and 57, which have none.
bool StampsCliffMask(const ObjectRecord& record);

// The record's line, looking its name up in the object names section of the loaded
// container; stamps conversion.CliffGrid (sized for MapInfoRecord's width and height) with
// mask number variant of conversion.CliffDataBuffer when the record is a cliff object.
std::string ConvertObject(const ObjectRecord& record, format::Conversion& conversion);
// The same, with the line appended to out.
void AppendConvertedObject(std::string& out, const ObjectRecord& record, format::Conversion& conversion);
// The stamp alone: mask number variant onto conversion.CliffGrid when the record is a cliff object.
void StampObjectCliff(const ObjectRecord& record, format::Conversion& conversion);

}  // namespace kartwerk::records
