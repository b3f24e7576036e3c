// Maps of every kind converted, then edited as a map maker edits them (units moved, changed,
// removed, added and reordered, objects and sounds moved, a flag set, a group, a player and a
// script changed, a script renamed), and the comparison must name exactly those edits, paired
// right. KARTWERK_DIFF_MAPS sets how many maps (a dozen by default; a few hundred as a benchmark).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "compare/comparison_text.hpp"
#include "compare/map_comparison.hpp"
#include "compare/min_cost_pairing.hpp"
#include "mapmaker/bench_maps.hpp"
#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "pipeline/run_conversion.hpp"
#include "tests/support/folder_tree.hpp"

namespace kartwerk {
namespace {

using mapmaker::ReadBytes;
using mapmaker::WriteBytes;

using Lines = std::vector<std::string>;

Lines ReadLines(const std::filesystem::path& file) {
  const core::Bytes bytes = mapmaker::ReadBytes(file);
  Lines lines;
  std::string line;
  for (const std::uint8_t b : bytes) {
    if (b == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += static_cast<char>(b);
    }
  }
  return lines;  // every writer ends its last line
}

void WriteLines(const std::filesystem::path& file, const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  mapmaker::WriteBytes(file, core::Bytes(text.begin(), text.end()));
}

std::int64_t NumberAfter(const std::string& line, const std::string& key) {
  const std::size_t at = line.find(key);
  return std::stoll(line.substr(at + key.size()));
}

std::string SetNumber(std::string line, const std::string& key, std::int64_t value) {
  const std::size_t at = line.find(key) + key.size();
  const std::size_t end = line.find_first_not_of("-0123456789", at);
  return line.replace(at, end - at, std::to_string(value));
}

// One expected change: file, kind, the entry's words, and whether it moved.
using Change = std::tuple<std::string, int, std::string, bool>;

// A placed entry of a list (a unit with its crew lines, an object, a sound block) as edited.
struct Placed {
  std::size_t number = 0;  // in the map's version; 0 for an added one
  std::string type;
  Lines lines;
  std::int64_t x = 0, y = 0;
  bool moved = false, changed = false, removed = false, touched = false;
};

class MapMaker {
 public:
  MapMaker(std::uint32_t seed, std::filesystem::path slot) : rng_(seed), slot_(std::move(slot)) {}

  std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }

  // Whether an entry of type at x,y stands clear of every entry of its type edited so far, so
  // that which is which stays plain to anyone reading the files.
  static bool Clear(const std::vector<Placed>& list, const std::string& type, std::int64_t x, std::int64_t y) {
    for (const Placed& p : list) {
      if (!p.touched || p.type != type) continue;
      const std::int64_t dx = p.x - x, dy = p.y - y;
      if (dx * dx + dy * dy < 9 * compare::kMaxMoveDistance * compare::kMaxMoveDistance) return false;
    }
    return true;
  }

  std::vector<Placed> units, objects, sounds;
  Lines flags, groups, players, scripts;
  std::vector<Change> expected;
  bool reordered = false;

