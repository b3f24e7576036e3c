#include "game/wine_registry.hpp"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "game/unicode_text.hpp"
#include "game/user_folders.hpp"
#include "game/wine_paths.hpp"
#include "platform/path_text.hpp"
#include "platform/whole_file.hpp"

namespace kartwerk::game {
namespace {

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int HexValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }
bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::string_view SkipBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

// Lines of the file without their line ends (LF or CR LF).
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// The bytes of a hex list "01,02, 0a" as Wine writes binary data; stops at the first
// character that is not part of the list and reports where that is.
std::size_t ParseHexList(std::string_view text, std::string& bytes) {
  std::size_t i = 0;
  while (i < text.size() && IsHexDigit(text[i])) {
    unsigned value = 0;
    std::size_t digits = 0;
    while (i < text.size() && IsHexDigit(text[i])) {
      value = value * 16 + static_cast<unsigned>(HexValue(text[i++]));
      if (++digits > 2) return std::string::npos;
    }
    bytes += static_cast<char>(value);
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i < text.size() && text[i] == ',') ++i;
    while (i < text.size() && IsBlank(text[i])) ++i;
  }
  return i;
}

// A string stored as raw UTF-16LE bytes, up to its first zero character.
std::string StringFromUtf16Bytes(std::string_view bytes) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t unit =
        static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    if (unit == 0) break;
    units += unit;
  }
  return Utf16ToUtf8(units);
}

std::string CutAtZero(std::string text) {
  const std::size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

class WineRegistryReader {
 public:
  explicit WineRegistryReader(std::string_view text) : lines_(SplitLines(text)) {}

  RegistryTree Read() {
    CheckHeader();
    for (line_ = 1; line_ < lines_.size(); ++line_) {
      std::string_view line = SkipBlanks(lines_[line_]);
      if (line.empty()) continue;
      switch (line.front()) {
        case '[': ReadKeyLine(line); break;
        case '@':
        case '"':
          if (key_) ReadValueLine(line);
          break;
        default: break;  // ';' comments, '#time=', '#class=', '#link', '#arch=' and anything unknown
      }
    }
    return std::move(tree_);
  }

 private:
  void CheckHeader() {
    std::string_view first = lines_.empty() ? std::string_view() : lines_.front();
    if (first.substr(0, 3) == "\xEF\xBB\xBF") first.remove_prefix(3);
    constexpr std::string_view header = "WINE REGISTRY Version ";
    if (first.substr(0, header.size()) != header) throw RegistryUnavailable("not a Wine registry file");
    std::string_view version = first.substr(header.size());
    while (!version.empty() && IsBlank(version.back())) version.remove_suffix(1);
    if (version != "2") throw RegistryUnavailable("a Wine registry of the unsupported version " + std::string(version));
  }

  // [Software\\Brannox\\Vornmark II\\2.2] 1700000000 : the path relative to the machine root,
  // backslashes doubled, then the time of the last change (ignored).
  void ReadKeyLine(std::string_view line) {
    std::optional<WineText> path = ParseWineText(line.substr(1), ']');
    key_ = path ? &tree_.CreateKey(path->text) : nullptr;  // values after a malformed key go nowhere
  }

  // "name"=data or @=data (the default value).
  void ReadValueLine(std::string_view line) {
    std::string name;
    std::string_view rest;
    if (line.front() == '@') {
      rest = SkipBlanks(line.substr(1));
    } else {
      std::optional<WineText> parsed = ParseWineText(line.substr(1), '"');
      if (!parsed) return;
      name = std::move(parsed->text);
      rest = SkipBlanks(line.substr(1 + parsed->consumed));
    }
    if (rest.empty() || rest.front() != '=') return;
    rest = SkipBlanks(rest.substr(1));

    std::optional<std::optional<std::string>> value = ReadData(rest);
    if (value) key_->values[name] = std::move(*value);
  }

  // The data after '=': a string, std::nullopt inside for any other type; outer std::nullopt
  // when the line is malformed and the value is dropped.
  std::optional<std::optional<std::string>> ReadData(std::string_view data) {
    for (std::string_view prefix : {"\"", "str:\"", "str(2):\""}) {
      if (data.substr(0, prefix.size()) == prefix) {
        std::optional<WineText> text = ParseWineText(data.substr(prefix.size()), '"');
        if (!text) return std::nullopt;
        return std::optional<std::string>(CutAtZero(std::move(text->text)));
      }
    }
    if (data.substr(0, 7) == "str(7):") return std::optional<std::string>();  // a string list
    if (data.substr(0, 6) == "dword:") return std::optional<std::string>();

    unsigned type = 3;  // hex: is binary data
    std::string_view hex;
    if (data.substr(0, 4) == "hex:") {
      hex = data.substr(4);
    } else if (data.substr(0, 4) == "hex(") {
      std::size_t close = data.find("):", 4);
      if (close == std::string_view::npos || close == 4 || close > 12) return std::nullopt;
      type = 0;
      for (char c : data.substr(4, close - 4)) {
        if (!IsHexDigit(c)) return std::nullopt;
        type = type * 16 + static_cast<unsigned>(HexValue(c));
      }
      hex = data.substr(close + 2);
    } else {
      return std::nullopt;
    }
    std::optional<std::string> bytes = ReadHexData(hex);
    if (!bytes) return std::nullopt;
    // Wine writes a string without its terminating zero in this form, as UTF-16LE bytes.
    if (type == 1 || type == 2) return std::optional<std::string>(StringFromUtf16Bytes(*bytes));
    return std::optional<std::string>();
  }

  // Binary data, continued over further lines while a line ends in a backslash.
  std::optional<std::string> ReadHexData(std::string_view hex) {
    std::string bytes;
    for (;;) {
      std::size_t used = ParseHexList(hex, bytes);
      if (used == std::string::npos) return std::nullopt;
      std::string_view rest = SkipBlanks(hex.substr(used));
      if (rest.empty()) return bytes;
      if (rest.front() != '\\' || line_ + 1 >= lines_.size()) return std::nullopt;
      hex = SkipBlanks(lines_[++line_]);
    }
  }

  std::vector<std::string_view> lines_;
  std::size_t line_ = 0;
  RegistryTree tree_;
  RegistryNode* key_ = nullptr;
};

}  // namespace

