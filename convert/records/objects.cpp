#include "convert/records/objects.hpp"

#include <algorithm>
#include <array>
#include <charconv>

#include "convert/records/cliff_grid.hpp"
#include "convert/records/key_value.hpp"

namespace kartwerk::records {

ObjectRecord ObjectRecord::Decode(std::span<const std::uint8_t> record) {
  const FieldReader<kFields> f(record);
  return {f.U16<kX>(), f.U16<kY>(), f.U8<kNameIndex>(), f.U8<kAttrByte>(), f.U16<kAttrWord>(), f.U16<kVariant>()};
}

std::string LookupObjectName(const core::ByteStream& stream, std::int64_t tableOffset, std::uint8_t index) {
  // The index is not checked against the section's size: an entry past the section takes
  // its bytes from whatever follows in the container.
  std::array<std::uint8_t, kObjectNameSize> field{};
  stream.PeekAt(tableOffset + static_cast<std::int64_t>(kObjectNameSize) * index, field);
  return core::FixedText(field);
}

char* FormatObjectLine(char* at, std::string_view name, const ObjectRecord& r) {
  // The numbers are spelled in place, without a string each: a large map has tens of
  // thousands of objects.
  at = std::copy(name.begin(), name.end(), at);
  for (const std::uint32_t number : {std::uint32_t{r.x}, std::uint32_t{r.y}, std::uint32_t{r.variant},
                                     std::uint32_t{r.attrByte}, std::uint32_t{r.attrWord}}) {
    *at++ = ' ';
    at = SpellSmallNumber(at, number);
  }
  *at++ = '\n';
  return at;
}

void AppendObjectLine(std::string& out, std::string_view name, const ObjectRecord& r) {
  const std::size_t had = out.size();
  out.resize(had + name.size() + kMaxObjectNumbers);
  char* const start = out.data() + had;
  out.resize(had + static_cast<std::size_t>(FormatObjectLine(start, name, r) - start));
}

std::string ObjectLine(std::string_view name, const ObjectRecord& r) {
  std::string line;
  AppendObjectLine(line, name, r);
  return line;
}

bool StampsCliffMask(const ObjectRecord& record) {
  return record.nameIndex == kCliffNameIndex && record.variant != 56 && record.variant != 57;
}

std::string ConvertObject(const ObjectRecord& record, format::Conversion& conversion) {
  std::string line;
  AppendConvertedObject(line, record, conversion);
  return line;
}

void AppendConvertedObject(std::string& out, const ObjectRecord& record, format::Conversion& conversion) {
  const format::SectionEntry& names = conversion.Entry(format::Section::ObjectNames);
  AppendObjectLine(out, LookupObjectName(conversion.MissionStream, names.offset, record.nameIndex), record);
  StampObjectCliff(record, conversion);
}

void StampObjectCliff(const ObjectRecord& record, format::Conversion& conversion) {
  if (!StampsCliffMask(record)) return;
  const core::Bytes empty;
  const core::Bytes& cliffData = conversion.CliffDataBuffer ? *conversion.CliffDataBuffer : empty;
  StampCliffMask(conversion.CliffGrid, conversion.MapInfoRecord.width, conversion.MapInfoRecord.height,
                 CliffMaskAt(cliffData, record.variant), record.x / 32, record.y / 32);
}

}  // namespace kartwerk::records
