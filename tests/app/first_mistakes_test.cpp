// The first mistakes of a new user, each answered with one line that names the file and the
// problem (exit status 1); and the program's version.
#include <gtest/gtest.h>

#include <fstream>

#include "mapmaker/map_builder.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

using mapmaker::ScratchFolder;
using testing::Lines;
using testing::RunProgram;

// Runs the program expecting failure with exactly this one line.
void ExpectOneLine(const std::vector<std::string>& args, const std::string& line) {
  const auto r = RunProgram(KARTWERK_EXE, args);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.err, "kartwerk: " + line + "\n");
}

TEST(FirstMistakes, EachFileProblemGetsItsOwnLine) {
  mapmaker::ScratchFolder dir;
  const std::string missing = (dir / "missing.qdm").string();
  ExpectOneLine({"convert", missing, "--out", (dir / "out").string()}, "\"" + missing + "\" does not exist");
  ExpectOneLine({"info", missing}, "\"" + missing + "\" does not exist");

  std::filesystem::create_directory(dir / "maps.qdc");
  const std::string folder = (dir / "maps.qdc").string();
  ExpectOneLine({"info", folder}, "\"" + folder + "\" is a folder");

  std::ofstream(dir / "notes.txt") << "not a map";
  const std::string notes = (dir / "notes.txt").string();
  const std::string expected = "\"" + notes + "\" is not a compiled map (expected .qdm, .qdp or .qdc)";
  ExpectOneLine({"info", notes}, expected);
  ExpectOneLine({"convert", notes, "--out", (dir / "out").string()}, expected);
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));
}

TEST(FirstMistakes, AGzipErrorNamesTheWholePathItTried) {
  mapmaker::ScratchFolder dir;
  // A campaign's mission file without the campaign's main file beside it.
  mapmaker::WriteBytes(dir / "abc01.qdc", mapmaker::Gzip(core::Bytes(16, 0), "abc01"));
  const auto r = RunProgram(KARTWERK_EXE, {"info", (dir / "abc01.qdc").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "kartwerk: Error opening " + (dir / "abc.qdc").string() + "\n");
}

TEST(FirstMistakes, AMapThatIsNoGzipFileSaysWhatItIs) {
  mapmaker::ScratchFolder dir;
  mapmaker::WriteBytes(dir / "empty.qdm", {});
  const std::string empty = (dir / "empty.qdm").string();
  ExpectOneLine({"info", empty}, "Error opening " + empty + ": the file is empty");
  mapmaker::WriteBytes(dir / "shot.qdp", {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a, 0, 0, 0, 0});
  const std::string shot = (dir / "shot.qdp").string();
  ExpectOneLine({"info", shot},
                "Error opening " + shot + ": not a gzip file: it starts with a PNG picture's signature");
}

TEST(Version, NamesTheProjectVersionAndCommitWhenThereIsOne) {
  const auto r = RunProgram(KARTWERK_EXE, {"--version"});
  EXPECT_EQ(r.status, 0) << r.err;
  // "kartwerk VERSION\n", or "kartwerk VERSION (commit <12 hexadecimal digits>)\n" in a git checkout.
  const std::string head = std::string("kartwerk ") + KARTWERK_PROJECT_VERSION;
  ASSERT_EQ(r.out.substr(0, head.size()), head) << r.out;
  const std::string rest = r.out.substr(head.size());
  const std::string commit = rest.size() == 23 && rest.rfind(" (commit ", 0) == 0 && rest.substr(21) == ")\n"
                                 ? rest.substr(9, 12)
                                 : std::string();
  EXPECT_TRUE(rest == "\n" ||
              (commit.size() == 12 && commit.find_first_not_of("0123456789abcdef") == std::string::npos))
      << r.out;
  EXPECT_EQ(Lines(r.out).size(), 1u);
}

}  // namespace
}  // namespace kartwerk
