#include "convert/records/scripts.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "convert/records/script_codes.hpp"
#include "core/errors.hpp"
#include "platform/file_output.hpp"

namespace kartwerk::records {
namespace {

constexpr std::uint16_t kEndCode = 0xFFFF;
constexpr std::uint16_t kCodeMarkHigh = 0x7FFF;
constexpr std::int64_t kItemSize = 4;
constexpr std::int64_t kScriptHeadSize = 8;

// Written after every statement once the script has passed its marker: "$", two
// backslashes, "n", LF.
constexpr std::string_view kMarkerTail = "$\\\\n\n";

std::uint16_t ItemValue(std::uint32_t item) { return static_cast<std::uint16_t>(item & 0xFFFF); }

bool IsCodeItem(std::uint32_t item) {
  const std::uint32_t high = item >> 16;
  return high == 0 || high == kCodeMarkHigh;
}

// The items of one statement, the closing code item last (into items, reused from statement
// to statement). A script never runs past the container's end: an item that is not all there
// means the data ended before the end statement (the stream is left at that item).
void ReadStatement(core::ByteStream& stream, std::vector<std::uint32_t>& items) {
  items.clear();
  const std::span<const std::uint8_t> bytes = stream.bytes();
  const auto size = static_cast<std::int64_t>(bytes.size());
  std::int64_t at = stream.position();
  for (;;) {
    if (at < 0 || at > size - kItemSize) {
      stream.Seek(at);
      throw core::StreamReadError();
    }
    const std::uint8_t* p = bytes.data() + at;
    const std::uint32_t item = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                               static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    at += kItemSize;
    items.push_back(item);
    if (IsCodeItem(item)) break;
  }
  stream.Seek(at);
}

// A row's texts as a statement of it is written: the fixed lines ("$name", "$word") all in one
// text, cut where the value slots take the statement's items.
struct RowText {
  std::string fixed;
  std::array<std::size_t, kMaxScriptCodeItems> cuts{};  // offsets in fixed, one a value slot
  std::size_t slots = 0;
};
using RowTexts = std::array<RowText, kScriptCodeCount>;

RowTexts MakeRowTexts(const ScriptCodeTable& table) {
  RowTexts texts;
  for (std::size_t r = 0; r < table.size(); ++r) {
    RowText& text = texts[r];
    text.fixed = "$" + std::string(table[r].name) + "\n";
    for (std::size_t i = 0; i < table[r].ItemCount(); ++i) {
      const std::string_view item = table[r].items[i];
      if (item == kValueSlot) {
        text.cuts[text.slots++] = text.fixed.size();
      } else {
        text.fixed += '$';
        text.fixed += item;
        text.fixed += '\n';
      }
    }
  }
  return texts;
}

// Made once for each of the two keyword sets, and never changed.
const RowTexts& RowTextsOf(const ScriptCodeTable& table) {
  static const RowTexts older = MakeRowTexts(ScriptCodeTableFor(format::GameVersionKind::OlderKeywords));
  static const RowTexts newer = MakeRowTexts(ScriptCodeTableFor(format::GameVersionKind::None));
  return &table == &ScriptCodeTableFor(format::GameVersionKind::OlderKeywords) ? older : newer;
}

// The longest value line: '#', ten digits, the line feed.
constexpr std::size_t kValueLineRoom = 12;

// Spells a value line ("#" and the number's digits, lowest first, then LF) at at; returns the end.
char* SpellScriptValue(char* at, std::uint16_t value) {
  // The game stores the largest numbers as FF00 and up, short for 7FFFFF00 plus the low byte.
  std::uint32_t number = value >= 0xFF00 ? 0x7FFFFF00u + (value - 0xFF00u) : value;
  *at++ = '#';
  while (number > 0) {
    *at++ = static_cast<char>('0' + number % 10);
    number /= 10;
  }
  *at++ = '\n';
  return at;
}

// The statement's text, spelled into text (its memory reused from statement to statement).
std::string_view StatementText(std::vector<char>& text, const std::vector<std::uint32_t>& items,
                               const ScriptCodeTable& table, const RowTexts& rowTexts, std::int32_t scriptIndex) {
  const std::uint32_t codeItem = items.back();
  const std::uint16_t code = ItemValue(codeItem);
  if (code == kEndCode) return {};
  // The marker with a plain high half is written as the editor's "$END" and "!" lines
  // without a look at the keyword table.
  if (codeItem == kMarkerCode) return "$END\n!\n";

  const ScriptCode* found = FindScriptCode(table, code);
  if (found == nullptr) throw ScriptCodeError(code, scriptIndex);

  // The row's fixed lines, a value line at each slot; value slots take the statement's items in
  // order, the code item included.
  const RowText& row = rowTexts[static_cast<std::size_t>(found - table.data())];
  if (row.slots > items.size()) throw core::ListIndexError(static_cast<long long>(items.size()));
  const std::size_t room = row.fixed.size() + row.slots * kValueLineRoom;
  if (text.size() < room) text.resize(room);
  const char* const fixed = row.fixed.data();
  char* const start = text.data();
  char* at = start;
  std::size_t from = 0;
  for (std::size_t next = 0; next < row.slots; ++next) {
    at = std::copy(fixed + from, fixed + row.cuts[next], at);
    at = SpellScriptValue(at, ItemValue(items[next]));
    from = row.cuts[next];
  }
  at = std::copy(fixed + from, fixed + row.fixed.size(), at);
  return {start, static_cast<std::size_t>(at - start)};
}

// Where the body's texts come from: a statement's text is made again from its items (an atom is
// the stream position where the statement starts), the few fixed texts have atoms of their own.
// A script of millions of statements is then held as 4 bytes per statement, not its text.
using Atom = std::uint32_t;
constexpr Atom kOpenBracketAtom = 0xFFFFFF00u;
constexpr Atom kCloseBracketAtom = 0xFFFFFF01u;
constexpr Atom kMarkerTailAtom = 0xFFFFFF02u;
constexpr Atom kEndKeywordAtom = 0xFFFFFF03u;

std::string_view FixedAtomText(Atom atom) {
  switch (atom) {
    case kOpenBracketAtom: return "$(\n";
    case kCloseBracketAtom: return "$)\n";
    case kMarkerTailAtom: return kMarkerTail;
    default: return "$END\n";
  }
}

// Statements of a usual script, for the room its layout is given at the start.
constexpr std::size_t kUsualStatements = 64;

// The script's blocks as atoms in the order they are written. Texts are only ever added at the
// end (a new block, or after the last block) or before the last block (a prefix, or the text
// that joins the last two blocks). The latter are kept as insertions before an atom: several at
// one atom are written newest first, since each later one belongs outside the earlier ones.
// Bracketing, prefixing and joining then cost the same however long the blocks have grown (a
// chain of connectives rewrites its growing block once per connective; copying it each time
// would take quadratic time).
class BodyLayout {
 public:
  // Room for a usual script, so its vectors do not grow step by step (a map has hundreds).
  BodyLayout() {
    atoms_.reserve(kUsualStatements);
    blocks_.reserve(kUsualStatements);
    insertions_.reserve(kUsualStatements);
  }
  std::size_t blocks() const { return blocks_.size(); }
  std::uint64_t size() const { return size_; }

