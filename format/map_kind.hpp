// The three kinds of compiled map and how a file's extension selects one.
#pragma once

#include <cstdint>
#include <string_view>

namespace kartwerk::format {

enum MapKindCode : std::uint8_t {
  SinglePlayerMap = 0,  // ".qdm"
  MultiplayerMap = 1,   // ".qdp"
  CampaignMap = 2,      // ".qdc" and any other extension
};

// ".QDM" and ".QDP" compared without regard to case; anything else is a campaign.
MapKindCode MapKindFromExtension(std::string_view extension);

// "Singleplayer", "Multiplayer", "Campaign".
std::string_view MapKindText(MapKindCode kind);

}  // namespace kartwerk::format
