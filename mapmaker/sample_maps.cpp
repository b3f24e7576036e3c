#include "mapmaker/sample_maps.hpp"

#include <algorithm>
#include <random>
#include <string>

#include "format/conversion.hpp"
#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_terrain.hpp"

namespace kartwerk::mapmaker {
namespace {

using Rng = std::mt19937;

std::uint32_t Below(Rng& rng, std::uint32_t bound) { return bound == 0 ? 0 : rng() % bound; }

core::Bytes RandomBytes(Rng& rng, std::size_t count) {
  core::Bytes out(count);
  for (auto& b : out) b = static_cast<std::uint8_t>(rng());
  return out;
}

// A random cell of the rectangle (in map cells) where the terrain is walkable, if one is found in
// a few hundred tries; else any cell of the rectangle.
SampleCell PickCell(Rng& rng, const SampleTerrain& terrain, const format::MissionRectangle& r) {
  const std::int32_t w = std::max(r.width, 1), h = std::max(r.height, 1);
  SampleCell cell{r.x0 + static_cast<std::int32_t>(Below(rng, static_cast<std::uint32_t>(w))),
                  r.y0 + static_cast<std::int32_t>(Below(rng, static_cast<std::uint32_t>(h)))};
  for (int tries = 0; tries < 300 && !terrain.IsWalkable(cell.x, cell.y); ++tries) {
    cell = {r.x0 + static_cast<std::int32_t>(Below(rng, static_cast<std::uint32_t>(w))),
            r.y0 + static_cast<std::int32_t>(Below(rng, static_cast<std::uint32_t>(h)))};
  }
  return cell;
}

// A position (32 units per cell) inside the cell, measured from the rectangle's corner.
std::uint16_t Position(Rng& rng, std::int32_t cell, std::int32_t origin) {
  return static_cast<std::uint16_t>(std::max(cell - origin, 0) * 32 + static_cast<std::int32_t>(Below(rng, 32)));
}

format::MissionRectangle WholeMap(const SampleTerrain& terrain) { return {0, 0, terrain.width, terrain.height}; }

core::Bytes NameTable(const std::vector<std::string>& names) {
  Le out;
  for (const std::string& name : names) out.Text(name, 16);
  return out;
}

// ---- Map sections ---------------------------------------------------------------------------

// Index 8 is the cliff object, whose variant picks one of the "cliffdata" masks.
const std::vector<std::string> kObjectNames = {"tree_oak", "tree_pine", "bush", "house_small", "house_farm",
                                               "fence",    "bridge",    "rock", "cliff",       "crater"};

// Cliffs stand on the plateaus' edges; trees, houses and the rest on dry ground.
core::Bytes Objects(Rng& rng, const SampleTerrain& terrain, int count) {
  Le out;
  for (int i = 0; i < count; ++i) {
    const bool cliff = i % 4 == 0 && !terrain.cliffEdges.empty();
    std::uint8_t name = static_cast<std::uint8_t>(Below(rng, kObjectNames.size() - 1));
    if (name >= 8) ++name;  // any object but the cliff
    SampleCell at;
    if (cliff) {
      name = 8;
      at = terrain.cliffEdges[Below(rng, static_cast<std::uint32_t>(terrain.cliffEdges.size()))];
    } else {
      at = PickCell(rng, terrain, WholeMap(terrain));
    }
    out.U16(Position(rng, at.x, 0))
        .U16(Position(rng, at.y, 0))
        .U8(name)
        .U8(static_cast<std::uint8_t>(Below(rng, 4)))
        .U16(static_cast<std::uint16_t>(Below(rng, 360)))
        .U16(static_cast<std::uint16_t>(name == 8 ? Below(rng, 58) : Below(rng, 6)));
  }
  return out;
}

// The terrain's tile codes, each with its level as the level word.
core::Bytes Rhombs(const SampleTerrain& terrain) {
  Le out;
  for (std::size_t i = 0; i < terrain.tileCode.size(); ++i) out.U16(terrain.tileCode[i]).U16(terrain.level[i]);
  return out;
}

SampleTerrain TerrainOf(const SampleOptions& o) {
  return MakeSampleTerrain(o.seed, o.scheme, LandscapeOfScheme(o.scheme), o.width, o.height);
}

void FillMapSections(MapBuilder& map, Rng& rng, const SampleOptions& o, const SampleTerrain& terrain) {
  const std::size_t cells =
      static_cast<std::size_t>(std::max(o.width, 0)) * static_cast<std::size_t>(std::max(o.height, 0));
  map.MapInfo(o.scheme, o.width, o.height);
  map.Set(format::Section::ObjectNames, NameTable(kObjectNames));
  map.Set(format::Section::TerrainRhombs, Rhombs(terrain));
  map.Set(format::Section::CellFlags4, RandomBytes(rng, cells * 4));
  map.Set(format::Section::CellFlags1, RandomBytes(rng, cells));
  map.Set(format::Section::CellFlags2, RandomBytes(rng, cells * 2));
  map.Set(format::Section::Airfields, RandomBytes(rng, 24));
  map.Set(format::Section::Objects, Objects(rng, terrain, 40));
}

// ---- Mission sections -----------------------------------------------------------------------

const std::vector<std::string> kUnitNames = {"tank_t34", "tank_pz4",    "truck_opel", "rifleman",
                                             "driver",   "gunner",      "commander",  "medic",
                                             "sniper",   "mortar_crew", "plane_ju87", "plane_me109"};

// Grp, HP, Ammo, Expa, Lives, Morale, then the type number.
Le& Stats(Le& out, Rng& rng, std::uint8_t group) {
  return out.U8(group)
      .U8(static_cast<std::uint8_t>(60 + Below(rng, 41)))
      .U8(static_cast<std::uint8_t>(Below(rng, 101)))
      .U8(static_cast<std::uint8_t>(Below(rng, 4)))
      .U8(static_cast<std::uint8_t>(1 + Below(rng, 3)))
      .U8(static_cast<std::uint8_t>(40 + Below(rng, 61)));
}

void CrewRecords(Le& out, Rng& rng, int count, std::uint8_t group) {
  for (int i = 0; i < count; ++i) Stats(out, rng, group).U16(static_cast<std::uint16_t>(3 + Below(rng, 7))).U16(0);
}

// Each player's units stand in two clusters on dry ground of the mission's rectangle, a few
// cells across; each cluster is one group.
core::Bytes MapUnits(Rng& rng, const SampleTerrain& terrain, const format::MissionRectangle& r, int players) {
  const int clusters = players * 2;
  const int perCluster = players > 2 ? 2 : 3;
  Le out;
  out.I32(clusters * perCluster);
  int i = 0;
  for (int cluster = 0; cluster < clusters; ++cluster) {
    const SampleCell centre = PickCell(rng, terrain, r);
    const std::uint8_t group = static_cast<std::uint8_t>(1 + cluster);
    for (int member = 0; member < perCluster; ++member, ++i) {
      SampleCell at = centre;
      for (int tries = 0; tries < 20; ++tries) {
        const SampleCell near{centre.x - 2 + static_cast<std::int32_t>(Below(rng, 5)),
                              centre.y - 2 + static_cast<std::int32_t>(Below(rng, 5))};
        const bool inside = near.x >= r.x0 && near.y >= r.y0 && near.x < r.x0 + r.width && near.y < r.y0 + r.height;
        if (inside && terrain.IsWalkable(near.x, near.y)) {
          at = near;
          break;
        }
      }
      const bool vehicle = i % 3 == 0;
      const std::uint8_t in = vehicle ? static_cast<std::uint8_t>(Below(rng, 3)) : 0;
      const std::uint8_t crew = vehicle ? static_cast<std::uint8_t>(1 + Below(rng, 3)) : 0;
      Stats(out, rng, group)
          .U16(static_cast<std::uint16_t>(vehicle ? Below(rng, 3) : 3 + Below(rng, 7)))
          .U16(0)
          .U8(in)
          .U8(crew)
          .U16(Position(rng, at.x, r.x0))
          .U16(Position(rng, at.y, r.y0))
          .U8(static_cast<std::uint8_t>(Below(rng, 8) * 32))
          .U8(static_cast<std::uint8_t>(cluster % players));
      CrewRecords(out, rng, in + crew, group);
    }
  }
  return out;
}

core::Bytes SupportFlags(Rng& rng, const format::MissionRectangle& r) {
  Le out;
  for (int i = 0; i < 16; ++i) {
    if (i < 3) {
      out.I32(static_cast<std::int32_t>(Below(rng, r.width)))
          .I32(static_cast<std::int32_t>(Below(rng, r.height)))
          .I32(static_cast<std::int32_t>(Below(rng, r.width)))
          .I32(static_cast<std::int32_t>(Below(rng, r.height)))
          .I32(static_cast<std::int32_t>(1 + Below(rng, 5)));
    } else {
      out.I32(-1).I32(-1).I32(-1).I32(-1).I32(0);
    }
  }
  return out;
}

core::Bytes SupportGroups(Rng& rng) {
  Le out;
  for (int g = 0; g < 64; ++g) {
    const int count = g == 0 ? 2 : g == 3 ? 1 : 0;
    out.I32(count);
    for (int u = 0; u < count; ++u) {
      const std::uint8_t crew = u == 0 ? 2 : 0;
      Stats(out, rng, 20).U32(u == 0 ? 0 : 9).U8(0).U8(crew);
      CrewRecords(out, rng, crew, 20);
    }
  }
  return out;
}

core::Bytes Groups(Rng& rng) {
  Le out;
  for (int g = 0; g < 100; ++g) {
    if (g >= 6) {
      out.U32(0).Fill(6).I32(0).I32(0x7FFFFFFF).U16(0).I32(0x7FFFFFFF).U8(100).U8(100).U8(0).U8(50);
      continue;
    }
    const std::uint32_t flags = (Below(rng, 1u << 24) & 0x00F0F0F0u) | (static_cast<std::uint32_t>(g) << 24);
    out.U32(static_cast<std::uint32_t>(1 + g * 2) | flags)
        .U8(static_cast<std::uint8_t>(g))
        .U8(static_cast<std::uint8_t>(g + 1))
        .U8(static_cast<std::uint8_t>(g + 2))
        .U8(0)
        .U8(static_cast<std::uint8_t>(g % 2))
        .U8(static_cast<std::uint8_t>(g))
        .I32(g % 2 ? 250 * g : 0)
        .I32(g % 3 ? 0x7FFFFFFF : 500)
        .U16(static_cast<std::uint16_t>(g * 3))
        .I32(g % 2 ? 0x7FFFFFFF : 1500)
        .U8(100)
        .U8(static_cast<std::uint8_t>(50 + g))
        .U8(static_cast<std::uint8_t>(g % 4))
        .U8(70);
  }
  return out;
}

core::Bytes Grid(Rng& rng, const format::MissionRectangle& r, std::uint32_t oneIn, std::uint8_t values) {
  core::Bytes out(static_cast<std::size_t>(r.width) * static_cast<std::size_t>(r.height), 0);
  for (auto& b : out) {
    if (Below(rng, oneIn) == 0) b = static_cast<std::uint8_t>(1 + Below(rng, values));
  }
  return out;
}

core::Bytes MissionObjects(Rng& rng, const format::MissionRectangle& r) {
  Le out;
  for (int i = 0; i < 100; ++i) {
    if (i < 5) {
      out.U16(static_cast<std::uint16_t>(1 + Below(rng, r.width - 1)))
          .U16(static_cast<std::uint16_t>(Below(rng, r.height)));
    } else {
      out.U16(0).U16(0);
    }
  }
  return out;
}

core::Bytes Sounds(Rng& rng) {
  const char* names[] = {"wind_strong", "river", "church_bells"};
  Le out;
  out.I32(3);
  for (const char* name : names) {
    out.Text(name, 64)
        .U16(static_cast<std::uint16_t>(Below(rng, 2000)))
        .U16(static_cast<std::uint16_t>(Below(rng, 2000)))
        .U16(static_cast<std::uint16_t>(100 + Below(rng, 400)))
        .F32(static_cast<float>(Below(rng, 200)) / 100.0f - 0.5f)
        .U16(static_cast<std::uint16_t>(Below(rng, 50)))
        .U16(static_cast<std::uint16_t>(50 + Below(rng, 100)));
  }
  return out;
}

core::Bytes Players(Rng& rng, int count) {
  // The second name does not begin with a letter, so single-player maps rename that player.
  const char* names[] = {"Allies", "3rd Army", "Axis", "Partisans"};
  Le out;
  out.I32(count);
  for (int p = 0; p < count; ++p) {
    out.Text(names[p % 4], 32)
        .U8(static_cast<std::uint8_t>(p % 2))
        .U16(static_cast<std::uint16_t>(rng()))
        .U8(static_cast<std::uint8_t>(p))
        .U8(static_cast<std::uint8_t>(Below(rng, 8)));
    const char* aircraft[] = {"plane_ju87", "", "plane_ju52", "plane_me109", ""};
    for (const char* unit : aircraft) {
      out.Text(unit, 32)
          .I32(*unit ? static_cast<std::int32_t>(1 + Below(rng, 3)) : -1)
          .I32(static_cast<std::int32_t>(Below(rng, 4)))
          .I32(static_cast<std::int32_t>(Below(rng, 3000)));
    }
    for (int d = 0; d < 2; ++d) {
      out.U8(static_cast<std::uint8_t>(30 + d)).U8(static_cast<std::uint8_t>(d));
      out.Text("rifleman", 16).Text(d ? "" : "sniper", 16).Text("", 16).Text("", 16);
      out.U8(6).U8(d ? 0 : 2).U8(0).U8(0);
    }
  }
  return out;
}

// Script items: an argument (high half 1) or a code (high half 0).
constexpr std::uint32_t Arg(std::uint16_t value) { return 0x00010000u | value; }

core::Bytes Scripts() {
  const std::vector<std::vector<std::uint32_t>> scripts = {
      // stpt 1; strt 1, 250; joined by "&"
      {Arg(1), 13, Arg(1), Arg(250), 12, 1},
      // mstl 3; sp 2; marker; mist
      {Arg(3), 14, Arg(2), 15, 7, 51},
      // te 1, and a timer test with a large value
      {Arg(1), 27, Arg(0xFF05), 16},
      {},
  };
  Le out;
  out.I32(static_cast<std::int32_t>(scripts.size()));
  for (const auto& items : scripts) {
    out.U32(0).U32(0);
    for (std::uint32_t item : items) out.U32(item);
    out.U32(0xFFFF);
  }
  return out;
}

core::Bytes MissionInfo(std::uint32_t number) {
  const std::string title = "Operation " + std::string(number % 2 ? "Nightfall" : "Daybreak");
  return Le()
      .U32(number)
      .Text(title, 64)
      .Text("Hold the river crossing until the relief column arrives.", 256)
      .U32(3)
      .Text("Brannox", 40)
      .Fill(24);
}

// A small JPEG stand-in: start and end markers around a few bytes of data.
core::Bytes Picture(Rng& rng) {
  core::Bytes out = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00};
  const core::Bytes body = RandomBytes(rng, 200);
  out.insert(out.end(), body.begin(), body.end());
  out.push_back(0xFF);
  out.push_back(0xD9);
  return out;
}

core::Bytes Text(const std::string& text) { return core::Bytes(text.begin(), text.end()); }

void FillMissionSections(MapBuilder& mission, Rng& rng, format::MapKindCode kind, const SampleTerrain& terrain,
                         const format::MissionRectangle& r, std::uint32_t number) {
  const int players = kind == format::MultiplayerMap ? 4 : 2;
  if (kind == format::CampaignMap)
    mission.Set(format::Section::MissionInfoFirst, Le().I32(r.x0).I32(r.y0).I32(r.width).I32(r.height));
  if (kind == format::MultiplayerMap)
    mission.Set(format::Section::MultiplayerSettings, Le().I32(4).I32(20).I32(1).I32(8));
  mission.Set(format::Section::MissionDescription, Text("Mission briefing\nTake the bridge at dawn.\n"));
  mission.Set(format::Section::UnitNames, NameTable(kUnitNames));
  mission.Set(format::Section::MapUnits, MapUnits(rng, terrain, r, players));
  mission.Set(format::Section::SupportSecond, SupportGroups(rng));
  mission.Set(format::Section::Players, Players(rng, players));
  if (kind != format::MultiplayerMap) mission.Set(format::Section::Groups, Groups(rng));
  mission.Set(format::Section::Locations, Grid(rng, r, 40, 6));
  mission.Set(format::Section::Mines, Grid(rng, r, 25, 2));
  mission.Set(format::Section::Phrases, Text("phrase 1\nForward!\nphrase 2\nHold your fire.\n"));
  mission.Set(format::Section::SupportFirst, SupportFlags(rng, r));
  mission.Set(format::Section::MissionObjects, MissionObjects(rng, r));
  mission.Set(format::Section::Sounds, Sounds(rng));
  mission.Set(format::Section::Scripts, Scripts());
  mission.Set(format::Section::MissionInfoSecond, MissionInfo(number));
  mission.Set(format::Section::MissionPicture, Picture(rng));
}

}  // namespace