  // A new last block.
  void Push(Atom atom, std::size_t length) {
    blocks_.push_back(static_cast<std::uint32_t>(atoms_.size()));
    Append(atom, length);
  }
  // Text after and before the last block.
  void Suffix(Atom atom, std::size_t length) { Append(atom, length); }
  void Prefix(Atom atom, std::size_t length) {
    insertions_.push_back({blocks_.back(), atom});
    size_ += length;
  }
  // The last-but-one block becomes itself, then between, then the last block, which goes.
  void JoinLastTwo(Atom between, std::size_t length) {
    Prefix(between, length);
    blocks_.pop_back();
  }
  // Drops the last block, whose texts' lengths length gives.
  template <class Length>
  void RemoveLast(Length&& length) {
    const std::uint32_t start = blocks_.back();
    blocks_.pop_back();
    for (std::size_t i = start; i < atoms_.size(); ++i) size_ -= length(atoms_[i]);
    atoms_.resize(start);
    std::erase_if(insertions_, [&](const Insertion& in) {
      if (in.before < start) return false;
      size_ -= length(in.atom);
      return true;
    });
  }
  // Calls emit with every atom in the order of the text.
  template <class Emit>
  void ForEach(Emit&& emit) const {
    if (insertions_.empty()) {  // a script without connectives: its atoms as they are
      for (const Atom atom : atoms_) emit(atom);
      return;
    }
    std::vector<Insertion> order(insertions_.rbegin(), insertions_.rend());
    std::stable_sort(order.begin(), order.end(),
                     [](const Insertion& a, const Insertion& b) { return a.before < b.before; });
    std::size_t next = 0;
    for (std::uint32_t i = 0; i < atoms_.size(); ++i) {
      for (; next < order.size() && order[next].before == i; ++next) emit(order[next].atom);
      emit(atoms_[i]);
    }
  }

