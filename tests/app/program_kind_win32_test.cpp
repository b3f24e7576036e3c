// kartwerk.exe is one program for both uses: a windows program (no console on a double-click)
// whose commands still print to the pipes their caller hands over and return their status.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

// The DLLs a program imports, as its import directory names them (upper case).
std::vector<std::string> ImportedDlls(const char* program) {
  std::vector<std::string> names;
  HMODULE image = LoadLibraryExA(program, nullptr, DONT_RESOLVE_DLL_REFERENCES);
  if (image == nullptr) return names;
  const auto* base = reinterpret_cast<const unsigned char*>(image);
  const auto* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       imports.VirtualAddress != 0 && entry->Name != 0; ++entry) {
    std::string name(reinterpret_cast<const char*>(base + entry->Name));
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    names.push_back(name);
  }
  FreeLibrary(image);
  return names;
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

  // Window mode opens the windows: the desktop suite starts it on a real X server. The common
  // controls are loaded only then: a program importing them makes a window as it starts, which
  // under Wine without a display held every command up for 14 s.
  const std::vector<std::string> dlls = ImportedDlls(KARTWERK_EXE);
  EXPECT_NE(std::find(dlls.begin(), dlls.end(), "USER32.DLL"), dlls.end());
  EXPECT_EQ(std::find(dlls.begin(), dlls.end(), "COMCTL32.DLL"), dlls.end());
}

}  // namespace
}  // namespace kartwerk
