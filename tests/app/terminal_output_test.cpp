// The one writer of the program's output, and its JSON: whatever the pieces written, no control
// character reaches the terminal but the progress bars' own, and every JSON text parses.
#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "app/json_text.hpp"
#include "app/terminal_output.hpp"

namespace kartwerk::app {
namespace {

// What the pieces come out as, written one by one through an escaping stream.
std::string Written(const std::vector<std::string>& pieces, bool flushEach) {
  std::FILE* file = std::tmpfile();
  EXPECT_NE(file, nullptr);
  {
    EscapingBuffer buffer(file);
    std::ostream out(&buffer);
    for (const std::string& piece : pieces) {
      if (piece == "<bar>") {
        WriteTerminalControl(out, "\r\033[K");
        continue;
      }
      out << piece;
      if (flushEach) out.flush();
    }
  }
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

TEST(EscapingBuffer, EscapesControlsAcrossPiecesAndLetsOnlyTheBarsSequenceThrough) {
  struct Case {
    std::vector<std::string> pieces;
    std::string written;
  };
  const Case cases[] = {
      {{"kartwerk: ", "\x1b]0;owned\x07", "\n"}, "kartwerk: \\x1b]0;owned\\x07\n"},
      {{"a\rb\n", "c\tz\n"}, "a\\rb\nc\\tz\n"},
      {{"csi \xC2",
        "\x9B"
        "2J\n"},
       "csi \\u009b2J\n"},  // a C1 control cut between two writes
      {{"\xE2\x84", "\xA2 sign\n"}, "\xE2\x84\xA2 sign\n"},
      {{"raw \x9B\n", "del \x7F"}, "raw \\x9b\ndel \\x7f"},
      {{"[###] 1/3 Rhombs", "<bar>", "[####] 2/3 \x1b[31m"}, "[###] 1/3 Rhombs\r\033[K[####] 2/3 \\x1b[31m"},
      {{"ends cut \xC3"}, "ends cut \\xc3"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Written(c.pieces, true), c.written) << c.pieces[0];
    EXPECT_EQ(Written(c.pieces, false), c.written) << c.pieces[0];
  }
}

TEST(JsonText, IsValidJsonWithoutControlsWhateverTheStringsHold) {
  const nlohmann::json value = {
      {"map",
       "/maps/\xDC"
       "bersicht.qdm"},                                  // a single-byte file name
      {"title", "\x1b]0;x\x07 \xC2\x9B tab\t del\x7F"},  // controls of every kind
      {"ok \xE2\x84\xA2", nlohmann::json::array({"\xFF", 7, nullptr})},
  };
  const std::string text = JsonText(value);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    EXPECT_TRUE(byte == '\n' || (byte >= 0x20 && byte != 0x7F)) << "byte " << int(byte) << " in " << text;
  }
  EXPECT_EQ(text.find("\xC2\x9B"), std::string::npos) << text;
  const nlohmann::json back = nlohmann::json::parse(text);
  EXPECT_EQ(back["map"],
            "/maps/\xC3\x9C"
            "bersicht.qdm");
  EXPECT_EQ(back["title"], "\x1b]0;x\x07 \xC2\x9B tab\t del\x7F");  // escaped, not lost
  EXPECT_EQ(back["ok \xE2\x84\xA2"][0], "\xC3\xBF");
  EXPECT_EQ(back["ok \xE2\x84\xA2"][1], 7);
}

}  // namespace
}  // namespace kartwerk::app
