#include "convert/records/scripts.hpp"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <initializer_list>
#include <random>
#include <string>

#include "convert/records/script_codes.hpp"
#include "core/errors.hpp"
#include "mapmaker/map_builder.hpp"

namespace kartwerk {
namespace {

using mapmaker::Le;

constexpr std::uint32_t kEnd = 0xFFFF;

std::uint32_t Arg(std::uint16_t value, std::uint16_t high = 1) {
  return (static_cast<std::uint32_t>(high) << 16) | value;
}
std::uint32_t Code(std::uint16_t code, std::uint16_t high = 0) { return Arg(code, high); }

// A stored script: the 8-byte head (values the converter must ignore) and the given items.
core::Bytes Script(std::initializer_list<std::uint32_t> items) {
  mapmaker::Le le;
  le.U32(0xDEADBEEF).U32(12345);
  for (std::uint32_t item : items) le.U32(item);
  return le.bytes;
}

core::ByteStream StreamOf(const core::Bytes& bytes) {
  core::ByteStream stream;
  stream.Load(bytes);
  return stream;
}

std::string Convert(std::initializer_list<std::uint32_t> items, std::int32_t index = 0,
                    format::GameVersionKind versionKind = format::GameVersionKind::CurrentKeywords) {
  core::ByteStream stream = StreamOf(Script(items));
  return records::ConvertScript(stream, index, versionKind);
}

// The body of a script: the text between the header line and the closing CR LF, after
// checking that the header's size matches it.
std::string Body(const std::string& block) {
  const auto headerEnd = block.find('\n');
  EXPECT_NE(headerEnd, std::string::npos);
  EXPECT_GE(block.size(), headerEnd + 3);
  EXPECT_EQ(block.substr(block.size() - 2), "\r\n");
  const std::string body = block.substr(headerEnd + 1, block.size() - headerEnd - 3);
  const std::string header = block.substr(0, headerEnd);
  EXPECT_EQ(header.substr(header.rfind(' ') + 1), std::to_string(body.size())) << header;
  return body;
}

// ---- the whole block: header line, body, CR LF ----

TEST(ScriptBlock, OnlyTheEndStatementGivesAFiveByteBody) {
  EXPECT_EQ(Convert({kEnd}), "script \"Script 00\" size 5\n$END\n\r\n");
}

TEST(ScriptBlock, NamesBelowTenGetALeadingZero) {
  EXPECT_EQ(Convert({kEnd}, 2).substr(0, 19), "script \"Script 02\" ");
  EXPECT_EQ(Convert({kEnd}, 9).substr(0, 19), "script \"Script 09\" ");
  EXPECT_EQ(Convert({kEnd}, 10).substr(0, 19), "script \"Script 10\" ");
  EXPECT_EQ(Convert({kEnd}, 11).substr(0, 19), "script \"Script 11\" ");
  EXPECT_EQ(Convert({kEnd}, 123).substr(0, 20), "script \"Script 123\" ");
}

TEST(ScriptBlock, SizeCountsTheBodyOnly) {
  // stpt 0: "$stpt\n$Tr\n#\n" (12 bytes) + "$END\n" (5 bytes).
  EXPECT_EQ(Convert({Arg(0), Code(13), kEnd}, 4), "script \"Script 04\" size 17\n$stpt\n$Tr\n#\n$END\n\r\n");
}

TEST(ScriptBlock, HeadValuesAreSkippedAndTheStreamStopsAtTheNextScript) {
  core::Bytes two = Script({Arg(5), Code(16), kEnd});
  const core::Bytes second = Script({Arg(7), Code(14), kEnd});
  two.insert(two.end(), second.begin(), second.end());
  two.push_back(0xAB);  // a trailing byte that belongs to no script
  core::ByteStream stream = StreamOf(two);

  EXPECT_EQ(Body(records::ConvertScript(stream, 0, format::GameVersionKind::CurrentKeywords)), "$scd\n$T\n#5\n$END\n");
  EXPECT_EQ(stream.position(), 8 + 3 * 4);
  EXPECT_EQ(Body(records::ConvertScript(stream, 1, format::GameVersionKind::CurrentKeywords)), "$mstl\n$L\n#7\n$END\n");
  EXPECT_EQ(stream.position(), static_cast<std::int64_t>(two.size()) - 1);
}

// ---- values: reversed digits and the FF00 rule ----

struct ValueCase {
  std::uint16_t value;
  const char* line;
};

class ScriptValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ScriptValue, IsWrittenWithItsDigitsReversed) {
  EXPECT_EQ(records::FormatScriptValue(GetParam().value), GetParam().line);
  // The same line comes out of a statement's value slot.
  EXPECT_EQ(Body(Convert({Arg(GetParam().value), Code(16), kEnd})),
            std::string("$scd\n$T\n") + GetParam().line + "$END\n");
}

INSTANTIATE_TEST_SUITE_P(Values, ScriptValue,
                         ::testing::Values(ValueCase{0, "#\n"}, ValueCase{7, "#7\n"}, ValueCase{10, "#01\n"},
                                           ValueCase{123, "#321\n"}, ValueCase{65279, "#97256\n"},
                                           ValueCase{0xFF00, "#2933847412\n"}, ValueCase{0xFF05, "#7933847412\n"},
                                           ValueCase{0xFFFF, "#7463847412\n"}));

// ---- statements ----

TEST(ScriptStatement, ValueSlotsTakeTheItemsInOrder) {
  // ru: eight slots between its words.
  const std::string body =
      Body(Convert({Arg(1), Arg(2), Arg(3), Arg(4), Arg(5), Arg(6), Arg(7), Arg(80, 0x1234), Code(39), kEnd}));
  EXPECT_EQ(body,
            "$ru\n$G\n#1\n$ru1\n$flg\n#2\n$ru2\n$L\n#3\n$ru3\n$T\n#4\n$ru4\n$I\n#5\n$ru5\n$I\n#6\n$ru6\n$I\n#7\n"
            "$ru7\n$I\n#08\n$END\n");
}

TEST(ScriptStatement, ASlotWithoutAnArgumentTakesTheCodeItem) {
  // stpt has one slot; with no argument the code item itself (13) fills it.
  EXPECT_EQ(Body(Convert({Code(13), kEnd})), "$stpt\n$Tr\n#31\n$END\n");
  // strt has two; one argument and the code item (12) fill them.
  EXPECT_EQ(Body(Convert({Arg(3), Code(12), kEnd})), "$strt\n$Tr\n#3\n$strt1\n$T\n#21\n$END\n");
}

TEST(ScriptStatement, ExtraArgumentsAreLeftUnwritten) {
  EXPECT_EQ(Body(Convert({Arg(1), Arg(2), Arg(3), Code(13), kEnd})), "$stpt\n$Tr\n#1\n$END\n");
}

TEST(ScriptStatement, HighHalf7FFFAlsoClosesAStatement) {
  EXPECT_EQ(Body(Convert({Arg(4), Code(14, 0x7FFF), Arg(9), Code(0xFFFF, 0x7FFF)})), "$mstl\n$L\n#4\n$END\n");
}

TEST(ScriptStatement, WordsAreWrittenAsTheyStandIncludingTrailingSpace) {
  EXPECT_EQ(Body(Convert({Arg(1), Arg(2), Arg(3), Code(56), kEnd})),
            "$fpff\n$Fmask\n#1\n$spc\n$I\n#2\n$fpff1 \n$PT\n#3\n$END\n");
  EXPECT_EQ(Body(Convert({Code(11), Code(66), kEnd})), "$etc\n$rg2f\n$ERROR\n$END\n");
  EXPECT_EQ(Body(Convert({Arg(1), Code(41), kEnd})), "$oid\n$Obj\n#1\n$oid1\n$END\n");
}

// ---- the two keyword sets ----

TEST(ScriptKeywordSets, VersionOnePicksTheFirstSet) {
  const std::initializer_list<std::uint32_t> vic = {Arg(1), Arg(2), Arg(3), Code(50), kEnd};
  EXPECT_EQ(Body(Convert(vic, 0, format::GameVersionKind::OlderKeywords)),
            "$vic\n$Lvar\n#1\n$CABE\n#2\n$Rvar\n#3\n$END\n");
  EXPECT_EQ(Body(Convert(vic, 0, format::GameVersionKind::CurrentKeywords)),
            "$vic\n$Lvar\n#1\n$sp_p\n$CABE\n#2\n$sp_q\n$Rvar\n#3\n$END\n");
  // No installation located yet uses the later set.
  EXPECT_EQ(Body(Convert(vic, 0, format::GameVersionKind::None)),
            Body(Convert(vic, 0, format::GameVersionKind::CurrentKeywords)));
  EXPECT_EQ(Body(Convert({Arg(1), Arg(2), Code(49), kEnd}, 0, format::GameVersionKind::OlderKeywords)),
            "$gwata\n$Grp\n#1\n$gwata1\n$CAB\n#2\n$T\n#94\n$gwata2\n$END\n");
}

// Every row of both sets, each value slot given an argument of its own: the statement is written
// word by word and value by value as its row lists them.
TEST(ScriptKeywordSets, EveryRowIsWrittenAsItsTableListsIt) {
  for (const format::GameVersionKind kind :
       {format::GameVersionKind::OlderKeywords, format::GameVersionKind::CurrentKeywords}) {
    for (const records::ScriptCode& row : records::ScriptCodeTableFor(kind)) {
      // Connectives join blocks and the marker has its own lines: their tests are below.
      if (row.code == records::kAndCode || row.code == records::kOrCode || row.code == records::kNotCode ||
          row.code == records::kMarkerCode)
        continue;
      Le le;
      le.U32(0).U32(0);
      std::string expected = "$" + std::string(row.name) + "\n";
      std::uint16_t value = 100;
      for (std::size_t i = 0; i < row.ItemCount(); ++i) {
        if (row.items[i] == records::kValueSlot) {
          le.U32(Arg(value));
          expected += records::FormatScriptValue(value++);
        } else {
          expected += "$" + std::string(row.items[i]) + "\n";
        }
      }
      le.U32(Code(row.code)).U32(kEnd);
      core::ByteStream stream = StreamOf(le.bytes);
      EXPECT_EQ(Body(records::ConvertScript(stream, 0, kind)), expected + "$END\n")
          << "code " << row.code << " " << row.name;
    }
  }
}

TEST(ScriptKeywordSets, SetsDifferInExactlySixRows) {
  const records::ScriptCodeTable& first = records::ScriptCodeTableFor(format::GameVersionKind::OlderKeywords);
  const records::ScriptCodeTable& second = records::ScriptCodeTableFor(format::GameVersionKind::CurrentKeywords);
  std::vector<int> differing;
  for (std::uint32_t code = 1; code <= records::kScriptCodeCount; ++code) {
    const records::ScriptCode* a = records::FindScriptCode(first, code);
    const records::ScriptCode* b = records::FindScriptCode(second, code);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->code, code);
    EXPECT_EQ(a->name, b->name);
    if (a->items != b->items) differing.push_back(static_cast<int>(code));
  }
  EXPECT_EQ(differing, (std::vector<int>{5, 6, 30, 31, 49, 50}));
  EXPECT_EQ(records::FindScriptCode(second, 0), nullptr);
  EXPECT_EQ(records::FindScriptCode(second, 98), nullptr);
}

