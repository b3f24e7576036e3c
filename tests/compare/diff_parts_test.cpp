// The parts of the comparison under kartwerk diff: the line diff, the least-cost pairing, the
// lists read back with damage named, and the summary of a large change.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "compare/comparison_text.hpp"
#include "compare/entry_changes.hpp"
#include "compare/list_entries.hpp"
#include "compare/min_cost_pairing.hpp"
#include "compare/myers_line_diff.hpp"
#include "compare/text_lines.hpp"
#include "convert/records/players.hpp"

namespace kartwerk {
namespace {

// The edit script as one letter a line: '=' kept, '-' removed, '+' added.
std::string Script(std::string_view from, std::string_view to) {
  const auto a = compare::SplitLines(from), b = compare::SplitLines(to);
  std::string ops;
  for (const compare::LineEdit& e : compare::MyersLineDiff(a, b)) {
    ops += e.op == compare::LineEdit::Op::Keep ? '=' : e.op == compare::LineEdit::Op::Delete ? '-' : '+';
    if (e.op == compare::LineEdit::Op::Keep) {
      EXPECT_EQ(a[e.from], b[e.to]);
    }
  }
  return ops;
}

TEST(MyersLineDiffTest, ShortestScriptsWhateverTheLength) {
  const struct {
    std::string from, to, ops;
  } cases[] = {
      {"a\nb\nc\n", "a\nb\nc\n", "==="},
      {"a\nb\nc\n", "a\nX\nb\nc\n", "=+=="},  // one inserted line is one inserted line
      {"a\nb\nc\n", "a\nc\n", "=-="},
      {"", "a\nb\n", "++"},
      {"a\nb\n", "", "--"},
      {"a\nb\nc\na\nb\nb\na\n", "c\nb\na\nb\na\nc\n", "--=+==-=+"},  // the paper's example: 5 edits
  };
  for (const auto& c : cases) {
    const std::string ops = Script(c.from, c.to);
    EXPECT_EQ(std::count_if(ops.begin(), ops.end(), [](char o) { return o != '='; }),
              std::count_if(c.ops.begin(), c.ops.end(), [](char o) { return o != '='; }))
        << c.from << " / " << c.to << ": " << ops;
  }
  // Far past any cap of a table of common runs: 20,000 lines with one inserted.
  std::string big, bigger;
  for (int i = 0; i < 20000; ++i) {
    big += "line " + std::to_string(i) + "\n";
    bigger += (i == 12345 ? "new\n" : "") + ("line " + std::to_string(i) + "\n");
  }
  const std::string ops = Script(big, bigger);
  EXPECT_EQ(std::count(ops.begin(), ops.end(), '+'), 1);
  EXPECT_EQ(std::count(ops.begin(), ops.end(), '-'), 0);
  const auto body = compare::CompareBodies(compare::SplitLines("$A\n$B\n"), compare::SplitLines("$A\n$X\n$B\n"));
  ASSERT_EQ(body.size(), 1u);
  EXPECT_EQ(body[0].field, "line 2");
  EXPECT_EQ(body[0].edit, compare::FieldChange::Edit::Added);
}

TEST(MinCostPairingTest, AssignmentIsTheCheapestAndPlacesPairByCost) {
  // 3 x 3: the cheapest is 1 + 2 + 2 = 5 (row 0 to column 1, row 1 to 0, row 2 to 2).
  EXPECT_EQ(compare::MinCostAssignment({4, 1, 3, 2, 0, 5, 3, 2, 2}, 3, 3), (std::vector<std::size_t>{1, 0, 2}));
  EXPECT_EQ(compare::MinCostAssignment({-5, 0, 0, 0}, 1, 4), (std::vector<std::size_t>{0}));

  // Two tanks that both moved a little stay themselves (not swapped); one deleted and another
  // added across the map with another owner is removed and added, not moved.
  const std::string before =
      " ID=tank HP=100 U=100 V=100 Owner=1 \n ID=tank HP=100 U=300 V=100 Owner=1 \n"
      " ID=tank HP=100 U=5000 V=5000 Owner=1 \n";
  const std::string after =
      " ID=tank HP=100 U=140 V=140 Owner=1 \n ID=tank HP=100 U=340 V=140 Owner=1 \n"
      " ID=tank HP=100 U=9000 V=200 Owner=2 \n";
  const auto changes = compare::CompareListEntries(compare::ListKind::Units,
                                                   compare::ReadListEntries(compare::ListKind::Units, before).entries,
                                                   compare::ReadListEntries(compare::ListKind::Units, after).entries)
                           .entries;
  std::vector<std::string> texts;
  for (const compare::EntryChange& c : changes) texts.push_back(compare::EntryChangeText(c));
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "unit 1 'tank': moved from 100,100 to 140,140", "unit 2 'tank': moved from 300,100 to 340,140",
                       "removed unit 3 'tank' at 5000,5000", "added unit 'tank' (now 3) at 9000,200"}));
}

