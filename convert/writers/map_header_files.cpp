// The "desc" and "info" files of a slot.
#include "convert/writers/map_header_files.hpp"

#include <string>

#include "core/parse_decimal.hpp"
#include "format/map_info.hpp"
#include "format/slot_title.hpp"
#include "platform/file_output.hpp"

namespace kartwerk::writers {

void WriteMapDescFile(format::Conversion& conversion) {
  if (conversion.MapKind == format::CampaignMap) {
    const std::string title = "Campaign " + std::to_string(core::ParseDecimal(conversion.MapName));
    platform::WriteFileAtomic(conversion.SlotFolder / "desc", title, conversion.Output, conversion.Written);
    return;
  }
  // The map's name comes from its file name; the editor reads the title in its own code page.
  bool lost = false;
  const std::string title = format::SlotTitleFromName(conversion.MapName, lost);
  if (lost && conversion.Warn) {
    conversion.Warn("the map's name \"" + conversion.MapName +
                    "\" holds characters the editor's code page (Windows-1252) cannot hold; the slot's title shows \"" +
                    core::Cp1252ToUtf8(title) + "\"");
  }
  platform::WriteFileAtomic(conversion.SlotFolder / "desc", title, conversion.Output, conversion.Written);
}

void WriteMapInfoFile(format::Conversion& conversion) {
  conversion.Seek(format::Section::MapInformation);
  core::Bytes content(4, 0);
  const core::Bytes header = conversion.MissionStream.ReadRecord(12);
  conversion.MapInfoRecord = format::ParseMapInformation(header);
  content.insert(content.end(), header.begin(), header.end());
  platform::WriteFileAtomic(conversion.SlotFolder / "info", content, conversion.Output, conversion.Written);
}

}  // namespace kartwerk::writers
