#include "convert/records/players.hpp"

#include <algorithm>

#include "core/byte_stream.hpp"

namespace kartwerk::records {
namespace {

// The text of a fixed-width field inside record, zero-filled where the record is short.
std::string FieldText(std::span<const std::uint8_t> record, std::size_t offset, std::size_t width) {
  if (offset >= record.size()) return {};
  return core::FixedText(record.subspan(offset, std::min(width, record.size() - offset)));
}

constexpr std::size_t kAircraftOffset = 37;
constexpr std::size_t kDescentOffset = kAircraftOffset + kAircraftKinds.size() * AircraftEntry::kSize;
static_assert(kDescentOffset == 257);
static_assert(kDescentOffset + 2 * DescentEntry::kSize == PlayerRecord::kSize);

}  // namespace

PlayerRecord PlayerRecord::Decode(std::span<const std::uint8_t> r) {
  PlayerRecord p;
  p.name = FieldText(r, 0, kNameWidth);
  p.team = core::ByteAt(r, 32);
  p.colour = core::U16At(r, 33);
  p.nation = core::ByteAt(r, 35);
  p.planesdir = core::ByteAt(r, 36);
  for (std::size_t k = 0; k < p.aircraft.size(); ++k) {
    const std::size_t at = kAircraftOffset + k * AircraftEntry::kSize;
    AircraftEntry& a = p.aircraft[k];
    a.unitName = FieldText(r, at, 32);
    a.number = core::I32At(r, at + 32);
    a.bombs = core::I32At(r, at + 36);
    a.reload = core::I32At(r, at + 40);
  }
  for (std::size_t d = 0; d < p.descents.size(); ++d) {
    const std::size_t at = kDescentOffset + d * DescentEntry::kSize;
    DescentEntry& e = p.descents[d];
    e.group = core::ByteAt(r, at);
    e.expa = core::ByteAt(r, at + 1);
    for (std::size_t j = 0; j < 4; ++j) {
      e.unitNames[j] = FieldText(r, at + 2 + 16 * j, 16);
      e.numbers[j] = core::ByteAt(r, at + 66 + j);
    }
  }
  return p;
}

PlayerColour ColourComponents(std::uint16_t colour) {
  return {static_cast<unsigned>((colour >> 8) & 248u), 2u * ((colour >> 4) & 127u), 8u * (colour & 15u)};
}

std::string ConvertPlayerRecord(const PlayerRecord& player) {
  using std::to_string;
  std::string text;
  text += "name=\"" + player.name + "\"\n ";
  text += "team=" + to_string(player.team) + "\n ";
  text += "nation=" + to_string(player.nation) + "\n ";
  const PlayerColour c = ColourComponents(player.colour);
  text += "color=" + to_string(c.red) + ' ' + to_string(c.green) + ' ' + to_string(c.blue) + "\n ";

  for (std::size_t k = 0; k < player.aircraft.size(); ++k) {
    const AircraftEntry& a = player.aircraft[k];
    text += kAircraftKinds[k];
    text += '\n';
    text += "  ID=" + a.unitName + "\n  ";
    text += "Number=" + to_string(a.number) + "\n  ";
    text += "Bombs=" + to_string(a.bombs) + "\n  ";
    text += "Reload=" + to_string(a.reload) + "\n ";
  }

  for (std::size_t d = 0; d < player.descents.size(); ++d) {
    const DescentEntry& e = player.descents[d];
    text += "descent " + to_string(d) + "\n  ";
    text += "group=" + to_string(e.group) + "\n  ";
    text += "expa=" + to_string(e.expa) + "\n ";
    for (std::size_t j = 0; j < e.unitNames.size(); ++j) {
      text += " ID " + to_string(j) + '=' + e.unitNames[j] + "\n  ";
      text += "number " + to_string(j) + '=' + to_string(e.numbers[j]) + "\n ";
    }
  }

  text += "planesdir=" + to_string(player.planesdir) + '\n';
  return text;
}

}  // namespace kartwerk::records
