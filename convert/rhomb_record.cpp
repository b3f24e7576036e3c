#include "convert/rhomb_record.hpp"

#include "core/byte_stream.hpp"

namespace kartwerk {

CompiledRhomb CompiledRhomb::Parse(std::span<const std::uint8_t> record) {
  return CompiledRhomb{U16At(record, 0), U16At(record, 2)};
}

std::array<std::uint8_t, kEditorRhombSize> EditorRhomb::Bytes() const {
  return {terrain,
          tileClass,
          static_cast<std::uint8_t>(shape),
          static_cast<std::uint8_t>(shape >> 8),
          levelLow,
          levelHigh,
          static_cast<std::uint8_t>(tileCode),
          static_cast<std::uint8_t>(tileCode >> 8)};
}

}  // namespace kartwerk
