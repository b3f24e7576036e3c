#include "core/parse_decimal.hpp"

#include <charconv>

#include "core/errors.hpp"

namespace kartwerk::core {

int ParseDecimal(const std::string& text) {
  // Leading and trailing blanks are accepted, as are a sign and leading zeros.
  size_t first = text.find_first_not_of(" \t");
  size_t last = text.find_last_not_of(" \t");
  if (first == std::string::npos) throw IntegerConversionError(text);
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  if (*begin == '+') ++begin;
  int value = 0;
  auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end || begin == end) throw IntegerConversionError(text);
  return value;
}

}  // namespace kartwerk::core
