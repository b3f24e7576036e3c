#include "format/slot_title.hpp"

#include "core/cp1252.hpp"

namespace kartwerk::format {

std::string SlotTitleFromName(std::string_view name, bool& lost) {
  std::string title = core::Utf8ToCp1252(name, lost);
  if (title.size() > kMaxSlotTitleBytes) title.resize(kMaxSlotTitleBytes);
  return title;
}

}  // namespace kartwerk::format
