// Compiled maps from strangers, run through `kartwerk convert` as a user runs it. Whatever the file
// holds, the program converts it or stops with status 1 and a message naming the file and the
// fault; it never writes outside the chosen slot folder and leaves no temporary files behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/shown_text.hpp"
#include "format/conversion_size.hpp"
#include "format/gzip_file.hpp"
#include "format/section_directory.hpp"
#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "pipeline/target_check.hpp"
#include "platform/folder_name_key.hpp"
#include "platform/platform_files.hpp"
#include "platform/whole_file.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

using mapmaker::Gzip;
using mapmaker::GzipZeros;
using mapmaker::Le;
using mapmaker::ReadBytes;
using mapmaker::ReplaceSection;
using mapmaker::SampleMainContainer;
using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;
using testing::RunProgram;

const mapmaker::SampleOptions kOptions{12, 0, 40, 30};

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::string Text(const std::filesystem::path& file) {
  const core::Bytes b = mapmaker::ReadBytes(file);
  return std::string(b.begin(), b.end());
}

// Every regular file under a folder with its bytes, by path relative to the folder.
std::map<std::string, core::Bytes> Files(const std::filesystem::path& folder) {
  std::map<std::string, core::Bytes> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
    if (e.is_regular_file())
      files[std::filesystem::relative(e.path(), folder).string()] = mapmaker::ReadBytes(e.path());
  }
  return files;
}

// The single-player sample with the entry at a section's position replaced.
core::Bytes SampleWith(format::Section section, const core::Bytes& data) {
  return mapmaker::ReplaceSection(mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions),
                                  format::SectionPosition(section, format::SinglePlayerMap), data);
}

// The directory entry of a position in a container.
format::SectionEntry EntryOf(const core::Bytes& container, std::size_t position) {
  core::ByteStream stream;
  stream.Load(container);
  format::SectionTable table;
  format::ReadSectionDirectory(stream, table);
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

  std::filesystem::path Map(const std::string& name, const core::Bytes& file) {
    mapmaker::WriteBytes(maps() / name, file);
    written_[name] = true;
    return maps() / name;
  }

  // A file the test made beside the maps by other means (a FIFO, a link).
  void Keep(const std::string& name) { written_[name] = true; }

  testing::ProgramResult Convert(const std::filesystem::path& map, const std::filesystem::path& out) {
    return RunProgram(KARTWERK_EXE, {"convert", map.string(), "--out", out.string(), "--quiet"},
                      {"TMPDIR=" + temp.path().string()});
  }
  testing::ProgramResult Convert(const std::filesystem::path& map) { return Convert(map, slot()); }

  // The slot a clean single-player sample converts to, made in a scratch folder of its own.
  std::map<std::string, core::Bytes> CleanConversion(const core::Bytes& container) {
    mapmaker::ScratchFolder elsewhere;
    mapmaker::WriteBytes(elsewhere / "m.qdm", mapmaker::Gzip(container, "m"));
    const auto r = RunProgram(
        KARTWERK_EXE, {"convert", (elsewhere / "m.qdm").string(), "--out", (elsewhere / "slot").string(), "--quiet"});
    EXPECT_EQ(r.status, 0) << r.err;
    return Files(elsewhere / "slot");
  }

  mapmaker::ScratchFolder dir;
  mapmaker::ScratchFolder temp;

 private:
  std::map<std::string, bool> written_;
};

// ---- the gzip layer ----

TEST_F(HostileMapsTest, DamagedGzipFilesStopBeforeTheSlotIsTouched) {
  const core::Bytes good = mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions), "m");
  core::Bytes truncated = good;
  truncated.resize(good.size() * 2 / 3);
  core::Bytes corrupt = good;
  for (std::size_t i = 30; i < 60; ++i) corrupt[i] ^= 0xA5;
  core::Bytes badCrc = good;
  badCrc[badCrc.size() - 8] ^= 0x01;
  core::Bytes badSecondMember = good;
  badSecondMember.insert(badSecondMember.end(), {0x1f, 0x8b, 0x08, 0x00, 0x00});
  const struct {
    std::string file;
    core::Bytes bytes;
    std::string message;  // after the file's path
  } cases[] = {
      {"truncated.qdm", truncated, "Error reading from "},
      {"corrupt.qdm", corrupt, "Error reading from "},
      {"crc.qdm", badCrc, "Error closing "},
      {"member.qdm", badSecondMember, "Error reading from "},
      {"empty.qdm", {}, "Error opening "},
      {"text.qdp", core::Bytes(500, 'x'), "Error opening "},
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
  const auto path = Map("huge.qdm", mapmaker::GzipZeros(format::kMaxInflatedSize + 1, "huge"));
  const auto r = Convert(path);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error reading from " + path.string() + ": decompressed data exceeds the limit of 256 MiB"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(slot()));
}

