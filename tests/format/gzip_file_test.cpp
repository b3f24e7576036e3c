#include "format/gzip_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>

#include "format/inflate.hpp"
#include "mapmaker/map_builder.hpp"

namespace kartwerk {
namespace {

using mapmaker::Gzip;
using mapmaker::GzipZeros;
using mapmaker::ReadBytes;
using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;

const core::Bytes kData = {'m', 'a', 'p', 0, 1, 2, 3, 0xFF};

// The error a call raises, or a failed expectation when it raises none.
template <typename F>
format::GzipError CaptureGzError(F&& f) {
  try {
    f();
  } catch (const format::GzipError& e) {
    return e;
  }
  ADD_FAILURE() << "no GzipError raised";
  return format::GzipError("", 0);
}

// The whole data of a compiled map, as the conversion reads it.
core::Bytes Inflated(const std::filesystem::path& source) {
  const format::GzContent content = format::GunzipToMemory(source);
  return core::Bytes(content.data.begin(), content.data.end());
}

class GunzipTest : public ::testing::Test {
 protected:
  mapmaker::ScratchFolder dir;
};

TEST_F(GunzipTest, GivesTheDataWithTheStoredNameAndTheHeaderTime) {
  mapmaker::WriteBytes(dir / "m.qdm", mapmaker::Gzip(kData, "stored", 1262304000));
  const format::GzContent content = format::GunzipToMemory(dir / "m.qdm");
  EXPECT_EQ(core::Bytes(content.data.begin(), content.data.end()), kData);
  EXPECT_EQ(content.storedName, "stored");
  EXPECT_EQ(content.mtime, 1262304000);
}

TEST_F(GunzipTest, WithoutStoredNameTheHeaderNamesTheSourceWithoutExtension) {
  mapmaker::WriteBytes(dir / "abc.qdp", mapmaker::Gzip(kData));
  EXPECT_EQ(format::GunzipToMemory(dir / "abc.qdp").storedName, "");
  EXPECT_EQ(format::ReadGzFileInfo(dir / "abc.qdp").name, "abc");
  EXPECT_EQ(Inflated(dir / "abc.qdp"), kData);
}

TEST_F(GunzipTest, StoredNameIsReducedToAPlainFileName) {
  const std::pair<std::string, std::string> cases[] = {
      {"../../escape", "escape"},
      {"/etc/passwd", "passwd"},
      {"C:\\maps\\sub\\win", "win"},
      {"..", "src"},
      {".", "src"},
      {"dir/", "src"},
  };
  for (const auto& [stored, expected] : cases) {
    mapmaker::WriteBytes(dir / "src.qdm", mapmaker::Gzip(kData, stored));
    EXPECT_EQ(format::ReadGzFileInfo(dir / "src.qdm").name, expected) << stored;
    EXPECT_EQ(format::SafeStoredName(stored, "src"), expected) << stored;
  }
}

TEST_F(GunzipTest, ConcatenatedMembersDecompressAsOneFile) {
  core::Bytes both = mapmaker::Gzip(core::Bytes{1, 2, 3}, "m");
  const core::Bytes second = mapmaker::Gzip(core::Bytes{4, 5});
  both.insert(both.end(), second.begin(), second.end());
  mapmaker::WriteBytes(dir / "m.qdm", both);
  EXPECT_EQ(Inflated(dir / "m.qdm"), (core::Bytes{1, 2, 3, 4, 5}));
}

TEST_F(GunzipTest, EachFailureHasItsCodeAndMessage) {
  auto missing = CaptureGzError([&] { format::GunzipToMemory(dir / "none.qdm"); });
  EXPECT_EQ(missing.gzCode, format::GzOpenError);
  EXPECT_STREQ(missing.what(), ("Error opening " + (dir / "none.qdm").string()).c_str());

  // Deflate data damaged right after the header: a read error.
  core::Bytes corrupt = mapmaker::Gzip(core::Bytes(4000, 7), "m");
  for (std::size_t i = 12; i < 20; ++i) corrupt[i] = 0xFF;
  mapmaker::WriteBytes(dir / "corrupt.qdm", corrupt);
  auto damaged = CaptureGzError([&] { format::GunzipToMemory(dir / "corrupt.qdm"); });
  EXPECT_EQ(damaged.gzCode, format::GzReadError);
  EXPECT_STREQ(damaged.what(), ("Error reading from " + (dir / "corrupt.qdm").string() +
                                ": damaged compressed stream (invalid block type)")
                                   .c_str());

  core::Bytes truncated = mapmaker::Gzip(core::Bytes(4000, 7), "m");
  truncated.resize(truncated.size() - 12);
  mapmaker::WriteBytes(dir / "short.qdm", truncated);
  auto cut = CaptureGzError([&] { format::GunzipToMemory(dir / "short.qdm"); });
  EXPECT_EQ(cut.gzCode, format::GzReadError);
  EXPECT_STREQ(cut.what(), ("Error reading from " + (dir / "short.qdm").string() + ": cut short: the file ends after " +
                            std::to_string(truncated.size()) + " bytes, inside the compressed data")
                               .c_str());

  // All data read, but the trailer's checksum disagrees: reported when the file is closed.
  core::Bytes badCrc = mapmaker::Gzip(kData, "m");
  badCrc[badCrc.size() - 8] ^= 0x55;
  mapmaker::WriteBytes(dir / "crc.qdm", badCrc);
  auto crc = CaptureGzError([&] { format::GunzipToMemory(dir / "crc.qdm"); });
  EXPECT_EQ(crc.gzCode, format::GzCloseError);
  EXPECT_STREQ(crc.what(), ("Error closing " + (dir / "crc.qdm").string() +
                            ": damaged data: it does not match the checksum or size its trailer gives")
                               .c_str());
}

TEST_F(GunzipTest, ErrorsAreInputOutputFailures) {
  try {
    format::GunzipToMemory(dir / "none.qdm");
    FAIL();
  } catch (const std::ios_base::failure& e) {
    EXPECT_NE(std::string(e.what()).find("Error opening"), std::string::npos);
  }
}

TEST_F(GunzipTest, NotGzipAtAllCannotBeOpened) {
  mapmaker::WriteBytes(dir / "plain.qdm", core::Bytes(100, 'x'));
  EXPECT_EQ(CaptureGzError([&] { format::GunzipToMemory(dir / "plain.qdm"); }).gzCode, format::GzOpenError);
  mapmaker::WriteBytes(dir / "empty.qdm", {});
  EXPECT_EQ(CaptureGzError([&] { format::GunzipToMemory(dir / "empty.qdm"); }).gzCode, format::GzOpenError);
}

TEST_F(GunzipTest, OversizedMapStopsAtTheLimit) {
  mapmaker::WriteBytes(dir / "big.qdm", mapmaker::GzipZeros(format::kMaxInflatedSize + 1, "big"));
  auto e = CaptureGzError([&] { format::GunzipToMemory(dir / "big.qdm"); });
  EXPECT_EQ(e.gzCode, format::GzReadError);
  EXPECT_NE(std::string(e.what()).find((dir / "big.qdm").string()), std::string::npos);
  EXPECT_NE(std::string(e.what()).find("256 MiB"), std::string::npos);

  // Exactly the limit is still a map.
  mapmaker::WriteBytes(dir / "full.qdm", mapmaker::GzipZeros(format::kMaxInflatedSize, "full"));
  EXPECT_EQ(format::GunzipToMemory(dir / "full.qdm").data.size(), format::kMaxInflatedSize);
}

// The next member's first byte may be the last byte of one read and its second byte the first
// of the next read; the member must still be found. Reads are some power of two long: members
// ending one byte short of each likely read size are tried.
TEST_F(GunzipTest, MemberStartingAtTheEndOfARead) {
  std::mt19937 random(99);
  core::Bytes noise(300000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  for (std::size_t readSize : {std::size_t{16384}, std::size_t{65536}, std::size_t{262144}}) {
    // Random bytes do not deflate: the member is its data and a near-constant overhead.
    const std::size_t want = readSize - 1;
    std::size_t n = want;
    core::Bytes first;
    for (int tries = 0; tries < 20 && first.size() != want; ++tries) {
      first = mapmaker::Gzip(core::Bytes(noise.begin(), noise.begin() + static_cast<std::ptrdiff_t>(n)), "m");
      n = n + want - first.size();
    }
    ASSERT_EQ(first.size(), want) << "no member of the wanted length";
    // What the first member holds, read back through a file of that member alone.
    mapmaker::WriteBytes(dir / "one.qdm", first);
    core::Bytes expected = Inflated(dir / "one.qdm");
    ASSERT_GT(expected.size(), readSize - 1000);
    core::Bytes both = first;
    const core::Bytes second = mapmaker::Gzip(core::Bytes{4, 5, 6});
    both.insert(both.end(), second.begin(), second.end());
    mapmaker::WriteBytes(dir / "m.qdm", both);
    expected.insert(expected.end(), {4, 5, 6});
    EXPECT_EQ(Inflated(dir / "m.qdm"), expected) << "reads of " << readSize;
  }
}

// Bytes after the last member that do not begin a member (padding left by a copying tool, or
// junk) are ignored: the map's data has passed its checks. Bytes that begin like a member
// must be a whole member.
TEST_F(GunzipTest, TrailingBytesAfterTheLastMember) {
  for (const core::Bytes& tail :
       {core::Bytes(1000, 0), core::Bytes(3, 'x'), core::Bytes{0x1f}, core::Bytes{0x8b, 0x1f, 0x00}}) {
    core::Bytes file = mapmaker::Gzip(kData, "m");
    file.insert(file.end(), tail.begin(), tail.end());
    mapmaker::WriteBytes(dir / "m.qdm", file);
    EXPECT_EQ(Inflated(dir / "m.qdm"), kData) << tail.size() << " trailing bytes";
  }
  for (const core::Bytes& tail :
       {core::Bytes{0x1f, 0x8b}, core::Bytes{0x1f, 0x8b, 8, 0, 0, 0}, core::Bytes{0x1f, 0x8b, 0x77, 0x77, 0x77}}) {
    core::Bytes file = mapmaker::Gzip(kData, "bad");
    file.insert(file.end(), tail.begin(), tail.end());
    mapmaker::WriteBytes(dir / "bad.qdm", file);
    auto e = CaptureGzError([&] { format::GunzipToMemory(dir / "bad.qdm"); });
    EXPECT_EQ(e.gzCode, format::GzReadError);
    const std::string reason = tail.size() > 2 && tail[2] == 0x77
                                   ? "damaged header of a further gzip member"
                                   : "cut short: the file ends after " + std::to_string(file.size()) +
                                         " bytes, inside the header of a further gzip member";
    EXPECT_EQ(std::string(e.what()), "Error reading from " + (dir / "bad.qdm").string() + ": " + reason);
  }
}

// The texts stay as they were, followed by what is wrong with the file.
TEST_F(GunzipTest, EachFailureSaysItsReasonAfterTheText) {
  struct Case {
    std::string name;
    core::Bytes bytes;
    std::string reason;
  };
  const core::Bytes good = mapmaker::Gzip(core::Bytes(100000, 7), "m");
  core::Bytes half = good;
  half.resize(good.size() / 2);
  core::Bytes noTrailerEnd = good;
  noTrailerEnd.resize(good.size() - 3);
  core::Bytes method9 = good;
  method9[2] = 9;
  const core::Bytes png = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a, 0, 0, 0, 0x0d, 'I', 'H', 'D', 'R'};
  const std::string html = "<!DOCTYPE html>";
  const std::vector<Case> cases = {
      {"empty.qdm", {}, "Error opening {}: the file is empty"},
      {"picture.qdm", png, "Error opening {}: not a gzip file: it starts with a PNG picture's signature"},
      {"page.qdp", core::Bytes(html.begin(), html.end()),
       "Error opening {}: not a gzip file: it starts with 3C 21 44 4F (\"<!DO\")"},
      {"zeros.qdc", core::Bytes(40, 0), "Error opening {}: not a gzip file: it starts with 00 00 00 00"},
      {"head.qdm",
       {0x1f, 0x8b, 8, 0, 0},
       "Error opening {}: cut short: the file ends after 5 bytes, inside the gzip header (at least 10 bytes)"},
      {"method.qdm", method9, "Error opening {}: not a deflate-compressed gzip file (compression method 9)"},
      {"half.qdm", half,
       "Error reading from {}: cut short: the file ends after " + std::to_string(half.size()) +
           " bytes, inside the compressed data"},
      {"trailer.qdm", noTrailerEnd,
       "Error reading from {}: cut short: the file ends after " + std::to_string(noTrailerEnd.size()) +
           " bytes, 5 of the 8 bytes of the gzip trailer"},
  };
  for (const Case& c : cases) {
    mapmaker::WriteBytes(dir / c.name, c.bytes);
    std::string expected = c.reason;
    expected.replace(expected.find("{}"), 2, (dir / c.name).string());
    EXPECT_EQ(std::string(CaptureGzError([&] { format::GunzipToMemory(dir / c.name); }).what()), expected);
    if (expected.starts_with("Error opening")) {
      EXPECT_EQ(std::string(CaptureGzError([&] { format::ReadGzFileInfo(dir / c.name); }).what()), expected)
          << "the header alone tells the same";
    }
  }
}

TEST_F(GunzipTest, DamagedCutOrMismatchedDataFails) {
  const core::Bytes good = mapmaker::Gzip(core::Bytes(100000, 7), "m");
  core::Bytes damaged = good;
  for (std::size_t i = 40; i < 60; ++i) damaged[i] ^= 0x5A;
  core::Bytes truncated = good;
  truncated.resize(good.size() / 2);
  core::Bytes badCrc = good;
  badCrc[badCrc.size() - 8] ^= 1;
  for (const core::Bytes& file : {damaged, truncated, badCrc}) {
    mapmaker::WriteBytes(dir / "m.qdm", file);
    EXPECT_THROW(format::GunzipToMemory(dir / "m.qdm"), format::GzipError);
  }
}

TEST_F(GunzipTest, AFolderNamedLikeAMapCannotBeOpened) {
  std::filesystem::create_directory(dir / "x.qdm");
  auto e = CaptureGzError([&] { format::GunzipToMemory(dir / "x.qdm"); });
  EXPECT_EQ(e.gzCode, format::GzOpenError);
  EXPECT_STREQ(e.what(), ("Error opening " + (dir / "x.qdm").string()).c_str());
  EXPECT_EQ(CaptureGzError([&] { format::ReadGzFileInfo(dir / "x.qdm"); }).gzCode, format::GzOpenError);
}

TEST_F(GunzipTest, AnUnreadableFileCannotBeOpened) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser reads any file";
  mapmaker::WriteBytes(dir / "m.qdm", mapmaker::Gzip(kData, "m"));
  ::chmod((dir / "m.qdm").c_str(), 0);
  auto e = CaptureGzError([&] { format::GunzipToMemory(dir / "m.qdm"); });
  EXPECT_EQ(e.gzCode, format::GzOpenError);
  EXPECT_STREQ(e.what(), ("Error opening " + (dir / "m.qdm").string()).c_str());
}

TEST(GunzipToMemoryTest, InflatesWithTheChosenLibrary) {
  EXPECT_STREQ(format::InflaterName(), KARTWERK_EXPECT_INFLATER);
}

// The output is first given the room the file's last four bytes announce; when those are not
// the member's size (trailing bytes, a second member) the room grows until the data fits.
TEST(GunzipToMemoryTest, FileEndThatIsNoMemberSizeStillInflatesEverything) {
  mapmaker::ScratchFolder dir;
  core::Bytes data(300000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i % 251);
  core::Bytes file = mapmaker::Gzip(data, "m", 77);
  const core::Bytes second = mapmaker::Gzip(core::Bytes{9, 8, 7});
  file.insert(file.end(), second.begin(), second.end());
  file.insert(file.end(), {0, 1, 0, 0});  // trailing bytes that read as a size of 256
  mapmaker::WriteBytes(dir / "m.qdm", file);
  const format::GzContent content = format::GunzipToMemory(dir / "m.qdm");
  core::Bytes expected = data;
  expected.insert(expected.end(), {9, 8, 7});
  EXPECT_EQ(core::Bytes(content.data.begin(), content.data.end()), expected);
  EXPECT_EQ(content.storedName, "m");
  EXPECT_EQ(content.mtime, 77);

  // A member whose data would need more room than deflate can give its input is damaged.
  core::Bytes lying = mapmaker::Gzip(core::Bytes(1000, 1));
  const std::size_t n = lying.size();
  lying[n - 1] = 0x7f;  // announces almost 2 GiB: the room stays within the limit
  mapmaker::WriteBytes(dir / "lying.qdm", lying);
  EXPECT_EQ(CaptureGzError([&] { format::GunzipToMemory(dir / "lying.qdm"); }).gzCode, format::GzCloseError);
}

TEST(ReadGzFileInfoTest, ReadsNameAndTimeWithoutDecompressing) {
  mapmaker::ScratchFolder dir;
  // A header followed by data that is no deflate stream: only the header is read.
  core::Bytes file = mapmaker::Gzip(core::Bytes(10, 1), "inside", 1262304000 + 3 * 3600 + 4 * 60 + 10);
  file.resize(file.size() - 8);
  for (std::size_t i = file.size() - 4; i < file.size(); ++i) file[i] = 0xFF;
  mapmaker::WriteBytes(dir / "m.qdm", file);
  const format::GzipHeaderInfo info = format::ReadGzFileInfo(dir / "m.qdm");
  EXPECT_EQ(info.name, "inside");
  EXPECT_EQ(info.mtime, 1262304000 + 3 * 3600 + 4 * 60 + 10);
  EXPECT_THROW(format::GunzipToMemory(dir / "m.qdm"), format::GzipError);

  mapmaker::WriteBytes(dir / "plain.qdc", mapmaker::Gzip(core::Bytes(10, 1)));
  EXPECT_EQ(format::ReadGzFileInfo(dir / "plain.qdc").name, "plain");
  EXPECT_EQ(CaptureGzError([&] { format::ReadGzFileInfo(dir / "absent.qdc"); }).gzCode, format::GzOpenError);
}

TEST(InflatePrefixTest, StopsAtTheLimitAndAcceptsShorterFiles) {
  mapmaker::ScratchFolder dir;
  core::Bytes data(100000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 31);
  mapmaker::WriteBytes(dir / "m.qdm", mapmaker::Gzip(data, "m"));
  EXPECT_EQ(format::InflatePrefix(dir / "m.qdm", 64), core::Bytes(data.begin(), data.begin() + 64));
  EXPECT_EQ(format::InflatePrefix(dir / "m.qdm", 200000), data);
}

}  // namespace
}  // namespace kartwerk
