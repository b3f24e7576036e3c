// Reads of a loaded container: table lookups, record reads that run into the end, and the
// whole-file read that loads a container.
#include <gtest/gtest.h>

#include <array>

#include "core/byte_stream.hpp"
#include "format/section_directory.hpp"
#include "mapmaker/map_builder.hpp"
#include "platform/whole_file.hpp"

namespace kartwerk {
namespace {

using mapmaker::Counting;

// What a lookup of out.size() bytes at offset must give: the stream's bytes, zero outside it.
core::Bytes Expected(const core::Bytes& data, std::int64_t offset, std::size_t count) {
  core::Bytes out(count, 0);
  for (std::size_t i = 0; i < count; ++i) {
    const std::int64_t at = offset + static_cast<std::int64_t>(i);
    if (at >= 0 && at < static_cast<std::int64_t>(data.size())) out[i] = data[static_cast<std::size_t>(at)];
  }
  return out;
}

TEST(ByteStreamPeekTest, LookupsInsideAcrossAndOutsideTheBufferLeaveThePositionAlone) {
  const core::Bytes data = mapmaker::Counting(40);
  core::ByteStream s;
  s.Load(data);
  s.Seek(7);
  for (std::int64_t offset :
       {std::int64_t{0}, std::int64_t{24}, std::int64_t{25}, std::int64_t{30}, std::int64_t{39}, std::int64_t{40},
        std::int64_t{-1}, std::int64_t{-16}, std::int64_t{-20}, std::int64_t{1} << 40, INT64_MIN}) {
    std::array<std::uint8_t, 16> out;
    out.fill(0xEE);  // every byte must be written, also where it reads as zero
    s.PeekAt(offset, out);
    EXPECT_EQ(core::Bytes(out.begin(), out.end()), Expected(data, offset, out.size())) << "offset " << offset;
  }
  std::array<std::uint8_t, 0> none;
  s.PeekAt(40, none);
  EXPECT_EQ(s.position(), 7);
}

TEST(ByteStreamPeekTest, ARecordRunningIntoTheEndKeepsItsBytesAndZeroFillsTheRest) {
  core::ByteStream s;
  s.Load(mapmaker::Counting(10));
  std::array<std::uint8_t, 6> out;
  out.fill(0xEE);
  s.Seek(7);
  s.ReadRecord(out);
  EXPECT_EQ(core::Bytes(out.begin(), out.end()), (core::Bytes{8, 9, 10, 0, 0, 0}));
  EXPECT_EQ(s.position(), 13);
  out.fill(0xEE);
  s.ReadRecord(out);  // wholly past the end
  EXPECT_EQ(core::Bytes(out.begin(), out.end()), core::Bytes(6, 0));
  out.fill(0xEE);
  s.Seek(-3);  // before the start
  s.ReadRecord(out);
  EXPECT_EQ(core::Bytes(out.begin(), out.end()), core::Bytes(6, 0));
  s.Seek(2);
  s.ReadRecord(out);  // wholly inside
  EXPECT_EQ(core::Bytes(out.begin(), out.end()), (core::Bytes{3, 4, 5, 6, 7, 8}));
}

TEST(ByteStreamPeekTest, FieldAccessorsReadLittleEndianAndZeroOutsideTheRecord) {
  const core::Bytes record{0x01, 0x02, 0x03, 0x04, 0xFF};
  EXPECT_EQ(core::U16At(record, 0), 0x0201);
  EXPECT_EQ(core::U32At(record, 0), 0x04030201u);
  EXPECT_EQ(core::U32At(record, 2), 0x00FF0403u);  // the bytes past the record read as zero
  EXPECT_EQ(core::U16At(record, 4), 0x00FF);
  EXPECT_EQ(core::U16At(record, 5), 0);
  EXPECT_EQ(core::ByteAt(record, SIZE_MAX), 0);
  EXPECT_EQ(core::I16At(core::Bytes{0xFE, 0xFF}, 0), -2);
  EXPECT_EQ(core::I32At(core::Bytes{0xFF, 0xFF, 0xFF, 0x80}, 0), static_cast<std::int32_t>(0x80FFFFFFu));
}

TEST(ReadWholeFileTest, ReadsEveryByteOfSmallEmptyAndLargeFiles) {
  mapmaker::ScratchFolder dir;
  core::Bytes large(3 * 1024 * 1024 + 17);
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<std::uint8_t>(i * 7 + i / 4096);
  for (const core::Bytes& content : {core::Bytes{}, core::Bytes{0}, mapmaker::Counting(255), large}) {
    mapmaker::WriteBytes(dir / "container", content);
    const core::Bytes read = platform::ReadWholeFile(dir / "container");
    EXPECT_EQ(read.size(), content.size());
    EXPECT_TRUE(read == content);
  }
  EXPECT_THROW(platform::ReadWholeFile(dir / "missing"), std::ios_base::failure);
}

}  // namespace
}  // namespace kartwerk
