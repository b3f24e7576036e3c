#include "game/slot_store.hpp"

#include <array>
#include <cstdio>
#include <memory>
#include <system_error>

#include "format/slot_title.hpp"
#include "game/game_location.hpp"
#include "platform/path_lookup.hpp"
#include "platform/platform_files.hpp"

namespace kartwerk::game {

std::string SlotNumberText(int slot) {
  std::string digits = std::to_string(slot);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return digits;
}

std::filesystem::path SlotFolderPath(const std::filesystem::path& gameFolder, int slot) {
  return platform::JoinIgnoringCase(gameFolder, "editor\\maps.src\\map." + SlotNumberText(slot));
}

std::string SlotTitleFromDesc(std::string_view descContent) {
  const std::size_t end = descContent.find_first_of(std::string_view("\r\n\0", 3));
  return std::string(descContent.substr(0, end));
}

std::optional<std::string> ReadSlotTitleFile(const std::filesystem::path& desc) {
  // A desc that is no regular file (a FIFO would block the slot list for ever) holds no map.
  bool notAFile = false;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(platform::OpenForReading(desc, notAFile), &std::fclose);
  if (!in) return std::nullopt;
  // A title ends at its first line end and is never longer than the editor takes: a desc of
  // megabytes (or a sparse one of terabytes) costs no more than one of a few bytes.
  std::array<char, format::kMaxSlotTitleBytes> head;
  const std::size_t got = std::fread(head.data(), 1, head.size(), in.get());
  if (got < head.size() && std::ferror(in.get())) return std::string();
  return SlotTitleFromDesc(std::string_view(head.data(), got));
}

std::optional<std::string> ReadSlotTitle(const std::filesystem::path& gameFolder, int slot) {
  if (gameFolder.empty()) return std::nullopt;  // no game: never look into the current folder
  return ReadSlotTitleFile(platform::ResolveIgnoringCase(SlotFolderPath(gameFolder, slot), "desc"));
}

std::string SlotLine(int slot, const std::optional<std::string>& title) {
  if (!title) return "Map " + SlotNumberText(slot) + ":    --- empty ---";
  return "Map " + SlotNumberText(slot) + ": " + *title;
}

bool BuildSlotList(GameInstallations& installs) {
  const bool found = LocateGame(installs);
  for (int slot = 0; slot < static_cast<int>(kSlotCount); ++slot) {
    installs.slotList[static_cast<std::size_t>(slot)] = SlotLine(slot, ReadSlotTitle(installs.gameFolder, slot));
  }
  return found;
}

}  // namespace kartwerk::game
