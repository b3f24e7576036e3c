#include "compare/list_entries.hpp"

#include <cctype>
#include <charconv>

#include "compare/text_lines.hpp"

namespace kartwerk {
namespace {

std::size_t Indent(std::string_view line) {
  std::size_t n = 0;
  while (n < line.size() && line[n] == ' ') ++n;
  return n;
}

std::string_view Trimmed(std::string_view line) {
  line.remove_prefix(Indent(line));
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The whole text from the first line of an entry to the end of its last.
std::string_view Span(std::string_view first, std::string_view last) {
  return {first.data(), static_cast<std::size_t>(last.data() + last.size() - first.data())};
}

std::optional<std::int64_t> Number(std::string_view text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// Takes U and V out of fields as the entry's place.
void TakePlace(ListEntry& entry) {
  std::optional<std::int64_t> u, v;
  for (auto it = entry.fields.begin(); it != entry.fields.end();) {
    if (it->first == "U" || it->first == "V") {
      (it->first == "U" ? u : v) = Number(it->second);
      it = entry.fields.erase(it);
    } else {
      ++it;
    }
  }
  if (u && v) entry.at = Position{*u, *v};
}

std::string FieldValue(const ListEntry& entry, std::string_view name) {
  for (const auto& [field, value] : entry.fields)
    if (field == name) return value;
  return {};
}

std::string PlaceKey(const ListEntry& entry) {
  return entry.at ? std::to_string(entry.at->x) + "," + std::to_string(entry.at->y) : std::string();
}

// Reads the lines of a block's body into fields. A unit line (" ID=...") starts "unit N", the
// lines indented under it "unit N crew M"; a line of words alone ("plane bomber") names the
// fields indented under it.
class BodyReader {
 public:
  explicit BodyReader(ListEntry& entry, bool topUnits) : entry_(entry), topUnits_(topUnits) {}

  void Line(std::string_view line) {
    const std::size_t indent = Indent(line);
    while (!stack_.empty() && stack_.back().indent >= indent) stack_.pop_back();
    auto pairs = LinePairs(Trimmed(line));
    if (pairs.empty()) return;
    const bool wordsOnly = pairs.size() == 1 && pairs[0].first.empty();
    if (wordsOnly) {
      stack_.push_back({indent, pairs[0].second, false});
      return;
    }
    std::string prefix = stack_.empty() ? std::string() : stack_.back().prefix;
    if (pairs[0].first == "ID" && (stack_.empty() || stack_.back().unit)) {
      if (stack_.empty()) {
        // A unit of a group, or a crew member of the unit the entry is.
        prefix = topUnits_ ? "unit " + std::to_string(++units_) : "crew " + std::to_string(++crew_);
        if (topUnits_) crew_ = 0;
      } else {
        prefix += " crew " + std::to_string(++crew_);
      }
      stack_.push_back({indent, prefix, true});
    }
    std::string local;
    for (auto& [key, value] : pairs) {
      if (key.empty()) {
        local = value;
        continue;
      }
      std::string name = prefix;
      for (const std::string* part : {&local, &key}) {
        if (part->empty()) continue;
        if (!name.empty()) name += ' ';
        name += *part;
      }
      entry_.fields.emplace_back(std::move(name), std::move(value));
    }
  }

 private:
  struct Level {
    std::size_t indent;
    std::string prefix;
    bool unit;
  };
  ListEntry& entry_;
  bool topUnits_;
  std::vector<Level> stack_;
  int units_ = 0;
  int crew_ = 0;
};

// Entries that start at a line for which starts() holds, each running to the next.
template <class Starts, class Finish>
std::vector<ListEntry> SplitEntries(const std::vector<std::string_view>& lines, Starts starts, Finish finish,
                                    bool topUnits) {
  std::vector<ListEntry> entries;
  std::size_t first = 0;
  while (first < lines.size()) {
    if (!starts(lines[first])) {
      ++first;
      continue;
    }
    std::size_t last = first + 1;
    while (last < lines.size() && !starts(lines[last])) ++last;
    ListEntry entry;
    entry.text = Span(lines[first], lines[last - 1]);
    finish(entry, lines[first], entries.size());
    BodyReader body(entry, topUnits);
    for (std::size_t i = first + 1; i < last; ++i) body.Line(lines[i]);
    entries.push_back(std::move(entry));
    first = last;
  }
  return entries;
}

std::vector<ListEntry> PlacedEntries(const std::vector<std::string_view>& lines, std::string_view startKey,
                                     const char* noun) {
  const auto starts = [startKey](std::string_view line) {
    const std::string_view t = Trimmed(line);
    return Indent(line) <= 1 && t.substr(0, startKey.size()) == startKey;
  };
  return SplitEntries(
      lines, starts,
      [&](ListEntry& entry, std::string_view head, std::size_t index) {
        for (auto& [key, value] : LinePairs(Trimmed(head)))
          if (!key.empty()) entry.fields.emplace_back(key, value);
        // Sounds keep a field per line: gather them here, the body reader sees none.
        entry.type = FieldValue(entry, startKey.substr(0, startKey.size() - 1));
        entry.label = std::string(noun) + " " + std::to_string(index + 1) + " " + Quoted(entry.type);
      },
      false);
}

// Units and sounds: each keyed by its type and place, so that the same thing elsewhere is a move.
// (A sound is a run of lines "Name=", "U=", "V=", ...: the body reader gathers the rest.)
std::vector<ListEntry> PlacedList(const std::vector<std::string_view>& lines, std::string_view startKey,
                                  const char* noun) {
  auto entries = PlacedEntries(lines, startKey, noun);
  for (ListEntry& entry : entries) {
    TakePlace(entry);
    entry.key = entry.type + "@" + PlaceKey(entry);
  }
  return entries;
}

// Blocks that open with a header line ("Group 3", "Player 1", "phrase 2") and hold the lines
// under it; the header is the key.
std::vector<ListEntry> HeaderBlocks(const std::vector<std::string_view>& lines, std::string_view header,
                                    bool bodyAsText) {
  const auto starts = [header](std::string_view line) { return line.substr(0, header.size()) == header; };
  auto entries = SplitEntries(
      lines, starts,
      [](ListEntry& entry, std::string_view head, std::size_t) {
        entry.key = std::string(Trimmed(head));
        entry.label = entry.key;
      },
      true);
  if (bodyAsText) {
    for (ListEntry& entry : entries) {
      entry.fields.clear();
      const std::size_t end = entry.text.find('\n');
      entry.fields.emplace_back("text", end == std::string_view::npos ? "" : std::string(entry.text.substr(end + 1)));
    }
  }
  return entries;
}

std::vector<ListEntry> Support(const std::vector<std::string_view>& lines) {
  std::vector<ListEntry> entries;
  int flags = 0, groups = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.rfind("flag ", 0) == 0) {
      ListEntry entry;
      entry.key = entry.label = "flag " + std::to_string(flags++);
      entry.text = line;
      entry.fields.emplace_back("values", std::string(line.substr(5)));
      entries.push_back(std::move(entry));
    } else if (line.rfind("support ", 0) == 0) {
      std::size_t last = i + 1;
      while (last < lines.size() && lines[last] != "end") ++last;
      if (last == lines.size()) --last;
      ListEntry entry;
      entry.key = entry.label = "support group " + std::to_string(groups++);
      entry.text = Span(line, lines[last]);
      entry.fields.emplace_back("name", std::string(line.substr(8)));
      BodyReader body(entry, true);
      for (std::size_t j = i + 1; j < last; ++j) body.Line(lines[j]);
      entries.push_back(std::move(entry));
      i = last;
    }
  }
  return entries;
}

std::vector<ListEntry> Scripts(const std::vector<std::string_view>& lines) {
  std::vector<ListEntry> entries;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("script ", 0) != 0) continue;
    std::size_t last = i;
    while (last + 1 < lines.size() && !lines[last + 1].empty() && lines[last + 1].rfind("script ", 0) != 0) ++last;
    ListEntry entry;
    const std::string_view head = lines[i];
    const std::size_t open = head.find('"'), close = head.rfind('"');
    entry.key = open != close ? std::string(head.substr(open, close - open + 1)) : std::string(head);
    entry.label = "script " + entry.key;
    entry.text = Span(lines[i], lines[last]);
    if (close != std::string_view::npos && close + 1 < head.size())
      entry.fields.emplace_back("size", std::string(Trimmed(head.substr(close + 1)).substr(5)));
    for (std::size_t j = i + 1; j <= last; ++j)
      entry.fields.emplace_back("line " + std::to_string(j - i), std::string(lines[j]));
    entries.push_back(std::move(entry));
    i = last;
  }
  return entries;
}

