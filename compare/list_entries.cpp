#include "compare/list_entries.hpp"

#include <cctype>
#include <charconv>

#include "compare/text_lines.hpp"
#include "convert/records/groups.hpp"
#include "convert/records/objects.hpp"
#include "convert/records/players.hpp"
#include "convert/records/sounds.hpp"
#include "convert/records/support.hpp"
#include "convert/records/units.hpp"
#include "convert/writers/mission_list_files.hpp"

namespace kartwerk::compare {
namespace {

using Lines = std::vector<std::string_view>;

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
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string_view Unquoted(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  return text;
}

// Pairs of a line with the words in front of its first key joined to that key: the editor's
// two-word keys ("ai type", "reserv auto").
Fields KeyedPairs(std::string_view line) {
  Fields pairs = LinePairs(line);
  if (pairs.size() > 1 && pairs[0].first.empty()) {
    pairs[1].first = pairs[0].second + " " + pairs[1].first;
    pairs.erase(pairs.begin());
  }
  return pairs;
}

// Collects the first place where a file stops reading as its writer writes it.
class Damage {
 public:
  void At(std::size_t line, const char* what) {
    if (text_.empty()) text_ = "line " + std::to_string(line + 1) + " " + what;
  }
  void CutAt(std::size_t lines) {
    if (text_.empty()) text_ = "cut short at line " + std::to_string(lines);
  }
  std::string text() const { return text_; }

 private:
  std::string text_;
};

// A byte the writers never write (a control character other than tab, carriage return and line
// feed) or a last line without its line feed.
std::string TextDamage(const Lines& lines, std::string_view text) {
  Damage damage;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    for (const char c : lines[i]) {
      const auto u = static_cast<unsigned char>(c);
      if ((u < 0x20 && c != '\t' && c != '\r') || u == 0x7F) {
        damage.At(i, "holds bytes no writer produces");
        return damage.text();
      }
    }
  }
  if (!text.empty() && text.back() != '\n') damage.CutAt(lines.size());
  return damage.text();
}

bool IsUnitKey(std::string_view key) {
  return records::HasFieldNamed(records::UnitHead::kFields, key) ||
         records::HasFieldNamed(records::UnitRecordStart::kFields, key);
}

bool IsSupportUnitKey(std::string_view key) {
  return records::HasFieldNamed(records::SupportUnitHead::kFields, key) ||
         records::HasFieldNamed(records::UnitRecordStart::kFields, key);
}

// A unit or crew line's pairs when every key is one the writer writes; nothing otherwise.
template <class IsKey>
std::optional<Fields> UnitPairs(std::string_view line, IsKey isKey) {
  Fields pairs = LinePairs(Trimmed(line));
  if (pairs.empty() || pairs[0].first != records::UnitHead::kFields[records::UnitHead::kID].name) return std::nullopt;
  for (const auto& [key, value] : pairs)
    if (!isKey(key)) return std::nullopt;
  return pairs;
}

void AddFields(ListEntry& entry, const std::string& prefix, Fields pairs) {
  for (auto& [key, value] : pairs) entry.fields.emplace_back(prefix + key, std::move(value));
}

ListReading Units(const Lines& lines) {
  ListReading r;
  Damage damage;
  std::size_t crew = 0;
  const std::string_view uKey = records::UnitHead::kFields[records::UnitHead::kU].name,
                         vKey = records::UnitHead::kFields[records::UnitHead::kV].name;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (Trimmed(lines[i]).empty()) continue;
    const std::size_t indent = Indent(lines[i]);
    auto pairs = UnitPairs(lines[i], IsUnitKey);
    if (!pairs || indent == 0 || indent > 2 || (indent == 2 && r.entries.empty())) {
      damage.At(i, "is not a unit line");
      break;
    }
    if (indent == 2) {
      ListEntry& unit = r.entries.back();
      AddFields(unit, "crew " + std::to_string(++crew) + " ", std::move(*pairs));
      unit.text = Span(unit.text, lines[i]);
      continue;
    }
    ListEntry unit;
    unit.noun = "unit";
    unit.number = r.entries.size() + 1;
    unit.type = (*pairs)[0].second;
    unit.text = lines[i];
    std::optional<std::int64_t> u, v;
    for (auto& [key, value] : *pairs) {
      if (key == uKey) {
        u = Number(value);
      } else if (key == vKey) {
        v = Number(value);
      } else {
        unit.fields.emplace_back(std::move(key), std::move(value));
      }
    }
    if (!u || !v) {
      damage.At(i, "is not a unit line");
      break;
    }
    unit.at = Position{*u, *v};
    crew = 0;
    r.entries.push_back(std::move(unit));
  }
  r.damage = damage.text();
  return r;
}

