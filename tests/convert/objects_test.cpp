#include "convert/records/objects.hpp"

#include <gtest/gtest.h>

#include "convert/records/cliff_grid.hpp"
#include "mapmaker/map_builder.hpp"

namespace kartwerk {
namespace {

using mapmaker::Le;
using mapmaker::MapBuilder;

TEST(ObjectRecord, FieldsAreLittleEndian) {
  const core::Bytes bytes = mapmaker::Le().U16(1000).U16(2000).U8(8).U8(1).U16(0xBEEF).U16(3);
  const records::ObjectRecord r = records::ObjectRecord::Decode(bytes);
  EXPECT_EQ(r.x, 1000);
  EXPECT_EQ(r.y, 2000);
  EXPECT_EQ(r.nameIndex, 8);
  EXPECT_EQ(r.attrByte, 1);
  EXPECT_EQ(r.attrWord, 0xBEEF);
  EXPECT_EQ(r.variant, 3);
}

TEST(ObjectLine, NameThenFiveUnsignedNumbersAndALineFeed) {
  records::ObjectRecord r;
  r.x = 1000, r.y = 2000, r.variant = 3, r.attrByte = 1, r.attrWord = 0;
  EXPECT_EQ(records::ObjectLine("tree1", r), "tree1 1000 2000 3 1 0\n");
  r.x = 65535, r.y = 32768, r.variant = 65535, r.attrByte = 255, r.attrWord = 40000;
  EXPECT_EQ(records::ObjectLine("rock", r), "rock 65535 32768 65535 255 40000\n");
  EXPECT_EQ(records::ObjectLine("", records::ObjectRecord{}), " 0 0 0 0 0\n");
}

TEST(LookupObjectName, SixteenByteEntriesUpToTheFirstZero) {
  core::ByteStream stream;
  stream.Load(mapmaker::Le().Fill(5, 0xEE).Text("tree", 16).Text("ABCDEFGHIJKLMNOPQ", 16).Text("rock", 16));
  EXPECT_EQ(records::LookupObjectName(stream, 5, 0), "tree");
  EXPECT_EQ(records::LookupObjectName(stream, 5, 1), "ABCDEFGHIJKLMNOP");  // no zero: all 16 bytes
  EXPECT_EQ(records::LookupObjectName(stream, 5, 2), "rock");
}

TEST(LookupObjectName, EntriesPastTheContainerReadWhatExists) {
  core::ByteStream stream;
  stream.Load(mapmaker::Le().Text("tree", 16).Raw({'c', 'l', 'i', 'f'}));
  EXPECT_EQ(records::LookupObjectName(stream, 0, 1), "clif");  // partly past the end
  EXPECT_EQ(records::LookupObjectName(stream, 0, 2), "");      // wholly past the end
  EXPECT_EQ(records::LookupObjectName(stream, 0, 255), "");
  EXPECT_EQ(records::LookupObjectName(stream, -20, 1), "");  // before the start
}

TEST(LookupObjectName, LeavesTheReadPositionAlone) {
  core::ByteStream stream;
  stream.Load(mapmaker::Le().Text("tree", 16).Text("rock", 16).Fill(40));
  stream.Seek(37);
  EXPECT_EQ(records::LookupObjectName(stream, 0, 1), "rock");
  EXPECT_EQ(stream.position(), 37);
}

// A single-player map of the given size whose object names section holds names 0..9
// ("name0" ... "name9", "cliff" at 8), loaded as the object converter sees it.
format::Conversion MapWithNames(std::int32_t width, std::int32_t height) {
  mapmaker::Le names;
  for (int i = 0; i < 10; ++i) names.Text(i == 8 ? "cliff" : "name" + std::to_string(i), 16);
  format::Conversion c;
  c.MapKind = format::SinglePlayerMap;
  c.MissionStream.Load(mapmaker::MapBuilder(format::SinglePlayerMap)
                           .MapInfo(0, width, height)
                           .Set(format::Section::ObjectNames, names)
                           .Build());
  c.MiniEntryCount = format::ReadSectionDirectory(c.MissionStream, c.SectionDirectory);
  c.MapInfoRecord = format::MapInformation{0, width, height};
  c.CliffGrid.assign(static_cast<std::size_t>(width * height), 0);
  return c;
}

// Mask 0 all 1s, mask 1 all 2s, mask 2 all 3s, masks 56 and 57 all 3s.
std::shared_ptr<const core::Bytes> TestMasks() {
  core::Bytes data(49 * 58, 0);
  std::fill(data.begin(), data.begin() + 49, 1);
  std::fill(data.begin() + 49, data.begin() + 98, 2);
  std::fill(data.begin() + 98, data.begin() + 147, 3);
  std::fill(data.begin() + 49 * 56, data.end(), 3);
  return std::make_shared<const core::Bytes>(data);
}

records::ObjectRecord Object(std::uint16_t x, std::uint16_t y, std::uint8_t nameIndex, std::uint16_t variant) {
  records::ObjectRecord r;
  r.x = x, r.y = y, r.nameIndex = nameIndex, r.variant = variant;
  return r;
}

std::size_t Marked(const format::Conversion& c) {
  return static_cast<std::size_t>(std::count_if(c.CliffGrid.begin(), c.CliffGrid.end(), [](auto v) { return v; }));
}

TEST(ConvertObject, LooksTheNameUpWithoutMovingTheStream) {
  format::Conversion c = MapWithNames(20, 20);
  c.MissionStream.Seek(123);
  EXPECT_EQ(records::ConvertObject(Object(64, 96, 3, 7), c), "name3 64 96 7 0 0\n");
  EXPECT_EQ(c.MissionStream.position(), 123);
  EXPECT_EQ(Marked(c), 0u);
}

TEST(ConvertObject, CliffObjectStampsAroundItsCell) {
  format::Conversion c = MapWithNames(20, 20);
  c.CliffDataBuffer = TestMasks();
  // Position (10 * 32 + 31, 5 * 32) lies in cell (10, 5).
  EXPECT_EQ(records::ConvertObject(Object(351, 160, 8, 2), c), "cliff 351 160 2 0 0\n");
  EXPECT_EQ(Marked(c), 49u);
  EXPECT_EQ(c.CliffGrid[2 * 20 + 7], 3);
  EXPECT_EQ(c.CliffGrid[8 * 20 + 13], 3);
  EXPECT_EQ(c.CliffGrid[8 * 20 + 14], 0);
  EXPECT_EQ(c.CliffGrid[1 * 20 + 10], 0);
}

TEST(ConvertObject, AppendingKeepsTheTextBeforeAndStampsAlike) {
  format::Conversion appended = MapWithNames(20, 20), returned = MapWithNames(20, 20);
  appended.CliffDataBuffer = returned.CliffDataBuffer = TestMasks();
  std::string text = "earlier line\n";
  std::string expected = text;
  for (const records::ObjectRecord& r : {Object(351, 160, 8, 2), Object(64, 96, 3, 7), Object(0, 0, 8, 1)}) {
    records::AppendConvertedObject(text, r, appended);
    expected += records::ConvertObject(r, returned);
  }
  EXPECT_EQ(text, expected);
  EXPECT_EQ(appended.CliffGrid, returned.CliffGrid);
  std::string line = "x";
  records::AppendObjectLine(line, "rock", Object(65535, 1, 0, 65535));
  EXPECT_EQ(line, "xrock 65535 1 65535 0 0\n");
}

TEST(ConvertObject, OverlappingCliffsOfBothMarksLeave3WhicheverComesFirst) {
  for (bool onesFirst : {true, false}) {
    format::Conversion c = MapWithNames(20, 20);
    c.CliffDataBuffer = TestMasks();
    const records::ObjectRecord ones = Object(5 * 32, 5 * 32, 8, 0), twos = Object(8 * 32, 5 * 32, 8, 1);
    records::ConvertObject(onesFirst ? ones : twos, c);
    records::ConvertObject(onesFirst ? twos : ones, c);
    EXPECT_EQ(c.CliffGrid[5 * 20 + 6], 3);  // both windows
    EXPECT_EQ(c.CliffGrid[5 * 20 + 4], 1);  // only the first
    EXPECT_EQ(c.CliffGrid[5 * 20 + 9], 2);  // only the second
  }
}

TEST(ConvertObject, Variants56And57AndOtherNamesStampNothing) {
  format::Conversion c = MapWithNames(20, 20);
  c.CliffDataBuffer = TestMasks();
  EXPECT_EQ(records::ConvertObject(Object(320, 320, 8, 56), c), "cliff 320 320 56 0 0\n");
  EXPECT_EQ(records::ConvertObject(Object(320, 320, 8, 57), c), "cliff 320 320 57 0 0\n");
  for (std::uint16_t variant : {0, 1, 2}) {
    records::ConvertObject(Object(320, 320, 7, variant), c);
    records::ConvertObject(Object(320, 320, 9, variant), c);
  }
  EXPECT_EQ(Marked(c), 0u);
  records::ConvertObject(Object(320, 320, 8, 58), c);  // no such mask in the data: no effect
  EXPECT_EQ(Marked(c), 0u);
}

TEST(ConvertObject, CliffPastTheMapsEdgesIsClipped) {
  format::Conversion c = MapWithNames(100, 80);
  c.CliffDataBuffer = TestMasks();
  records::ConvertObject(Object(99 * 32, 0, 8, 2), c);  // last column, first row
  EXPECT_EQ(Marked(c), 16u);
  for (int row = 0; row < 4; ++row) {
    for (int col = 96; col < 100; ++col) EXPECT_EQ(c.CliffGrid[row * 100 + col], 3);
    EXPECT_EQ(c.CliffGrid[(row + 1) * 100 + 0], 0);
  }
  records::ConvertObject(Object(65535, 65535, 8, 2), c);  // cell (2047, 2047): far outside
  EXPECT_EQ(Marked(c), 16u);
}

TEST(ConvertObject, WithoutMasksNothingIsStamped) {
  format::Conversion c = MapWithNames(10, 10);
  c.CliffDataBuffer.reset();
  EXPECT_EQ(records::ConvertObject(Object(0, 0, 8, 0), c), "cliff 0 0 0 0 0\n");
  EXPECT_EQ(Marked(c), 0u);
}

}  // namespace
}  // namespace kartwerk