TEST_F(HostileMapsTest, OddButWholeGzipFormsConvertLikeTheCleanFile) {
  const core::Bytes container = mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions);
  const auto expected = CleanConversion(container);
  ASSERT_EQ(expected.size(), 21u);

  // The data split over two members; junk after the last member; stored names that try to leave
  // the temporary folder.
  const std::size_t half = container.size() / 2;
  core::Bytes twoMembers =
      mapmaker::Gzip(core::Bytes(container.begin(), container.begin() + static_cast<std::ptrdiff_t>(half)), "m");
  const core::Bytes rest =
      mapmaker::Gzip(core::Bytes(container.begin() + static_cast<std::ptrdiff_t>(half), container.end()));
  twoMembers.insert(twoMembers.end(), rest.begin(), rest.end());
  core::Bytes trailing = mapmaker::Gzip(container, "m");
  trailing.insert(trailing.end(), 4000, 0);
  trailing.insert(trailing.end(), {'j', 'u', 'n', 'k'});
  const std::filesystem::path outside = dir / "escaped";
  const struct {
    std::string file;
    core::Bytes bytes;
  } cases[] = {
      {"m.qdm", twoMembers},
      {"trail.qdm", trailing},
      {"up.qdm", mapmaker::Gzip(container, "../../escaped")},
      {"absolute.qdm", mapmaker::Gzip(container, outside.string())},
      {"windows.qdm", mapmaker::Gzip(container, "..\\..\\escaped")},
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
  const auto path =
      Map("locked.qdm", mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions), "locked"));
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
  core::Bytes container = mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions);
  const format::SectionEntry airfields =
      EntryOf(container, format::SectionPosition(format::Section::Airfields, format::SinglePlayerMap));
  const std::size_t sizeField = static_cast<std::size_t>(airfields.offset) - 4;
  container[sizeField + 3] |= 0x80;
  const auto r = Convert(Map("negative.qdm", mapmaker::Gzip(container, "negative")));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("warning: \"negative\": section 7 (\"" + airfields.name + "\") has a negative size"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(mapmaker::ReadBytes(slot() / "airfields").empty());
  EXPECT_TRUE(mapmaker::ReadBytes(slot() / "objects").empty());
  EXPECT_EQ(mapmaker::ReadBytes(slot() / "rhombs").size(), 8u * 40 * 30);  // the sections before it are whole
  EXPECT_EQ(Files(slot()).size(), 21u);
}

// A size running past the end of the file: a copy of it fails and names the step; record lists
// read zeros past the end and warn.
TEST_F(HostileMapsTest, SectionRunningPastTheEndOfTheFile) {
  const core::Bytes sample = mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions);
  // The map cut inside the airfields section: the copy cannot be made.
  const format::SectionEntry airfields =
      EntryOf(sample, format::SectionPosition(format::Section::Airfields, format::SinglePlayerMap));
  const core::Bytes cut(sample.begin(), sample.begin() + airfields.offset + 10);
  const auto cutMap = Map("cut.qdm", mapmaker::Gzip(cut, "cut"));
  auto r = Convert(cutMap);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("kartwerk: " + cutMap.string() + ": step \"Airfields\" failed: Stream read error"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(slot() / "airfields"));
  EXPECT_FALSE(std::filesystem::exists(slot() / "objects"));

  // The map cut inside its terrain: the rhombs read zeros past the end, with a warning.
  std::filesystem::remove_all(slot());
  const format::SectionEntry terrain =
      EntryOf(sample, format::SectionPosition(format::Section::TerrainRhombs, format::SinglePlayerMap));
  const core::Bytes cutTerrain(sample.begin(), sample.begin() + terrain.offset + 400);
  r = Convert(Map("cut2.qdm", mapmaker::Gzip(cutTerrain, "cut2")));
  EXPECT_NE(r.err.find("warning: \"rhombs\": 1100 of its 1200 entries lie past the end of the map file"),
            std::string::npos)
      << r.err;
  // A mission grid later cannot be copied: the whole conversion fails and writes nothing.
  EXPECT_NE(r.err.find("step \"Mines\" of mission mis.000 failed: Stream read error; the folder was left as it was"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(slot()));
}