ListReading Sounds(const Lines& lines) {
  ListReading r;
  Damage damage;
  const auto& keys = records::SoundRecord::kFields;
  std::size_t i = 0;
  while (i < lines.size() && damage.text().empty()) {
    if (Trimmed(lines[i]).empty()) {
      ++i;
      continue;
    }
    ListEntry sound;
    sound.noun = "sound";
    sound.number = r.entries.size() + 1;
    std::optional<std::int64_t> u, v;
    for (std::size_t f = 0; f < keys.size(); ++f, ++i) {
      if (i == lines.size()) {
        damage.CutAt(lines.size());
        break;
      }
      const std::string_view line = lines[i];
      const std::size_t equals = line.find('=');
      if (equals == std::string_view::npos || line.substr(0, equals) != keys[f].name) {
        damage.At(i, "is not a sound line");
        break;
      }
      const std::string_view value = Trimmed(line.substr(equals + 1));
      if (f == records::SoundRecord::kName) {
        sound.type = std::string(Unquoted(value));
      } else if (f == records::SoundRecord::kU) {
        u = Number(value);
      } else if (f == records::SoundRecord::kV) {
        v = Number(value);
      } else {
        sound.fields.emplace_back(std::string(keys[f].name), std::string(value));
      }
      if ((f == records::SoundRecord::kU && !u) || (f == records::SoundRecord::kV && !v))
        damage.At(i, "is not a sound line");
      sound.text = f == 0 ? line : Span(sound.text, line);
    }
    if (!damage.text().empty()) break;
    if (i == lines.size()) {
      damage.CutAt(lines.size());  // the empty line after each sound is missing
      break;
    }
    sound.at = Position{*u, *v};
    r.entries.push_back(std::move(sound));
  }
  r.damage = damage.text();
  return r;
}

ListReading Objects(const Lines& lines) {
  ListReading r;
  Damage damage;
  // The line's words after the name, in the order the writer spells them.
  constexpr std::size_t kWordFields[] = {records::ObjectRecord::kX, records::ObjectRecord::kY,
                                         records::ObjectRecord::kVariant, records::ObjectRecord::kAttrByte,
                                         records::ObjectRecord::kAttrWord};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view rest = Trimmed(lines[i]);
    if (rest.empty()) continue;
    std::int64_t numbers[5] = {};
    bool ok = true;
    for (std::size_t w = 5; w-- > 0 && ok;) {
      const std::size_t space = rest.rfind(' ');
      const auto number = space == std::string_view::npos ? std::nullopt : Number(rest.substr(space + 1));
      ok = number.has_value();
      if (ok) {
        numbers[w] = *number;
        rest = rest.substr(0, space);
      }
    }
    if (!ok || rest.empty()) {
      damage.At(i, "is not an object line");
      break;
    }
    ListEntry object;
    object.noun = "object";
    object.number = r.entries.size() + 1;
    object.type = std::string(rest);
    object.text = lines[i];
    object.at = Position{numbers[0], numbers[1]};
    for (std::size_t w = 2; w < 5; ++w)
      object.fields.emplace_back(std::string(records::ObjectRecord::kFields[kWordFields[w]].name),
                                 std::to_string(numbers[w]));
    r.entries.push_back(std::move(object));
  }
  r.damage = damage.text();
  return r;
}

bool IsGroupKey(std::string_view key) {
  return records::HasFieldNamed(records::GroupRecord::kFields, key) || key == records::GroupRecord::kFlagsKey ||
         key == records::GroupRecord::kReserveKey;
}

