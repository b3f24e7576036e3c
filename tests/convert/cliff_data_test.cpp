#include "convert/records/cliff_data.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "convert/records/cliff_grid.hpp"
#include "mapmaker/map_builder.hpp"
#include "platform/program_path.hpp"

namespace kartwerk {
namespace {

using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;

std::filesystem::path BuiltCliffData() { return std::filesystem::path(KARTWERK_EXE).parent_path() / "cliffdata"; }

TEST(LoadCliffData, LoadsTheWholeFile) {
  mapmaker::ScratchFolder dir;
  const core::Bytes content = {0, 1, 2, 3, 250};
  mapmaker::WriteBytes(dir / "cliffdata", content);
  const auto loaded = records::LoadCliffData(dir / "cliffdata");
  ASSERT_TRUE(loaded);
  EXPECT_EQ(*loaded, content);
}

TEST(LoadCliffData, AMissingFileIsNamedInTheError) {
  mapmaker::ScratchFolder dir;
  const auto path = dir / "cliffdata";
  try {
    records::LoadCliffData(path);
    FAIL() << "no error";
  } catch (const records::CliffDataError& e) {
    EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos) << e.what();
  }
  std::filesystem::create_directory(path);  // a folder of that name is no data file either
  EXPECT_THROW(records::LoadCliffData(path), records::CliffDataError);
}

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable) {
  const auto folder = platform::ProgramFolder();
  // The suite runs in the convert layer's test executable.
  EXPECT_TRUE(std::filesystem::is_regular_file(folder / "convert_tests")) << folder;
  EXPECT_EQ(records::DefaultCliffDataPath(), folder / "cliffdata");
}

TEST(InstalledCliffData, HoldsPlausibleMasksForEveryCliffVariant) {
  const auto data = records::LoadCliffData(BuiltCliffData());
  ASSERT_EQ(data->size() % records::kCliffMaskSize, 0u);
  ASSERT_GE(data->size() / records::kCliffMaskSize, 58u);
  EXPECT_TRUE(std::all_of(data->begin(), data->end(), [](std::uint8_t v) { return v <= 3; }));
  for (std::uint32_t v = 0; v < 58; ++v) {
    const records::CliffMask mask = records::CliffMaskAt(*data, v);
    const auto count = [&](std::uint8_t mark) { return std::count(mask.begin(), mask.end(), mark); };
    EXPECT_GE(count(3), 3) << "mask " << v << " has no face";
    if (v < 56) {
      // A cliff face through the object's cell, high ground on one side, the foot on the other.
      EXPECT_EQ(mask[3 * 7 + 3], 3) << "mask " << v << " misses its own cell";
      EXPECT_GE(count(1), 1) << "mask " << v << " has no high side";
      EXPECT_GE(count(2), 1) << "mask " << v << " has no foot";
    } else {
      // A rock or a hollow: a ring of face around one kind of ground.
      EXPECT_EQ(count(1) == 0, count(2) != 0) << "mask " << v;
    }
  }
  // Distinct footprints: no two cliff variants are drawn alike.
  for (std::uint32_t a = 0; a < 58; ++a) {
    for (std::uint32_t b = a + 1; b < 58; ++b)
      EXPECT_NE(records::CliffMaskAt(*data, a), records::CliffMaskAt(*data, b)) << a << " " << b;
  }
}

}  // namespace
}  // namespace kartwerk
