#include "compare/entry_changes.hpp"

#include <map>
#include <string_view>
#include <unordered_map>

#include "compare/min_cost_pairing.hpp"
#include "compare/myers_line_diff.hpp"

namespace kartwerk::compare {
namespace {

using Partners = std::vector<int>;

// Each unpaired folder entry with the first unpaired map entry of the same key.
void PairByKey(const std::vector<ListEntry>& a, const std::vector<ListEntry>& b, Partners& ma, Partners& mb) {
  std::multimap<std::string_view, std::size_t> open;
  for (std::size_t i = 0; i < a.size(); ++i) open.emplace(a[i].key, i);
  for (std::size_t j = 0; j < b.size(); ++j) {
    const auto it = open.find(b[j].key);
    if (it == open.end()) continue;
    ma[it->second] = static_cast<int>(j);
    mb[j] = static_cast<int>(it->second);
    open.erase(it);
  }
}

std::string BodyText(const ListEntry& e) {
  std::string text;
  for (const std::string_view line : e.body) (text += line) += '\n';
  return text;
}

// Unpaired scripts whose lines are the same under another name; returns which map entries.
std::vector<bool> PairRenamed(const std::vector<ListEntry>& a, const std::vector<ListEntry>& b, Partners& ma,
                              Partners& mb) {
  std::vector<bool> renamed(a.size(), false);
  std::unordered_multimap<std::string, std::size_t> open;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (ma[i] < 0) open.emplace(BodyText(a[i]), i);
  for (std::size_t j = 0; j < b.size() && !open.empty(); ++j) {
    if (mb[j] >= 0) continue;
    const auto it = open.find(BodyText(b[j]));
    if (it == open.end()) continue;
    ma[it->second] = static_cast<int>(j);
    mb[j] = static_cast<int>(it->second);
    renamed[it->second] = true;
    open.erase(it);
  }
  return renamed;
}

// Texts are built by appending: GCC 12 warns falsely (-Wrestrict) on some chains of string sums.
std::string Label(const ListEntry& e) {
  if (e.noun.empty()) return e.key;
  std::string label = e.noun;
  label.append(" ").append(std::to_string(e.number)).append(" '").append(e.type).append("'");
  return label;
}

std::string NowText(std::size_t number) {
  std::string text = " (now ";
  text.append(std::to_string(number)).append(")");
  return text;
}

// Whether the paired entries stand in another order in the folder's list.
bool OrderChanged(const Partners& ma) {
  int last = -1;
  for (const int j : ma) {
    if (j < 0) continue;
    if (j < last) return true;
    last = j;
  }
  return false;
}

}  // namespace

std::vector<FieldChange> CompareFields(const Fields& from, const Fields& to) {
  std::map<std::string_view, std::string_view> later;
  for (const auto& [field, value] : to) later.emplace(field, value);
  std::vector<FieldChange> changes;
  std::map<std::string_view, bool> seen;
  for (const auto& [field, value] : from) {
    seen[field] = true;
    const auto it = later.find(field);
    if (it == later.end()) {
      changes.push_back({field, value, "", FieldChange::Edit::Removed});
    } else if (it->second != value) {
      changes.push_back({field, value, std::string(it->second)});
    }
  }
  for (const auto& [field, value] : to)
    if (!seen.count(field)) changes.push_back({field, "", value, FieldChange::Edit::Added});
  return changes;
}

std::vector<FieldChange> CompareBodies(const std::vector<std::string_view>& from,
                                       const std::vector<std::string_view>& to) {
  std::vector<FieldChange> changes;
  const auto edits = MyersLineDiff(from, to);
  const auto line = [](std::size_t index) {
    std::string name = "line ";
    return name.append(std::to_string(index + 1));
  };
  for (std::size_t k = 0; k < edits.size();) {
    if (edits[k].op == LineEdit::Op::Keep) {
      ++k;
      continue;
    }
    // A run of changes: removed lines facing added ones are lines changed, the rest removed or added.
    std::vector<std::size_t> removed, added;
    for (; k < edits.size() && edits[k].op != LineEdit::Op::Keep; ++k)
      (edits[k].op == LineEdit::Op::Delete ? removed : added).push_back(k);
    std::size_t r = 0, a = 0;
    for (; r < removed.size() && a < added.size(); ++r, ++a) {
      const LineEdit& gone = edits[removed[r]];
      changes.push_back({line(gone.from), std::string(from[gone.from]), std::string(to[edits[added[a]].to])});
    }
    for (; r < removed.size(); ++r) {
      const LineEdit& gone = edits[removed[r]];
      changes.push_back({line(gone.from), std::string(from[gone.from]), "", FieldChange::Edit::Removed});
    }
    for (; a < added.size(); ++a) {
      const LineEdit& come = edits[added[a]];
      changes.push_back({line(come.to), "", std::string(to[come.to]), FieldChange::Edit::Added});
    }
  }
  return changes;
}

ListChanges CompareListEntries(ListKind kind, const std::vector<ListEntry>& a, const std::vector<ListEntry>& b) {
  ListChanges result;
  Partners ma(a.size(), -1), mb(b.size(), -1);
  const bool placed = IsPlacedList(kind);
  if (placed) {
    PlacedPairing p = PairPlacedEntries(a, b);
    ma = std::move(p.mapPartner);
    mb = std::move(p.folderPartner);
    if (p.approximated > 0)
      result.note.assign(std::to_string(p.approximated))
          .append(" ")
          .append(PluralOf(kind))
          .append(" in crowded places paired nearest first rather than by least cost");
  } else {
    PairByKey(a, b, ma, mb);
  }
  const std::vector<bool> renamed =
      kind == ListKind::Scripts ? PairRenamed(a, b, ma, mb) : std::vector<bool>(a.size(), false);

  if (OrderChanged(ma)) {
    EntryChange order;
    order.kind = EntryChange::Kind::Reordered;
    order.entry = PluralOf(kind);
    result.entries.push_back(std::move(order));
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    const ListEntry& before = a[i];
    EntryChange change;
    change.entry = Label(before);
    change.number = before.number;
    change.from = before.at;
    if (ma[i] < 0) {
      change.kind = EntryChange::Kind::Removed;
      result.entries.push_back(std::move(change));
      continue;
    }
    const ListEntry& after = b[static_cast<std::size_t>(ma[i])];
    change.nowNumber = after.number;
    change.to = after.at;
    if (renamed[i]) {
      change.kind = EntryChange::Kind::Renamed;
      const std::size_t quote = after.key.find('"');  // the name alone: "script \"A\"" gives "\"A\""
      change.newName = quote == std::string::npos ? after.key : after.key.substr(quote);
      change.fields = CompareFields(before.fields, after.fields);
      result.entries.push_back(std::move(change));
      continue;
    }
    if (after.text == before.text) continue;
    if (placed && after.number != before.number) change.entry += NowText(after.number);
    change.kind = EntryChange::Kind::Changed;
    change.fields = CompareFields(before.fields, after.fields);
    const auto body = CompareBodies(before.body, after.body);
    change.fields.insert(change.fields.end(), body.begin(), body.end());
    if (change.fields.empty() && !change.Moved()) change.fields.push_back({"text", "", "differs in spacing"});
    result.entries.push_back(std::move(change));
  }
  for (std::size_t j = 0; j < b.size(); ++j) {
    if (mb[j] >= 0) continue;
    EntryChange change;
    change.kind = EntryChange::Kind::Added;
    change.entry = b[j].key;
    if (!b[j].noun.empty())
      change.entry.assign(b[j].noun).append(" '").append(b[j].type).append("'").append(NowText(b[j].number));
    change.nowNumber = b[j].number;
    change.to = b[j].at;
    result.entries.push_back(std::move(change));
  }
  return result;
}

}  // namespace kartwerk::compare