// ---- indices and counts ----

TEST_F(HostileMapsTest, NameAndMaskIndicesFarPastTheirTables) {
  // A unit of type 65535 and a support unit of type 2^32 - 1 name nothing; a cliff of variant
  // 65535 has no mask; an object of name index 255 reads whatever lies there.
  mapmaker::Le units;
  units.I32(1).U8(1).U8(100).U8(0).U8(0).U8(1).U8(50).U16(0xFFFF).U16(0).U8(0).U8(0).U16(32).U16(32).U8(0).U8(0);
  mapmaker::Le support;
  support.I32(1).U8(1).U8(100).U8(0).U8(0).U8(1).U8(50).U32(0xFFFFFFFF).U8(0).U8(0);
  for (int g = 1; g < 64; ++g) support.I32(0);
  const core::Bytes objects =
      mapmaker::Le().U16(64).U16(64).U8(8).U8(0).U16(0).U16(0xFFFF).U16(96).U16(96).U8(255).U8(0).U16(0).U16(1);
  core::Bytes container = SampleWith(format::Section::MapUnits, units);
  container = mapmaker::ReplaceSection(
      container, format::SectionPosition(format::Section::SupportSecond, format::SinglePlayerMap), support);
  container = mapmaker::ReplaceSection(
      container, format::SectionPosition(format::Section::Objects, format::SinglePlayerMap), objects);
  const auto r = Convert(Map("names.qdm", mapmaker::Gzip(container, "names")));
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
  const core::Bytes huge = mapmaker::Le().I32(0x7FFFFFFF);
  core::Bytes container = mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions);
  for (format::Section s : {format::Section::MapUnits, format::Section::SupportSecond, format::Section::Players,
                            format::Section::Sounds, format::Section::Scripts}) {
    container = mapmaker::ReplaceSection(container, format::SectionPosition(s, format::SinglePlayerMap), huge);
  }
  const auto started = std::chrono::steady_clock::now();
  const auto r = Convert(Map("counts.qdm", mapmaker::Gzip(container, "counts")));
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
  const auto main = Map("077.qdc", mapmaker::Gzip(mapmaker::SampleMainContainer(format::CampaignMap, kOptions), "077"));
  const core::Bytes mission = mapmaker::GzipZeros(1 << 20);
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
  const core::Bytes sample =
      SampleWith(format::Section::Scripts, mapmaker::Le().I32(1).U32(0).U32(0).U32(0x00010003).U32(13));
  const format::SectionEntry scripts =
      EntryOf(sample, format::SectionPosition(format::Section::Scripts, format::SinglePlayerMap));
  const core::Bytes endless(sample.begin(), sample.begin() + scripts.offset + scripts.size);
  const auto endlessMap = Map("endless.qdm", mapmaker::Gzip(endless, "endless"));
  auto r = Convert(endlessMap);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("kartwerk: " + endlessMap.string() +
                       ": step \"Scripts\" of mission mis.000 failed: Stream read error"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(slot()));

  std::filesystem::remove_all(slot());
  const core::Bytes unknown =
      SampleWith(format::Section::Scripts,
                 mapmaker::Le().I32(2).U32(0).U32(0).U32(0xFFFF).U32(0).U32(0).U32(0x00010001).U32(1000).U32(0xFFFF));
  r = Convert(Map("unknown.qdm", mapmaker::Gzip(unknown, "unknown")));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("step \"Scripts\" of mission mis.000 failed: Unknown script code 1000 in \"Script 01\""),
            std::string::npos)
      << r.err;
}

// ---- the slot folder ----

TEST_F(HostileMapsTest, SlotFolderThatCannotBeMadeOrWritten) {
  const auto map = Map("m.qdm", mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions), "m"));

  // Its parent is a file: the folder cannot be created (whoever runs the program).
  mapmaker::WriteBytes(dir / "parent", {1, 2, 3});
  auto r = Convert(map, dir / "parent" / "slot");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(
      r.err.find("checking the slot folder failed: refusing to convert into \"" + (dir / "parent" / "slot").string() +
                 "\": \"" + (dir / "parent").string() + "\" is not a folder"),
      std::string::npos)
      << r.err;
  EXPECT_EQ(mapmaker::ReadBytes(dir / "parent"), (core::Bytes{1, 2, 3}));
  std::filesystem::remove(dir / "parent");

  // It is a file itself: left as it is.
  mapmaker::WriteBytes(slot(), {4, 5, 6});
  r = Convert(map);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("preparing the slot folder failed: \"" + slot().string() + "\" is not a folder"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(mapmaker::ReadBytes(slot()), (core::Bytes{4, 5, 6}));
  std::filesystem::remove(slot());

  // Missing with its parents: created.
  r = Convert(map, slot() / "a" / "b");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Files(slot() / "a" / "b").size(), 21u);
}