TEST(ListDamageTest, CutShortOrForeignBytesAreNamedAtTheirLine) {
  const std::string unit = " ID=tank HP=100 Crew=0 U=64 V=64 Dir=0 Owner=0 \n";
  const std::string sound = "Name=\"river\"\nU=1\nV=2\nRadius=3\nWorse=0.500000\nMinWait=1\nMaxWait=2\n\n";
  const struct {
    compare::ListKind kind;
    std::string text, damage;
  } cases[] = {
      {compare::ListKind::Units, unit + unit, ""},
      {compare::ListKind::Units, unit + unit.substr(0, 20), "cut short at line 2"},
      {compare::ListKind::Units, unit + " ID=tank HP=1\x01\n", "line 2 holds bytes no writer produces"},
      {compare::ListKind::Units, unit + " ID=tank reserv hp=1 U=1 V=1\n", "line 2 is not a unit line"},
      {compare::ListKind::Sounds, sound + sound, ""},
      {compare::ListKind::Sounds, sound + sound.substr(0, 30), "cut short at line 12"},  // ends after Radius
      {compare::ListKind::Objects, "tree 10 20 1 0 0\nrock 30 40 2 0 0\n", ""},
      {compare::ListKind::Objects, "tree 10 20 1 0 0\n\xff\xfe garbage\n", "line 2 is not an object line"},
      {compare::ListKind::Groups, "Group 0\n ai type=\"ai_none\" group1=0\n  aiflags=\n reserv auto=0 hp=100\n",
       "cut short at line 4"},  // 1 of its 100 groups
  };
  for (const auto& c : cases) EXPECT_EQ(compare::ReadListEntries(c.kind, c.text).damage, c.damage) << c.text;
  const auto units = compare::ReadListEntries(compare::ListKind::Units, unit + "  ID=driver HP=90\n");
  ASSERT_EQ(units.entries.size(), 1u);
  EXPECT_EQ(units.entries[0].fields.back(), (std::pair<std::string, std::string>{"crew 1 HP", "90"}));
  EXPECT_EQ(compare::ReadListEntries(compare::ListKind::Sounds, sound).entries[0].type, "river");  // no quotes
}

