// What reaches a terminal: control characters of every kind written out, everything else as it is.
#include <gtest/gtest.h>

#include <string>

#include "core/shown_text.hpp"

namespace kartwerk {
namespace {

TEST(ShownText, WritesOutEveryControlCharacterAndKeepsTheRest) {
  struct Case {
    std::string text;
    std::string shown;
  };
  const Case cases[] = {
      {"\x1b]0;owned\x07title", "\\x1b]0;owned\\x07title"},  // an OSC title sequence
      {"a tab\there", "a tab\\there"},
      {"raw \x9B"
       "31m",
       "raw \\x9b31m"},  // a lone 0x9B byte
      {"\xC3\x9C"
       "bersicht \xE2\x84\xA2 \xF0\x9F\x97\xBA",
       "\xC3\x9C"
       "bersicht \xE2\x84\xA2 \xF0\x9F\x97\xBA"},
      {"Latin-1 \xDC"
       "ber",
       "Latin-1 \\xdcber"},  // a byte of no UTF-8 sequence
      {"cut \xE2\x84", "cut \\xe2\\x84"},
      {"overlong \xC0\xAF", "overlong \\xc0\\xaf"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(core::ShownText(c.text), c.shown) << c.text;
    // Whole lines keep their line ends, and only those.
    EXPECT_EQ(core::TerminalText(c.text + "\n"), c.shown + "\n") << c.text;
  }
  EXPECT_EQ(core::ShownText("two\nlines"), "two\\nlines");
  EXPECT_EQ(core::TerminalText("a\nb\r\n"), "a\nb\\r\n");
}

}  // namespace
}  // namespace kartwerk
