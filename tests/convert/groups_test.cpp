#include "convert/records/groups.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/byte_stream.hpp"

namespace kartwerk {
namespace {

constexpr std::int32_t kNone = 0x7FFFFFFF;

// A group record built field by field, starting from a quiet group: no reserve conditions
// (delay and force none, attack time and minimum 0).
struct Group {
  std::uint32_t typeAndFlags = 0;
  std::uint8_t zone1 = 0, zone2 = 0, group1 = 0, group2 = 0, reserveFlag = 0, reserveZone = 0;
  std::int32_t attackTime = 0, delay = kNone;
  std::uint16_t minimum = 0;
  std::int32_t force = kNone;
  std::uint8_t hp = 0, ammo = 0, expa = 0, morale = 0;

  records::GroupRecord Record() const {
    core::Bytes b;
    core::PutU32(b, typeAndFlags);
    for (std::uint8_t v : {zone1, zone2, group1, group2, reserveFlag, reserveZone}) b.push_back(v);
    core::PutI32(b, attackTime);
    core::PutI32(b, delay);
    core::PutU16(b, minimum);
    core::PutI32(b, force);
    for (std::uint8_t v : {hp, ammo, expa, morale}) b.push_back(v);
    EXPECT_EQ(b.size(), records::GroupRecord::kSize);
    return records::GroupRecord::Decode(b);
  }
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "text must end with a line feed";
  return lines;
}

std::string Line(const Group& group, std::size_t index) {
  const std::vector<std::string> lines = Lines(records::ConvertGroupRecord(group.Record()));
  EXPECT_EQ(lines.size(), 3u);
  return index < lines.size() ? lines[index] : std::string();
}

// The value of one key on the reserve line (" key=value").
std::string Value(const Group& group, const std::string& key) {
  const std::string line = " " + Line(group, 2) + " ";
  const auto at = line.find(" " + key + "=");
  if (at == std::string::npos) return "<missing>";
  const auto from = at + key.size() + 2;
  return line.substr(from, line.find(' ', from) - from);
}

TEST(GroupRecordText, DefaultRecord) {
  EXPECT_EQ(records::ConvertGroupRecord(records::DefaultGroupRecord),
            " ai type=\"ai_none\" group1=0 group2=0 zone1=0 zone2=0\n"
            "  aiflags=\n"
            " reserv auto=9 delay=0 min=0 force=0 atime=0 flag=0 zone=0 hp=100 ammo=100 expa=0 morale=50\n");
}

TEST(GroupRecordText, EveryFieldLandsInItsPlace) {
  Group g;
  g.typeAndFlags = 0x00000015;  // ai_tank_guard, rndmove
  g.zone1 = 11, g.zone2 = 12, g.group1 = 13, g.group2 = 14, g.reserveFlag = 1, g.reserveZone = 255;
  g.attackTime = 500, g.delay = 75, g.minimum = 6, g.force = 1000;
  g.hp = 90, g.ammo = 80, g.expa = 3, g.morale = 70;
  EXPECT_EQ(records::ConvertGroupRecord(g.Record()),
            " ai type=\"ai_tank_guard\" group1=13 group2=14 zone1=11 zone2=12\n"
            "  aiflags= aif_rndmove\n"
            " reserv auto=15 delay=3 min=6 force=40 atime=20 flag=1 zone=255 hp=90 ammo=80 expa=3 morale=70\n");
}

TEST(GroupRecordText, AiTypeComesFromTheLowFourBitsOnly) {
  const std::pair<std::uint32_t, const char*> cases[] = {
      {0, "ai_none"}, {1, "ai_recon"}, {13, "ai_furg_transport"}, {14, ""}, {15, ""}};
  for (const auto& [type, name] : cases) {
    Group g;
    g.typeAndFlags = 0xFFFFFFF0u | type;  // every flag set: none may leak into the type
    EXPECT_EQ(Line(g, 0), std::string(" ai type=\"") + name + "\" group1=0 group2=0 zone1=0 zone2=0");
  }
}

// ---- flags ----

struct FlagCase {
  std::uint32_t typeAndFlags;
  const char* line;
};

class GroupFlags : public ::testing::TestWithParam<FlagCase> {};

TEST_P(GroupFlags, AreListedInTheEditorsOrder) {
  Group g;
  g.typeAndFlags = GetParam().typeAndFlags;
  EXPECT_EQ(Line(g, 1), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, GroupFlags,
    ::testing::Values(
        FlagCase{0x00000000, "  aiflags="}, FlagCase{0x0000000F, "  aiflags="},
        FlagCase{0x000000F0, "  aiflags= aif_useobjects aif_zonenoemeny aif_zonehaveown aif_rndmove"},
        FlagCase{0x0000FF00,
                 "  aiflags= aif_atgnotow aif_atgnomove aif_atgzonenoenemy aif_atgzonehaveown aif_atgnouse"
                 " aif_zrestrict aif_grestrict aif_rndtarget"},
        FlagCase{0x00FF0000,
                 "  aiflags= aif_domnouse aif_gaubnodrop aif_gaubnotow aif_gaubnomove aif_gaubzonenoenemy"
                 " aif_gaubzonehaveown aif_gaubnouse aif_atgnodrop"},
        FlagCase{0x00010110, "  aiflags= aif_rndmove aif_rndtarget aif_atgnodrop"},
        FlagCase{0x0F000000, "  aiflags= aif_ezdnouse aif_holdfire aif_domhide aif_domambush"},
        // The top byte's unnamed bits count as larger steps.
        FlagCase{0x10000000, "  aiflags= aif_ezdnouse aif_holdfire aif_domhide"},
        FlagCase{0x11000000, "  aiflags= aif_ezdnouse aif_holdfire aif_domhide"},
        FlagCase{0x0B000000, "  aiflags= aif_ezdnouse aif_domhide aif_domambush"},
        FlagCase{0x800000F0,
                 "  aiflags= aif_useobjects aif_zonenoemeny aif_zonehaveown aif_rndmove aif_ezdnouse aif_holdfire"
                 " aif_domhide"}));

// ---- the reserve line ----

TEST(GroupReserve, NoConditionsHideTheReserveFlagAndZone) {
  Group g;
  g.reserveFlag = 7, g.reserveZone = 9;
  EXPECT_EQ(Line(g, 2), " reserv auto=0 delay=0 min=0 force=0 atime=0 flag=0 zone=0 hp=0 ammo=0 expa=0 morale=0");
  // A negative attack time is no condition either.
  g.attackTime = -50;
  EXPECT_EQ(Value(g, "auto"), "0");
  EXPECT_EQ(Value(g, "flag"), "0");
  EXPECT_EQ(Value(g, "atime"), "-2");
}

struct ReserveCase {
  std::int32_t attackTime;
  std::uint16_t minimum;
  std::int32_t force;
  const char* code;
};

class GroupReserveCode : public ::testing::TestWithParam<ReserveCase> {};

TEST_P(GroupReserveCode, CombinesTheConditionsInUse) {
  Group g;
  g.attackTime = GetParam().attackTime, g.minimum = GetParam().minimum, g.force = GetParam().force;
  g.reserveFlag = 4, g.reserveZone = 5;
  EXPECT_EQ(Value(g, "auto"), GetParam().code);
  // Any condition shows the stored reserve flag and zone.
  EXPECT_EQ(Value(g, "flag"), "4");
  EXPECT_EQ(Value(g, "zone"), "5");
}

INSTANTIATE_TEST_SUITE_P(Codes, GroupReserveCode,
                         ::testing::Values(ReserveCase{1, 0, kNone, "3"}, ReserveCase{0, 1, kNone, "5"},
                                           ReserveCase{1, 1, kNone, "7"}, ReserveCase{0, 0, 0, "9"},
                                           ReserveCase{1, 0, -1, "11"}, ReserveCase{0, 65535, 25, "13"},
                                           ReserveCase{250, 100, 250, "15"}));

TEST(GroupReserve, TicksAreShownInWholeSecondsTowardsZero) {
  Group g;
  const std::pair<std::int32_t, const char*> cases[] = {{250, "10"}, {24, "0"},  {-30, "-1"},
                                                        {25, "1"},   {-24, "0"}, {-2147483647 - 1, "-85899345"}};
  for (const auto& [ticks, seconds] : cases) {
    g.attackTime = ticks, g.delay = ticks, g.force = ticks;
    EXPECT_EQ(Value(g, "atime"), seconds) << ticks;
    EXPECT_EQ(Value(g, "delay"), seconds) << ticks;
    EXPECT_EQ(Value(g, "force"), seconds) << ticks;
  }
  // 7FFFFFFF is "none" for delay and force, but an ordinary (huge) attack time.
  g.attackTime = kNone, g.delay = kNone, g.force = kNone;
  EXPECT_EQ(Value(g, "delay"), "0");
  EXPECT_EQ(Value(g, "force"), "0");
  EXPECT_EQ(Value(g, "atime"), "85899345");
}

TEST(GroupReserve, MinimumsFrom32767UpCountButShowAsZero) {
  Group g;
  const std::pair<std::uint16_t, const char*> cases[] = {{65535, "0"}, {32767, "0"}, {32766, "32766"}, {1, "1"}};
  for (const auto& [minimum, shown] : cases) {
    g.minimum = minimum;
    EXPECT_EQ(Value(g, "min"), shown) << minimum;
    EXPECT_EQ(Value(g, "auto"), "5") << minimum;
  }
}

}  // namespace
}  // namespace kartwerk
