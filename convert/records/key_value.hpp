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

// The digit pairs "00" to "99", for spelling two digits at a time.
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839404142434445464748495051525354"
    "5556575859606162636465666768697071727374757677787980818283848586878889909192939495969798"
    "99";

// Spells value (below 100000, as a 16-bit field always is) in decimal at at; returns the end.
// Object lines spell five such numbers each, hundreds of thousands of them on a large campaign.
inline char* SpellSmallNumber(char* at, std::uint32_t value) {
  const auto pair = [](char* to, std::uint32_t twoDigits) {
    to[0] = kDigitPairs[2 * twoDigits];
    to[1] = kDigitPairs[2 * twoDigits + 1];
  };
  if (value < 10) {
    *at = static_cast<char>('0' + value);
    return at + 1;
  }
  if (value < 100) {
    pair(at, value);
    return at + 2;
  }
  if (value < 1000) {
    *at = static_cast<char>('0' + value / 100);
    pair(at + 1, value % 100);
    return at + 3;
  }
  if (value < 10000) {
    pair(at, value / 100);
    pair(at + 2, value % 100);
    return at + 4;
  }
  *at = static_cast<char>('0' + value / 10000);
  pair(at + 1, value / 100 % 100);
  pair(at + 3, value % 100);
  return at + 5;
}

// Spells value in decimal at at, which has room for kPairNumberRoom bytes; returns the end. The
// small numbers nearly every pair holds take the short way.
inline char* SpellPairNumber(char* at, std::int64_t value) {
  if (value >= 0 && value < 100000) return SpellSmallNumber(at, static_cast<std::uint32_t>(value));
  return std::to_chars(at, at + kPairNumberRoom, value).ptr;
}

// Spells key (" HP=", with its blank and equals sign) and value at at, which has room for the key
// and kPairNumberRoom more bytes; returns the end.
template <std::size_t N>
char* SpellPair(char* at, const char (&key)[N], std::int64_t value) {
  at = std::copy(key, key + N - 1, at);
  return SpellPairNumber(at, value);
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
  return SpellPairNumber(at, value);
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
