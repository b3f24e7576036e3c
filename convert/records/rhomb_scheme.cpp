#include "convert/records/rhomb_scheme.hpp"

#include <cstring>

namespace kartwerk::records {

const TileClassRow* FindTileClass(const RhombScheme& scheme, std::uint16_t code) {
  for (const TileClassRow& row : scheme.classes) {
    if (row.codes.Holds(code)) return &row;
  }
  return nullptr;
}

bool IsPlainCode(const TileClassRow& row, std::uint16_t code) {
  for (const CodeRange& range : row.plain) {
    if (range.Holds(code)) return true;
  }
  return false;
}

std::uint8_t FindTransitionShape(const RhombScheme& scheme, std::uint8_t tileClass, std::uint16_t code) {
  for (const ShapeCell& cell : scheme.shapes) {
    if (cell.tileClass != tileClass) continue;
    for (std::uint16_t listed : cell.codes) {
      if (listed != 0 && listed == code) return cell.shape;
    }
  }
  return 0;
}

bool ShowsPartnerTerrain(std::uint16_t shape) {
  switch (shape) {
    case 1:
    case 2:
    case 6:
    case 7:
    case 8:
    case 11: return true;
    default: return false;
  }
}

EditorRhomb ConvertRhombWith(const RhombScheme& scheme, const CompiledRhomb& rhomb) {
  EditorRhomb out;
  out.tileCode = rhomb.tileCode;
  std::uint8_t partner = 0;
  if (const TileClassRow* row = FindTileClass(scheme, rhomb.tileCode)) {
    out.tileClass = row->tileClass;
    partner = row->partner;
    if (!IsPlainCode(*row, rhomb.tileCode)) out.shape = FindTransitionShape(scheme, row->tileClass, rhomb.tileCode);
  }
  out.terrain = ShowsPartnerTerrain(out.shape) ? partner : out.tileClass;
  SetRhombLevel(out, rhomb.levelWord);
  return out;
}

void RhombConverter::ConvertUnremembered(CompiledRhomb rhomb, std::uint8_t* out) const {
  const auto bytes = ConvertRhombWith(scheme_, rhomb).Bytes();
  std::copy(bytes.begin(), bytes.end(), out);
}

void RhombConverter::Remember(std::uint16_t tileCode) {
  known_[tileCode] = ConvertRhombWith(scheme_, CompiledRhomb{tileCode, 0});
  knownBytes_[tileCode] = known_[tileCode].Bytes();
  std::memcpy(&knownWords_[tileCode], knownBytes_[tileCode].data(), EditorRhomb::kSize);
  isKnown_[tileCode] = true;
}

}  // namespace kartwerk::records