ListReading Groups(const Lines& lines) {
  ListReading r;
  Damage damage;
  constexpr std::size_t kGroupLines = 3;
  for (std::size_t i = 0; i < lines.size() && damage.text().empty();) {
    const std::string_view head = Trimmed(lines[i]);
    if (head.substr(0, 6) != "Group " || !Number(head.substr(6))) {
      damage.At(i, "is not a group line");
      break;
    }
    ListEntry group;
    group.key = std::string(head);
    group.number = r.entries.size() + 1;
    group.text = lines[i];
    for (std::size_t k = 1; k <= kGroupLines; ++k) {
      if (i + k >= lines.size()) {
        damage.CutAt(lines.size());
        break;
      }
      Fields pairs = KeyedPairs(Trimmed(lines[i + k]));
      bool known = !pairs.empty();
      for (const auto& [key, value] : pairs) known = known && IsGroupKey(key);
      if (!known) {
        damage.At(i + k, "is not a group line");
        break;
      }
      AddFields(group, "", std::move(pairs));
      group.text = Span(group.text, lines[i + k]);
    }
    r.entries.push_back(std::move(group));
    i += 1 + kGroupLines;
  }
  if (damage.text().empty() && r.entries.size() < static_cast<std::size_t>(writers::kGroupCount))
    damage.CutAt(lines.size());
  r.damage = damage.text();
  return r;
}

ListReading Support(const Lines& lines) {
  ListReading r;
  Damage damage;
  // A flag's numbers in the order the writer spells them.
  constexpr std::size_t kFlagOrder[] = {records::SupportFlagRecord::kFirstX, records::SupportFlagRecord::kFirstY,
                                        records::SupportFlagRecord::kFlagParam, records::SupportFlagRecord::kSecondX,
                                        records::SupportFlagRecord::kSecondY};
  std::size_t i = 0;
  for (int flag = 0; flag < writers::kSupportFlagCount && damage.text().empty(); ++flag, ++i) {
    if (i == lines.size()) {
      damage.CutAt(lines.size());
      break;
    }
    const std::string_view line = Trimmed(lines[i]);
    ListEntry entry;
    entry.key = "flag " + std::to_string(flag);
    entry.number = static_cast<std::size_t>(flag) + 1;
    entry.text = lines[i];
    std::string_view rest = line.substr(0, 5) == "flag " ? line.substr(5) : std::string_view();
    for (const std::size_t field : kFlagOrder) {
      const std::size_t comma = rest.find(',');
      const auto number = Number(rest.substr(0, comma));
      if (!number || (field != kFlagOrder[4]) == (comma == std::string_view::npos)) {
        damage.At(i, "is not a flag line");
        break;
      }
      entry.fields.emplace_back(std::string(records::SupportFlagRecord::kFields[field].name), std::to_string(*number));
      rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    r.entries.push_back(std::move(entry));
  }
  if (damage.text().empty() && i < lines.size() && !Trimmed(lines[i]).empty()) damage.At(i, "is not an empty line");
  ++i;
  for (int group = 0; group < writers::kSupportGroupCount && damage.text().empty(); ++group) {
    if (i >= lines.size()) {
      damage.CutAt(lines.size());
      break;
    }
    const std::string_view head = Trimmed(lines[i]);
    if (head.substr(0, 8) != "support ") {
      damage.At(i, "is not a support group line");
      break;
    }
    ListEntry entry;
    entry.key = "support group " + std::to_string(group);
    entry.number = static_cast<std::size_t>(group) + 1;
    entry.text = lines[i];
    entry.fields.emplace_back("name", std::string(Unquoted(head.substr(8))));
    std::size_t units = 0, crew = 0;
    for (++i;; ++i) {
      if (i == lines.size()) {
        damage.CutAt(lines.size());
        break;
      }
      entry.text = Span(entry.text, lines[i]);
      if (Trimmed(lines[i]) == "end") break;
      const std::size_t indent = Indent(lines[i]);
      auto pairs = UnitPairs(lines[i], IsSupportUnitKey);
      if (!pairs || indent == 0 || indent > 2 || (indent == 2 && units == 0)) {
        damage.At(i, "is not a support unit line");
        break;
      }
      if (indent == 1) crew = 0;
      const std::string prefix = "unit " + std::to_string(indent == 1 ? ++units : units) + " " +
                                 (indent == 2 ? "crew " + std::to_string(++crew) + " " : std::string());
      AddFields(entry, prefix, std::move(*pairs));
    }
    ++i;
    r.entries.push_back(std::move(entry));
  }
  r.damage = damage.text();
  return r;
}

// Blocks that open with a header line ("phrase 2", "script \"Attack\""); the header is the key.
template <class Body>
ListReading HeaderBlocks(const Lines& lines, std::string_view header, Body body) {
  ListReading r;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].substr(0, header.size()) != header) {
      if (r.entries.empty() && !Trimmed(lines[i]).empty()) {
        Damage damage;
        damage.At(i, "is not where an entry begins");
        r.damage = damage.text();
        return r;
      }
      continue;
    }
    std::size_t last = i + 1;
    while (last < lines.size() && lines[last].substr(0, header.size()) != header) ++last;
    ListEntry entry;
    entry.key = std::string(Trimmed(lines[i]));
    entry.number = r.entries.size() + 1;
    entry.text = Span(lines[i], lines[last - 1]);
    body(entry, std::span<const std::string_view>(lines).subspan(i + 1, last - i - 1));
    r.entries.push_back(std::move(entry));
    i = last - 1;
  }
  return r;
}

