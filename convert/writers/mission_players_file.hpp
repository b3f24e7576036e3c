// The "players" file of a mission folder. Runs after WriteInfoFile.
#pragma once

#include <cstdint>
#include <span>

#include "convert/records/players.hpp"
#include "format/conversion.hpp"

namespace kartwerk::writers {

// "players": "Player N", a line feed and a space, then the player's block (name fixed).
void WritePlayersFile(format::Conversion& conversion);

// The name a player record is written with. Multiplayer maps always name their players
// "Player 1", "Player 2", ... by place; other maps do so only for a name that is empty or does
// not begin with an ASCII letter. The name field is rewritten in place, zero-ended.
void FixPlayerName(std::span<std::uint8_t, records::PlayerRecord::kSize> record, std::int64_t place,
                   format::MapKindCode kind);

}  // namespace kartwerk::writers
