#include "convert/writers/airfields_file.hpp"

#include "core/file_output.hpp"

namespace kartwerk {

void WriteAirfieldsFile(Conversion& conversion) {
  DiscardFile(conversion.SlotFolder / "airfields");
  const sectionRec& airfields = conversion.Seek(Section::Airfields);
  const Bytes content = conversion.MissionStream.ReadExact(airfields.size);
  WriteFileAtomic(conversion.SlotFolder / "airfields", content);
}

}  // namespace kartwerk
