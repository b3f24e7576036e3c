// " key=value" pairs, the way the editor's files list a record's numbers. A large mission has tens
// of thousands of units and groups, so a pair is spelled in place rather than built as a string.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kartwerk {

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

}  // namespace kartwerk