  std::mt19937 rng_;
  std::filesystem::path slot_;
};

std::vector<Placed> ReadUnits(const Lines& lines) {
  std::vector<Placed> units;
  for (const std::string& line : lines) {
    if (line.rfind("  ID=", 0) == 0) {
      units.back().lines.push_back(line);
      continue;
    }
    Placed u;
    u.number = units.size() + 1;
    u.type = line.substr(4, line.find(" HP=") - 4);
    u.x = NumberAfter(line, " U=");
    u.y = NumberAfter(line, " V=");
    u.lines.push_back(line);
    units.push_back(u);
  }
  return units;
}

std::vector<Placed> ReadObjects(const Lines& lines) {
  std::vector<Placed> objects;
  for (const std::string& line : lines) {
    Placed o;
    o.number = objects.size() + 1;
    std::istringstream words(line);
    words >> o.type >> o.x >> o.y;
    o.lines.push_back(line);
    objects.push_back(o);
  }
  return objects;
}

std::vector<Placed> ReadSounds(const Lines& lines) {
  std::vector<Placed> sounds;
  for (std::size_t i = 0; i + 7 < lines.size() + 1; i += 8) {
    Placed s;
    s.number = sounds.size() + 1;
    s.type = lines[i].substr(6, lines[i].size() - 7);
    s.x = NumberAfter(lines[i + 1], "U=");
    s.y = NumberAfter(lines[i + 2], "V=");
    s.lines.assign(lines.begin() + static_cast<std::ptrdiff_t>(i), lines.begin() + static_cast<std::ptrdiff_t>(i + 8));
    sounds.push_back(s);
  }
  return sounds;
}

// Moves a placed entry a little (at most the move distance) where it stays clear of the others edited.
bool Move(MapMaker& m, std::vector<Placed>& list, const std::string& xKey, const std::string& yKey, std::size_t xLine,
          std::size_t yLine) {
  if (list.empty()) return false;
  Placed& p = list[m.Below(list.size())];
  const std::int64_t dx = static_cast<std::int64_t>(m.Below(120)) + 8, dy = static_cast<std::int64_t>(m.Below(60));
  if (p.touched || !MapMaker::Clear(list, p.type, p.x, p.y) || !MapMaker::Clear(list, p.type, p.x + dx, p.y + dy))
    return false;
  p.x += dx;
  p.y += dy;
  p.lines[xLine] = SetNumber(p.lines[xLine], xKey, p.x);
  p.lines[yLine] = SetNumber(p.lines[yLine], yKey, p.y);
  p.moved = p.touched = true;
  return true;
}

// The expected changes of a placed list written back, numbered as the folder's version holds them.
void Expect(MapMaker& m, const std::string& file, const std::string& noun, const std::vector<Placed>& list,
            bool reordered, Lines& out) {
  std::size_t now = 0;
  for (const Placed& p : list) {
    if (p.removed) {
      m.expected.emplace_back(file, static_cast<int>(compare::EntryChange::Kind::Removed),
                              noun + " " + std::to_string(p.number) + " '" + p.type + "'", false);
      continue;
    }
    ++now;
    out.insert(out.end(), p.lines.begin(), p.lines.end());
    if (p.number == 0) {
      m.expected.emplace_back(file, static_cast<int>(compare::EntryChange::Kind::Added),
                              noun + " '" + p.type + "' (now " + std::to_string(now) + ")", false);
    } else if (p.moved || p.changed) {
      std::string entry = noun + " " + std::to_string(p.number) + " '" + p.type + "'";
      if (now != p.number) entry += " (now " + std::to_string(now) + ")";
      m.expected.emplace_back(file, static_cast<int>(compare::EntryChange::Kind::Changed), entry, p.moved);
    }
  }
  if (reordered)
    m.expected.emplace_back(file, static_cast<int>(compare::EntryChange::Kind::Reordered), noun + "s", false);
}

// Makes count edits of random kinds in the slot's first mission and the slot's objects.
std::vector<Change> EditLikeAMapMaker(MapMaker& m, int count) {
  const auto mission = m.slot_ / "mis.000";
  m.units = ReadUnits(ReadLines(mission / "mapunits"));
  m.objects = ReadObjects(ReadLines(m.slot_ / "objects"));
  m.sounds = ReadSounds(ReadLines(mission / "sounds"));
  Lines support = ReadLines(mission / "support"), groups = ReadLines(mission / "groups");
  Lines players = ReadLines(mission / "players"), scripts = ReadLines(mission / "scripts2");
  std::set<std::string> done;  // numbered and named entries edited once each
  std::vector<std::size_t> scriptHeads;
  for (std::size_t i = 0; i < scripts.size(); ++i)
    if (scripts[i].rfind("script \"", 0) == 0) scriptHeads.push_back(i);
  int made = 0;
  for (int tries = 0; made < count && tries < 400; ++tries) {
    bool ok = false;
    switch (m.Below(12)) {
      case 0: ok = Move(m, m.units, " U=", " V=", 0, 0); break;
      case 1: ok = Move(m, m.units, " U=", " V=", 0, 0); break;
      case 2: {  // a unit's HP changed
        Placed& u = m.units[m.Below(m.units.size())];
        if (u.touched || !MapMaker::Clear(m.units, u.type, u.x, u.y)) break;
        u.lines[0] = SetNumber(u.lines[0], " HP=", NumberAfter(u.lines[0], " HP=") == 3 ? 4 : 3);
        ok = u.changed = u.touched = true;
        break;
      }
      case 3: {  // a unit removed
        Placed& u = m.units[m.Below(m.units.size())];
        if (u.touched || !MapMaker::Clear(m.units, u.type, u.x, u.y)) break;
        ok = u.removed = u.touched = true;
        break;
      }
      case 4: {  // a unit added at the end, a copy of another elsewhere without its crew
        Placed u = m.units[m.Below(m.units.size())];
        u.x = static_cast<std::int64_t>(m.Below(20 * 32)) + 32;
        u.y = static_cast<std::int64_t>(m.Below(16 * 32)) + 32;
        if (!MapMaker::Clear(m.units, u.type, u.x, u.y)) break;
        u.lines.resize(1);
        u.lines[0] = SetNumber(SetNumber(SetNumber(u.lines[0], " U=", u.x), " V=", u.y), " Crew=", 0);
        u.lines[0] = SetNumber(u.lines[0], " HP=", 1);
        u.number = 0;
        u.moved = u.changed = u.removed = false;
        u.touched = true;
        m.units.push_back(u);
        ok = true;
        break;
      }
      case 5: {  // two units that are not edited change places in the list
        if (m.reordered || m.units.size() < 2) break;
        const std::size_t a = m.Below(m.units.size()), b = m.Below(m.units.size());
        if (a == b || m.units[a].touched || m.units[b].touched || m.units[a].number == 0 || m.units[b].number == 0)
          break;
        std::swap(m.units[a], m.units[b]);
        ok = m.reordered = m.units[a].touched = m.units[b].touched =
            true;  // kept as they are, or the order would not show
        break;
      }
      case 6: {  // a support flag set
        const std::size_t f = m.Below(16);
        if (!done.insert("flag " + std::to_string(f)).second) break;
        support[f] = "flag " + std::to_string(5 + f) + ",7,2,9," + std::to_string(11 + f);
        m.expected.emplace_back("mis.000/support", 2, "flag " + std::to_string(f), false);
        ok = true;
        break;
      }
      case 7: {  // a group's starting hp
        const std::size_t g = m.Below(100);
        if (!done.insert("Group " + std::to_string(g)).second) break;
        std::string& line = groups[g * 4 + 3];
        line = SetNumber(line, " hp=", NumberAfter(line, " hp=") == 42 ? 43 : 42);
        m.expected.emplace_back("mis.000/groups", 2, "Group " + std::to_string(g), false);
        ok = true;
        break;
      }
      case 8: {  // a line inserted into a script, or the script renamed
        if (scriptHeads.empty()) break;
        const std::size_t s = m.Below(scriptHeads.size());
        std::string& head = scripts[scriptHeads[s]];
        const std::string name = head.substr(7, head.find('"', 8) - 6);
        if (!done.insert("script " + std::to_string(s)).second) break;
        if (m.Below(2) == 0) {
          head.replace(8, name.size() - 2, "Renamed " + std::to_string(s));
          m.expected.emplace_back("mis.000/scripts2", 3, "script " + name, false);
        } else {
          scripts.insert(scripts.begin() + static_cast<std::ptrdiff_t>(scriptHeads[s]) + 1, "$INSERTED");
          for (std::size_t& later : scriptHeads)
            if (later > scriptHeads[s]) ++later;
          m.expected.emplace_back("mis.000/scripts2", 2, "script " + name, false);
        }
        ok = true;
        break;
      }
      case 9: {  // a player's team
        std::vector<std::size_t> teams;
        for (std::size_t i = 0; i < players.size(); ++i)
          if (players[i].rfind(" team=", 0) == 0) teams.push_back(i);
        if (teams.empty()) break;
        const std::size_t p = m.Below(teams.size());
        if (!done.insert("Player " + std::to_string(p)).second) break;
        players[teams[p]] = " team=" + std::to_string(NumberAfter(players[teams[p]], "team=") + 3);
        m.expected.emplace_back("mis.000/players", 2, "Player " + std::to_string(p), false);
        ok = true;
        break;
      }
      case 10: {  // an object moved
        if (m.objects.empty()) break;
        Placed& o = m.objects[m.Below(m.objects.size())];
        const std::int64_t dx = static_cast<std::int64_t>(m.Below(100)) + 5;
        if (o.touched || !MapMaker::Clear(m.objects, o.type, o.x, o.y) ||
            !MapMaker::Clear(m.objects, o.type, o.x + dx, o.y))
          break;
        std::istringstream words(o.lines[0]);
        std::string name, x, rest;
        words >> name >> x;
        std::getline(words, rest);
        o.x += dx;
        o.lines[0] = name + " " + std::to_string(o.x) + rest;
        ok = o.moved = o.touched = true;
        break;
      }
      case 11: ok = Move(m, m.sounds, "U=", "V=", 1, 2); break;
    }
    made += ok;
  }
  Lines units, objects, sounds;
  Expect(m, "mis.000/mapunits", "unit", m.units, m.reordered, units);
  Expect(m, "objects", "object", m.objects, false, objects);
  Expect(m, "mis.000/sounds", "sound", m.sounds, false, sounds);
  WriteLines(mission / "mapunits", units);
  WriteLines(m.slot_ / "objects", objects);
  WriteLines(mission / "sounds", sounds);
  WriteLines(mission / "support", support);
  WriteLines(mission / "groups", groups);
  WriteLines(mission / "players", players);
  WriteLines(mission / "scripts2", scripts);
  return m.expected;
}

TEST(DiffRandomEditsTest, EveryEditNamedExactlyAndPairedRight) {
  const char* given = std::getenv("KARTWERK_DIFF_MAPS");
  const int maps = given ? std::atoi(given) : 12;
  const format::MapKindCode kinds[] = {format::SinglePlayerMap, format::MultiplayerMap, format::CampaignMap};
  const auto cliffData = std::filesystem::path(KARTWERK_EXE).parent_path() / "data" / "cliffdata";
  int failed = 0;
  std::size_t changes = 0;
  for (int n = 0; n < maps; ++n) {
    mapmaker::ScratchFolder dir;
    const auto seed = static_cast<std::uint32_t>(1000 + n);
    const format::MapKindCode kind = kinds[n % 3];
    const mapmaker::SampleOptions options{seed, seed % 3, 24 + static_cast<std::int32_t>(seed % 5) * 8,
                                          20 + static_cast<std::int32_t>(seed % 4) * 8};
    std::filesystem::path map = dir / (kind == format::CampaignMap      ? "123.qdc"
                                       : kind == format::MultiplayerMap ? "m.qdp"
                                                                        : "m.qdm");
    mapmaker::WriteBytes(map, mapmaker::Gzip(mapmaker::SampleMainContainer(kind, options), map.filename().string()));
    if (kind == format::CampaignMap)
      mapmaker::WriteBytes(dir / "123000.qdc", mapmaker::Gzip(mapmaker::SampleMissionContainer(options, 0), "123000"));
    pipeline::ConvertRequest request;
    request.mapPath = map;
    request.slotFolder = dir / "slot";
    request.backupFolder = dir / "backups";
    request.cliffDataFile = cliffData;
    ASSERT_TRUE(pipeline::RunConversion(request).Completed());

    MapMaker maker(seed, dir / "slot");
    const int edits = 6 + static_cast<int>(maker.Below(5));
    const std::vector<Change> expectedList = EditLikeAMapMaker(maker, edits);
    const std::set<Change> expected(expectedList.begin(), expectedList.end());
    EXPECT_GE(expected.size(), 4u) << "map " << n;  // edits of one list may share its order change
    changes += expected.size();

    compare::CompareRequest compare;
    compare.mapPath = map;
    compare.folder = dir / "slot";
    compare.cliffDataFile = cliffData;
    std::set<Change> reported;
    for (const compare::FileComparison& file : compare::CompareMapWithFolder(compare).files) {
      if (file.state == compare::FileState::Same) continue;
      EXPECT_EQ(file.note, "") << file.name;
      if (file.entries.empty()) reported.emplace(file.name, -1, file.note, false);  // changed, no entry named
      for (const compare::EntryChange& e : file.entries) {
        reported.emplace(file.name, static_cast<int>(e.kind), e.entry, e.Moved());
        // A move alone names no field; anything else changed names what.
        if (e.kind == compare::EntryChange::Kind::Changed) {
          EXPECT_EQ(e.fields.empty(), e.Moved()) << e.entry;
        }
      }
    }
    // Files the edits left as they were (a reordered edit of nothing) are the same.
    const bool same = reported == expected;
    failed += !same;
    EXPECT_TRUE(same) << "map " << n << " (seed " << seed << ", " << edits << " edits)";
    if (!same) {
      for (const Change& c : expected)
        if (!reported.count(c)) ADD_FAILURE() << "missed: " << std::get<0>(c) << " " << std::get<2>(c);
      for (const Change& c : reported)
        if (!expected.count(c)) ADD_FAILURE() << "spurious or mispaired: " << std::get<0>(c) << " " << std::get<2>(c);
    }
  }
  std::printf("%d of %d maps with a missed, spurious or mispaired change (%zu changes expected)\n", failed, maps,
              changes);
}

}  // namespace
}  // namespace kartwerk

