// The kartwerk executable's two faces: without a subcommand it opens the windows; a subcommand
// works without any display and never creates the window system's application object.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

using namespace kartwerk::testing;

// A platform no Qt installation has: creating an application object with it fails at once.
const std::vector<std::string> kNoDisplay = {"QT_QPA_PLATFORM=no-such-platform", "DISPLAY=", "WAYLAND_DISPLAY="};

TEST(WindowMode, SubcommandsRunWithoutTheWindowSystem) {
  mapmaker::ScratchFolder scratch;
  const auto maps = mapmaker::WriteSampleMaps(scratch / "maps");
  const ProgramResult info = RunProgram(KARTWERK_EXE, {"info", maps[0].string()}, kNoDisplay);
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("Singleplayer"), std::string::npos) << info.out;

  const ProgramResult convert = RunProgram(
      KARTWERK_EXE, {"convert", maps[1].string(), "--out", (scratch / "slot").string(), "--quiet"}, kNoDisplay);
  EXPECT_EQ(convert.status, 0) << convert.err;
  EXPECT_TRUE(std::filesystem::exists(scratch / "slot" / "mis.000" / "scripts2"));
}

TEST(WindowMode, NoSubcommandOpensTheWindows) {
  mapmaker::ScratchFolder scratch;
  // With no display to open, the window mode fails where the subcommands did not: proof that it
  // is the one that starts the window system (with a map argument, and without one).
  const auto maps = mapmaker::WriteSampleMaps(scratch / "maps");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{maps[0].string()}}) {
    std::vector<std::string> env = kNoDisplay;
    env.push_back("XDG_DATA_HOME=" + (scratch / "data").string());
    env.push_back("HOME=" + scratch.path().string());
    const ProgramResult run = RunProgram(KARTWERK_EXE, args, env);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("no-such-platform"), std::string::npos) << run.err;
  }
}

TEST(WindowMode, HelpNamesTheMapArgument) {
  const ProgramResult help = RunProgram(KARTWERK_EXE, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("MAP"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("convert"), std::string::npos) << help.out;
}

TEST(WindowMode, UnknownOptionsAreWrongUsage) {
  const ProgramResult run = RunProgram(KARTWERK_EXE, {"--no-such-option"}, kNoDisplay);
  EXPECT_EQ(run.status, 2) << run.err;
}

// The windows are a module beside the program. A copy of the program without it still runs every
// subcommand (they never load the window system), and the window mode says what is missing.
TEST(WindowMode, WithoutTheWindowsModuleOnlyTheWindowsAreMissing) {
  mapmaker::ScratchFolder scratch;
  const std::filesystem::path built = KARTWERK_EXE;
  const std::filesystem::path program = scratch / "bin" / "kartwerk";
  std::filesystem::create_directories(program.parent_path());
  std::filesystem::copy_file(built, program);
  std::filesystem::copy_file(built.parent_path() / "cliffdata", program.parent_path() / "cliffdata");
  const auto maps = mapmaker::WriteSampleMaps(scratch / "maps");

  const ProgramResult convert = RunProgram(
      program.string(), {"convert", maps[0].string(), "--out", (scratch / "slot").string(), "--quiet"}, kNoDisplay);
  EXPECT_EQ(convert.status, 0) << convert.err;
  EXPECT_TRUE(std::filesystem::exists(scratch / "slot" / "objects"));

  const ProgramResult windows = RunProgram(program.string(), {}, kNoDisplay);
  EXPECT_EQ(windows.status, 1);
  EXPECT_NE(windows.err.find((program.parent_path() / "kartwerk-qt").string()), std::string::npos) << windows.err;
  EXPECT_EQ(windows.err.find("no-such-platform"), std::string::npos) << windows.err;
}

}  // namespace
}  // namespace kartwerk
