#include "convert/records/groups.hpp"

#include <charconv>
#include <span>
#include <string_view>

#include "core/byte_stream.hpp"

namespace kartwerk {
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

// " key=value" appended in place: a mission writes 17 of them for each of its groups.
void AppendKey(std::string& text, std::string_view key, long long value) {
  char digits[20];  // "-9223372036854775808"
  text += key;
  text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// Room for a group's text (its flag list is the longest part), allocated once.
constexpr std::size_t kGroupTextRoom = 512;

}  // namespace

std::string ConvertGroupRecord(const GroupRecord& record) {
  const std::span<const std::uint8_t> r(record);
  const std::uint32_t typeAndFlags = U32At(r, 0);
  const std::uint8_t zone1 = ByteAt(r, 4);
  const std::uint8_t zone2 = ByteAt(r, 5);
  const std::uint8_t group1 = ByteAt(r, 6);
  const std::uint8_t group2 = ByteAt(r, 7);
  const std::uint8_t reserveFlag = ByteAt(r, 8);
  const std::uint8_t reserveZone = ByteAt(r, 9);
  const std::int32_t attackTime = I32At(r, 10);
  const std::int32_t delay = I32At(r, 14);
  const std::uint16_t minimum = U16At(r, 18);
  const std::int32_t force = I32At(r, 20);

  std::string text;
  text.reserve(kGroupTextRoom);
  text += " ai type=\"";
  text += kAiTypeNames[typeAndFlags & 0x0F];
  text += '"';
  AppendKey(text, " group1=", group1);
  AppendKey(text, " group2=", group2);
  AppendKey(text, " zone1=", zone1);
  AppendKey(text, " zone2=", zone2);
  text += '\n';

  text += "  aiflags=";
  text += FlagList(typeAndFlags);
  text += '\n';

  // The reserve code tells the editor which reserve conditions are in use; a code above 0
  // always carries the "on" bit.
  int reserve = 0;
  if (attackTime > 0) reserve = 2;
  if (minimum > 0) reserve += 4;
  if (force != kNoTicks) reserve += 8;
  if (reserve > 0) reserve += 1;
  AppendKey(text, " reserv auto=", reserve);
  AppendKey(text, " delay=", delay == kNoTicks ? 0 : delay / kTicksPerSecond);
  AppendKey(text, " min=", minimum >= kNoMinimum ? 0 : minimum);
  AppendKey(text, " force=", force == kNoTicks ? 0 : force / kTicksPerSecond);
  AppendKey(text, " atime=", attackTime / kTicksPerSecond);
  AppendKey(text, " flag=", reserve == 0 ? 0 : reserveFlag);
  AppendKey(text, " zone=", reserve == 0 ? 0 : reserveZone);
  AppendKey(text, " hp=", ByteAt(r, 24));
  AppendKey(text, " ammo=", ByteAt(r, 25));
  AppendKey(text, " expa=", ByteAt(r, 26));
  AppendKey(text, " morale=", ByteAt(r, 27));
  text += '\n';
  return text;
}

}  // namespace kartwerk
