#include "mapmaker/bench_maps.hpp"

#include <algorithm>
#include <random>
#include <stdexcept>

#include "format/conversion.hpp"
#include "mapmaker/map_builder.hpp"

namespace kartwerk::mapmaker {
namespace {

using Rng = std::mt19937;

std::uint32_t Below(Rng& rng, std::uint32_t bound) { return bound == 0 ? 0 : rng() % bound; }
bool OneIn(Rng& rng, std::uint32_t n) { return Below(rng, n) == 0; }
std::uint8_t Byte(std::uint32_t v) { return static_cast<std::uint8_t>(v); }
std::uint16_t Word(std::uint32_t v) { return static_cast<std::uint16_t>(v); }

core::Bytes NameTable(const std::vector<std::string>& names) {
  Le out;
  for (const std::string& name : names) out.Text(name, 16);
  return out;
}

std::size_t Cells(const BenchMapOptions& o) {
  return static_cast<std::size_t>(std::max(o.width, 0)) * static_cast<std::size_t>(std::max(o.height, 0));
}

// ---- Map sections ---------------------------------------------------------------------------

// Index 8 is the cliff object.
const std::vector<std::string> kObjectNames = {"tree_oak", "tree_pine", "bush", "house_small", "house_farm",
                                               "fence",    "bridge",    "rock", "cliff",       "crater"};

// Terrain in 16 x 16 patches of one plain tile, with transition pieces and odd tiles here and there.
core::Bytes Rhombs(Rng& rng, const BenchMapOptions& o) {
  const std::uint16_t plainNormal[] = {3, 20, 72, 130, 190, 250, 300};
  const std::uint16_t plainBeach[] = {5, 18, 75, 130, 200};
  const std::uint16_t* plain = o.scheme == 0 ? plainNormal : plainBeach;
  const std::uint32_t plainCount = o.scheme == 0 ? 7 : 5;
  const std::uint32_t codes = o.scheme == 0 ? 360 : 200;
  const std::uint32_t patchesAcross = static_cast<std::uint32_t>(o.width / 16 + 1);
  std::vector<std::uint16_t> patches(static_cast<std::size_t>(patchesAcross) * (o.height / 16 + 1));
  for (auto& p : patches) p = plain[Below(rng, plainCount)];
  core::Bytes out;
  out.reserve(Cells(o) * 4);
  for (std::int32_t y = 0; y < o.height; ++y) {
    for (std::int32_t x = 0; x < o.width; ++x) {
      std::uint16_t code =
          patches[static_cast<std::size_t>(y / 16) * patchesAcross + static_cast<std::uint32_t>(x / 16)];
      const bool edge = x % 16 == 0 || y % 16 == 0;
      if ((edge && OneIn(rng, 2)) || OneIn(rng, 40)) code = Word(Below(rng, codes));
      const std::uint16_t level = Word(((x / 24 + y / 40) % 20) + (OneIn(rng, 30) ? 1 : 0));
      core::PutU16(out, code);
      core::PutU16(out, level);
    }
  }
  return out;
}

void CellFlags(Rng& rng, const BenchMapOptions& o, core::Bytes& flags4, core::Bytes& flags1, core::Bytes& flags2) {
  flags4.reserve(Cells(o) * 4);
  flags1.reserve(Cells(o));
  flags2.reserve(Cells(o) * 2);
  for (std::int32_t y = 0; y < o.height; ++y) {
    for (std::int32_t x = 0; x < o.width; ++x) {
      const bool hilly = ((x / 12) + (y / 12)) % 3 == 0;
      flags4.push_back(hilly ? Byte(Below(rng, 4) * 0x11 + 1) : 0);
      flags4.push_back(OneIn(rng, 12) ? Byte(rng()) : 0x80);
      flags4.push_back(0);
      flags4.push_back(0);
      flags1.push_back(OneIn(rng, 25) ? 1 : 0);
      core::PutU16(flags2, OneIn(rng, 15) ? Word(Below(rng, 16) << 8) : 0);
    }
  }
}

core::Bytes Objects(Rng& rng, const BenchMapOptions& o) {
  Le out;
  for (int i = 0; i < o.objects; ++i) {
    const std::uint8_t name = Byte(i % 4 == 0 ? 8 : Below(rng, static_cast<std::uint32_t>(kObjectNames.size())));
    out.U16(Word(Below(rng, static_cast<std::uint32_t>(std::min(o.width, 2047)) * 32)))
        .U16(Word(Below(rng, static_cast<std::uint32_t>(std::min(o.height, 2047)) * 32)))
        .U8(name)
        .U8(Byte(Below(rng, 4)))
        .U16(Word(Below(rng, 360)))
        .U16(Word(name == 8 ? Below(rng, 58) : Below(rng, 6)));
  }
  return out;
}

void FillMapSections(MapBuilder& map, Rng& rng, const BenchMapOptions& o) {
  map.MapInfo(o.scheme, o.width, o.height);
  map.Set(format::Section::ObjectNames, NameTable(kObjectNames));
  map.Set(format::Section::TerrainRhombs, Rhombs(rng, o));
  core::Bytes flags4, flags1, flags2;
  CellFlags(rng, o, flags4, flags1, flags2);
  map.Set(format::Section::CellFlags4, flags4);
  map.Set(format::Section::CellFlags1, flags1);
  map.Set(format::Section::CellFlags2, flags2);
  Le airfields;
  for (int i = 0; i < 8; ++i) airfields.U32(Below(rng, 1000)).U32(Below(rng, 1000)).U32(Below(rng, 4));
  map.Set(format::Section::Airfields, airfields);
  map.Set(format::Section::Objects, Objects(rng, o));
}

// ---- Mission sections -----------------------------------------------------------------------

const std::vector<std::string> kUnitNames = {"tank_t34", "tank_pz4",    "truck_opel", "rifleman",
                                             "driver",   "gunner",      "commander",  "medic",
                                             "sniper",   "mortar_crew", "plane_ju87", "plane_me109"};

// Grp, HP, Ammo, Expa, Lives, Morale.
Le& Stats(Le& out, Rng& rng, std::uint8_t group) {
  return out.U8(group)
      .U8(Byte(60 + Below(rng, 41)))
      .U8(Byte(Below(rng, 101)))
      .U8(Byte(Below(rng, 4)))
      .U8(Byte(1 + Below(rng, 3)))
      .U8(Byte(40 + Below(rng, 61)));
}

void CrewRecords(Le& out, Rng& rng, int count, std::uint8_t group) {
  for (int i = 0; i < count; ++i) Stats(out, rng, group).U16(Word(3 + Below(rng, 7))).U16(0);
}

core::Bytes MapUnits(Rng& rng, std::int32_t width, std::int32_t height, int count) {
  Le out;
  out.I32(count);
  const std::uint32_t spanU = static_cast<std::uint32_t>(std::min(width, 2047)) * 32;
  const std::uint32_t spanV = static_cast<std::uint32_t>(std::min(height, 2047)) * 32;
  for (int i = 0; i < count; ++i) {
    const bool vehicle = i % 3 == 0;
    const std::uint8_t in = vehicle ? Byte(Below(rng, 3)) : 0;
    const std::uint8_t crew = vehicle ? Byte(1 + Below(rng, 3)) : 0;
    const std::uint8_t group = Byte(1 + (i / 4) % 99);
    Stats(out, rng, group)
        .U16(Word(vehicle ? Below(rng, 3) : 3 + Below(rng, 7)))
        .U16(0)
        .U8(in)
        .U8(crew)
        .U16(Word(Below(rng, spanU)))
        .U16(Word(Below(rng, spanV)))
        .U8(Byte(Below(rng, 8) * 32))
        .U8(Byte(i % 2));
    CrewRecords(out, rng, in + crew, group);
  }
  return out;
}

core::Bytes SupportFlags(Rng& rng, std::int32_t width, std::int32_t height) {
  Le out;
  for (int i = 0; i < 16; ++i) {
    if (i < 6) {
      out.I32(static_cast<std::int32_t>(Below(rng, static_cast<std::uint32_t>(width))))
          .I32(static_cast<std::int32_t>(Below(rng, static_cast<std::uint32_t>(height))))
          .I32(static_cast<std::int32_t>(1 + Below(rng, 5)))
          .I32(static_cast<std::int32_t>(Below(rng, static_cast<std::uint32_t>(width))))
          .I32(static_cast<std::int32_t>(Below(rng, static_cast<std::uint32_t>(height))));
    } else {
      out.I32(-1).I32(-1).I32(0).I32(-1).I32(-1);
    }
  }
  return out;
}

core::Bytes SupportGroups(Rng& rng, int unitsPerGroup) {
  Le out;
  for (int g = 0; g < 64; ++g) {
    const int count = g % 4 == 0 ? unitsPerGroup : 0;
    out.I32(count);
    for (int u = 0; u < count; ++u) {
      const std::uint8_t crew = u % 2 == 0 ? 2 : 0;
      Stats(out, rng, 20).U32(u % 12).U8(0).U8(crew);
      CrewRecords(out, rng, crew, 20);
    }
  }
  return out;
}

core::Bytes Groups(Rng& rng) {
  Le out;
  for (int g = 0; g < 100; ++g) {
    const std::uint32_t flags = (Below(rng, 1u << 24) & 0x00F0F0F0u) | (static_cast<std::uint32_t>(g % 16) << 24);
    out.U32(static_cast<std::uint32_t>(g % 14) | flags)
        .U8(Byte(g))
        .U8(Byte(g + 1))
        .U8(Byte(g + 2))
        .U8(0)
        .U8(Byte(g % 2))
        .U8(Byte(g))
        .I32(g % 2 ? 250 * g : 0)
        .I32(g % 3 ? 0x7FFFFFFF : 500)
        .U16(Word(g * 3))
        .I32(g % 2 ? 0x7FFFFFFF : 1500)
        .U8(100)
        .U8(Byte(50 + g % 50))
        .U8(Byte(g % 4))
        .U8(70);
  }
  return out;
}

// A mines or locations grid: empty but for scattered marks in a few areas.
core::Bytes Grid(Rng& rng, std::int32_t width, std::int32_t height, std::uint8_t values) {
  core::Bytes out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      const bool area = (x / 32 + y / 32) % 5 == 0;
      if (area && OneIn(rng, 4))
        out[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
            Byte(1 + Below(rng, values));
    }
  }
  return out;
}

core::Bytes MissionObjects(Rng& rng, std::int32_t width, std::int32_t height) {
  Le out;
  for (int i = 0; i < 100; ++i) {
    if (i < 40) {
      out.U16(Word(1 + Below(rng, static_cast<std::uint32_t>(std::max(width - 1, 1)))))
          .U16(Word(Below(rng, static_cast<std::uint32_t>(height))));
    } else {
      out.U16(0).U16(0);
    }
  }
  return out;
}

core::Bytes Sounds(Rng& rng, int count) {
  const char* names[] = {"wind_strong", "river", "church_bells", "artillery_far", "birds"};
  Le out;
  out.I32(count);
  for (int i = 0; i < count; ++i) {
    out.Text(names[i % 5], 64)
        .U16(Word(Below(rng, 16000)))
        .U16(Word(Below(rng, 16000)))
        .U16(Word(100 + Below(rng, 400)))
        .F32(static_cast<float>(Below(rng, 200)) / 100.0f - 0.5f)
        .U16(Word(Below(rng, 50)))
        .U16(Word(50 + Below(rng, 100)));
  }
  return out;
}

core::Bytes Players(Rng& rng, int count) {
  const char* names[] = {"Allies", "3rd Army", "Axis", "Partisans"};
  Le out;
  out.I32(count);
  for (int p = 0; p < count; ++p) {
    out.Text(names[p % 4], 32).U8(Byte(p % 2)).U16(Word(rng())).U8(Byte(p)).U8(Byte(Below(rng, 8)));
    const char* aircraft[] = {"plane_ju87", "", "plane_ju52", "plane_me109", ""};
    for (const char* unit : aircraft) {
      out.Text(unit, 32)
          .I32(*unit ? static_cast<std::int32_t>(1 + Below(rng, 3)) : -1)
          .I32(static_cast<std::int32_t>(Below(rng, 4)))
          .I32(static_cast<std::int32_t>(Below(rng, 3000)));
    }
    for (int d = 0; d < 2; ++d) {
      out.U8(Byte(30 + d)).U8(Byte(d));
      out.Text("rifleman", 16).Text(d ? "" : "sniper", 16).Text("", 16).Text("", 16);
      out.U8(6).U8(d ? 0 : 2).U8(0).U8(0);
    }
  }
  return out;
}

// Script items: an argument (high half 1) or a code (high half 0).
constexpr std::uint32_t Arg(std::uint32_t value) { return 0x00010000u | (value & 0xFFFF); }

// Scripts of conditions joined by "&" and "|", then actions after the marker.
core::Bytes Scripts(Rng& rng, int count, int statements) {
  Le out;
  out.I32(count);
  for (int s = 0; s < count; ++s) {
    out.U32(static_cast<std::uint32_t>(s)).U32(0);
    const int conditions = std::max(statements / 2, 1);
    for (int i = 0; i < conditions; ++i) {
      switch (Below(rng, 3)) {
        case 0: out.U32(Arg(Below(rng, 16))).U32(13); break;                             // stpt
        case 1: out.U32(Arg(Below(rng, 16))).U32(Arg(Below(rng, 3000))).U32(12); break;  // strt
        default: out.U32(Arg(Below(rng, 60))).U32(14); break;                            // mstl
      }
      if (i > 0) out.U32(Below(rng, 3) == 0 ? 2 : 1);  // "|" or "&" joins it to what came before
    }
    out.U32(7);  // the marker: actions follow
    for (int i = conditions; i < statements; ++i) {
      switch (Below(rng, 3)) {
        case 0: out.U32(Arg(Below(rng, 40))).U32(15); break;            // sp
        case 1: out.U32(Arg(0xFF00 + Below(rng, 255))).U32(16); break;  // scd with a large value
        default: out.U32(Arg(Below(rng, 16))).U32(27); break;           // te
      }
    }
    out.U32(0xFFFF);
  }
  return out;
}

core::Bytes MissionInfo(std::uint32_t number) {
  return Le()
      .U32(number)
      .Text(number % 2 ? "Operation Nightfall" : "Operation Daybreak", 64)
      .Text("Hold the river crossing until the relief column arrives.", 256)
      .U32(3)
      .Text("Brannox", 40)
      .Fill(24);
}

// A JPEG stand-in of a typical mission picture's size.
core::Bytes Picture(Rng& rng) {
  core::Bytes out = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00};
  for (int i = 0; i < 60000; ++i) out.push_back(Byte(rng()));
  out.push_back(0xFF);
  out.push_back(0xD9);
  return out;
}

