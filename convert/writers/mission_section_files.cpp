// "phrases2", "objs", "mismult" and "misdesc".
#include "convert/writers/mission_section_files.hpp"

#include "convert/writers/mission_file_io.hpp"

namespace kartwerk::writers {
namespace {

constexpr int kMissionObjectCount = 100;

// Two's-complement sum, as the editor's 32-bit fields hold it.
std::int32_t Shift(std::uint16_t value, std::int32_t origin) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) + static_cast<std::uint32_t>(origin));
}

}  // namespace

void WritePhrasesFile(format::Conversion& c) {
  const auto path = DiscardMissionFile(c, "phrases2");
  SaveSection(path, c, format::Section::Phrases);
}

void WriteObjsFile(format::Conversion& c) {
  const auto path = DiscardMissionFile(c, "objs");
  c.Seek(format::Section::MissionObjects);
  core::Bytes out;
  out.reserve(kMissionObjectCount * 8);
  for (int i = 0; i < kMissionObjectCount; ++i) {
    const std::uint16_t x = c.MissionStream.ReadU16();
    const std::uint16_t y = c.MissionStream.ReadU16();
    // An unused entry has x 0; the first entry is placed even then.
    if (x != 0 || i == 0) {
      core::PutI32(out, Shift(x, c.MissionRect.x0));
      core::PutI32(out, Shift(y, c.MissionRect.y0));
    } else {
      core::PutI32(out, 0);
      core::PutI32(out, 0);
    }
  }
  SaveMissionFile(c, path, out);
}

void WriteMismultFile(format::Conversion& c) {
  const auto path = DiscardMissionFile(c, "mismult");
  if (c.MapKind == format::MultiplayerMap) {
    SaveSection(path, c, format::Section::MultiplayerSettings);
  } else {
    SaveMissionFile(c, path, std::span<const std::uint8_t>(kDefaultMismult));
  }
}

void WriteMisdescFile(format::Conversion& c) {
  const auto path = DiscardMissionFile(c, "misdesc");
  SaveSection(path, c, format::Section::MissionDescription);
}

}  // namespace kartwerk::writers