// ---- connectives and the marker ----

// Single-slot statements that are easy to tell apart: scd n gives "$scd\n$T\n#n\n".
std::string Text(int n) { return "$scd\n$T\n#" + std::to_string(n) + "\n"; }

TEST(ScriptConnectives, JoinTheBlocksBeforeThem) {
  // A, B, and, C, or.
  EXPECT_EQ(Body(Convert({Arg(1), Code(16), Arg(2), Code(16), Code(1), Arg(3), Code(16), Code(2), kEnd})),
            Text(1) + "$&\n" + Text(2) + "$|\n" + Text(3) + "$END\n");
  // A, B, C, and, or: the and-block is bracketed before the or joins it to A.
  EXPECT_EQ(Body(Convert({Arg(1), Code(16), Arg(2), Code(16), Arg(3), Code(16), Code(1), Code(2), kEnd})),
            Text(1) + "$|\n$(\n" + Text(2) + "$&\n" + Text(3) + "$)\n" + "$END\n");
}

TEST(ScriptConnectives, NotPrefixesTheLastBlock) {
  EXPECT_EQ(Body(Convert({Arg(1), Code(16), Arg(2), Code(16), Code(26), kEnd})),
            Text(1) + "$nF\n" + Text(2) + "$END\n");
  // not after and: the and-block is bracketed.
  EXPECT_EQ(Body(Convert({Arg(1), Code(16), Arg(2), Code(16), Code(1), Code(26), kEnd})),
            "$nF\n$(\n" + Text(1) + "$&\n" + Text(2) + "$)\n$END\n");
}

