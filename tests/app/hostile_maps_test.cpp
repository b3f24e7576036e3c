// Compiled maps from strangers, run through `kartwerk convert` as a user runs it. Whatever the file
// holds, the program converts it or stops with status 1 and a message naming the file and the
// fault; it never writes outside the chosen slot folder and leaves no temporary files behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "core/gzip_file.hpp"
#include "core/section_directory.hpp"
#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

using testing::Gzip;
using testing::GzipZeros;
using testing::Le;
using testing::ReadBytes;
using testing::ReplaceSection;
using testing::RunProgram;
using testing::SampleMainContainer;
using testing::ScratchFolder;
using testing::WriteBytes;

const testing::SampleOptions kOptions{12, 0, 40, 30};

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::string Text(const std::filesystem::path& file) {
  const Bytes b = ReadBytes(file);
  return std::string(b.begin(), b.end());
}

// Every regular file under a folder with its bytes, by path relative to the folder.
std::map<std::string, Bytes> Files(const std::filesystem::path& folder) {
  std::map<std::string, Bytes> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
    if (e.is_regular_file()) files[std::filesystem::relative(e.path(), folder).string()] = ReadBytes(e.path());
  }
  return files;
}

// The single-player sample with the entry at a section's position replaced.
Bytes SampleWith(Section section, const Bytes& data) {
  return ReplaceSection(SampleMainContainer(SinglePlayerMap, kOptions), SectionPosition(section, SinglePlayerMap),
                        data);
}

// The directory entry of a position in a container.
sectionRec EntryOf(const Bytes& container, std::size_t position) {
  ByteStream stream;
  stream.Load(container);
  SectionTable table;
  ReadSectionDirectory(stream, table);
  return table[position];
}

// A folder of maps, a slot folder beside it, and a private TMPDIR. Every test checks at its end
// that nothing but the maps and the slot folder exists and that TMPDIR is empty.
class HostileMapsTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(maps()); }
  void TearDown() override {
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      const std::string name = e.path().filename().string();
      EXPECT_TRUE(name == "maps" || name == "slot" || name == "parent") << "written outside the slot: " << name;
    }
    for (const auto& e : std::filesystem::recursive_directory_iterator(maps())) {
      EXPECT_TRUE(written_.count(e.path().filename().string())) << "appeared beside the maps: " << e.path();
    }
    EXPECT_TRUE(std::filesystem::is_empty(temp.path())) << "temporary files left behind";
  }

  std::filesystem::path maps() const { return dir / "maps"; }
  std::filesystem::path slot() const { return dir / "slot"; }

  std::filesystem::path Map(const std::string& name, const Bytes& file) {
    WriteBytes(maps() / name, file);
    written_[name] = true;
    return maps() / name;
  }

  testing::ProgramResult Convert(const std::filesystem::path& map, const std::filesystem::path& out) {
    return RunProgram(KARTWERK_EXE, {"convert", map.string(), "--out", out.string(), "--quiet"},
                      {"TMPDIR=" + temp.path().string()});
  }
  testing::ProgramResult Convert(const std::filesystem::path& map) { return Convert(map, slot()); }

  // The slot a clean single-player sample converts to, made in a scratch folder of its own.
  std::map<std::string, Bytes> CleanConversion(const Bytes& container) {
    ScratchFolder elsewhere;
    WriteBytes(elsewhere / "m.qdm", Gzip(container, "m"));
    const auto r = RunProgram(
        KARTWERK_EXE, {"convert", (elsewhere / "m.qdm").string(), "--out", (elsewhere / "slot").string(), "--quiet"});
    EXPECT_EQ(r.status, 0) << r.err;
    return Files(elsewhere / "slot");
  }

  ScratchFolder dir;
  ScratchFolder temp;

 private:
  std::map<std::string, bool> written_;
};

// ---- the gzip layer ----

