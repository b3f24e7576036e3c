// " key=value" pairs, the way the editor's files list a record's numbers. A large mission has tens
// of thousands of units and groups, so a pair is spelled in place rather than built as a string.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kartwerk::records {

// The most a pair's number takes: "-9223372036854775808".
inline constexpr std::size_t kPairNumberRoom = 20;

// Spells key (" HP=", with its blank and equals sign) and value at at, which has room for the key
// and kPairNumberRoom more bytes; returns the end.
template <std::size_t N>
char* SpellPair(char* at, const char (&key)[N], std::int64_t value) {
  at = std::copy(key, key + N - 1, at);
  return std::to_chars(at, at + kPairNumberRoom, value).ptr;
}

// Appends key and value to out.
template <std::size_t N>
void AppendPair(std::string& out, const char (&key)[N], std::int64_t value) {
  char text[N - 1 + kPairNumberRoom];
  out.append(text, SpellPair(text, key, value));
}

// Spells " key=value" for a key as a record's field list names it ("HP"); at has room for the
// key, its blank and equals sign and kPairNumberRoom more bytes.
inline char* SpellNamedPair(char* at, std::string_view key, std::int64_t value) {
  *at++ = ' ';
  at = std::copy(key.begin(), key.end(), at);
  *at++ = '=';
  return std::to_chars(at, at + kPairNumberRoom, value).ptr;
}

// Appends " key=value" to out, spelled whole first and appended at once (a field name is short;
// a longer key takes three appends).
inline void AppendNamedPair(std::string& out, std::string_view key, std::int64_t value) {
  constexpr std::size_t kKeyRoom = 32;
  if (key.size() > kKeyRoom) {
    out += ' ';
    out += key;
    out += '=';
    char text[kPairNumberRoom];
    out.append(text, std::to_chars(text, text + kPairNumberRoom, value).ptr);
    return;
  }
  char text[kKeyRoom + 2 + kPairNumberRoom];
  out.append(text, SpellNamedPair(text, key, value));
}

}  // namespace kartwerk::records
