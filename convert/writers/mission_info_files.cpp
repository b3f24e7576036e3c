// "info", "desc" and the mission picture.
#include "convert/writers/mission_info_files.hpp"

#include <array>
#include <string>

#include "convert/writers/mission_file_io.hpp"
#include "convert/writers/mission_grid_files.hpp"
#include "core/parse_decimal.hpp"
#include "format/map_info.hpp"

namespace kartwerk::writers {
namespace {

// The mission info record: two values and three texts at fixed places.
constexpr std::size_t kInfoRecordBytes = 368;
constexpr std::size_t kFirstValueAt = 0;
constexpr std::size_t kSecondValueAt = 324;
struct TextField {
  std::size_t offset;
  std::size_t width;
};
constexpr std::array<TextField, 3> kInfoTexts{{{4, 64}, {68, 256}, {328, 40}}};

std::string Describe(const format::MissionRectangle& r) {
  // Appended piece by piece: g++ 12 at -O2 misreads "(" + std::to_string(...) as an overlapping copy.
  std::string text = "(";
  text += std::to_string(r.x0) + ", " + std::to_string(r.y0) + ", " + std::to_string(r.width) + " x ";
  text += std::to_string(r.height) + ")";
  return text;
}

}  // namespace

void WriteInfoFile(format::Conversion& c) {
  const auto path = DiscardMissionFile(c, "info");
  c.MissionRect = format::ReadMissionRectangle(c);
  if (!FitsMissionGrid(c.MissionRect)) {
    WarnForMission(c, "the mission rectangle " + Describe(c.MissionRect) +
                          " does not fit the editor's 512 x 512 grid; \"mines\" and \"locations\" keep only "
                          "the part inside the grid");
  }

  core::Bytes out;
  core::PutI32(out, c.MissionRect.x0);
  core::PutI32(out, c.MissionRect.y0);
  core::PutI32(out, c.MissionRect.width);
  core::PutI32(out, c.MissionRect.height);

  c.Seek(format::Section::MissionInfoSecond);
  const core::Bytes record = c.MissionStream.ReadRecord(kInfoRecordBytes);
  core::PutU32(out, core::U32At(record, kFirstValueAt));
  core::PutU32(out, core::U32At(record, kSecondValueAt));
  for (const TextField& field : kInfoTexts) {
    const std::string text = core::FixedText(std::span(record).subspan(field.offset, field.width));
    core::PutU32(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
  }
  SaveMissionFile(c, path, out);
}

void WriteDescFile(format::Conversion& c) {
  const auto path = DiscardMissionFile(c, "desc");
  // The three characters after "mis." (fewer when the name is shorter).
  const std::string digits = c.MissionName.size() > 4 ? c.MissionName.substr(4, 3) : std::string();
  SaveMissionFile(c, path, "Mission #" + std::to_string(core::ParseDecimal(digits)));
  WritePictureFile(c);
}

void WritePictureFile(format::Conversion& c) {
  const auto path = DiscardMissionFile(c, "JPG1024.jpg");
  SaveSection(path, c, format::Section::MissionPicture);
}

}  // namespace kartwerk::writers