core::Bytes Text(const std::string& text) { return core::Bytes(text.begin(), text.end()); }

void FillMissionSections(MapBuilder& mission, Rng& rng, const BenchMapOptions& o, const format::MissionRectangle& r,
                         std::uint32_t number) {
  if (o.kind == format::CampaignMap)
    mission.Set(format::Section::MissionInfoFirst, Le().I32(r.x0).I32(r.y0).I32(r.width).I32(r.height));
  if (o.kind == format::MultiplayerMap)
    mission.Set(format::Section::MultiplayerSettings, Le().I32(4).I32(20).I32(1).I32(8));
  mission.Set(format::Section::MissionDescription, Text("Mission briefing\nTake the bridge at dawn.\n"));
  mission.Set(format::Section::UnitNames, NameTable(kUnitNames));
  mission.Set(format::Section::MapUnits, MapUnits(rng, r.width, r.height, o.units));
  mission.Set(format::Section::SupportSecond, SupportGroups(rng, std::max(o.units / 100, 1)));
  mission.Set(format::Section::Players, Players(rng, o.kind == format::MultiplayerMap ? 8 : 3));
  if (o.kind != format::MultiplayerMap) mission.Set(format::Section::Groups, Groups(rng));
  mission.Set(format::Section::Locations, Grid(rng, r.width, r.height, 6));
  mission.Set(format::Section::Mines, Grid(rng, r.width, r.height, 2));
  Le phrases;
  for (int i = 0; i < 40; ++i)
    phrases.Raw(Text("phrase " + std::to_string(i) + "\nHold your fire until they cross.\n"));
  mission.Set(format::Section::Phrases, phrases);
  mission.Set(format::Section::SupportFirst, SupportFlags(rng, r.width, r.height));
  mission.Set(format::Section::MissionObjects, MissionObjects(rng, r.width, r.height));
  mission.Set(format::Section::Sounds, Sounds(rng, o.sounds));
  mission.Set(format::Section::Scripts, Scripts(rng, o.scripts, o.statementsPerScript));
  mission.Set(format::Section::MissionInfoSecond, MissionInfo(number));
  mission.Set(format::Section::MissionPicture, Picture(rng));
}

}  // namespace