// A player line as the writer writes it: indent blanks, then the heading alone or "key=value";
// the value (empty for a heading), or nothing when the line is not that one.
std::optional<std::string_view> PlayerLine(std::string_view line, std::size_t indent, std::string_view key,
                                           bool heading) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (Indent(line) != indent) return std::nullopt;
  line.remove_prefix(indent);
  if (heading) return line == key ? std::optional<std::string_view>(std::string_view()) : std::nullopt;
  if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != '=') return std::nullopt;
  return line.substr(key.size() + 1);
}

// Reads a players file by the player record's field lists: after each "Player N" line, the
// record's fields in the order the writer lists them, an aircraft kind's or a descent's entries
// under their heading ("plane bomber Number", "descent 0 ID 2").
class PlayersReader {
 public:
  explicit PlayersReader(const Lines& lines) : lines_(lines) {}

  ListReading Read() {
    ListReading r;
    while (i_ < lines_.size() && damage_.text().empty()) {
      if (Trimmed(lines_[i_]).empty()) {
        ++i_;
        continue;
      }
      const std::string_view head = Trimmed(lines_[i_]);
      if (Indent(lines_[i_]) != 0 || head.substr(0, kHeader.size()) != kHeader ||
          !Number(head.substr(kHeader.size()))) {
        damage_.At(i_, "is not a player line");
        break;
      }
      ListEntry player;
      player.key = std::string(head);
      player.number = r.entries.size() + 1;
      player.text = lines_[i_++];
      if (!Block(player)) break;
      player.text = Span(player.text, lines_[i_ - 1]);
      r.entries.push_back(std::move(player));
    }
    r.damage = damage_.text();
    return r;
  }

 private:
  static constexpr std::string_view kHeader = "Player ";

  // The next line, when it is the one expected; the damage is noted otherwise.
  std::optional<std::string_view> Next(std::size_t indent, std::string_view key, bool heading) {
    if (i_ == lines_.size()) {
      damage_.CutAt(lines_.size());
      return std::nullopt;
    }
    const auto value = PlayerLine(lines_[i_], indent, key, heading);
    if (!value) {
      damage_.At(i_, "is not a player line");
      return std::nullopt;
    }
    ++i_;
    return value;
  }

  bool Block(ListEntry& player) {
    using F = records::PlayerRecord;
    for (const F::Field field : F::kLineOrder) {
      const std::string_view key = F::kFields[field].name;
      const bool read = F::IsAircraft(field)  ? Entry<records::AircraftEntry>(player, key)
                        : F::IsDescent(field) ? Entry<records::DescentEntry>(player, key)
                                              : Value(player, records::kPlayerLineIndent, key, std::string(key));
      if (!read) return false;
    }
    return true;
  }