TEST_F(HostileMapsTest, ReadOnlySlotFolderFailsNamingTheFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes into any folder";
  const auto map = Map("m.qdm", mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions), "m"));
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

// ---- names and files around the map ----

namespace hostile {

// Runs kartwerk under a time limit: a program that blocks ends with status 124.
testing::ProgramResult RunLimited(const std::vector<std::string>& args, const std::filesystem::path& temp) {
  std::vector<std::string> all = {"20", KARTWERK_EXE};
  all.insert(all.end(), args.begin(), args.end());
  return RunProgram("/usr/bin/timeout", all, {"TMPDIR=" + temp.string()});
}

// A gzip file whose trailer says it holds size bytes (only the trailer is read before writing).
core::Bytes WithStatedLength(core::Bytes gzip, std::uint32_t size) {
  for (int i = 0; i < 4; ++i)
    gzip[gzip.size() - 4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * i));
  return gzip;
}

}  // namespace hostile

TEST_F(HostileMapsTest, FifoBesideACampaignMissionIsNoFileAndBlocksNothing) {
  Map("007003.qdc", mapmaker::Gzip(mapmaker::SampleMissionContainer(kOptions, 3), "007003"));
  ASSERT_EQ(::mkfifo((maps() / "007.qdc").c_str(), 0600), 0);
  Keep("007.qdc");
  const auto converted =
      hostile::RunLimited({"convert", (maps() / "007003.qdc").string(), "--out", slot().string()}, temp.path());
  EXPECT_EQ(converted.status, 1) << converted.err;
  EXPECT_NE(converted.err.find("007.qdc: it is not a file"), std::string::npos) << converted.err;
  const auto info = hostile::RunLimited({"info", (maps() / "007003.qdc").string()}, temp.path());
  EXPECT_EQ(info.status, 1) << info.err;
  EXPECT_NE(info.err.find("it is not a file"), std::string::npos) << info.err;
  const auto preview = hostile::RunLimited(
      {"preview", (maps() / "007003.qdc").string(), "-o", (dir / "slot" / "p.png").string()}, temp.path());
  EXPECT_EQ(preview.status, 1) << preview.err;
  EXPECT_FALSE(std::filesystem::exists(slot()));
}

TEST_F(HostileMapsTest, FifoAsCliffdataOrInTheTargetIsRefusedWithoutBlocking) {
  const auto map = Map("m.qdm", mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions), "m"));
  ASSERT_EQ(::mkfifo((maps() / "cliffdata").c_str(), 0600), 0);
  Keep("cliffdata");
  const auto r = hostile::RunLimited(
      {"convert", map.string(), "--out", slot().string(), "--cliffdata", (maps() / "cliffdata").string()}, temp.path());
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("loading cliffdata failed"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(slot()));
}

