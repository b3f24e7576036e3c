#include "convert/writers/airfields_file.hpp"

#include "convert/writers/mission_file_io.hpp"
#include "platform/file_output.hpp"

namespace kartwerk::writers {

void WriteAirfieldsFile(format::Conversion& conversion) {
  platform::DiscardFile(conversion.SlotFolder / "airfields", conversion.Output, conversion.Written);
  // The section as it stands, written from the container: its stored size is the map's, so it
  // is not copied first.
  SaveSection(conversion.SlotFolder / "airfields", conversion, format::Section::Airfields);
}

}  // namespace kartwerk::writers