TEST(ScriptConnectives, WithHighHalf7FFFAreOrdinaryStatements) {
  EXPECT_EQ(Body(Convert({Code(1, 0x7FFF), Code(26, 0x7FFF), kEnd})), "$&\n$nF\n$END\n");
}

TEST(ScriptConnectives, WithoutEnoughBlocksFail) {
  const auto message = [](std::initializer_list<std::uint32_t> items) {
    try {
      Convert(items);
    } catch (const core::ListIndexError& error) {
      return std::string(error.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message({Code(1), kEnd}), "List index out of bounds (-2)");
  EXPECT_EQ(message({Arg(1), Code(16), Code(2), kEnd}), "List index out of bounds (-1)");
  EXPECT_EQ(message({Code(26), kEnd}), "List index out of bounds (-1)");
}

TEST(ScriptMarker, IsWrittenAsEndAndBangWithoutTheTable) {
  EXPECT_EQ(Body(Convert({Arg(1), Code(16), Code(7), kEnd})), Text(1) + "$END\n!\n$END\n");
  // With high half 7FFF the table row "!" is used and no tail follows.
  EXPECT_EQ(Body(Convert({Code(7, 0x7FFF), Arg(2), Code(16), kEnd})), "$!\n" + Text(2) + "$END\n");
}

TEST(ScriptMarker, EveryLaterStatementGetsTheTail) {
  const std::string tail = "$\\\\n\n";
  ASSERT_EQ(tail.size(), 5u);
  EXPECT_EQ(Body(Convert({Arg(1), Code(16), Code(7), Arg(2), Code(16), Arg(3), Code(16), kEnd})),
            Text(1) + "$END\n!\n" + Text(2) + tail + Text(3) + tail + "$END\n");
  // The marker itself gets no tail; the end statement's tail is the block the closing $END
  // replaces, so a marker right before the end leaves none.
  EXPECT_EQ(Body(Convert({Code(7), kEnd})), "$END\n!\n$END\n");
}

// ---- faults in the stored data ----

TEST(ScriptFaults, DataEndingBeforeTheEndStatementIsAReadError) {
  for (std::size_t cut : {0u, 5u, 8u, 10u, 12u, 14u, 16u}) {
    core::Bytes bytes = Script({Arg(1), Code(16), kEnd});
    bytes.resize(cut);
    core::ByteStream stream = StreamOf(bytes);
    EXPECT_THROW(records::ConvertScript(stream, 0, format::GameVersionKind::CurrentKeywords), core::StreamReadError)
        << "cut at " << cut;
  }
  // Arguments that never reach a code item.
  EXPECT_THROW(Convert({Arg(1), Arg(2), Arg(3)}), core::StreamReadError);
}

TEST(ScriptFaults, AStreamPositionedPastItsEndIsAReadError) {
  core::ByteStream stream = StreamOf(Script({kEnd}));
  stream.Seek(1000);
  EXPECT_THROW(records::ConvertScript(stream, 0, format::GameVersionKind::CurrentKeywords), core::StreamReadError);
  stream.Seek(-4);
  EXPECT_THROW(records::ConvertScript(stream, 0, format::GameVersionKind::CurrentKeywords), core::StreamReadError);
}

TEST(ScriptFaults, ASlotWithNoItemLeftIsAListIndexError) {
  // ug has four slots; one argument and the code item fill only two.
  try {
    Convert({Arg(1), Code(3), kEnd});
    FAIL() << "no error";
  } catch (const core::ListIndexError& error) {
    EXPECT_STREQ(error.what(), "List index out of bounds (2)");
  }
}

TEST(ScriptFaults, CodesWithoutARowNameTheCodeAndTheScript) {
  for (std::uint16_t code : {0, 98, 1000, 65534}) {
    try {
      Convert({Arg(1), Code(code), kEnd}, 12);
      FAIL() << "no error for " << code;
    } catch (const records::ScriptCodeError& error) {
      EXPECT_EQ(std::string(error.what()), "Unknown script code " + std::to_string(code) + " in \"Script 12\"");
    }
  }
}

// Connectives that follow one another bracket and join ever longer blocks. A compiled map of a
// few megabytes can hold hundreds of thousands of them; each must cost the same however long the
// blocks have grown, or the conversion would stall.
TEST(ScriptFaults, LongConnectiveChainsConvertInLinearTime) {
  constexpr int kChain = 300000;
  const auto started = std::chrono::steady_clock::now();

  // One statement, then "not" over and over: each not brackets what the one before built.
  core::Bytes nots = Script({Arg(1), Code(16)});
  for (int i = 0; i < kChain; ++i) core::PutU32(nots, Code(26));
  core::PutU32(nots, kEnd);
  core::ByteStream notStream = StreamOf(nots);
  const std::string notBody = Body(records::ConvertScript(notStream, 0, format::GameVersionKind::CurrentKeywords));
  std::string expected;
  for (int i = 1; i < kChain; ++i) expected += "$nF\n$(\n";
  expected += "$nF\n" + Text(1);
  for (int i = 1; i < kChain; ++i) expected += "$)\n";
  EXPECT_TRUE(notBody == expected + "$END\n") << "sizes " << notBody.size() << " and " << expected.size() + 5;

  // Many statements, then as many "and"s: each joins the growing block to the statement before.
  constexpr int kStatements = kChain / 2;
  core::Bytes ands(8, 0);
  for (int i = 0; i < kStatements; ++i) {
    core::PutU32(ands, Arg(static_cast<std::uint16_t>(1 + i % 9)));  // one digit, so Text() spells it
    core::PutU32(ands, Code(16));
  }
  for (int i = 1; i < kStatements; ++i) core::PutU32(ands, Code(1));
  core::PutU32(ands, kEnd);
  core::ByteStream andStream = StreamOf(ands);
  const std::string andBody = Body(records::ConvertScript(andStream, 0, format::GameVersionKind::CurrentKeywords));
  expected.clear();
  for (int i = 0; i + 2 < kStatements; ++i) expected += Text(1 + i % 9) + "$&\n$(\n";
  expected += Text(1 + (kStatements - 2) % 9) + "$&\n" + Text(1 + (kStatements - 1) % 9);
  for (int i = 0; i + 2 < kStatements; ++i) expected += "$)\n";
  EXPECT_TRUE(andBody == expected + "$END\n") << "sizes " << andBody.size() << " and " << expected.size() + 5;

  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}

TEST(ScriptFaults, ArbitraryDataEndsInTextOrAKnownError) {
  std::mt19937 random(4711);
  const std::uint16_t highs[] = {0, 0x7FFF, 1, 0xFFFF};
  const std::uint16_t codes[] = {1, 2, 7, 26, 13, 39, 56, 97, 0xFFFF};
  constexpr std::array kKinds = {format::GameVersionKind::None, format::GameVersionKind::OlderKeywords,
                                 format::GameVersionKind::CurrentKeywords};
  for (int round = 0; round < 3000; ++round) {
    core::Bytes bytes(8);
    const int items = static_cast<int>(random() % 24);
    for (int i = 0; i < items; ++i) {
      const std::uint16_t high = highs[random() % 4];
      const std::uint16_t value = random() % 2 ? codes[random() % 9] : static_cast<std::uint16_t>(random());
      core::PutU32(bytes, Arg(value, high));
    }
    bytes.resize(bytes.size() - random() % 3);  // sometimes cut inside the last item
    core::ByteStream stream = StreamOf(bytes);
    try {
      const std::string block =
          records::ConvertScript(stream, round, kKinds[static_cast<std::size_t>(round) % kKinds.size()]);
      EXPECT_EQ(block.substr(block.size() - 7), "$END\n\r\n");
      EXPECT_LE(stream.position(), stream.size());
    } catch (const core::StreamReadError&) {
    } catch (const core::ListIndexError&) {
    } catch (const records::ScriptCodeError&) {
    }
  }
}

}  // namespace
}  // namespace kartwerk