TEST_F(HostileMapsTest, ControlCharactersInNamesAreShownNotObeyed) {
  const std::string name = "x\r\x1b[2Kkartwerk: 2 maps: 2 converted\x1b[8m.qdm";
  const auto bad = Map(name, core::Bytes{1, 2, 3});
  const auto good = Map("g.qdm", mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions), "g"));
  const auto r = RunProgram(KARTWERK_EXE, {"convert", bad.string(), good.string(), "--out", slot().string()},
                            {"TMPDIR=" + temp.path().string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.find('\r'), std::string::npos) << "a raw carriage return reached the terminal";
  EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << "a raw escape reached the terminal";
  EXPECT_NE(r.err.find("x\\r\\x1b[2Kkartwerk: 2 maps: 2 converted\\x1b[8m.qdm"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("2 maps: 1 converted, 1 failed"), std::string::npos) << r.err;
  // The single conversion and info say the same name the same way.
  const auto one = Convert(bad);
  EXPECT_EQ(one.err.find('\x1b'), std::string::npos);
  const auto info = RunProgram(KARTWERK_EXE, {"info", bad.string()});
  EXPECT_EQ(info.err.find('\r'), std::string::npos) << info.err;
  EXPECT_EQ(info.status, 1);
}

TEST_F(HostileMapsTest, TheBackupListShowsControlCharactersOfAPlaceEscaped) {
  const auto out = slot() / "o\x1b[8m";
  const auto map = Map("t.qdm", mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions), "t"));
  const std::vector<std::string> env = {"TMPDIR=" + temp.path().string(),
                                        "XDG_DATA_HOME=" + (temp.path() / "data").string()};
  for (int run = 0; run < 2; ++run) {
    const auto r = RunProgram(KARTWERK_EXE, {"convert", map.string(), "--out", out.string(), "--quiet"}, env);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
  }
  const auto list = RunProgram(KARTWERK_EXE, {"backups", "--out", out.string()}, env);
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(list.out.find('\x1b'), std::string::npos) << "a raw escape reached the terminal";
  EXPECT_NE(list.out.find("o\\x1b[8m\""), std::string::npos) << list.out;
  std::filesystem::remove_all(temp.path() / "data");
}

TEST_F(HostileMapsTest, DotNamesAndTargetsAboveTheMapAreRefusedBeforeAnythingIsWritten) {
  const core::Bytes clean = mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions), "m");
  const auto dots = Map("...qdm", clean);
  const auto other = Map("a.qdm", clean);
  std::filesystem::create_directories(slot());
  const auto listed = RunProgram(KARTWERK_EXE, {"convert", dots.string(), other.string(), "--out", slot().string()},
                                 {"TMPDIR=" + temp.path().string()});
  EXPECT_EQ(listed.status, 2) << listed.err;
  EXPECT_NE(listed.err.find("made only of dots"), std::string::npos) << listed.err;
  EXPECT_TRUE(std::filesystem::is_empty(slot())) << "nothing may be written for a refused batch";
  std::filesystem::remove(slot());

  for (const std::filesystem::path& target : {maps(), maps() / ".", dir.path(), std::filesystem::path("/")}) {
    const auto r = Convert(other, target);
    EXPECT_EQ(r.status, 1) << target;
    EXPECT_NE(r.err.find("refusing to convert into"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line says why: " << r.err;
  }
  const auto home = RunProgram(KARTWERK_EXE, {"convert", other.string(), "--out", dir.path().string() + "/slot/.."},
                               {"TMPDIR=" + temp.path().string(), "HOME=" + dir.path().string()});
  EXPECT_NE(home.err.find("it is the home folder"), std::string::npos) << home.err;
  EXPECT_TRUE(std::filesystem::exists(dots) && std::filesystem::exists(other)) << "the maps stay where they are";
  EXPECT_FALSE(std::filesystem::exists(slot()));
}

TEST_F(HostileMapsTest, CampaignStatingMoreThanARealOneIsRefusedNamingBothSizes) {
  const auto main = Map("077.qdc", mapmaker::Gzip(mapmaker::SampleMainContainer(format::CampaignMap, kOptions), "077"));
  const core::Bytes mission = mapmaker::Gzip(mapmaker::SampleMissionContainer(kOptions, 1), "m");
  for (int i = 0; i < 5; ++i)
    Map("0770" + std::to_string(10 + i) + ".qdc", hostile::WithStatedLength(mission, 256u << 20));
  const auto started = std::chrono::steady_clock::now();
  const auto r = Convert(main);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << "refused before inflating";
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("checking the size failed: the conversion would write 1283 MiB, more than the 1036 MiB of the "
                       "largest campaign the editor makes"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(slot()));
}

TEST_F(HostileMapsTest, MissionLinkedFromOutsideTheMapFolderIsNotRead) {
  const auto main = Map("066.qdc", mapmaker::Gzip(mapmaker::SampleMainContainer(format::CampaignMap, kOptions), "066"));
  std::filesystem::create_directories(dir / "parent");
  // Each file stores the mission's name: the copy of that name is the mission's container.
  mapmaker::WriteBytes(dir / "parent" / "secret.gz",
                       mapmaker::Gzip(mapmaker::SampleMissionContainer(kOptions, 1), "066001"));
  std::filesystem::create_symlink(dir / "parent" / "secret.gz", maps() / "066001.qdc");
  Keep("066001.qdc");
  const auto r = Convert(main);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("is a link to"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("outside the map's folder"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(slot()));
  // A link within the folder is the same file under another name, and converts.
  std::filesystem::remove(maps() / "066001.qdc");
  Map("inside.gz", mapmaker::Gzip(mapmaker::SampleMissionContainer(kOptions, 1), "066001"));
  std::filesystem::create_symlink("inside.gz", maps() / "066001.qdc");
  EXPECT_EQ(Convert(main).status, 0);
}

TEST_F(HostileMapsTest, MissionNameEndingInABlankGivesAFolderWithoutIt) {
  const auto main = Map("055.qdc", mapmaker::Gzip(mapmaker::SampleMainContainer(format::CampaignMap, kOptions), "055"));
  Map("05500 .qdc", mapmaker::Gzip(mapmaker::SampleMissionContainer(kOptions, 1), "05500 "));
  const auto r = Convert(main);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::is_directory(slot() / "mis.00_"));
  EXPECT_FALSE(std::filesystem::exists(slot() / "mis.00 "));
}

TEST_F(HostileMapsTest, LeftoverFolderOfAnUnreadableNumberIsReportedAndSkipped) {
  const auto map = Map("m.qdm", mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions), "m"));
  std::filesystem::create_directories(dir / "parent" / ".x.kartwerk-new-99999999999999999999-a");
  const auto r = Convert(map, dir / "parent" / "x");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("its name is not one this program gives"), std::string::npos) << r.err;
  EXPECT_TRUE(std::filesystem::exists(dir / "parent" / ".x.kartwerk-new-99999999999999999999-a"));
}

