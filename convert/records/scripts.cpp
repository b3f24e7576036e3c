#include "convert/records/scripts.hpp"

#include <cstddef>
#include <string_view>
#include <vector>

#include "convert/records/script_codes.hpp"
#include "core/errors.hpp"

namespace kartwerk {
namespace {

constexpr std::uint16_t EndCode = 0xFFFF;
constexpr std::uint16_t CodeMarkHigh = 0x7FFF;
constexpr std::int64_t ItemSize = 4;
constexpr std::int64_t ScriptHeadSize = 8;

// Written after every statement once the script has passed its marker: "$", two
// backslashes, "n", LF.
constexpr std::string_view MarkerTail = "$\\\\n\n";

std::uint16_t ItemValue(std::uint32_t item) { return static_cast<std::uint16_t>(item & 0xFFFF); }

bool IsCodeItem(std::uint32_t item) {
  const std::uint32_t high = item >> 16;
  return high == 0 || high == CodeMarkHigh;
}

// A script never runs past the container's end: an item that is not all there means the
// data ended before the end statement.
std::uint32_t ReadItem(ByteStream& stream) {
  if (stream.Remaining() < ItemSize) throw StreamReadError();
  return stream.ReadU32();
}

// The items of one statement, the closing code item last.
std::vector<std::uint32_t> ReadStatement(ByteStream& stream) {
  std::vector<std::uint32_t> items;
  do {
    items.push_back(ReadItem(stream));
  } while (!IsCodeItem(items.back()));
  return items;
}

std::string StatementText(const std::vector<std::uint32_t>& items, const ScriptCodeTable& table,
                          std::int32_t scriptIndex) {
  const std::uint32_t codeItem = items.back();
  const std::uint16_t code = ItemValue(codeItem);
  if (code == EndCode) return {};
  // The marker with a plain high half is written as the editor's "$END" and "!" lines
  // without a look at the keyword table.
  if (codeItem == MarkerCode) return "$END\n!\n";

  const ScriptCode* row = FindScriptCode(table, code);
  if (row == nullptr) throw ScriptCodeError(code, scriptIndex);

  std::string text = "$";
  text += row->name;
  text += '\n';
  std::size_t next = 0;  // value slots take the statement's items in order, the code item included
  for (std::size_t i = 0; i < row->ItemCount(); ++i) {
    const std::string_view item = row->items[i];
    if (item == ValueSlot) {
      if (next >= items.size()) throw ListIndexError(static_cast<long long>(next));
      text += FormatScriptValue(ItemValue(items[next++]));
    } else {
      text += '$';
      text += item;
      text += '\n';
    }
  }
  return text;
}

// The script's blocks, each a chain of text pieces kept in one buffer: bracketing, prefixing and
// joining blocks then cost the same however long the blocks have grown (a chain of connectives
// rewrites its growing block once per connective; copying it each time would take quadratic
// time), and a block costs a few bytes beside its text however many statements a script holds.
class BlockList {
 public:
  std::size_t size() const { return blocks_.size(); }
  // A new last block.
  void Push(std::string_view text) {
    const std::uint32_t piece = NewPiece(text);
    blocks_.push_back({piece, piece});
  }
  void RemoveLast() { blocks_.pop_back(); }
  // Text before and after the last block.
  void Prefix(std::string_view text) {
    const std::uint32_t piece = NewPiece(text);
    pieces_[piece].next = blocks_.back().head;
    blocks_.back().head = piece;
  }
  void Suffix(std::string_view text) {
    const std::uint32_t piece = NewPiece(text);
    pieces_[blocks_.back().tail].next = piece;
    blocks_.back().tail = piece;
  }
  // The last-but-one block becomes itself, then between, then the last block, which goes.
  void JoinLastTwo(std::string_view between) {
    const Chain last = blocks_.back();
    blocks_.pop_back();
    Suffix(between);
    pieces_[blocks_.back().tail].next = last.head;
    blocks_.back().tail = last.tail;
  }
  // All blocks in order, with nothing between them.
  std::string Join() const {
    std::string out;
    out.reserve(text_.size());
    for (const Chain& block : blocks_) {
      for (std::uint32_t p = block.head; p != None; p = pieces_[p].next) {
        out.append(text_, pieces_[p].begin, pieces_[p].length);
      }
    }
    return out;
  }

