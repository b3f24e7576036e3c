// The "desc" and "info" files of a slot.
#include "convert/writers/map_header_files.hpp"

#include <string>

#include "platform/file_output.hpp"
#include "format/map_info.hpp"
#include "core/parse_decimal.hpp"
#include "format/slot_title.hpp"

namespace kartwerk {

void WriteMapDescFile(Conversion& conversion) {
  if (conversion.MapKind == CampaignMap) {
    const std::string title = "Campaign " + std::to_string(ParseDecimal(conversion.MapName));
    WriteFileAtomic(conversion.SlotFolder / "desc", title, conversion.Output, conversion.Written);
    return;
  }
  // The map's name comes from its file name; the editor reads the title in its own code page.
  bool lost = false;
  const std::string title = SlotTitleFromName(conversion.MapName, lost);
  if (lost && conversion.Warn) {
    conversion.Warn("the map's name \"" + conversion.MapName +
                    "\" holds characters the editor's code page (Windows-1252) cannot hold; the slot's title shows \"" +
                    Cp1252ToUtf8(title) + "\"");
  }
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