TEST_F(HostileMapsTest, GalleryKeepsACampaignsMissionPicturesFromASingleMapOfTheirName) {
  const auto campaign =
      Map("007.qdc", mapmaker::Gzip(mapmaker::SampleMainContainer(format::CampaignMap, kOptions), "007"));
  Map("007003.qdc", mapmaker::Gzip(mapmaker::SampleMissionContainer(kOptions, 3), "007003"));
  const auto single =
      Map("007.mis.003.qdm", mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions), "s"));
  const auto r = RunProgram(KARTWERK_EXE, {"preview", campaign.string(), single.string(), "--out", slot().string()},
                            {"TMPDIR=" + temp.path().string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::is_regular_file(slot() / "007" / "mis.003.png"));
  EXPECT_TRUE(std::filesystem::is_regular_file(slot() / "007.mis.003.png"));
  const std::string page = Text(slot() / "index.html");
  EXPECT_NE(page.find("src=\"007/mis.003.png\""), std::string::npos);
  EXPECT_NE(page.find("src=\"007.mis.003.png\""), std::string::npos);
}

TEST_F(HostileMapsTest, GalleryShowsAUtf8NameAsItIs) {
  const auto map =
      Map("\xC3\x9C"
          "bersicht.qdm",
          mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions), "u"));
  const auto other =
      Map("b.qdm", mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, kOptions), "b"));
  const auto r = RunProgram(KARTWERK_EXE, {"preview", map.string(), other.string(), "--out", slot().string()},
                            {"TMPDIR=" + temp.path().string()});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string page = Text(slot() / "index.html");
  EXPECT_NE(page.find("\xC3\x9C"
                      "bersicht"),
            std::string::npos);
  EXPECT_EQ(page.find("\xC3\x83\xC5\x93"
                      "bersicht"),
            std::string::npos)
      << "converted twice";
}