TEST_F(HostileMapsTest, DamagedGzipFilesStopBeforeTheSlotIsTouched) {
  const Bytes good = Gzip(SampleMainContainer(SinglePlayerMap, kOptions), "m");
  Bytes truncated = good;
  truncated.resize(good.size() * 2 / 3);
  Bytes corrupt = good;
  for (std::size_t i = 30; i < 60; ++i) corrupt[i] ^= 0xA5;
  Bytes badCrc = good;
  badCrc[badCrc.size() - 8] ^= 0x01;
  Bytes badSecondMember = good;
  badSecondMember.insert(badSecondMember.end(), {0x1f, 0x8b, 0x08, 0x00, 0x00});
  const struct {
    std::string file;
    Bytes bytes;
    std::string message;  // after the file's path
  } cases[] = {
      {"truncated.qdm", truncated, "Error reading from "},
      {"corrupt.qdm", corrupt, "Error reading from "},
      {"crc.qdm", badCrc, "Error closing "},
      {"member.qdm", badSecondMember, "Error reading from "},
      {"empty.qdm", {}, "Error opening "},
      {"text.qdp", Bytes(500, 'x'), "Error opening "},
  };
  for (const auto& c : cases) {
    const auto path = Map(c.file, c.bytes);
    const auto r = Convert(path);
    EXPECT_EQ(r.status, 1) << c.file;
    EXPECT_NE(r.err.find("staging the map failed: " + c.message + path.string()), std::string::npos)
        << c.file << ": " << r.err;
    EXPECT_FALSE(std::filesystem::exists(slot())) << c.file;
  }
}

TEST_F(HostileMapsTest, MapInflatingPastTheLimitIsRefusedAndLeavesNothing) {
  const auto path = Map("huge.qdm", GzipZeros(kMaxInflatedSize + 1, "huge"));
  const auto r = Convert(path);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error reading from " + path.string() + ": decompressed data exceeds the limit of 256 MiB"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(slot()));
}

TEST_F(HostileMapsTest, OddButWholeGzipFormsConvertLikeTheCleanFile) {
  const Bytes container = SampleMainContainer(SinglePlayerMap, kOptions);
  const auto expected = CleanConversion(container);
  ASSERT_EQ(expected.size(), 21u);

  // The data split over two members; junk after the last member; stored names that try to leave
  // the temporary folder.
  const std::size_t half = container.size() / 2;
  Bytes twoMembers = Gzip(Bytes(container.begin(), container.begin() + static_cast<std::ptrdiff_t>(half)), "m");
  const Bytes rest = Gzip(Bytes(container.begin() + static_cast<std::ptrdiff_t>(half), container.end()));
  twoMembers.insert(twoMembers.end(), rest.begin(), rest.end());
  Bytes trailing = Gzip(container, "m");
  trailing.insert(trailing.end(), 4000, 0);
  trailing.insert(trailing.end(), {'j', 'u', 'n', 'k'});
  const std::filesystem::path outside = dir / "escaped";
  const struct {
    std::string file;
    Bytes bytes;
  } cases[] = {
      {"m.qdm", twoMembers},
      {"trail.qdm", trailing},
      {"up.qdm", Gzip(container, "../../escaped")},
      {"absolute.qdm", Gzip(container, outside.string())},
      {"windows.qdm", Gzip(container, "..\\..\\escaped")},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(slot());
    const auto r = Convert(Map(c.file, c.bytes));
    EXPECT_EQ(r.status, 0) << c.file << ": " << r.err;
    auto files = Files(slot());
    // The single-player title is the map's own name.
    EXPECT_EQ(Text(slot() / "desc"), c.file.substr(0, c.file.size() - 4));
    files.erase("desc");
    auto want = expected;
    want.erase("desc");
    EXPECT_TRUE(files == want) << c.file;
    EXPECT_FALSE(std::filesystem::exists(outside)) << c.file;
  }
}

TEST_F(HostileMapsTest, FolderNamedLikeAMapIsNoMapFile) {
  std::filesystem::create_directory(maps() / "x.qdm");
  const auto r = Convert(maps() / "x.qdm");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("\"" + (maps() / "x.qdm").string() + "\" is a folder"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(slot()));
  std::filesystem::remove(maps() / "x.qdm");
}

TEST_F(HostileMapsTest, UnreadableMapFileCannotBeOpened) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser reads any file";
  const auto path = Map("locked.qdm", Gzip(SampleMainContainer(SinglePlayerMap, kOptions), "locked"));
  ::chmod(path.c_str(), 0);
  const auto r = Convert(path);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("staging the map failed: Error opening " + path.string()), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(slot()));
}

// ---- the container ----

