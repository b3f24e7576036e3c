// A section read as fixed-size records: records inside the container are used where they lie,
// the ones that run into or past its end read as zeros, and a runaway count is cut.
#include <gtest/gtest.h>

#include "convert/writers/section_records.hpp"
#include "mapmaker/map_builder.hpp"

namespace kartwerk {
namespace {

using mapmaker::Counting;

// The records as one run of bytes, the way a reader of the section sees them.
core::Bytes All(const writers::SectionRecords& records) {
  core::Bytes scratch;
  const auto all = records.Contiguous(scratch);
  return core::Bytes(all.begin(), all.end());
}

TEST(SectionRecordsTest, RecordsInsideTheContainerAreViewedInPlace) {
  core::ByteStream s;
  s.Load(mapmaker::Counting(100));
  const writers::SectionRecords records = writers::ReadSectionRecords(s, 10, 40, 4);
  EXPECT_EQ(records.stored, 10);
  EXPECT_EQ(records.count, 10);
  EXPECT_EQ(records.pastEnd, 0);
  EXPECT_TRUE(records.tail.empty());
  EXPECT_EQ(records.inside.data(), s.bytes().data() + 10);  // no copy
  EXPECT_EQ(records.inside.size(), 40u);
  core::Bytes scratch;
  EXPECT_EQ(records.Contiguous(scratch).data(), s.bytes().data() + 10);
  EXPECT_TRUE(scratch.empty());
  EXPECT_EQ(All(records), core::Bytes(s.bytes().begin() + 10, s.bytes().begin() + 50));
  EXPECT_EQ(s.position(), 50);
}

TEST(SectionRecordsTest, ARecordRunningIntoTheEndAndRecordsPastItReadAsZeros) {
  core::ByteStream s;
  s.Load(mapmaker::Counting(10));
  // Records at 4, 8 (runs into the end after two bytes), 12 and 16 (past the end).
  const writers::SectionRecords records = writers::ReadSectionRecords(s, 4, 17, 4);
  EXPECT_EQ(records.stored, 4);
  EXPECT_EQ(records.count, 4);
  EXPECT_EQ(records.pastEnd, 2);
  EXPECT_EQ(records.inside.size(), 4u);
  EXPECT_EQ(records.tail.size(), 12u);
  EXPECT_EQ(All(records), (core::Bytes{5, 6, 7, 8, 9, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(s.position(), 20);
}

TEST(SectionRecordsTest, OffsetsOutsideTheContainerGiveZeroRecordsUpToTheLimit) {
  core::ByteStream s;
  s.Load(mapmaker::Counting(10));
  for (std::int64_t offset : {std::int64_t{10}, std::int64_t{1000}, std::int64_t{-8}}) {
    const writers::SectionRecords records = writers::ReadSectionRecords(s, offset, 12, 2);
    EXPECT_TRUE(records.inside.empty()) << offset;
    EXPECT_EQ(records.count, 6) << offset;
    EXPECT_EQ(records.pastEnd, 6) << offset;
    EXPECT_EQ(All(records), core::Bytes(12, 0)) << offset;
  }
  // A count far beyond the end is cut after kMaxRecordsPastEnd records past it.
  const writers::SectionRecords runaway = writers::ReadSectionRecords(s, 0, 0x7FFFFFFF, 2);
  EXPECT_EQ(runaway.stored, 0x7FFFFFFF / 2);
  EXPECT_EQ(runaway.count, 5 + writers::kMaxRecordsPastEnd);
  EXPECT_EQ(runaway.inside.size(), 10u);
  EXPECT_EQ(runaway.tail.size(), static_cast<std::size_t>(writers::kMaxRecordsPastEnd) * 2);
  const core::Bytes all = All(runaway);
  EXPECT_EQ(core::Bytes(all.begin(), all.begin() + 10), mapmaker::Counting(10));
  EXPECT_EQ(std::count(all.begin() + 10, all.end(), 0), writers::kMaxRecordsPastEnd * 2);
}

TEST(SectionRecordsTest, NoSizeOrAPartialRecordGivesNoRecords) {
  core::ByteStream s;
  s.Load(mapmaker::Counting(10));
  for (std::int32_t size : {0, -4, 3}) {
    const writers::SectionRecords records = writers::ReadSectionRecords(s, 0, size, 4);
    EXPECT_EQ(records.count, 0) << size;
    EXPECT_TRUE(All(records).empty()) << size;
  }
}

}  // namespace
}  // namespace kartwerk
