// "groups", "support", "sounds", "mapunits" and "scripts2" ("players" has its own file).
#include "convert/writers/mission_list_files.hpp"

#include <algorithm>

#include "convert/records/groups.hpp"
#include "convert/records/name_table.hpp"
#include "convert/records/scripts.hpp"
#include "convert/records/sounds.hpp"
#include "convert/records/support.hpp"
#include "convert/writers/mission_file_io.hpp"
#include "platform/file_output.hpp"

namespace kartwerk::writers {

std::vector<records::CrewRecord> ReadCrewReversed(core::ByteStream& stream, std::size_t count) {
  std::vector<records::CrewRecord> crew;
  crew.reserve(count);
  std::uint8_t record[records::CrewRecord::kSize];
  for (std::size_t i = 0; i < count; ++i) {
    stream.ReadRecord(record);
    crew.push_back(records::CrewRecord::Decode(record));
  }
  std::reverse(crew.begin(), crew.end());
  return crew;
}

void WriteGroupsFile(format::Conversion& c) {
  const auto path = DiscardMissionFile(c, "groups");
  const bool storesGroups = c.MapKind != format::MultiplayerMap;
  if (storesGroups) c.Seek(format::Section::Groups);
  platform::OutputFile out(path, c.Output, c.Written);
  for (int n = 0; n < kGroupCount; ++n) {
    out.Append("Group " + std::to_string(n) + "\n");
    records::GroupRecord group = records::DefaultGroupRecord;
    if (storesGroups) {
      std::array<std::uint8_t, records::GroupRecord::kSize> record;
      c.MissionStream.ReadRecord(record);
      group = records::GroupRecord::Decode(record);
    }
    out.Append(records::ConvertGroupRecord(group));
  }
  out.Commit();
}

void WriteSupportFile(format::Conversion& c) {
  const auto path = DiscardMissionFile(c, "support");
  platform::OutputFile out(path, c.Output, c.Written);
  c.Seek(format::Section::SupportFirst);
  std::uint8_t flag[records::SupportFlagRecord::kSize];
  for (int i = 0; i < kSupportFlagCount; ++i) {
    c.MissionStream.ReadRecord(flag);
    out.Append(records::ConvertSupportFlag(records::SupportFlagRecord::Decode(flag), c.MissionRect));
  }
  out.Append('\n');

  const records::NameTable names = records::UnitNameTable(c);
  c.Seek(format::Section::SupportSecond);
  std::uint8_t head[records::SupportUnitHead::kSize];
  for (int g = 0; g < kSupportGroupCount; ++g) {
    const std::int32_t count = c.MissionStream.ReadI32();
    if (count <= 0) {
      out.Append("support \"\"\n");
    } else {
      out.Append("support \"support #" + std::to_string(g) + "\"\n");
      for (CountedRecords records(c, count, "support"); records.Next();) {
        c.MissionStream.ReadRecord(head);
        const records::SupportUnitHead unit = records::SupportUnitHead::Decode(head);
        const auto crew = ReadCrewReversed(c.MissionStream, unit.SubRecordCount());
        out.Append(records::ConvertSupportUnit(unit, crew, names));
      }
    }
    out.Append("end\n");
  }
  out.Commit();
}

void WriteSoundsFile(format::Conversion& c) {
  const auto path = DiscardMissionFile(c, "sounds");
  c.Seek(format::Section::Sounds);
  const std::int32_t count = c.MissionStream.ReadI32();
  platform::OutputFile out(path, c.Output, c.Written);
  std::uint8_t record[records::SoundRecord::kSize];
  for (CountedRecords records(c, count, "sounds"); records.Next();) {
    c.MissionStream.ReadRecord(record);
    out.Append(records::ConvertSoundRecord(records::SoundRecord::Decode(record)));
  }
  out.Commit();
}

void WriteMapunitsFile(format::Conversion& c) {
  const auto path = DiscardMissionFile(c, "mapunits");
  const records::NameTable names = records::UnitNameTable(c);
  c.Seek(format::Section::MapUnits);
  const std::int32_t count = c.MissionStream.ReadI32();
  platform::OutputFile out(path, c.Output, c.Written);
  std::uint8_t head[records::UnitHead::kSize];
  std::string text;  // one unit's lines; its memory serves every unit
  for (CountedRecords records(c, count, "mapunits"); records.Next();) {
    c.MissionStream.ReadRecord(head);
    const records::UnitHead unit = records::UnitHead::Decode(head);
    const auto crew = ReadCrewReversed(c.MissionStream, unit.SubRecordCount());
    text.clear();
    records::AppendUnitRecord(text, unit, crew, names, c.MissionRect);
    out.Append(text);
  }
  out.Commit();
}

void WriteScripts2File(format::Conversion& c) {
  const auto path = DiscardMissionFile(c, "scripts2");
  c.Seek(format::Section::Scripts);
  const std::int32_t count = c.MissionStream.ReadI32();
  platform::OutputFile out(path, c.Output, c.Written);
  for (CountedRecords records(c, count, "scripts2"); records.Next();) {
    records::WriteScript(out, c.MissionStream, static_cast<std::int32_t>(records.index()), c.GameVersionKind);
  }
  out.Commit();
}

}  // namespace kartwerk::writers
