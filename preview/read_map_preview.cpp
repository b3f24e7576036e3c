#include "preview/read_map_preview.hpp"

#include <algorithm>
#include <exception>

#include "convert/records/beach_island_rhombs.hpp"
#include "convert/records/cliff_grid.hpp"
#include "convert/records/normal_rhombs.hpp"
#include "convert/records/objects.hpp"
#include "convert/records/units.hpp"
#include "convert/writers/section_records.hpp"
#include "format/map_info.hpp"
#include "format/staging.hpp"
#include "platform/path_text.hpp"

namespace kartwerk::preview {
namespace {

constexpr std::size_t kMissionInfoTitleAt = 4;
constexpr std::size_t kMissionInfoTitleWidth = 64;

void Warn(const format::Conversion& c, const std::string& message) {
  if (c.Warn) c.Warn(message);
}

// Terrain type and level of every cell the terrain section holds, converted by the scheme's tables.
void ReadTerrain(format::Conversion& c, MapPreview& map) {
  const std::size_t cells = map.terrain.size();
  const std::uint32_t scheme = c.MapInfoRecord.TerrainScheme;
  if (scheme > 2) {
    Warn(c, "terrain scheme " + std::to_string(scheme) + " has no tile tables; the ground is drawn as missing");
    return;
  }
  const format::SectionEntry& entry = c.Entry(format::Section::TerrainRhombs);
  const writers::SectionRecords records =
      writers::ReadSectionRecords(c.MissionStream, entry.offset, entry.size, records::CompiledRhomb::kSize);
  core::Bytes scratch;
  const std::span<const std::uint8_t> all = records.Contiguous(scratch);
  // Records that begin past the end of the map file hold no terrain, only zeros.
  const std::size_t held = std::min(static_cast<std::size_t>(records.count - records.pastEnd), cells);
  records::RhombConverter converter(scheme == 0 ? records::NormalRhombScheme() : records::BeachIslandRhombScheme());
  for (std::size_t cell = 0; cell < held; ++cell) {
    const records::EditorRhomb rhomb = converter.Convert(records::CompiledRhomb::Decode(
        all.subspan(cell * records::CompiledRhomb::kSize, records::CompiledRhomb::kSize)));
    map.terrain[cell] = rhomb.terrain;
    // The five level bits as the editor keeps them.
    map.level[cell] = static_cast<std::uint8_t>((rhomb.levelLow >> 4) | (rhomb.levelHigh << 4));
  }
  if (held < cells) {
    Warn(c, "the terrain section holds " + std::to_string(held) + " of the map's " + std::to_string(cells) +
                " cells; the others are drawn as missing");
  }
}

// Objects and the cliff marks the cliff objects stamp, read as the "objects" file is written.
void ReadObjects(format::Conversion& c, MapPreview& map) {
  const std::size_t position = format::SectionPosition(format::Section::Objects, c.MapKind);
  const std::size_t shifted = position + c.MiniEntryCount;
  if (position == format::kNoSection || shifted >= c.SectionDirectory.count) return;
  const writers::SectionRecords records =
      writers::ReadSectionRecords(c.MissionStream, c.SectionDirectory[shifted].offset,
                                  c.SectionDirectory[position].size, records::ObjectRecord::kSize);
  core::Bytes scratch;
  const std::span<const std::uint8_t> all = records.Contiguous(scratch);
  const core::Bytes none;
  const core::Bytes& cliffData = c.CliffDataBuffer ? *c.CliffDataBuffer : none;
  const std::size_t held = static_cast<std::size_t>(records.count - records.pastEnd);
  for (std::size_t i = 0; i < held; ++i) {
    const records::ObjectRecord object =
        records::ObjectRecord::Decode(all.subspan(i * records::ObjectRecord::kSize, records::ObjectRecord::kSize));
    if (object.nameIndex != records::kCliffNameIndex) {
      map.objects.push_back({object.x, object.y});
    } else if (records::StampsCliffMask(object)) {
      records::StampCliffMask(map.cliffs, map.width(), map.height(), records::CliffMaskAt(cliffData, object.variant),
                              object.x / 32, object.y / 32);
    }
  }
}

std::string CampaignMissionName(const std::string& entry) {
  return "mis." + (entry.size() > 3 ? entry.substr(3, 3) : std::string());
}

// Runs one stage of the reading, turning any failure into a MapPreviewError that names it.
template <class Body>
auto Stage(const std::string& what, Body&& body) {
  try {
    return body();
  } catch (const MapPreviewError&) {
    throw;
  } catch (const std::exception& e) {
    throw MapPreviewError(what + " failed: " + e.what());
  }
}

}  // namespace

MapPreview ReadMapLevelPreview(format::Conversion& c) {
  MapPreview map;
  map.kind = c.MapKind;
  map.info = c.MapInfoRecord;
  const std::int32_t w = map.width(), h = map.height();
  if (w <= 0 || h <= 0 || w > kMaxPreviewSide || h > kMaxPreviewSide) {
    throw MapPreviewError("the map's size " + std::to_string(w) + "x" + std::to_string(h) +
                          " cannot be drawn (each side must be 1 to " + std::to_string(kMaxPreviewSide) + " cells)");
  }
  const std::size_t cells = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  map.terrain.assign(cells, kNoTerrain);
  map.level.assign(cells, 0);
  map.cliffs.assign(cells, 0);
  ReadTerrain(c, map);
  ReadObjects(c, map);
  return map;
}

MissionPreview ReadMissionPreview(format::Conversion& c, const std::string& missionName) {
  MissionPreview mission;
  mission.name = missionName;
  mission.rect = format::ReadMissionRectangle(c);
  c.Seek(format::Section::MissionInfoSecond);
  const core::Bytes info = c.MissionStream.ReadRecord(kMissionInfoTitleAt + kMissionInfoTitleWidth);
  mission.title = core::FixedText(std::span(info).subspan(kMissionInfoTitleAt));

  // Only records inside the units section (and the file) are units; a count that reaches past
  // them comes from damaged data.
  const format::SectionEntry& entry = c.Seek(format::Section::MapUnits);
  core::ByteStream& stream = c.MissionStream;
  const std::int64_t end = std::min<std::int64_t>(std::int64_t{entry.offset} + std::max(entry.size, 0), stream.size());
  const std::int32_t count = stream.position() + 4 <= end ? stream.ReadI32() : 0;
  std::uint8_t record[records::UnitHead::kSize];
  std::int32_t read = 0;
  for (; read < count && stream.position() + static_cast<std::int64_t>(records::UnitHead::kSize) <= end; ++read) {
    stream.ReadRecord(record);
    const records::UnitHead head = records::UnitHead::Decode(record);
    stream.Skip(static_cast<std::int64_t>(head.SubRecordCount() * records::CrewRecord::kSize));
    mission.units.push_back(
        {{head.U + std::int64_t{mission.rect.x0} * 32, head.V + std::int64_t{mission.rect.y0} * 32}, head.Owner});
  }
  if (read < count) {
    Warn(c, missionName + ": the units section announces " + std::to_string(count) + " units and holds " +
                std::to_string(read) + "; only those are drawn");
  }
  return mission;
}

MapPreview LoadMapPreview(const std::filesystem::path& mapPath, std::shared_ptr<const core::Bytes> cliffData,
                          const std::function<void(const std::string&)>& warn) {
  format::Conversion c;
  c.Warn = warn;
  if (cliffData) c.CliffDataBuffer = std::move(cliffData);
  // The same preparation, in the same words, as a conversion's.
  Stage("staging the map", [&] {
    c.MapKind = format::MapKindFromExtension(platform::TextFromPath(mapPath.extension()));
    format::StageMapFile(c, std::filesystem::absolute(mapPath));
    return 0;
  });
  c.MapInfoRecord = format::ReadMapInformation(c);
  MapPreview map = Stage("reading the map", [&] { return ReadMapLevelPreview(c); });
  if (c.MapKind != format::CampaignMap) {
    map.missions.push_back(Stage("reading the mission", [&] { return ReadMissionPreview(c, "mis.000"); }));
    return map;
  }
  for (std::size_t i = 0; i < c.MissionList.size(); ++i) {
    const std::string name = CampaignMissionName(c.MissionList[i]);
    Stage("loading the mission file for mission " + name, [&] {
      format::LoadMissionFile(c, i);
      return 0;
    });
    map.missions.push_back(Stage("reading mission " + name, [&] { return ReadMissionPreview(c, name); }));
  }
  return map;
}

}  // namespace kartwerk::preview