 private:
  struct Insertion {
    std::uint32_t before;  // index in atoms_
    Atom atom;
  };
  void Append(Atom atom, std::size_t length) {
    atoms_.push_back(atom);
    size_ += length;
  }

  std::vector<Atom> atoms_;
  std::vector<std::uint32_t> blocks_;  // index in atoms_ where each block starts
  std::vector<Insertion> insertions_;
  std::uint64_t size_ = 0;
};

// Reads statements and makes their texts, reusing its buffers from statement to statement.
class StatementReader {
 public:
  StatementReader(core::ByteStream& stream, const ScriptCodeTable& table, std::int32_t scriptIndex)
      : stream_(stream), table_(table), rowTexts_(RowTextsOf(table)), scriptIndex_(scriptIndex) {}
  // The text of the statement that starts at the stream's position (the stream is left after
  // it), valid until the next call.
  std::string_view Next() {
    ReadStatement(stream_, items_);
    return StatementText(text_, items_, table_, rowTexts_, scriptIndex_);
  }
  std::uint32_t code() const { return items_.back(); }

 private:
  core::ByteStream& stream_;
  const ScriptCodeTable& table_;
  const RowTexts& rowTexts_;
  std::int32_t scriptIndex_;
  std::vector<std::uint32_t> items_;
  std::vector<char> text_;
};

// The texts made while a script is laid out, kept for writing it as long as they are small
// together (as nearly every script is); a longer script's texts are made again instead.
class TextCache {
 public:
  TextCache() {
    starts_.reserve(kUsualStatements);
    text_.reserve(kUsualStatements * 32);
  }
  void Add(Atom atom, std::string_view text) {
    if (!active_) return;
    if (text_.size() + text.size() > kLimit) {
      active_ = false;
      std::string().swap(text_);
      std::vector<std::pair<Atom, std::size_t>>().swap(starts_);
      return;
    }
    starts_.push_back({atom, text_.size()});  // statements are added in stream order
    text_ += text;
  }
  // The text of the statement at atom, or nullopt when it is not kept. next is where to look
  // first, and is left after the statement found: a script is written mostly in stream order, so
  // the next statement is nearly always the one after the last.
  std::optional<std::string_view> Find(Atom atom, std::size_t& next) const {
    if (!active_) return std::nullopt;
    std::size_t at = next;
    if (at >= starts_.size() || starts_[at].first != atom) {
      const auto it = std::lower_bound(starts_.begin(), starts_.end(), std::pair<Atom, std::size_t>{atom, 0});
      if (it == starts_.end() || it->first != atom) return std::nullopt;
      at = static_cast<std::size_t>(it - starts_.begin());
    }
    next = at + 1;
    const std::size_t end = next == starts_.size() ? text_.size() : starts_[next].second;
    return std::string_view(text_).substr(starts_[at].second, end - starts_[at].second);
  }

