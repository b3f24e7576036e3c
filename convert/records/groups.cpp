#include "convert/records/groups.hpp"

#include <string_view>

#include "convert/records/key_value.hpp"

namespace kartwerk::records {
namespace {

constexpr std::int32_t kNoTicks = 0x7FFFFFFF;  // delay or force not set
constexpr std::int32_t kTicksPerSecond = 25;
constexpr std::uint16_t kNoMinimum = 32767;  // minimums from here up are shown as 0

// Indexed by the low four bits of the first field; 14 and 15 have no name.
constexpr std::string_view kAiTypeNames[16] = {"ai_none",
                                               "ai_recon",
                                               "ai_sold_guard",
                                               "ai_sold_follow",
                                               "ai_sold_art",
                                               "ai_tank_guard",
                                               "ai_tank_follow",
                                               "ai_furg_help",
                                               "ai_furg_move",
                                               "ai_furg_reload",
                                               "ai_katya_move",
                                               "ai_plane_move",
                                               "ai_train_move",
                                               "ai_furg_transport",
                                               "",
                                               ""};

struct FlagName {
  int bit;
  std::string_view text;
};

// The flags of the low three bytes in the order the editor lists them: the first byte's
// four flags from bit 7 down, then the second byte and the third byte from their top bit down.
constexpr FlagName kLowFlags[] = {
    {7, " aif_useobjects"},      {6, " aif_zonenoemeny"},      {5, " aif_zonehaveown"},
    {4, " aif_rndmove"},         {15, " aif_atgnotow"},        {14, " aif_atgnomove"},
    {13, " aif_atgzonenoenemy"}, {12, " aif_atgzonehaveown"},  {11, " aif_atgnouse"},
    {10, " aif_zrestrict"},      {9, " aif_grestrict"},        {8, " aif_rndtarget"},
    {23, " aif_domnouse"},       {22, " aif_gaubnodrop"},      {21, " aif_gaubnotow"},
    {20, " aif_gaubnomove"},     {19, " aif_gaubzonenoenemy"}, {18, " aif_gaubzonehaveown"},
    {17, " aif_gaubnouse"},      {16, " aif_atgnodrop"},
};

// The top byte is read as a number and taken apart in steps of 8, 4, 2 and 1, so its upper
// four bits, which have no names, still show up as the larger steps.
struct TopStep {
  unsigned weight;
  std::string_view text;
};
constexpr TopStep kTopFlags[] = {{8, " aif_ezdnouse"}, {4, " aif_holdfire"}, {2, " aif_domhide"}};
constexpr std::string_view kAmbushFlag = " aif_domambush";

std::string FlagList(std::uint32_t typeAndFlags) {
  std::string text;
  for (const FlagName& flag : kLowFlags) {
    if (typeAndFlags & (1u << flag.bit)) text += flag.text;
  }
  unsigned top = typeAndFlags >> 24;
  for (const TopStep& step : kTopFlags) {
    if (top >= step.weight) {
      text += step.text;
      top -= step.weight;
    }
  }
  if (top == 1) text += kAmbushFlag;
  return text;
}

// Room for a group's text (its flag list is the longest part), allocated once.
constexpr std::size_t kGroupTextRoom = 512;

}  // namespace

GroupRecord GroupRecord::Decode(std::span<const std::uint8_t> record) {
  const FieldReader<kFields> f(record);
  GroupRecord g;
  g.typeAndFlags = f.U32<kTypeAndFlags>();
  g.zone1 = f.U8<kZone1>();
  g.zone2 = f.U8<kZone2>();
  g.group1 = f.U8<kGroup1>();
  g.group2 = f.U8<kGroup2>();
  g.reserveFlag = f.U8<kReserveFlag>();
  g.reserveZone = f.U8<kReserveZone>();
  g.attackTime = f.I32<kAttackTime>();
  g.delay = f.I32<kDelay>();
  g.minimum = f.U16<kMinimum>();
  g.force = f.I32<kForce>();
  g.hp = f.U8<kHp>();
  g.ammo = f.U8<kAmmo>();
  g.expa = f.U8<kExpa>();
  g.morale = f.U8<kMorale>();
  return g;
}

std::string ConvertGroupRecord(const GroupRecord& group) {
  const auto& [typeAndFlags, zone1, zone2, group1, group2, reserveFlag, reserveZone, attackTime, delay, minimum, force,
               hp, ammo, expa, morale] = group;
  const auto key = [](std::size_t field) { return GroupRecord::kFields[field].name; };
  std::string text;
  text.reserve(kGroupTextRoom);
  text += ' ';
  text += key(GroupRecord::kTypeAndFlags);
  text += "=\"";
  text += kAiTypeNames[typeAndFlags & 0x0F];
  text += '"';
  AppendNamedPair(text, key(GroupRecord::kGroup1), group1);
  AppendNamedPair(text, key(GroupRecord::kGroup2), group2);
  AppendNamedPair(text, key(GroupRecord::kZone1), zone1);
  AppendNamedPair(text, key(GroupRecord::kZone2), zone2);
  text += "\n  ";
  text += GroupRecord::kFlagsKey;
  text += '=';
  text += FlagList(typeAndFlags);
  text += '\n';

  // The reserve code tells the editor which reserve conditions are in use; a code above 0
  // always carries the "on" bit.
  int reserve = 0;
  if (attackTime > 0) reserve = 2;
  if (minimum > 0) reserve += 4;
  if (force != kNoTicks) reserve += 8;
  if (reserve > 0) reserve += 1;
  AppendNamedPair(text, GroupRecord::kReserveKey, reserve);
  AppendNamedPair(text, key(GroupRecord::kDelay), delay == kNoTicks ? 0 : delay / kTicksPerSecond);
  AppendNamedPair(text, key(GroupRecord::kMinimum), minimum >= kNoMinimum ? 0 : minimum);
  AppendNamedPair(text, key(GroupRecord::kForce), force == kNoTicks ? 0 : force / kTicksPerSecond);
  AppendNamedPair(text, key(GroupRecord::kAttackTime), attackTime / kTicksPerSecond);
  AppendNamedPair(text, key(GroupRecord::kReserveFlag), reserve == 0 ? 0 : reserveFlag);
  AppendNamedPair(text, key(GroupRecord::kReserveZone), reserve == 0 ? 0 : reserveZone);
  AppendNamedPair(text, key(GroupRecord::kHp), hp);
  AppendNamedPair(text, key(GroupRecord::kAmmo), ammo);
  AppendNamedPair(text, key(GroupRecord::kExpa), expa);
  AppendNamedPair(text, key(GroupRecord::kMorale), morale);
  text += '\n';
  return text;
}

}  // namespace kartwerk::records
