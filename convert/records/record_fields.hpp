// A record described once: the offset, width and name of each of its fields, in offset order, in
// one constexpr list that the record's Decode reads, its writer takes its keys from and the
// comparison of a folder with a map reads the editor's files by, and that a compile-time check
// proves to fill the record's size exactly. Bytes missing from a short record read as zero.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/byte_stream.hpp"

namespace kartwerk::records {

struct RecordField {
  constexpr RecordField() = default;
  constexpr RecordField(std::size_t fieldOffset, std::size_t fieldWidth, std::string_view fieldName = {})
      : offset(fieldOffset), width(fieldWidth), name(fieldName) {}

  std::size_t offset = 0;
  std::size_t width = 0;
  std::string_view name;  // the key the editor's file writes the field under; empty when it writes none
};

template <std::size_t N>
using RecordFields = std::array<RecordField, N>;

// Whether the fields follow one another from offset 0, without gap or overlap, and end at size.
template <std::size_t N>
constexpr bool FieldsFill(const RecordFields<N>& fields, std::size_t size) {
  std::size_t next = 0;
  for (const RecordField& field : fields) {
    if (field.offset != next || field.width == 0) return false;
    next = field.offset + field.width;
  }
  return next == size;
}

// Whether order (a record's fields in the order its text lists them) names each of the N fields
// exactly once.
template <std::size_t N, class Order>
constexpr bool ListsEachFieldOnce(const Order& order) {
  if (order.size() != N) return false;
  for (std::size_t field = 0; field < N; ++field) {
    if (std::count(order.begin(), order.end(), field) != 1) return false;
  }
  return true;
}

// Whether one of the fields is written under name.
template <std::size_t N>
constexpr bool HasFieldNamed(const RecordFields<N>& fields, std::string_view name) {
  return std::any_of(fields.begin(), fields.end(),
                     [name](const RecordField& f) { return !f.name.empty() && f.name == name; });
}

// The bytes of a field that the record holds: fewer than its width, or none, when the record is
// cut short.
inline std::span<const std::uint8_t> FieldBytes(std::span<const std::uint8_t> record, RecordField field) {
  const std::size_t from = std::min(field.offset, record.size());
  return record.subspan(from, std::min(field.width, record.size() - from));
}

// Reads a record's fields by their index in Fields; each read checks the field's width at compile
// time, so a list and a decoder that disagree do not build.
template <const auto& Fields>
class FieldReader {
 public:
  explicit FieldReader(std::span<const std::uint8_t> record) : record_(record) {}

  template <std::size_t I>
  std::uint8_t U8() const {
    static_assert(Fields[I].width == 1);
    return core::ByteAt(record_, Fields[I].offset);
  }
  template <std::size_t I>
  std::uint16_t U16() const {
    static_assert(Fields[I].width == 2);
    return core::U16At(record_, Fields[I].offset);
  }
  template <std::size_t I>
  std::uint32_t U32() const {
    static_assert(Fields[I].width == 4);
    return core::U32At(record_, Fields[I].offset);
  }
  template <std::size_t I>
  std::int32_t I32() const {
    return static_cast<std::int32_t>(U32<I>());
  }
  // An IEEE 754 single.
  template <std::size_t I>
  float F32() const {
    return std::bit_cast<float>(U32<I>());
  }
  // A fixed-width text: up to its first zero byte, never past the field.
  template <std::size_t I>
  std::string Text() const {
    return core::FixedText(Bytes<I>());
  }
  // A field that holds smaller records of its own (decoded by their own lists).
  template <std::size_t I>
  std::span<const std::uint8_t> Bytes() const {
    return FieldBytes(record_, Fields[I]);
  }

 private:
  std::span<const std::uint8_t> record_;
};

}  // namespace kartwerk::records