std::optional<WineText> ParseWineText(std::string_view text, char endChar) {
  std::u16string units;
  std::size_t i = 0;
  while (i < text.size() && text[i] != endChar) {
    char c = text[i];
    if (c == '\\') {
      if (++i >= text.size()) break;
      c = text[i];
      char16_t control = 0;
      switch (c) {
        case 'a': control = '\a'; break;
        case 'b': control = '\b'; break;
        case 'e': control = 0x1B; break;
        case 'f': control = '\f'; break;
        case 'n': control = '\n'; break;
        case 'r': control = '\r'; break;
        case 't': control = '\t'; break;
        case 'v': control = '\v'; break;
        default: break;
      }
      if (control) {
        units += control;
        ++i;
        continue;
      }
      if (c == 'x') {
        ++i;
        if (i >= text.size() || !IsHexDigit(text[i])) {
          units += u'x';
          continue;
        }
        char16_t unit = 0;
        for (int digits = 0; digits < 4 && i < text.size() && IsHexDigit(text[i]); ++digits) {
          unit = static_cast<char16_t>(unit * 16 + HexValue(text[i++]));
        }
        units += unit;
        continue;
      }
      if (IsOctalDigit(c)) {
        char16_t unit = 0;
        for (int digits = 0; digits < 3 && i < text.size() && IsOctalDigit(text[i]); ++digits) {
          unit = static_cast<char16_t>(unit * 8 + (text[i++] - '0'));
        }
        units += unit;
        continue;
      }
      // Any other escaped character stands for itself: \\ \" \[ \].
    }
    const core::Utf8Char decoded = core::DecodeUtf8At(text, i);
    if (decoded.length == 0) {
      units += static_cast<char16_t>(static_cast<unsigned char>(c));  // a stray byte, taken as Latin-1
      ++i;
    } else {
      if (decoded.codePoint >= 0x10000) {
        const char32_t v = decoded.codePoint - 0x10000;
        units += static_cast<char16_t>(0xD800 + (v >> 10));
        units += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
      } else {
        units += static_cast<char16_t>(decoded.codePoint);
      }
      i += decoded.length;
    }
  }
  if (i >= text.size()) return std::nullopt;
  return WineText{Utf16ToUtf8(units), i + 1};
}

RegistryTree ParseWineRegistry(std::string_view text) { return WineRegistryReader(text).Read(); }

std::filesystem::path DefaultWinePrefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix && *prefix) return prefix;
  return HomeFolder() / ".wine";
}

std::shared_ptr<const RegistrySource> OpenWinePrefixRegistry(const std::filesystem::path& prefixFolder) {
  std::error_code ec;
  std::filesystem::path prefix = std::filesystem::absolute(prefixFolder, ec);
  if (ec) prefix = prefixFolder;
  const std::filesystem::path file = prefix / "system.reg";
  // A prefix with many programs keeps some tens of megabytes here; far more is no registry.
  constexpr std::size_t kMaxRegistryBytes = 512u << 20;
  const std::optional<std::string> content = platform::ReadFileText(file, kMaxRegistryBytes);
  if (!content) throw RegistryUnavailable("Cannot read the Wine registry \"" + platform::TextFromPath(file) + "\"");
  std::shared_ptr<RegistryTree> tree;
  try {
    tree = std::make_shared<RegistryTree>(ParseWineRegistry(*content));
  } catch (const RegistryUnavailable& e) {
    throw RegistryUnavailable("\"" + platform::TextFromPath(file) + "\" is " + e.what());
  }
  return std::make_shared<TreeRegistrySource>(
      std::move(tree), [prefix](std::string_view folder) { return WineHostPath(prefix, folder); });
}

}  // namespace kartwerk::game
