// "players": one block per player record, with the names the editor can work with.
#include "convert/writers/mission_players_file.hpp"

#include <algorithm>
#include <array>

#include "convert/records/players.hpp"
#include "convert/writers/mission_file_io.hpp"
#include "platform/file_output.hpp"

namespace kartwerk::writers {
namespace {

bool IsAsciiLetter(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

void FixPlayerName(std::span<std::uint8_t, records::PlayerRecord::kSize> record, std::int64_t place,
                   format::MapKindCode kind) {
  if (kind != format::MultiplayerMap && IsAsciiLetter(record[0])) return;
  const std::string name = "Player " + std::to_string(place + 1);
  const auto field = record.first<records::PlayerRecord::kNameWidth>();
  std::fill(field.begin(), field.end(), std::uint8_t{0});
  std::copy_n(name.begin(), std::min(name.size(), records::PlayerRecord::kNameWidth - 1), field.begin());
}

void WritePlayersFile(format::Conversion& c) {
  const auto path = DiscardMissionFile(c, "players");
  c.Seek(format::Section::Players);
  const std::int32_t count = c.MissionStream.ReadI32();
  platform::OutputFile out(path, c.Output,
                           c.Written);  // the count is the container's: the text goes to the file as it is made
  std::array<std::uint8_t, records::PlayerRecord::kSize> record;
  for (CountedRecords records(c, count, "players"); records.Next();) {
    c.MissionStream.ReadRecord(record);
    out.Append("Player " + std::to_string(records.index()) + "\n ");
    FixPlayerName(record, records.index(), c.MapKind);
    out.Append(records::ConvertPlayerRecord(records::PlayerRecord::Decode(record)));
  }
  out.Commit();
}

}  // namespace kartwerk::writers