 private:
  static constexpr std::size_t kLimit = 1 << 20;
  bool active_ = true;
  std::string text_;
  std::vector<std::pair<Atom, std::size_t>> starts_;
};

// Joins a connective statement into the blocks before it. A connective that directly follows
// another one first brackets the block the earlier one built.
void JoinConnective(BodyLayout& blocks, std::uint32_t code, Atom atom, std::size_t length, bool afterConnective) {
  const auto count = static_cast<long long>(blocks.blocks());
  if (afterConnective) {
    if (count < 1) throw core::ListIndexError(count - 1);
    blocks.Prefix(kOpenBracketAtom, FixedAtomText(kOpenBracketAtom).size());
    blocks.Suffix(kCloseBracketAtom, FixedAtomText(kCloseBracketAtom).size());
  }
  if (code == kNotCode) {
    if (count < 1) throw core::ListIndexError(count - 1);
    blocks.Prefix(atom, length);
    return;
  }
  if (count < 2) throw core::ListIndexError(count - 2);
  blocks.JoinLastTwo(atom, length);
}

// Reads the body's statements (checking each as its text is made) and lays out their blocks.
BodyLayout ScriptBody(core::ByteStream& stream, const ScriptCodeTable& table, std::int32_t scriptIndex,
                      TextCache& cache) {
  // Atoms hold stream positions below the fixed atoms; a map never comes near that size.
  if (stream.size() >= static_cast<std::int64_t>(kOpenBracketAtom)) throw core::StreamReadError();
  BodyLayout blocks;
  StatementReader reader(stream, table, scriptIndex);
  bool afterConnective = false;
  bool pastMarker = false;
  std::uint32_t previousCode = 0;
  for (;;) {
    if (previousCode == kMarkerCode) pastMarker = true;
    const Atom atom = static_cast<Atom>(stream.position());
    const std::string_view text = reader.Next();
    const std::uint32_t code = reader.code();
    const std::size_t length = text.size();
    cache.Add(atom, text);
    if (code == kAndCode || code == kOrCode || code == kNotCode) {
      JoinConnective(blocks, code, atom, length, afterConnective);
      afterConnective = true;
    } else {
      blocks.Push(atom, length);
      afterConnective = false;
    }
    if (pastMarker) blocks.Push(kMarkerTailAtom, kMarkerTail.size());
    if (ItemValue(code) == kEndCode) break;
    previousCode = code;
  }
  // The last block is the end statement's (or the tail after it); the editor's closing
  // keyword takes its place.
  const std::int64_t end = stream.position();
  std::size_t next = 0;
  blocks.RemoveLast([&](Atom atom) {
    if (atom >= kOpenBracketAtom) return FixedAtomText(atom).size();
    if (const auto kept = cache.Find(atom, next)) return kept->size();
    stream.Seek(atom);
    return reader.Next().size();
  });
  stream.Seek(end);
  blocks.Push(kEndKeywordAtom, FixedAtomText(kEndKeywordAtom).size());
  return blocks;
}

// Writes the script that starts at the stream's position through sink (anything with
// Append(std::string_view)): the header line, the body made again atom by atom, and CR LF.
template <class Sink>
void WriteScriptBlock(Sink& sink, core::ByteStream& stream, std::int32_t scriptIndex,
                      format::GameVersionKind gameVersionKind) {
  // The head's two values mean nothing to the editor; they only have to be there.
  if (stream.Remaining() < kScriptHeadSize) throw core::StreamReadError();
  stream.Skip(kScriptHeadSize);
  const ScriptCodeTable& table = ScriptCodeTableFor(gameVersionKind);
  TextCache cache;
  const BodyLayout body = ScriptBody(stream, table, scriptIndex, cache);
  StatementReader reader(stream, table, scriptIndex);
  const std::int64_t end = stream.position();
  sink.Append("script \"" + ScriptName(scriptIndex) + "\" size " + std::to_string(body.size()) + "\n");
  std::size_t next = 0;
  body.ForEach([&](Atom atom) {
    if (atom >= kOpenBracketAtom) {
      sink.Append(FixedAtomText(atom));
      return;
    }
    if (const auto kept = cache.Find(atom, next)) {
      sink.Append(*kept);
      return;
    }
    stream.Seek(atom);
    sink.Append(reader.Next());
  });
  sink.Append("\r\n");
  stream.Seek(end);
}

struct StringSink {
  std::string& text;
  void Append(std::string_view piece) { text += piece; }
};

}  // namespace

ScriptCodeError::ScriptCodeError(std::uint32_t code, std::int32_t scriptIndex)
    : std::runtime_error("Unknown script code " + std::to_string(code) + " in \"" + ScriptName(scriptIndex) + "\"") {}

void AppendScriptValue(std::string& out, std::uint16_t value) {
  char line[kValueLineRoom];
  out.append(line, SpellScriptValue(line, value));
}

std::string FormatScriptValue(std::uint16_t value) {
  std::string line;
  AppendScriptValue(line, value);
  return line;
}

std::string ScriptName(std::int32_t scriptIndex) {
  return (scriptIndex < 10 ? "Script 0" : "Script ") + std::to_string(scriptIndex);
}

std::string ConvertScript(core::ByteStream& stream, std::int32_t scriptIndex, format::GameVersionKind gameVersionKind) {
  std::string block;
  StringSink sink{block};
  WriteScriptBlock(sink, stream, scriptIndex, gameVersionKind);
  return block;
}

void WriteScript(platform::OutputFile& out, core::ByteStream& stream, std::int32_t scriptIndex,
                 format::GameVersionKind gameVersionKind) {
  WriteScriptBlock(out, stream, scriptIndex, gameVersionKind);
}

}  // namespace kartwerk::records