TEST_F(HostileMapsTest, PreviewOfALargeMapAtAHighScaleIsRefusedBeforeDrawing) {
  const auto map = Map(
      "big.qdm", mapmaker::Gzip(mapmaker::MapBuilder(format::SinglePlayerMap).MapInfo(0, 1024, 1024).Build(), "big"));
  const auto r = RunProgram(KARTWERK_EXE, {"preview", map.string(), "-o", (dir / "slot").string(), "--scale", "16"},
                            {"TMPDIR=" + temp.path().string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("67108864 pixels in all"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(slot()));
}

TEST(ShownTextTest, ControlCharactersAreWrittenOutAndTheRestStays) {
  EXPECT_EQ(core::ShownText("a\rb\nc\td"), "a\\rb\\nc\\td");
  EXPECT_EQ(core::ShownText("\x1b[2K\x7f\x01"), "\\x1b[2K\\x7f\\x01");
  EXPECT_EQ(core::ShownText("C:\\maps\\\xC3\x9C"
                            "bersicht.qdm"),
            "C:\\maps\\\xC3\x9C"
            "bersicht.qdm");
  EXPECT_EQ(core::ShownText("\xC2\x9B"
                            "31m \xC2\xA0"),
            "\\u009b31m \xC2\xA0")
      << "C1 escaped, no-break space kept";
  EXPECT_EQ(core::ShownText(std::string("a\0b", 3)), "a\\x00b");
  EXPECT_EQ(core::ShownText(core::ShownText("\r")), core::ShownText("\r")) << "escaping twice changes nothing";
}

TEST(ConversionSizeTest, RefusedAboveTheLargestCampaignOrTheFreeSpaceNamingBothSizes) {
  EXPECT_EQ(format::kMaxConversionBytes, 1036 * format::kMebibyte);
  EXPECT_EQ(format::ConversionSizeProblem(format::kMaxConversionBytes, format::kMaxConversionBytes), "");
  EXPECT_EQ(format::ConversionSizeProblem(format::kMaxConversionBytes + 1, ~std::uint64_t{0}),
            "the conversion would write 1037 MiB, more than the 1036 MiB of the largest campaign the editor makes");
  EXPECT_EQ(format::ConversionSizeProblem(3 * format::kMebibyte, 2 * format::kMebibyte),
            "the conversion would write 3 MiB, more than the 2 MiB free on the target's disk");
  EXPECT_EQ(format::ConversionSizeProblem(900, 512),
            "the conversion would write 900 bytes, more than the 512 bytes free on "
            "the target's disk");
  // A target that does not exist yet is measured on the folder that will hold it.
  mapmaker::ScratchFolder dir;
  const auto space = std::filesystem::space(dir.path());
  EXPECT_NEAR(static_cast<double>(pipeline::AvailableBytesFor(dir / "a" / "b")), static_cast<double>(space.available),
              64e6);
}

TEST(ConversionSizeTest, StoredLengthIsTheTrailersAndNothingForAFifo) {
  mapmaker::ScratchFolder dir;
  mapmaker::WriteBytes(dir / "m.gz", mapmaker::Gzip(core::Bytes(1000, 7), "m"));
  EXPECT_EQ(format::StoredLength(dir / "m.gz"), 1000u);
  mapmaker::WriteBytes(dir / "short", core::Bytes{1, 2});
  EXPECT_EQ(format::StoredLength(dir / "short"), 0u);
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(format::StoredLength(dir / "fifo"), 0u);
}

TEST(RegularFileTest, FifoDeviceAndFolderAreNoFileAndNeverBlock) {
  mapmaker::ScratchFolder dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  std::filesystem::create_directory(dir / "folder");
  for (const std::filesystem::path& path : {dir / "fifo", dir / "folder", std::filesystem::path("/dev/zero")}) {
    bool notAFile = false;
    EXPECT_EQ(platform::OpenForReading(path, notAFile), nullptr) << path;
    EXPECT_TRUE(notAFile) << path;
    EXPECT_EQ(platform::ReadFileText(path), std::nullopt) << path;
    try {
      platform::ReadWholeFile(path);
      ADD_FAILURE() << path << " was read";
    } catch (const std::ios_base::failure& e) {
      EXPECT_NE(std::string(e.what()).find("It is not a file"), std::string::npos) << e.what();
    }
  }
  bool notAFile = true;
  EXPECT_EQ(platform::OpenForReading(dir / "missing", notAFile), nullptr);
  EXPECT_FALSE(notAFile) << "a missing file is missing, not something else";
  mapmaker::WriteBytes(dir / "plain", core::Bytes{'a', 'b'});
  std::filesystem::create_symlink(dir / "plain", dir / "link");
  EXPECT_EQ(platform::ReadFileText(dir / "link"), "ab") << "a link to a regular file is read through";
}

TEST(FolderNameTest, DotsAndEmptyNamesNameNoFolderOfTheirOwn) {
  for (const std::string name : {"", ".", "..", "..."}) EXPECT_FALSE(pipeline::FolderNameProblem(name).empty()) << name;
  for (const std::string name : {"a.", ".a", "a..b", " "})
    EXPECT_TRUE(pipeline::FolderNameProblem(name).empty()) << name;
  EXPECT_EQ(platform::FolderNameKey("Map7"), platform::FolderNameKey("mAP7"));
}

}  // namespace
}  // namespace kartwerk
