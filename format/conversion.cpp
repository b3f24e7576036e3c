#include "format/conversion.hpp"

#include <string>

#include "platform/path_text.hpp"
#include "platform/whole_file.hpp"

namespace kartwerk::format {

// The mission's folder is named as the mission. Windows drops a trailing blank or dot from a
// folder name, so such a name would not be found again: those characters become "_" (the
// mission number is still read from the name itself, where blanks around it are allowed).
std::filesystem::path Conversion::MissionFolder() const {
  std::string name = MissionName;
  for (std::size_t i = name.size(); i > 4 && (name[i - 1] == ' ' || name[i - 1] == '.'); --i) name[i - 1] = '_';
  return SlotFolder / platform::PathFromText(name);
}

const SectionEntry& Conversion::Entry(Section section) const {
  return SectionDirectory[SectionPosition(section, MapKind)];
}

const SectionEntry& Conversion::Seek(Section section) {
  const SectionEntry& entry = Entry(section);
  MissionStream.Seek(entry.offset);
  return entry;
}

void LoadSectionDirectory(Conversion& conversion, const std::filesystem::path& file) {
  LoadContainer(conversion, platform::ReadWholeFile(file), platform::TextFromPath(file.filename()));
}

void LoadContainer(Conversion& conversion, const core::Bytes& container, const std::string& name) {
  LoadContainer(conversion, core::ContainerBytes(container.begin(), container.end()), name);
}

void LoadContainer(Conversion& conversion, core::ContainerBytes container, const std::string& name) {
  conversion.MissionStream.Load(std::move(container));
  conversion.MiniEntryCount = ReadSectionDirectory(conversion.MissionStream, conversion.SectionDirectory);
  // A negative size (a damaged size field) moves the walk backwards or out of the file: the
  // sections after that entry are not where the converters will look. The map still converts,
  // but the user is told which file and which entry are damaged.
  if (!conversion.Warn) return;
  const SectionTable& directory = conversion.SectionDirectory;
  for (std::size_t i = 0; i < directory.count; ++i) {
    if (directory[i].size >= 0) continue;
    // Appended piece by piece: g++ 12 at -O2 misreads "\"" + std::string(...) as an overlapping copy.
    std::string message = "\"";
    message += name + "\": section " + std::to_string(i) + " (\"" + directory[i].name + "\") has a negative size (" +
               std::to_string(directory[i].size) + "); the sections after it are not found";
    conversion.Warn(message);
    break;
  }
}

}  // namespace kartwerk::format
