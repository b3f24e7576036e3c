#include "compare/entry_changes.hpp"

#include <limits>
#include <map>
#include <string_view>

namespace kartwerk {
namespace {

// Beyond this many unpaired entries on each side, the nearest-place pairing (quadratic) is left
// out: the rest are reported added and removed.
constexpr std::size_t kMaxNearestPairing = 4096;

// Pairs each unpaired folder entry with the first unpaired map entry of the same value of by().
template <class By>
void PairBy(const std::vector<ListEntry>& mapEntries, const std::vector<ListEntry>& folderEntries,
            std::vector<int>& mapPartner, std::vector<int>& folderPartner, By by) {
  std::multimap<std::string_view, int> open;
  for (std::size_t i = 0; i < mapEntries.size(); ++i)
    if (mapPartner[i] < 0) open.emplace(by(mapEntries[i]), static_cast<int>(i));
  for (std::size_t j = 0; j < folderEntries.size(); ++j) {
    if (folderPartner[j] >= 0) continue;
    const auto it = open.find(by(folderEntries[j]));
    if (it == open.end()) continue;
    mapPartner[static_cast<std::size_t>(it->second)] = static_cast<int>(j);
    folderPartner[j] = it->second;
    open.erase(it);
  }
}

std::int64_t Distance(const Position& a, const Position& b) {
  const std::int64_t dx = a.x - b.x, dy = a.y - b.y;
  return dx * dx + dy * dy;
}

void PairNearest(const std::vector<ListEntry>& mapEntries, const std::vector<ListEntry>& folderEntries,
                 std::vector<int>& mapPartner, std::vector<int>& folderPartner) {
  std::vector<std::size_t> openMap, openFolder;
  for (std::size_t i = 0; i < mapEntries.size(); ++i)
    if (mapPartner[i] < 0 && mapEntries[i].at) openMap.push_back(i);
  for (std::size_t j = 0; j < folderEntries.size(); ++j)
    if (folderPartner[j] < 0 && folderEntries[j].at) openFolder.push_back(j);
  if (openMap.size() > kMaxNearestPairing || openFolder.size() > kMaxNearestPairing) return;
  for (const std::size_t j : openFolder) {
    int best = -1;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (const std::size_t i : openMap) {
      if (mapPartner[i] >= 0 || mapEntries[i].type != folderEntries[j].type) continue;
      const std::int64_t d = Distance(*mapEntries[i].at, *folderEntries[j].at);
      if (d < bestDistance) {
        bestDistance = d;
        best = static_cast<int>(i);
      }
    }
    if (best < 0) continue;
    mapPartner[static_cast<std::size_t>(best)] = static_cast<int>(j);
    folderPartner[j] = best;
  }
}

}  // namespace

std::vector<FieldChange> CompareFields(const std::vector<std::pair<std::string, std::string>>& from,
                                       const std::vector<std::pair<std::string, std::string>>& to) {
  std::map<std::string_view, std::string_view> later;
  for (const auto& [field, value] : to) later.emplace(field, value);
  std::vector<FieldChange> changes;
  std::map<std::string_view, bool> seen;
  for (const auto& [field, value] : from) {
    seen[field] = true;
    const auto it = later.find(field);
    if (it == later.end()) {
      changes.push_back({field, value, "(none)"});
    } else if (it->second != value) {
      changes.push_back({field, value, std::string(it->second)});
    }
  }
  for (const auto& [field, value] : to)
    if (!seen.count(field)) changes.push_back({field, "(none)", value});
  return changes;
}

std::vector<EntryChange> CompareListEntries(const std::vector<ListEntry>& mapEntries,
                                            const std::vector<ListEntry>& folderEntries) {
  std::vector<int> mapPartner(mapEntries.size(), -1), folderPartner(folderEntries.size(), -1);
  PairBy(mapEntries, folderEntries, mapPartner, folderPartner, [](const ListEntry& e) { return e.text; });
  PairBy(mapEntries, folderEntries, mapPartner, folderPartner,
         [](const ListEntry& e) { return std::string_view(e.key); });
  PairNearest(mapEntries, folderEntries, mapPartner, folderPartner);

  std::vector<EntryChange> changes;
  for (std::size_t i = 0; i < mapEntries.size(); ++i) {
    const ListEntry& before = mapEntries[i];
    EntryChange change;
    change.entry = before.label;
    change.from = before.at;
    if (mapPartner[i] < 0) {
      change.kind = EntryChange::Kind::Removed;
    } else {
      const ListEntry& after = folderEntries[static_cast<std::size_t>(mapPartner[i])];
      if (after.text == before.text) continue;
      change.kind = EntryChange::Kind::Changed;
      change.to = after.at;
      change.fields = CompareFields(before.fields, after.fields);
      if (change.fields.empty() && !change.Moved()) change.fields.push_back({"text", "", "differs in spacing"});
    }
    changes.push_back(std::move(change));
  }
  for (std::size_t j = 0; j < folderEntries.size(); ++j) {
    if (folderPartner[j] >= 0) continue;
    EntryChange change;
    change.kind = EntryChange::Kind::Added;
    change.entry = folderEntries[j].label;
    change.to = folderEntries[j].at;
    changes.push_back(std::move(change));
  }
  return changes;
}

}  // namespace kartwerk