std::vector<ListEntry> Objects(const std::vector<std::string_view>& lines) {
  std::vector<ListEntry> entries;
  for (const std::string_view line : lines) {
    if (Trimmed(line).empty()) continue;
    ListEntry entry;
    entry.text = line;
    entry.key = std::string(line);
    entry.type = std::string(line.substr(0, line.find(' ')));
    entry.label = "object " + std::to_string(entries.size() + 1) + " " + Quoted(line);
    entry.fields.emplace_back("line", std::string(line));
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace

ListKind ListKindOf(std::string_view fileName) {
  const std::size_t slash = fileName.rfind('/');
  const std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
  const bool inMission = slash != std::string_view::npos;
  if (!inMission) return base == "objects" ? ListKind::Objects : ListKind::None;
  if (base == "mapunits") return ListKind::Units;
  if (base == "sounds") return ListKind::Sounds;
  if (base == "groups") return ListKind::Groups;
  if (base == "support") return ListKind::Support;
  if (base == "players") return ListKind::Players;
  if (base == "scripts2") return ListKind::Scripts;
  if (base == "phrases2") return ListKind::Phrases;
  return ListKind::None;
}

std::vector<std::pair<std::string, std::string>> LinePairs(std::string_view line) {
  std::vector<std::pair<std::string, std::string>> pairs;
  std::size_t i = 0;
  const auto skipSpaces = [&] {
    while (i < line.size() && line[i] == ' ') ++i;
  };
  // A value runs to the next space outside quotes.
  const auto value = [&] {
    const std::size_t start = i;
    bool quoted = false;
    while (i < line.size() && (quoted || line[i] != ' ')) {
      if (line[i] == '"') quoted = !quoted;
      ++i;
    }
    return std::string(line.substr(start, i - start));
  };
  skipSpaces();
  while (i < line.size()) {
    std::size_t j = i;
    while (j < line.size() && IsWordChar(line[j])) ++j;
    std::size_t keyEnd = j;
    // "ID 0=rifleman": a key of a word and a number.
    if (j < line.size() && line[j] == ' ') {
      std::size_t k = j + 1;
      while (k < line.size() && std::isdigit(static_cast<unsigned char>(line[k]))) ++k;
      if (k > j + 1 && k < line.size() && line[k] == '=') keyEnd = j = k;
    }
    if (j > i && j < line.size() && line[j] == '=') {
      std::string key(line.substr(i, keyEnd - i));
      i = j + 1;
      std::string v = value();
      // Words after a value without "=" belong to it ("color=200 98 112", "aiflags= aif_a aif_b").
      skipSpaces();
      while (i < line.size()) {
        std::size_t w = i;
        while (w < line.size() && line[w] != ' ' && line[w] != '=') ++w;
        if (w < line.size() && line[w] == '=') break;
        std::size_t n = w;
        if (n < line.size() && line[n] == ' ') {
          std::size_t k = n + 1;
          while (k < line.size() && std::isdigit(static_cast<unsigned char>(line[k]))) ++k;
          if (k > n + 1 && k < line.size() && line[k] == '=') break;
        }
        v += (v.empty() ? "" : " ") + std::string(line.substr(i, w - i));
        i = w;
        skipSpaces();
      }
      pairs.emplace_back(std::move(key), std::move(v));
    } else {
      // Words before the first pair, or after a quoted value.
      std::string words = value();
      skipSpaces();
      if (pairs.empty())
        pairs.emplace_back(std::string(), std::move(words));
      else
        pairs.back().second += " " + words;
      continue;
    }
    skipSpaces();
  }
  return pairs;
}

std::vector<ListEntry> ReadListEntries(ListKind kind, std::string_view text) {
  const auto lines = SplitLines(text);
  switch (kind) {
    case ListKind::Units: return PlacedList(lines, "ID=", "unit");
    case ListKind::Sounds: return PlacedList(lines, "Name=", "sound");
    case ListKind::Groups: return HeaderBlocks(lines, "Group ", false);
    case ListKind::Players: return HeaderBlocks(lines, "Player ", false);
    case ListKind::Phrases: return HeaderBlocks(lines, "phrase ", true);
    case ListKind::Support: return Support(lines);
    case ListKind::Scripts: return Scripts(lines);
    case ListKind::Objects: return Objects(lines);
    case ListKind::None: break;
  }
  return {};
}

}  // namespace kartwerk
