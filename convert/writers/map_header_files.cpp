// The "desc" and "info" files of a slot.
#include "convert/writers/map_header_files.hpp"

#include <string>

#include "core/file_output.hpp"
#include "core/map_info.hpp"
#include "core/parse_decimal.hpp"

namespace kartwerk {
namespace {

constexpr std::size_t kMaxTitleLength = 255;

}  // namespace

void WriteMapDescFile(Conversion& conversion) {
  std::string title = conversion.MapKind == CampaignMap ? "Campaign " + std::to_string(ParseDecimal(conversion.MapName))
                                                        : conversion.MapName;
  if (title.size() > kMaxTitleLength) title.resize(kMaxTitleLength);
  WriteFileAtomic(conversion.SlotFolder / "desc", title, conversion.Output, conversion.Written);
}

void WriteMapInfoFile(Conversion& conversion) {
  conversion.Seek(Section::MapInformation);
  Bytes content(4, 0);
  const Bytes header = conversion.MissionStream.ReadRecord(12);
  conversion.MapInfoRecord = ParseMapInformation(header);
  content.insert(content.end(), header.begin(), header.end());
  WriteFileAtomic(conversion.SlotFolder / "info", content, conversion.Output, conversion.Written);
}

}  // namespace kartwerk
