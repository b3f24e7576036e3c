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

namespace kartwerk {

std::vector<CrewRecord> ReadCrewReversed(ByteStream& stream, std::size_t count) {
  std::vector<CrewRecord> crew;
  crew.reserve(count);
  std::uint8_t record[CrewRecord::kSize];
  for (std::size_t i = 0; i < count; ++i) {
    stream.ReadRecord(record);
    crew.push_back(CrewRecord::Decode(record));
  }
  std::reverse(crew.begin(), crew.end());
  return crew;
}

void WriteGroupsFile(Conversion& c) {
  const auto path = DiscardMissionFile(c, "groups");
  const bool storesGroups = c.MapKind != MultiplayerMap;
  if (storesGroups) c.Seek(Section::Groups);
  OutputFile out(path, c.Output, c.Written);
  for (int n = 0; n < kGroupCount; ++n) {
    out.Append("Group " + std::to_string(n) + "\n");
    GroupRecord group = DefaultGroupRecord;
    if (storesGroups) {
      std::array<std::uint8_t, GroupRecord::kSize> record;
      c.MissionStream.ReadRecord(record);
      group = GroupRecord::Decode(record);
    }
    out.Append(ConvertGroupRecord(group));
  }
  out.Commit();
}

void WriteSupportFile(Conversion& c) {
  const auto path = DiscardMissionFile(c, "support");
  OutputFile out(path, c.Output, c.Written);
  c.Seek(Section::SupportFirst);
  std::uint8_t flag[SupportFlagRecord::kSize];
  for (int i = 0; i < kSupportFlagCount; ++i) {
    c.MissionStream.ReadRecord(flag);
    out.Append(ConvertSupportFlag(SupportFlagRecord::Decode(flag), c.MissionRect));
  }
  out.Append('\n');

  const NameTable names = UnitNameTable(c);
  c.Seek(Section::SupportSecond);
  std::uint8_t head[SupportUnitHead::kSize];
  for (int g = 0; g < kSupportGroupCount; ++g) {
    const std::int32_t count = c.MissionStream.ReadI32();
    if (count <= 0) {
      out.Append("support \"\"\n");
    } else {
      out.Append("support \"support #" + std::to_string(g) + "\"\n");
      for (CountedRecords records(c, count, "support"); records.Next();) {
        c.MissionStream.ReadRecord(head);
        const SupportUnitHead unit = SupportUnitHead::Decode(head);
        const auto crew = ReadCrewReversed(c.MissionStream, unit.SubRecordCount());
        out.Append(ConvertSupportUnit(unit, crew, names));
      }
    }
    out.Append("end\n");
  }
  out.Commit();
}

void WriteSoundsFile(Conversion& c) {
  const auto path = DiscardMissionFile(c, "sounds");
  c.Seek(Section::Sounds);
  const std::int32_t count = c.MissionStream.ReadI32();
  OutputFile out(path, c.Output, c.Written);
  std::uint8_t record[SoundRecord::kSize];
  for (CountedRecords records(c, count, "sounds"); records.Next();) {
    c.MissionStream.ReadRecord(record);
    out.Append(ConvertSoundRecord(SoundRecord::Decode(record)));
  }
  out.Commit();
}

void WriteMapunitsFile(Conversion& c) {
  const auto path = DiscardMissionFile(c, "mapunits");
  const NameTable names = UnitNameTable(c);
  c.Seek(Section::MapUnits);
  const std::int32_t count = c.MissionStream.ReadI32();
  OutputFile out(path, c.Output, c.Written);
  std::uint8_t head[UnitHead::kSize];
  std::string text;  // one unit's lines; its memory serves every unit
  for (CountedRecords records(c, count, "mapunits"); records.Next();) {
    c.MissionStream.ReadRecord(head);
    const UnitHead unit = UnitHead::Decode(head);
    const auto crew = ReadCrewReversed(c.MissionStream, unit.SubRecordCount());
    text.clear();
    AppendUnitRecord(text, unit, crew, names, c.MissionRect);
    out.Append(text);
  }
  out.Commit();
}

void WriteScripts2File(Conversion& c) {
  const auto path = DiscardMissionFile(c, "scripts2");
  c.Seek(Section::Scripts);
  const std::int32_t count = c.MissionStream.ReadI32();
  OutputFile out(path, c.Output, c.Written);
  for (CountedRecords records(c, count, "scripts2"); records.Next();) {
    WriteScript(out, c.MissionStream, static_cast<std::int32_t>(records.index()), c.GameVersionKind);
  }
  out.Commit();
}

}  // namespace kartwerk
