// The editor's code page to and from UTF-8, and any bytes made into well-formed UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "core/cp1252.hpp"

namespace kartwerk {
namespace {

TEST(Cp1252, EveryByteTheCodePageDefinesComesBackFromItsCharacter) {
  for (int byte = 1; byte < 256; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    const std::string shown = core::Cp1252ToUtf8(one);
    bool lost = false;
    const bool undefined = byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
    if (undefined) {
      EXPECT_EQ(shown, "\xEF\xBF\xBD") << byte;
      EXPECT_EQ(core::Utf8ToCp1252(shown, lost), "?");
      EXPECT_TRUE(lost);
    } else {
      EXPECT_EQ(core::Utf8ToCp1252(shown, lost), one) << byte;
      EXPECT_FALSE(lost) << byte;
    }
  }
}

TEST(Cp1252, CharactersTheCodePageCannotHoldBecomeOneQuestionMarkEach) {
  struct Case {
    std::string utf8;
    std::string bytes;
    bool lost;
  };
  const Case cases[] = {
      {"\xE2\x82\xAC 5 \xE2\x80\x9Cquoted\xE2\x80\x9D", "\x80 5 \x93quoted\x94", false},
      {"\xC2\x81\xC2\x8D", "\x81\x8D", false},                      // the undefined bytes' own control characters
      {"\xC2\x80", "?", true},                                      // U+0080: 0x80 is the euro sign
      {"\xC4\x80\xC5\x81", "??", true},                             // no best fit: not "AL"
      {"\xF0\x9F\x97\xBA|\xE4\xB8\xAD", "?|?", true},               // past the BMP, and CJK
      {"kept \xE9\xFF as bytes", "kept \xE9\xFF as bytes", false},  // no UTF-8: taken as the code page's bytes
  };
  for (const Case& c : cases) {
    bool lost = !c.lost;
    EXPECT_EQ(core::Utf8ToCp1252(c.utf8, lost), c.bytes) << c.utf8;
    EXPECT_EQ(lost, c.lost) << c.utf8;
  }
}

TEST(Cp1252, WellFormedUtf8KeepsItsSequencesAndReadsOtherBytesInTheCodePage) {
  EXPECT_EQ(core::WellFormedUtf8("\xC3\x9C"
                                 "ber \xE2\x84\xA2"),
            "\xC3\x9C"
            "ber \xE2\x84\xA2");
  EXPECT_EQ(core::WellFormedUtf8("\xDC"
                                 "ber \x99"),
            "\xC3\x9C"
            "ber \xE2\x84\xA2");
  EXPECT_EQ(core::WellFormedUtf8("mixed \xC3\xA9 \xE9 \x81"), "mixed \xC3\xA9 \xC3\xA9 \xEF\xBF\xBD");
  EXPECT_EQ(core::WellFormedUtf8("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xE2\x82\xAC");  // a surrogate is no UTF-8
}

}  // namespace
}  // namespace kartwerk
