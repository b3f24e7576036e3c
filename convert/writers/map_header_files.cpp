// The "desc", "info" and "airfields" files of a slot.
#include <string>

#include "convert/map_files.hpp"
#include "core/errors.hpp"
#include "core/file_output.hpp"
#include "core/map_info.hpp"

namespace kartwerk {
namespace {

constexpr std::size_t kMaxTitleLength = 255;

}  // namespace

void WriteMapDescFile(Conversion& conversion) {
  std::string title =
      conversion.MapKind == CampaignMap ? "Campaign " + std::to_string(ParseDecimal(conversion.MapName))
                                        : conversion.MapName;
  if (title.size() > kMaxTitleLength) title.resize(kMaxTitleLength);
  WriteFileAtomic(conversion.SlotFolder / "desc", title);
}

void WriteMapInfoFile(Conversion& conversion) {
  conversion.Seek(Section::MapInformation);
  Bytes content(4, 0);
  const Bytes header = conversion.MissionStream.ReadRecord(12);
  conversion.MapInfoRecord = ParseMapInformation(header);
  content.insert(content.end(), header.begin(), header.end());
  WriteFileAtomic(conversion.SlotFolder / "info", content);
}

void WriteAirfieldsFile(Conversion& conversion) {
  DiscardFile(conversion.SlotFolder / "airfields");
  const sectionRec& airfields = conversion.Seek(Section::Airfields);
  const Bytes content = conversion.MissionStream.ReadExact(airfields.size);
  WriteFileAtomic(conversion.SlotFolder / "airfields", content);
}

}  // namespace kartwerk