// A section size with the top bit set is negative: the directory ends at that entry, which holds
// nothing, and the sections after it are missing. The map still converts (the editor gets empty
// files for what is missing), and the user is told.
TEST_F(HostileMapsTest, NegativeSectionSizeEndsTheDirectoryWithAWarning) {
  Bytes container = SampleMainContainer(SinglePlayerMap, kOptions);
  const sectionRec airfields = EntryOf(container, SectionPosition(Section::Airfields, SinglePlayerMap));
  const std::size_t sizeField = static_cast<std::size_t>(airfields.offset) - 4;
  container[sizeField + 3] |= 0x80;
  const auto r = Convert(Map("negative.qdm", Gzip(container, "negative")));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("warning: \"negative\": section 7 (\"" + airfields.name + "\") has a negative size"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(ReadBytes(slot() / "airfields").empty());
  EXPECT_TRUE(ReadBytes(slot() / "objects").empty());
  EXPECT_EQ(ReadBytes(slot() / "rhombs").size(), 8u * 40 * 30);  // the sections before it are whole
  EXPECT_EQ(Files(slot()).size(), 21u);
}

// A size running past the end of the file: a copy of it fails and names the step; record lists
// read zeros past the end and warn.
TEST_F(HostileMapsTest, SectionRunningPastTheEndOfTheFile) {
  const Bytes sample = SampleMainContainer(SinglePlayerMap, kOptions);
  // The map cut inside the airfields section: the copy cannot be made.
  const sectionRec airfields = EntryOf(sample, SectionPosition(Section::Airfields, SinglePlayerMap));
  const Bytes cut(sample.begin(), sample.begin() + airfields.offset + 10);
  const auto cutMap = Map("cut.qdm", Gzip(cut, "cut"));
  auto r = Convert(cutMap);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("kartwerk: " + cutMap.string() + ": step \"Airfields\" failed: Stream read error"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(slot() / "airfields"));
  EXPECT_FALSE(std::filesystem::exists(slot() / "objects"));

  // The map cut inside its terrain: the rhombs read zeros past the end, with a warning.
  std::filesystem::remove_all(slot());
  const sectionRec terrain = EntryOf(sample, SectionPosition(Section::TerrainRhombs, SinglePlayerMap));
  const Bytes cutTerrain(sample.begin(), sample.begin() + terrain.offset + 400);
  r = Convert(Map("cut2.qdm", Gzip(cutTerrain, "cut2")));
  EXPECT_NE(r.err.find("warning: \"rhombs\": 1100 of its 1200 entries lie past the end of the map file"),
            std::string::npos)
      << r.err;
  // A mission grid later cannot be copied: the whole conversion fails and writes nothing.
  EXPECT_NE(r.err.find("step \"Mines\" of mission mis.000 failed: Stream read error; the slot was left as it was"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(slot()));
}

// ---- indices and counts ----

TEST_F(HostileMapsTest, NameAndMaskIndicesFarPastTheirTables) {
  // A unit of type 65535 and a support unit of type 2^32 - 1 name nothing; a cliff of variant
  // 65535 has no mask; an object of name index 255 reads whatever lies there.
  Le units;
  units.I32(1).U8(1).U8(100).U8(0).U8(0).U8(1).U8(50).U16(0xFFFF).U16(0).U8(0).U8(0).U16(32).U16(32).U8(0).U8(0);
  Le support;
  support.I32(1).U8(1).U8(100).U8(0).U8(0).U8(1).U8(50).U32(0xFFFFFFFF).U8(0).U8(0);
  for (int g = 1; g < 64; ++g) support.I32(0);
  const Bytes objects = Le().U16(64).U16(64).U8(8).U8(0).U16(0).U16(0xFFFF).U16(96).U16(96).U8(255).U8(0).U16(0).U16(1);
  Bytes container = SampleWith(Section::MapUnits, units);
  container = ReplaceSection(container, SectionPosition(Section::SupportSecond, SinglePlayerMap), support);
  container = ReplaceSection(container, SectionPosition(Section::Objects, SinglePlayerMap), objects);
  const auto r = Convert(Map("names.qdm", Gzip(container, "names")));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Text(slot() / "mis.000" / "mapunits").rfind(" ID= HP=100 ", 0), 0u);
  EXPECT_NE(Text(slot() / "mis.000" / "support").find("support \"support #0\"\n ID= HP=100 "), std::string::npos);
  const std::string objectLines = Text(slot() / "objects");
  EXPECT_EQ(Count(objectLines, "\n"), 2u);
  EXPECT_NE(objectLines.find(" 64 64 65535 0 0\n"), std::string::npos) << objectLines;
  EXPECT_NE(objectLines.find(" 96 96 1 0 0\n"), std::string::npos) << objectLines;
}

// Every count a mission reads from the file at 2^31 - 1: the lists end a fixed number of records
// past the bytes that remain and warn; the scripts, which cannot be read as zeros, fail last.
TEST_F(HostileMapsTest, CountsOfTwoGigaEndQuickly) {
  const Bytes huge = Le().I32(0x7FFFFFFF);
  Bytes container = SampleMainContainer(SinglePlayerMap, kOptions);
  for (Section s : {Section::MapUnits, Section::SupportSecond, Section::Players, Section::Sounds, Section::Scripts}) {
    container = ReplaceSection(container, SectionPosition(s, SinglePlayerMap), huge);
  }
  const auto started = std::chrono::steady_clock::now();
  const auto r = Convert(Map("counts.qdm", Gzip(container, "counts")));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("step \"Scripts\" of mission mis.000 failed: "), std::string::npos) << r.err;
  for (const char* list : {"mapunits", "support", "players", "sounds"}) {
    EXPECT_NE(r.err.find("warning: mis.000: \"" + std::string(list) + "\" announces 2147483647 entries"),
              std::string::npos)
        << list << ": " << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(slot())) << "a failed conversion writes no slot";
}