namespace kartwerk {
namespace {

// A large map with every unit and object moved: a summary of a few lines, quickly, and every
// entry still there when all are asked for. The largest map (1024 x 1024 cells) in the benchmark
// run (KARTWERK_DIFF_MAPS set), a quarter of its side otherwise.
TEST(DiffLargeEditTest, EverythingMovedOnALargeMapIsSummedUp) {
  mapmaker::ScratchFolder dir;
  mapmaker::BenchMapOptions options;
  options.width = options.height = std::getenv("KARTWERK_DIFF_MAPS") ? 1024 : 256;
  options.units = 4000;
  options.objects = 4000;
  const auto map = dir / "large.qdm";
  mapmaker::WriteBytes(map, mapmaker::Gzip(mapmaker::BenchMainContainer(options), "large.qdm"));
  const auto cliffData = std::filesystem::path(KARTWERK_EXE).parent_path() / "data" / "cliffdata";
  pipeline::ConvertRequest request;
  request.mapPath = map;
  request.slotFolder = dir / "slot";
  request.backupFolder = dir / "backups";
  request.cliffDataFile = cliffData;
  ASSERT_TRUE(pipeline::RunConversion(request).Completed());

  Lines units = ReadLines(dir / "slot" / "mis.000" / "mapunits");
  std::size_t moved = 0;
  for (std::string& line : units) {
    if (line.rfind(" ID=", 0) != 0) continue;
    line = SetNumber(SetNumber(line, " U=", NumberAfter(line, " U=") + 40), " V=", NumberAfter(line, " V=") + 40);
    ++moved;
  }
  WriteLines(dir / "slot" / "mis.000" / "mapunits", units);
  Lines objects = ReadLines(dir / "slot" / "objects");
  for (std::string& line : objects) {
    std::istringstream words(line);
    std::string name, rest;
    std::int64_t x = 0;
    words >> name >> x;
    std::getline(words, rest);
    line = name + " " + std::to_string(x + 40) + rest;
  }
  WriteLines(dir / "slot" / "objects", objects);

  const auto start = std::chrono::steady_clock::now();
  compare::CompareRequest compare;
  compare.mapPath = map;
  compare.folder = dir / "slot";
  compare.cliffDataFile = cliffData;
  const compare::FolderComparison result = compare::CompareMapWithFolder(compare);
  const std::string text = compare::ComparisonText(result);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%zu units and %zu objects moved: %zu lines in %.2f s\n", moved, objects.size(),
              static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), seconds);
  EXPECT_LT(std::count(text.begin(), text.end(), '\n'), 100) << text;
  EXPECT_NE(text.find(" units moved"), std::string::npos) << text;
  for (const compare::FileComparison& file : result.files) {
    if (file.name == "mis.000/mapunits") {
      EXPECT_EQ(file.entries.size(), moved);
    }
    if (file.name == "objects") {
      EXPECT_EQ(file.entries.size(), objects.size());
    }
    for (const compare::EntryChange& e : file.entries)
      EXPECT_TRUE(e.Moved() && e.fields.empty()) << file.name << e.entry;
  }
  const std::string all = compare::ComparisonText(result, true);
  EXPECT_GT(static_cast<std::size_t>(std::count(all.begin(), all.end(), '\n')), moved + objects.size());
}

}  // namespace
}  // namespace kartwerk