// A players file as its writer writes it: "Player N", then the record's fields in the block's
// order, an aircraft kind's or a descent's entries under their heading (53 lines a player).
std::vector<std::string> PlayerLines() {
  records::PlayerRecord first;
  first.name = "Anna";
  first.colour = 0x0810;
  first.aircraft[2].unitName = "ju52";
  first.aircraft[2].number = 3;
  records::PlayerRecord second = first;
  second.name = "Boris";
  second.descents[1].unitNames[2] = "para";
  second.descents[1].numbers[2] = 4;
  second.planesdir = 6;
  std::vector<std::string> lines;
  const std::string text =
      "Player 0\n " + records::ConvertPlayerRecord(first) + "Player 1\n " + records::ConvertPlayerRecord(second);
  for (const std::string_view line : compare::SplitLines(text)) lines.emplace_back(line);
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(PlayersReadingTest, FieldsNamedAsTheFileWritesThemAndDamageAtItsLine) {
  const std::vector<std::string> lines = PlayerLines();
  ASSERT_EQ(lines.size(), 106u);
  const std::string text = Joined(lines);  // the entries' texts are views into it
  const compare::ListReading read = compare::ReadListEntries(compare::ListKind::Players, text);
  EXPECT_EQ(read.damage, "");
  ASSERT_EQ(read.entries.size(), 2u);
  EXPECT_EQ(read.entries[1].key, "Player 1");
  const compare::Fields& fields = read.entries[1].fields;
  ASSERT_EQ(fields.size(), 45u);  // five values, five aircraft kinds of four, two descents of ten
  using Pair = std::pair<std::string, std::string>;
  EXPECT_EQ(fields[0], (Pair{"name", "\"Boris\""}));
  EXPECT_EQ(fields[3], (Pair{"color", "8 2 0"}));
  EXPECT_EQ(fields[4], (Pair{"plane bomber ID", ""}));
  EXPECT_EQ(fields[13], (Pair{"plane transport Number", "3"}));
  EXPECT_EQ(fields[40], (Pair{"descent 1 ID 2", "para"}));
  EXPECT_EQ(fields[41], (Pair{"descent 1 number 2", "4"}));
  EXPECT_EQ(fields[44], (Pair{"planesdir", "6"}));
  EXPECT_EQ(read.entries[0].text.substr(0, 9), "Player 0\n");

  // Each edit of a field is that field's change, in the file's words.
  std::vector<std::string> edited = lines;
  edited[53 + 49] = "  number 2=5";
  edited[2] = " team=3";
  const auto changes =
      compare::CompareListEntries(compare::ListKind::Players, read.entries,
                                  compare::ReadListEntries(compare::ListKind::Players, Joined(edited)).entries)
          .entries;
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(compare::EntryChangeText(changes[0]), "Player 0: team 0 -> 3");
  EXPECT_EQ(compare::EntryChangeText(changes[1]), "Player 1: descent 1 number 2 4 -> 5");

  // Line numbers from 1; a block is its header and 52 lines.
  const auto with = [&](std::size_t line, const char* text) {
    std::vector<std::string> l = lines;
    l[line - 1] = text;
    return Joined(l);
  };
  const auto without = [&](std::size_t line) {
    std::vector<std::string> l = lines;
    l.erase(l.begin() + static_cast<std::ptrdiff_t>(line - 1));
    return Joined(l);
  };
  const auto firstLines = [&](std::size_t count) {
    return Joined(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(count)));
  };
  const struct {
    std::string text, damage;
  } cases[] = {
      {firstLines(9), "cut short at line 9"},                     // inside the bomber's entry
      {without(106), "cut short at line 105"},                    // the last planesdir
      {without(53), "line 53 is not a player line"},              // the next header where planesdir belongs
      {with(8, "  Numbr=0"), "line 8 is not a player line"},      // a key the record has not
      {with(11, "  plane spy"), "line 11 is not a player line"},  // a heading indented as an entry
      {with(3, " nation=0"), "line 3 is not a player line"},      // a field out of the writer's order
      {with(54, "Player one"), "line 54 is not a player line"},
      {"notes\n" + Joined(lines), "line 1 is not a player line"},
      {Joined(lines) + "\n\n", ""},  // empty lines between blocks
  };
  for (const auto& c : cases)
    EXPECT_EQ(compare::ReadListEntries(compare::ListKind::Players, c.text).damage, c.damage) << c.damage;
}

TEST(ComparisonSummaryTest, ManyChangesSummedUpUnlessAllAreAsked) {
  compare::FolderComparison comparison;
  compare::FileComparison units;
  units.name = "mis.000/mapunits";
  units.state = compare::FileState::Changed;
  for (int i = 0; i < 3998; ++i) {
    compare::EntryChange moved;
    moved.entry = "unit " + std::to_string(i + 1) + " 'tank'";
    moved.from = compare::Position{i, 0};
    moved.to = compare::Position{i + 40, 40};
    units.entries.push_back(moved);
  }
  for (int i = 0; i < 2; ++i)
    units.entries.push_back({compare::EntryChange::Kind::Removed, "unit 'x'", {}, {}, {}, 1, 0, {}});
  comparison.files.push_back(units);
  comparison.files.push_back({"Übersicht.txt", compare::FileState::OnlyInFolder, "", 0, 1, {}, {}, {}, {}});

  const std::string text = compare::ComparisonText(comparison);
  EXPECT_NE(text.find("  3,998 units moved, 2 removed; the first 10:\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  ... and 3,990 more (--all lists every one)\n"), std::string::npos);
  EXPECT_NE(text.find("\nÜbersicht.txt: only in the folder\n"), std::string::npos);  // UTF-8 as it is
  EXPECT_LT(std::count(text.begin(), text.end(), '\n'), 20);
  const std::string all = compare::ComparisonText(comparison, true);
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 1 + 4000 + 1 + 1);
}

}  // namespace
}  // namespace kartwerk