 private:
  // Statements take at least 4 bytes of a map of at most 256 MiB, and each adds at most five
  // pieces: 32-bit piece numbers never run out.
  static constexpr std::uint32_t None = 0xFFFFFFFFu;
  struct Piece {
    std::size_t begin;
    std::uint32_t length;
    std::uint32_t next;
  };
  struct Chain {
    std::uint32_t head;
    std::uint32_t tail;
  };
  std::uint32_t NewPiece(std::string_view text) {
    pieces_.push_back({text_.size(), static_cast<std::uint32_t>(text.size()), None});
    text_ += text;
    return static_cast<std::uint32_t>(pieces_.size() - 1);
  }

  std::string text_;
  std::vector<Piece> pieces_;
  std::vector<Chain> blocks_;
};

// Joins a connective statement into the blocks before it. A connective that directly follows
// another one first brackets the block the earlier one built.
void JoinConnective(BlockList& blocks, std::uint32_t code, const std::string& text, bool afterConnective) {
  const auto count = static_cast<long long>(blocks.size());
  if (afterConnective) {
    if (count < 1) throw ListIndexError(count - 1);
    blocks.Prefix("$(\n");
    blocks.Suffix("$)\n");
  }
  if (code == NotCode) {
    if (count < 1) throw ListIndexError(count - 1);
    blocks.Prefix(text);
    return;
  }
  if (count < 2) throw ListIndexError(count - 2);
  blocks.JoinLastTwo(text);
}

std::string ScriptBody(ByteStream& stream, const ScriptCodeTable& table, std::int32_t scriptIndex) {
  BlockList blocks;
  bool afterConnective = false;
  bool pastMarker = false;
  std::uint32_t previousCode = 0;
  for (;;) {
    if (previousCode == MarkerCode) pastMarker = true;
    const std::vector<std::uint32_t> items = ReadStatement(stream);
    const std::uint32_t code = items.back();
    const std::string text = StatementText(items, table, scriptIndex);
    if (code == AndCode || code == OrCode || code == NotCode) {
      JoinConnective(blocks, code, text, afterConnective);
      afterConnective = true;
    } else {
      blocks.Push(text);
      afterConnective = false;
    }
    if (pastMarker) blocks.Push(MarkerTail);
    if (ItemValue(code) == EndCode) break;
    previousCode = code;
  }
  // The last block is the end statement's (or the tail after it); the editor's closing
  // keyword takes its place.
  blocks.RemoveLast();
  blocks.Push("$END\n");
  return blocks.Join();
}

}  // namespace

ScriptCodeError::ScriptCodeError(std::uint32_t code, std::int32_t scriptIndex)
    : std::runtime_error("Unknown script code " + std::to_string(code) + " in \"" + ScriptName(scriptIndex) +
                         "\"") {}

std::string FormatScriptValue(std::uint16_t value) {
  // The game stores the largest numbers as FF00 and up, short for 7FFFFF00 plus the low byte.
  std::uint32_t number = value >= 0xFF00 ? 0x7FFFFF00u + (value - 0xFF00u) : value;
  std::string line = "#";
  while (number > 0) {
    line += static_cast<char>('0' + number % 10);
    number /= 10;
  }
  line += '\n';
  return line;
}

std::string ScriptName(std::int32_t scriptIndex) {
  return (scriptIndex < 10 ? "Script 0" : "Script ") + std::to_string(scriptIndex);
}

std::string ConvertScript(ByteStream& stream, std::int32_t scriptIndex, int gameVersionKind) {
  // The head's two values mean nothing to the editor; they only have to be there.
  if (stream.Remaining() < ScriptHeadSize) throw StreamReadError();
  stream.Skip(ScriptHeadSize);

  const std::string body = ScriptBody(stream, ScriptCodeTableFor(gameVersionKind), scriptIndex);
  std::string block = "script \"" + ScriptName(scriptIndex) + "\" size " + std::to_string(body.size()) + "\n";
  block += body;
  block += "\r\n";
  return block;
}

}  // namespace kartwerk