// More mission files than a mission number can count: refused before anything is decompressed.
TEST_F(HostileMapsTest, CampaignOfTooManyMissionFilesIsRefusedAtOnce) {
  const auto main = Map("077.qdc", Gzip(testing::SampleMainContainer(CampaignMap, kOptions), "077"));
  const Bytes mission = GzipZeros(1 << 20);
  for (int i = 0; i < 256; ++i) Map("0770" + std::to_string(100 + i) + ".qdc", mission);
  const auto r = Convert(main);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("staging the map failed: A campaign can have at most 255 missions; this one has 256"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(slot()));
}

TEST_F(HostileMapsTest, ScriptWithoutEndOrWithAnUnknownCodeFailsNamingIt) {
  // The container ends inside the scripts: the last script never reaches its end statement.
  const Bytes sample = SampleWith(Section::Scripts, Le().I32(1).U32(0).U32(0).U32(0x00010003).U32(13));
  const sectionRec scripts = EntryOf(sample, SectionPosition(Section::Scripts, SinglePlayerMap));
  const Bytes endless(sample.begin(), sample.begin() + scripts.offset + scripts.size);
  const auto endlessMap = Map("endless.qdm", Gzip(endless, "endless"));
  auto r = Convert(endlessMap);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("kartwerk: " + endlessMap.string() +
                       ": step \"Scripts\" of mission mis.000 failed: Stream read error"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(slot()));

  std::filesystem::remove_all(slot());
  const Bytes unknown = SampleWith(
      Section::Scripts, Le().I32(2).U32(0).U32(0).U32(0xFFFF).U32(0).U32(0).U32(0x00010001).U32(1000).U32(0xFFFF));
  r = Convert(Map("unknown.qdm", Gzip(unknown, "unknown")));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("step \"Scripts\" of mission mis.000 failed: Unknown script code 1000 in \"Script 01\""),
            std::string::npos)
      << r.err;
}

// ---- the slot folder ----

TEST_F(HostileMapsTest, SlotFolderThatCannotBeMadeOrWritten) {
  const auto map = Map("m.qdm", Gzip(SampleMainContainer(SinglePlayerMap, kOptions), "m"));

  // Its parent is a file: the folder cannot be created (whoever runs the program).
  WriteBytes(dir / "parent", {1, 2, 3});
  auto r = Convert(map, dir / "parent" / "slot");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("preparing the slot folder failed: Cannot create the folder \"" + (dir / "parent").string()),
            std::string::npos)
      << r.err;
  EXPECT_EQ(ReadBytes(dir / "parent"), (Bytes{1, 2, 3}));
  std::filesystem::remove(dir / "parent");

  // It is a file itself: left as it is.
  WriteBytes(slot(), {4, 5, 6});
  r = Convert(map);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("preparing the slot folder failed: \"" + slot().string() + "\" is not a folder"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(ReadBytes(slot()), (Bytes{4, 5, 6}));
  std::filesystem::remove(slot());

  // Missing with its parents: created.
  r = Convert(map, slot() / "a" / "b");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Files(slot() / "a" / "b").size(), 21u);
}

TEST_F(HostileMapsTest, ReadOnlySlotFolderFailsNamingTheFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes into any folder";
  const auto map = Map("m.qdm", Gzip(SampleMainContainer(SinglePlayerMap, kOptions), "m"));
  // The slot's parent is read-only: the conversion has nowhere beside the slot to write.
  const auto slot = dir / "maps.src" / "map.001";
  std::filesystem::create_directories(slot);
  ::chmod(slot.parent_path().c_str(), 0555);
  const auto r = Convert(map, slot);
  ::chmod(slot.parent_path().c_str(), 0755);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Cannot create a folder beside \"" + slot.string() + "\""), std::string::npos) << r.err;
  EXPECT_TRUE(std::filesystem::is_empty(slot));
}

}  // namespace
}  // namespace kartwerk
