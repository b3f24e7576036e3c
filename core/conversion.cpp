#include "core/conversion.hpp"

namespace kartwerk {

const sectionRec& Conversion::Entry(Section section) const {
  return SectionDirectory[SectionPosition(section, MapKind)];
}

const sectionRec& Conversion::Seek(Section section) {
  const sectionRec& entry = Entry(section);
  MissionStream.Seek(entry.offset);
  return entry;
}

void LoadSectionDirectory(Conversion& conversion, const std::filesystem::path& file) {
  conversion.MissionStream.Load(ReadWholeFile(file));
  conversion.PMiniCount = ReadSectionDirectory(conversion.MissionStream, conversion.SectionDirectory);
}

}  // namespace kartwerk