  // A heading and the lines of the entry under it.
  template <class Record>
  bool Entry(ListEntry& player, std::string_view heading) {
    if (!Next(records::kPlayerLineIndent, heading, true)) return false;
    for (const auto field : Record::kLineOrder) {
      const std::string_view key = Record::kFields[field].name;
      if (!Value(player, records::kPlayerEntryIndent, key, std::string(heading) + " " + std::string(key))) return false;
    }
    return true;
  }

  bool Value(ListEntry& player, std::size_t indent, std::string_view key, std::string name) {
    const auto value = Next(indent, key, false);
    if (value) player.fields.emplace_back(std::move(name), std::string(*value));
    return value.has_value();
  }

  const Lines& lines_;
  std::size_t i_ = 0;
  Damage damage_;
};

void PhraseBody(ListEntry& entry, std::span<const std::string_view> body) {
  entry.fields.emplace_back("text", body.empty() ? std::string() : std::string(Span(body.front(), body.back())));
}

ListReading Scripts(const Lines& lines) {
  static constexpr std::string_view kHead = "script \"";
  auto r = HeaderBlocks(lines, kHead, [](ListEntry& entry, std::span<const std::string_view> body) {
    // Both parts are taken out of the key before the key is replaced by its first part.
    const std::string head = std::move(entry.key);
    const std::size_t close = head.find('"', kHead.size());
    const std::string_view rest =
        close == std::string::npos ? std::string_view() : Trimmed(std::string_view(head).substr(close + 1));
    entry.key = head.substr(0, close == std::string::npos ? head.size() : close + 1);
    if (rest.substr(0, 5) == "size ") entry.fields.emplace_back("size", std::string(rest.substr(5)));
    entry.body.assign(body.begin(), body.end());
  });
  return r;
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

const char* PluralOf(ListKind kind) {
  switch (kind) {
    case ListKind::Units: return "units";
    case ListKind::Sounds: return "sounds";
    case ListKind::Objects: return "objects";
    case ListKind::Groups: return "groups";
    case ListKind::Support: return "flags and support groups";
    case ListKind::Players: return "players";
    case ListKind::Scripts: return "scripts";
    case ListKind::Phrases: return "phrases";
    case ListKind::None: break;
  }
  return "entries";
}

bool IsPlacedList(ListKind kind) {
  return kind == ListKind::Units || kind == ListKind::Sounds || kind == ListKind::Objects;
}

Fields LinePairs(std::string_view line) {
  Fields pairs;
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
  // Whether a key of a word and a number ("ID 0=") starts after the blank at n.
  const auto numberedKeyAfter = [&](std::size_t n) {
    std::size_t k = n + 1;
    while (k < line.size() && std::isdigit(static_cast<unsigned char>(line[k]))) ++k;
    return k > n + 1 && k < line.size() && line[k] == '=' ? k : std::size_t{0};
  };
  skipSpaces();
  while (i < line.size()) {
    std::size_t j = i;
    while (j < line.size() && IsWordChar(line[j])) ++j;
    std::size_t keyEnd = j;
    if (j < line.size() && line[j] == ' ') {
      if (const std::size_t k = numberedKeyAfter(j)) keyEnd = j = k;
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
        if (w < line.size() && numberedKeyAfter(w)) break;
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

ListReading ReadListEntries(ListKind kind, std::string_view text) {
  const Lines lines = SplitLines(text);
  ListReading r;
  switch (kind) {
    case ListKind::Units: r = Units(lines); break;
    case ListKind::Sounds: r = Sounds(lines); break;
    case ListKind::Objects: r = Objects(lines); break;
    case ListKind::Groups: r = Groups(lines); break;
    case ListKind::Support: r = Support(lines); break;
    case ListKind::Players: r = PlayersReader(lines).Read(); break;
    case ListKind::Phrases: r = HeaderBlocks(lines, "phrase ", PhraseBody); break;
    case ListKind::Scripts: r = Scripts(lines); break;
    case ListKind::None: return r;
  }
  if (std::string damage = TextDamage(lines, text); !damage.empty()) r.damage = std::move(damage);
  return r;
}

}  // namespace kartwerk::compare