core::Bytes BenchMainContainer(const BenchMapOptions& o) {
  Rng rng(o.seed);
  MapBuilder map(o.kind);
  FillMapSections(map, rng, o);
  if (o.kind != format::CampaignMap) FillMissionSections(map, rng, o, {0, 0, o.width, o.height}, 0);
  return map.Build();
}

core::Bytes BenchMissionContainer(const BenchMapOptions& o, int n) {
  Rng rng(o.seed * 7919u + static_cast<std::uint32_t>(n));
  MapBuilder mission(format::CampaignMap, MapBuilder::File::CampaignMission);
  // Missions cover different parts of the editor's 512 x 512 grid (all of it at the largest).
  const std::int32_t side = std::min({o.missionSide, o.width, o.height, 512});
  const std::int32_t x0 = (std::min(o.width, 512) - side) * (n % 2);
  const std::int32_t y0 = (std::min(o.height, 512) - side) * ((n / 2) % 2);
  FillMissionSections(mission, rng, o, {x0, y0, side, side}, static_cast<std::uint32_t>(n));
  return mission.Build();
}

std::vector<BenchMapPreset> BenchMapPresets() {
  std::vector<BenchMapPreset> presets;
  BenchMapOptions o;
  o = {format::SinglePlayerMap, 1, 0, 64, 64, 300, 60, 12, 8, 10, 0, 0};
  presets.push_back({"small", o});
  o = {format::SinglePlayerMap, 2, 1, 256, 256, 3000, 600, 80, 12, 60, 0, 0};
  presets.push_back({"medium", o});
  o = {format::MultiplayerMap, 3, 2, 384, 384, 6000, 1500, 150, 14, 120, 0, 0};
  presets.push_back({"skirmish", o});
  // The editor's whole grid: a 512 x 512 mission on a 512 x 512 map.
  o = {format::SinglePlayerMap, 4, 0, 512, 512, 12000, 3000, 400, 16, 200, 0, 0};
  presets.push_back({"large", o});
  // The largest: a 1024 x 1024 campaign map with four missions of 512 x 512 cells.
  o = {format::CampaignMap, 5, 0, 1024, 1024, 30000, 3000, 400, 16, 200, 4, 512};
  presets.push_back({"901", o});
  return presets;
}

