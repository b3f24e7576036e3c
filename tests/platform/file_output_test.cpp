// Output files written piece by piece: the target appears whole at the commit, or not at all, and
// its size and digest, taken from the bytes on their way out, are logged once it is in place.
#include "platform/file_output.hpp"

#include <gtest/gtest.h>

#include "core/errors.hpp"
#include "mapmaker/map_builder.hpp"

namespace kartwerk {
namespace {

using mapmaker::ReadBytes;
using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;

std::string DigestOf(const core::Bytes& bytes) {
  return platform::ContentDigest(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// The log holds exactly what the file on disk holds.
void ExpectLogged(const platform::WrittenFiles& log, const std::filesystem::path& file) {
  const std::optional<platform::WrittenFile> logged = log.Find(file);
  ASSERT_TRUE(logged) << file;
  const core::Bytes content = mapmaker::ReadBytes(file);
  EXPECT_EQ(logged->size, content.size());
  EXPECT_EQ(logged->digest, DigestOf(content));
}

std::size_t Entries(const std::filesystem::path& folder) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

TEST(OutputFileTest, PiecesOfEverySizeArriveInOrderAtTheCommit) {
  mapmaker::ScratchFolder dir;
  mapmaker::WriteBytes(dir / "out", core::Bytes{1, 2, 3});  // an earlier run's file
  core::Bytes expected;
  platform::WrittenFiles log;
  log.Record(dir / "out", {3, "xxh3-128:00"});
  {
    platform::OutputFile out(dir / "out", nullptr, &log);
    EXPECT_FALSE(log.Find(dir / "out")) << "the earlier entry goes when the file is written anew";
    // Small pieces, pieces that straddle the buffer's end, and one larger than the buffer.
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{4000}, std::size_t{200000},
                             std::size_t{100000}, std::size_t{700000}, std::size_t{3}}) {
      core::Bytes piece(size);
      for (std::size_t i = 0; i < size; ++i) piece[i] = static_cast<std::uint8_t>(i * 7 + size);
      out.Append(piece);
      expected.insert(expected.end(), piece.begin(), piece.end());
    }
    out.Append('x');
    out.Append(std::string_view("yz"));
    expected.insert(expected.end(), {'x', 'y', 'z'});
    EXPECT_EQ(mapmaker::ReadBytes(dir / "out"), (core::Bytes{1, 2, 3})) << "the target is untouched before the commit";
    out.Commit();
  }
  EXPECT_EQ(mapmaker::ReadBytes(dir / "out"), expected);
  EXPECT_EQ(Entries(dir.path()), 1u);
  ExpectLogged(log, dir / "out");
}

TEST(OutputFileTest, PiecesMadeInTheBufferMixWithAppendedOnes) {
  mapmaker::ScratchFolder dir;
  core::Bytes expected;
  platform::WrittenFiles log;
  {
    platform::OutputFile out(dir / "out", nullptr, &log);
    // Enough pieces made in place to fill the buffer several times, with appended ones between
    // them and rooms asked for larger than what is then taken.
    for (std::size_t piece = 0; piece < 40; ++piece) {
      const std::size_t size = piece % 3 == 0 ? platform::OutputFile::kMaxRoom : 1000 + piece;
      std::uint8_t* room = out.ByteRoom(size);
      for (std::size_t i = 0; i < size; ++i) room[i] = static_cast<std::uint8_t>(piece + i);
      out.Advance(size - piece);
      expected.insert(expected.end(), room, room + (size - piece));
      out.Append(std::string_view("|"));
      expected.push_back('|');
    }
    out.Commit();
  }
  EXPECT_EQ(mapmaker::ReadBytes(dir / "out"), expected);
  ExpectLogged(log, dir / "./out");  // the same file however its path is spelled

  platform::WriteFileAtomic(dir / "empty", std::string_view(), nullptr, &log);
  ExpectLogged(log, dir / "empty");
  platform::DiscardFile(dir / "empty", nullptr, &log);
  EXPECT_FALSE(log.Find(dir / "empty"));
}

TEST(OutputFileTest, AFileNotCommittedLeavesNothingBehind) {
  mapmaker::ScratchFolder dir;
  platform::WrittenFiles log;
  try {
    platform::OutputFile out(dir / "out", nullptr, &log);
    out.Append(core::Bytes(600000, 5));
    throw std::runtime_error("the writer failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(Entries(dir.path()), 0u);
  EXPECT_FALSE(log.Find(dir / "out")) << "a file never put in place is never logged";

  try {
    platform::OutputFile out(dir / "absent" / "out");
    FAIL() << "a file in a missing folder was created";
  } catch (const core::FileCreateError& e) {
    EXPECT_NE(std::string(e.what()).find("Cannot create file \"" + (dir / "absent" / "out").string() + "\""),
              std::string::npos);
  }
}

}  // namespace
}  // namespace kartwerk
