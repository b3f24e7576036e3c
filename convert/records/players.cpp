#include "convert/records/players.hpp"

#include <utility>

namespace kartwerk::records {

AircraftEntry AircraftEntry::Decode(std::span<const std::uint8_t> record) {
  const FieldReader<kFields> f(record);
  return {f.Text<kUnitName>(), f.I32<kNumber>(), f.I32<kBombs>(), f.I32<kReload>()};
}

DescentEntry DescentEntry::Decode(std::span<const std::uint8_t> record) {
  const FieldReader<kFields> f(record);
  DescentEntry e;
  e.group = f.U8<kGroup>();
  e.expa = f.U8<kExpa>();
  e.unitNames = {f.Text<kUnitName0>(), f.Text<kUnitName1>(), f.Text<kUnitName2>(), f.Text<kUnitName3>()};
  e.numbers = {f.U8<kNumber0>(), f.U8<kNumber1>(), f.U8<kNumber2>(), f.U8<kNumber3>()};
  return e;
}

PlayerRecord PlayerRecord::Decode(std::span<const std::uint8_t> record) {
  const FieldReader<kFields> f(record);
  PlayerRecord p;
  p.name = f.Text<kName>();
  p.team = f.U8<kTeam>();
  p.colour = f.U16<kColour>();
  p.nation = f.U8<kNation>();
  p.planesdir = f.U8<kPlanesdir>();
  p.aircraft = {AircraftEntry::Decode(f.Bytes<kPlaneBomber>()), AircraftEntry::Decode(f.Bytes<kPlaneSpy>()),
                AircraftEntry::Decode(f.Bytes<kPlaneTransport>()), AircraftEntry::Decode(f.Bytes<kPlaneBoxer>()),
                AircraftEntry::Decode(f.Bytes<kPlaneInterceptor>())};
  p.descents[0] = DescentEntry::Decode(f.Bytes<kDescent0>());
  p.descents[1] = DescentEntry::Decode(f.Bytes<kDescent1>());
  return p;
}

PlayerColour ColourComponents(std::uint16_t colour) {
  return {static_cast<unsigned>((colour >> 8) & 248u), 2u * ((colour >> 4) & 127u), 8u * (colour & 15u)};
}

namespace {

// A block's lines; the first goes without its indentation, which the header line in front of the
// block supplies.
class BlockText {
 public:
  void Pair(std::size_t indent, std::string_view key, const std::string& value) {
    Start(indent);
    text_ += key;
    text_ += '=';
    text_ += value;
    text_ += '\n';
  }
  void Heading(std::size_t indent, std::string_view heading) {
    Start(indent);
    text_ += heading;
    text_ += '\n';
  }
  std::string Take() { return std::move(text_); }

 private:
  void Start(std::size_t indent) {
    if (!text_.empty()) text_.append(indent, ' ');
  }
  std::string text_;
};

void WriteAircraft(BlockText& block, const AircraftEntry& a) {
  using F = AircraftEntry;
  for (const F::Field field : F::kLineOrder) {
    const std::string_view key = F::kFields[field].name;
    switch (field) {
      case F::kUnitName: block.Pair(kPlayerEntryIndent, key, a.unitName); break;
      case F::kNumber: block.Pair(kPlayerEntryIndent, key, std::to_string(a.number)); break;
      case F::kBombs: block.Pair(kPlayerEntryIndent, key, std::to_string(a.bombs)); break;
      case F::kReload: block.Pair(kPlayerEntryIndent, key, std::to_string(a.reload)); break;
    }
  }
}

void WriteDescent(BlockText& block, const DescentEntry& e) {
  using F = DescentEntry;
  for (const F::Field field : F::kLineOrder) {
    const std::string_view key = F::kFields[field].name;
    if (field == F::kGroup) {
      block.Pair(kPlayerEntryIndent, key, std::to_string(e.group));
    } else if (field == F::kExpa) {
      block.Pair(kPlayerEntryIndent, key, std::to_string(e.expa));
    } else if (field >= F::kNumber0) {
      block.Pair(kPlayerEntryIndent, key, std::to_string(e.numbers[field - F::kNumber0]));
    } else {
      block.Pair(kPlayerEntryIndent, key, e.unitNames[field - F::kUnitName0]);
    }
  }
}

}  // namespace

std::string ConvertPlayerRecord(const PlayerRecord& player) {
  using F = PlayerRecord;
  using std::to_string;
  BlockText block;
  for (const F::Field field : F::kLineOrder) {
    const std::string_view key = F::kFields[field].name;
    if (F::IsAircraft(field)) {
      block.Heading(kPlayerLineIndent, key);
      WriteAircraft(block, player.aircraft[field - F::kPlaneBomber]);
      continue;
    }
    if (F::IsDescent(field)) {
      block.Heading(kPlayerLineIndent, key);
      WriteDescent(block, player.descents[field - F::kDescent0]);
      continue;
    }
    switch (field) {
      case F::kName: block.Pair(kPlayerLineIndent, key, '"' + player.name + '"'); break;
      case F::kTeam: block.Pair(kPlayerLineIndent, key, to_string(player.team)); break;
      case F::kNation: block.Pair(kPlayerLineIndent, key, to_string(player.nation)); break;
      case F::kColour: {
        const PlayerColour c = ColourComponents(player.colour);
        block.Pair(kPlayerLineIndent, key, to_string(c.red) + ' ' + to_string(c.green) + ' ' + to_string(c.blue));
        break;
      }
      case F::kPlanesdir: block.Pair(kPlayerLineIndent, key, to_string(player.planesdir)); break;
      default: break;  // the headings, above
    }
  }
  return block.Take();
}

}  // namespace kartwerk::records