BenchMapPreset FindBenchMapPreset(const std::string& name) {
  for (const BenchMapPreset& preset : BenchMapPresets()) {
    if (preset.name == name) return preset;
  }
  throw std::invalid_argument("no benchmark map named \"" + name + "\"");
}

std::filesystem::path WriteBenchMap(const std::filesystem::path& folder, const BenchMapPreset& preset) {
  std::filesystem::create_directories(folder);
  const std::uint32_t mtime = 1262304000;  // 2010-01-01
  const BenchMapOptions& o = preset.options;
  static constexpr const char* kExtensions[] = {".qdm", ".qdp", ".qdc"};
  const std::filesystem::path main = folder / (preset.name + kExtensions[o.kind]);
  WriteBytes(main, Gzip(BenchMainContainer(o), preset.name, mtime));
  if (o.kind == format::CampaignMap) {
    if (preset.name.size() != 3) throw std::invalid_argument("a campaign's name has three characters");
    for (int n = 0; n < o.missions; ++n) {
      const std::string digits = std::to_string(1000 + n).substr(1);
      const std::string name = preset.name + digits;
      WriteBytes(folder / (name + ".qdc"), Gzip(BenchMissionContainer(o, n), name, mtime));
    }
  }
  return main;
}

}  // namespace kartwerk::mapmaker
