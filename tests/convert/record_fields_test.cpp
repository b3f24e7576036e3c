// Records described once: the field lists that the decoders read, the check that a list fills its
// record, the reads of a cut record, and the one " key=value" spelling of every converter.
#include "convert/records/record_fields.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "convert/records/groups.hpp"
#include "convert/records/key_value.hpp"
#include "convert/records/objects.hpp"
#include "convert/records/rhomb_record.hpp"
#include "convert/records/sounds.hpp"
#include "convert/records/support.hpp"
#include "convert/records/units.hpp"

namespace kartwerk {
namespace {

TEST(RecordFields, FillOnlyWhenEveryByteBelongsToExactlyOneField) {
  EXPECT_TRUE(records::FieldsFill(records::RecordFields<3>{{{0, 2}, {2, 1}, {3, 4}}}, 7));
  EXPECT_FALSE(records::FieldsFill(records::RecordFields<3>{{{0, 2}, {2, 1}, {3, 4}}}, 8))
      << "a byte after the last field";
  EXPECT_FALSE(records::FieldsFill(records::RecordFields<3>{{{0, 2}, {2, 1}, {3, 4}}}, 6))
      << "the last field runs past the size";
  EXPECT_FALSE(records::FieldsFill(records::RecordFields<2>{{{0, 2}, {3, 4}}}, 7)) << "a gap";
  EXPECT_FALSE(records::FieldsFill(records::RecordFields<2>{{{0, 4}, {2, 2}}}, 4)) << "an overlap";
  EXPECT_FALSE(records::FieldsFill(records::RecordFields<2>{{{2, 2}, {0, 2}}}, 4)) << "out of offset order";
  EXPECT_FALSE(records::FieldsFill(records::RecordFields<2>{{{1, 2}, {3, 1}}}, 4)) << "not from offset 0";
  EXPECT_FALSE(records::FieldsFill(records::RecordFields<3>{{{0, 2}, {2, 0}, {2, 2}}}, 4)) << "a field of no width";
}

// Every record's list is checked where it is declared; these are its sizes as the map stores them.
TEST(RecordFields, EveryRecordHasItsStoredSize) {
  EXPECT_EQ(records::SoundRecord::kSize, 78u);
  EXPECT_EQ(records::UnitRecordStart::kSize, 6u);
  EXPECT_EQ(records::CrewRecord::kSize, 10u);
  EXPECT_EQ(records::UnitHead::kSize, 18u);
  EXPECT_EQ(records::SupportUnitHead::kSize, 12u);
  EXPECT_EQ(records::SupportFlagRecord::kSize, 20u);
  EXPECT_EQ(records::ObjectRecord::kSize, 10u);
  EXPECT_EQ(records::CompiledRhomb::kSize, 4u);
  EXPECT_EQ(records::GroupRecord::kSize, 28u);
  static_assert(records::FieldsFill(records::GroupRecord::kFields, records::GroupRecord::kSize));
  EXPECT_EQ(records::GroupRecord::kFields[records::GroupRecord::kMinimum].offset, 18u);
  EXPECT_EQ(records::UnitHead::kFields[records::UnitHead::kOwner].offset, 17u);
}

constexpr records::RecordFields<5> kMixed{{{0, 1}, {1, 2}, {3, 4}, {7, 4}, {11, 5}}};
enum Mixed : std::size_t { kByte, kWord, kLong, kSingle, kName };

TEST(FieldReader, ReadsEachFieldLittleEndianAtItsOffset) {
  const std::vector<std::uint8_t> record = {0x81, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0x00,
                                            0x00, 0xC0, 0x3F, 'A',  'b',  0,    'x',  'y'};
  const records::FieldReader<kMixed> f(record);
  EXPECT_EQ(f.U8<kByte>(), 0x81);
  EXPECT_EQ(f.U16<kWord>(), 0x1234);
  EXPECT_EQ(f.U32<kLong>(), 0xFFFFFFFEu);
  EXPECT_EQ(f.I32<kLong>(), -2);
  EXPECT_EQ(f.F32<kSingle>(), 1.5f);
  EXPECT_EQ(f.Text<kName>(), "Ab") << "a text stops at its first zero byte";
  EXPECT_EQ(f.Bytes<kName>().size(), 5u);
}

TEST(FieldReader, ReadsWhatACutRecordLacksAsZero) {
  const std::vector<std::uint8_t> cut = {0x05, 0x34, 0x12, 0x78, 0x56, 'N', 'a'};
  const records::FieldReader<kMixed> f(std::span<const std::uint8_t>(cut).first(5));
  EXPECT_EQ(f.U8<kByte>(), 5);
  EXPECT_EQ(f.U16<kWord>(), 0x1234);
  EXPECT_EQ(f.U32<kLong>(), 0x5678u) << "the two bytes present, the missing two as zero";
  EXPECT_EQ(f.U32<kSingle>(), 0u);
  EXPECT_EQ(f.Text<kName>(), "");
  EXPECT_TRUE(f.Bytes<kName>().empty());

  const std::vector<std::uint8_t> text(16, 'z');
  EXPECT_EQ(records::FieldReader<kMixed>(text).Text<kName>(), "zzzzz")
      << "a text without a zero byte ends with its field";
  EXPECT_EQ(records::FieldBytes(std::span<const std::uint8_t>(text).first(13), kMixed[kName]).size(), 2u);
}

TEST(KeyValue, SpellsEveryNumberAfterItsKey) {
  std::string text = "unit";
  records::AppendPair(text, " HP=", 100);
  records::AppendPair(text, " U=", -32);
  records::AppendPair(text, " ID=", std::numeric_limits<std::uint32_t>::max());
  records::AppendPair(text, " delay=", std::numeric_limits<std::int64_t>::min());
  records::AppendPair(text, " zone=", 0);
  EXPECT_EQ(text, "unit HP=100 U=-32 ID=4294967295 delay=-9223372036854775808 zone=0");

  char room[8 + records::kPairNumberRoom];
  char* end = records::SpellPair(room, " Morale=", 50);
  EXPECT_EQ(std::string(room, static_cast<std::size_t>(end - room)), " Morale=50");

  // Every number a 16-bit field holds, and on to the largest SpellSmallNumber takes, as to_chars
  // spells it (and nothing written past it).
  for (std::uint32_t value = 0; value < 100000; ++value) {
    char mine[8] = "#######";
    char theirs[8] = {};
    const char* const mineEnd = records::SpellSmallNumber(mine, value);
    const char* const theirsEnd = std::to_chars(theirs, theirs + sizeof theirs, value).ptr;
    ASSERT_EQ(std::string_view(mine, static_cast<std::size_t>(mineEnd - mine)),
              std::string_view(theirs, static_cast<std::size_t>(theirsEnd - theirs)));
    ASSERT_EQ(*mineEnd, '#') << value;
  }
}

// The decoders read their lists: a record written field by field comes back field by field.
TEST(RecordDecoders, ReadTheFieldsTheirListsName) {
  std::vector<std::uint8_t> unit(records::UnitHead::kSize);
  for (std::size_t i = 0; i < unit.size(); ++i) unit[i] = static_cast<std::uint8_t>(i + 1);
  const records::UnitHead head = records::UnitHead::Decode(unit);
  EXPECT_EQ(head.Grp, 1);
  EXPECT_EQ(head.Morale, 6);
  EXPECT_EQ(head.ID, 0x0807);
  EXPECT_EQ(head.In, 11);
  EXPECT_EQ(head.Crew, 12);
  EXPECT_EQ(head.U, 0x0E0D);
  EXPECT_EQ(head.V, 0x100F);
  EXPECT_EQ(head.Dir, 17);
  EXPECT_EQ(head.Owner, 18);

  const records::SupportUnitHead support = records::SupportUnitHead::Decode(unit);
  EXPECT_EQ(support.Lives, 5);
  EXPECT_EQ(support.ID, 0x0A090807u);
  EXPECT_EQ(support.Crew, 12);

  const records::CrewRecord crew = records::CrewRecord::Decode(std::span<const std::uint8_t>(unit).first(9));
  EXPECT_EQ(crew.ID, 0x0807);
  EXPECT_EQ(crew.IDHigh, 0x0009) << "the missing tenth byte reads as zero";

  const records::ObjectRecord object = records::ObjectRecord::Decode(unit);
  EXPECT_EQ(object.x, 0x0201);
  EXPECT_EQ(object.nameIndex, 5);
  EXPECT_EQ(object.attrByte, 6);
  EXPECT_EQ(object.variant, 0x0A09);

  std::vector<std::uint8_t> group(records::GroupRecord::kSize, 0);
  group[0] = 3;
  group[6] = 17;
  group[18] = 0x10;
  group[19] = 0x27;  // minimum 10000
  group[27] = 50;
  const records::GroupRecord decoded = records::GroupRecord::Decode(group);
  EXPECT_EQ(decoded.typeAndFlags, 3u);
  EXPECT_EQ(decoded.group1, 17);
  EXPECT_EQ(decoded.minimum, 10000);
  EXPECT_EQ(decoded.morale, 50);
  EXPECT_EQ(decoded.hp, 0);
}

}  // namespace
}  // namespace kartwerk
