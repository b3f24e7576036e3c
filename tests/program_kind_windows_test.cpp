// kartwerk.exe is one program for both uses: a windows program (no console on a double-click)
// whose commands still print to the pipes their caller hands over and return their status.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>

#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

// The subsystem field of a PE file's optional header.
std::uint16_t Subsystem(const char* program) {
  std::ifstream in(program, std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  if (bytes.size() < 0x40) return 0;
  std::uint32_t header = 0;
  bytes.copy(reinterpret_cast<char*>(&header), 4, 0x3c);
  // The signature (4 bytes), the file header (20), then the optional header's field at 68.
  const std::size_t field = std::size_t{header} + 4 + 20 + 68;
  if (bytes.size() < field + 2) return 0;
  std::uint16_t subsystem = 0;
  bytes.copy(reinterpret_cast<char*>(&subsystem), 2, field);
  return subsystem;
}

TEST(ProgramKind, AWindowsProgramWhoseCommandsPrintAndReturnTheirStatus) {
  EXPECT_EQ(Subsystem(KARTWERK_EXE), IMAGE_SUBSYSTEM_WINDOWS_GUI);

  const testing::ProgramResult version = testing::RunProgram(KARTWERK_EXE, {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("kartwerk ", 0), 0u) << version.out;

  const testing::ProgramResult missing = testing::RunProgram(KARTWERK_EXE, {"info", "no-such-map.qdm"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("no-such-map.qdm"), std::string::npos) << missing.err;

  const testing::ProgramResult wrong = testing::RunProgram(KARTWERK_EXE, {"info", "--no-such-option"});
  EXPECT_EQ(wrong.status, 2);

  // Window mode opens the windows: the desktop suite starts it on a real X server.
}

}  // namespace
}  // namespace kartwerk
