#include "format/map_kind.hpp"

#include "core/text.hpp"

namespace kartwerk::format {

MapKindCode MapKindFromExtension(std::string_view extension) {
  const std::string upper = core::AsciiUpper(extension);
  if (upper == ".QDM") return SinglePlayerMap;
  if (upper == ".QDP") return MultiplayerMap;
  return CampaignMap;
}

std::string_view MapKindText(MapKindCode kind) {
  switch (kind) {
    case SinglePlayerMap: return "Singleplayer";
    case MultiplayerMap: return "Multiplayer";
    default: return "Campaign";
  }
}

}  // namespace kartwerk::format