core::Bytes SampleMainContainer(format::MapKindCode kind, const SampleOptions& options) {
  Rng rng(options.seed);
  MapBuilder map(kind);
  const SampleTerrain terrain = TerrainOf(options);
  FillMapSections(map, rng, options, terrain);
  if (kind != format::CampaignMap)
    FillMissionSections(map, rng, kind, terrain, {0, 0, options.width, options.height}, 0);
  return map.Build();
}

core::Bytes SampleMissionContainer(const SampleOptions& options, std::uint32_t missionNumber) {
  Rng rng(options.seed * 7919u + missionNumber);
  MapBuilder mission(format::CampaignMap, MapBuilder::File::CampaignMission);
  // Each mission covers its own part of the map.
  const std::int32_t inset = static_cast<std::int32_t>(missionNumber % 4) + 2;
  const format::MissionRectangle rect{inset, inset / 2, std::max(options.width - 2 * inset, 1),
                                      std::max(options.height - inset, 1)};
  FillMissionSections(mission, rng, format::CampaignMap, TerrainOf(options), rect, missionNumber);
  return mission.Build();
}

core::Bytes ReplaceSection(const core::Bytes& container, std::size_t position, const core::Bytes& data) {
  core::ByteStream stream;
  stream.Load(container);
  format::SectionTable directory;
  format::ReadSectionDirectory(stream, directory);
  ContainerBuilder rebuilt;
  rebuilt.Header(core::Bytes(container.begin(), container.begin() + std::min<std::size_t>(8, container.size())));
  for (std::size_t i = 0; i < directory.count; ++i) {
    const format::SectionEntry& e = directory[i];
    // The stored name field, as it stands before the entry's size.
    const core::Bytes name(container.begin() + e.offset - 16, container.begin() + e.offset - 4);
    const core::Bytes own(container.begin() + e.offset, container.begin() + e.offset + e.size);
    const core::Bytes& body = i == position ? data : own;
    rebuilt.AddRaw(name, static_cast<std::int32_t>(body.size()), body);
  }
  return rebuilt.Build();
}

std::vector<std::filesystem::path> WriteSampleMaps(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  const std::uint32_t mtime = 1262304000;  // 2010-01-01
  std::vector<std::filesystem::path> maps;

  auto write = [&](const std::string& file, const core::Bytes& container, const std::string& stored) {
    WriteBytes(folder / file, Gzip(container, stored, mtime));
    return folder / file;
  };
  maps.push_back(write("frontier.qdm", SampleMainContainer(format::SinglePlayerMap, {1, 0, 32, 24}), "frontier"));
  maps.push_back(write("islands.qdp", SampleMainContainer(format::MultiplayerMap, {2, 2, 40, 40}), "islands"));
  const SampleOptions campaign{3, 1, 48, 32};
  maps.push_back(write("007.qdc", SampleMainContainer(format::CampaignMap, campaign), "007"));
  write("007000.qdc", SampleMissionContainer(campaign, 0), "007000");
  write("007003.qdc", SampleMissionContainer(campaign, 3), "007003");
  return maps;
}

}  // namespace kartwerk::mapmaker
