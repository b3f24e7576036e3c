// Starting the game's editor through the Windows shell (under Wine), with a stand-in editor that
// records its working folder and arguments; and file names past ASCII on the wide file APIs.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "desktop/map_type_registry_win32.hpp"
#include "desktop/map_types.hpp"
#include "desktop/shell_open.hpp"
#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "platform/file_output.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"
#include "platform/temp_folder.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Waits up to 30 s (a loaded machine) for the file the started program writes.
bool WaitForFile(const std::filesystem::path& path) {
  for (int i = 0; i < 300; ++i) {
    if (std::filesystem::exists(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

TEST(ShellLaunch, TheEditorStartsInItsOwnFolderWithNoArguments) {
  mapmaker::ScratchFolder scratch;
  const std::filesystem::path editor = scratch.path() / L"Spiele \u5730\u56fe" / L"Vornmark II\u2122" / "editor";
  std::filesystem::create_directories(editor);
  std::filesystem::copy_file(platform::PathFromText(EDIT3_STUB), editor / "edit3.exe");

  ASSERT_EQ(desktop::OpenWithShell(editor / "edit3.exe", editor), std::nullopt);
  const std::filesystem::path record = editor / "edit3-started.txt";
  ASSERT_TRUE(WaitForFile(record)) << "the editor did not start";
  const std::vector<std::string> lines = testing::Lines(ReadText(record));
  ASSERT_EQ(lines.size(), 1u) << "a working folder and no arguments";
  EXPECT_TRUE(std::filesystem::equivalent(platform::PathFromText(lines[0]), editor)) << lines[0];
  EXPECT_EQ(platform::PathFromText(lines[0]).filename(), "editor");

  // A missing editor is refused, not started, and the system says why on one line.
  const std::optional<std::string> missing = desktop::OpenWithShell(editor / "missing.exe", editor);
  ASSERT_NE(missing, std::nullopt);
  EXPECT_FALSE(missing->empty());
  EXPECT_EQ(missing->find('\n'), std::string::npos) << *missing;
  EXPECT_EQ(missing->find("Windows error"), std::string::npos) << "the system's own text: " << *missing;

  // The stand-in may still be ending after it wrote its record, and the folder a running program
  // works in cannot be deleted: the game folder goes only once the stand-in has ended.
  const std::filesystem::path games = editor.parent_path().parent_path();
  bool ended = false;
  for (int i = 0; i < 300 && !ended; ++i) {
    std::error_code ec;
    std::filesystem::remove_all(games, ec);
    ended = !std::filesystem::exists(games, ec);
    if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_TRUE(ended) << "the stand-in editor did not end";
}

// A map type of this suite's own, associated as the program associates its map types, with the
// stand-in editor as its program; its class-root keys go when the test ends.
class ShellVerbs : public ::testing::Test {
 protected:
  static constexpr desktop::MapType kType{"kwverbtest", "Kartwerk verb test map", ""};

  void SetUp() override {
    folder = scratch.path() / L"J\u00fcrgen" / L"Karten";
    std::filesystem::create_directories(folder);
    program = folder / "edit3.exe";
    std::filesystem::copy_file(platform::PathFromText(EDIT3_STUB), program);
    desktop::RegisterMapType(kType, program);
    map = folder / L"Insel \u00dcbung.kwverbtest";
    platform::WriteFileAtomic(map, std::string_view("map"));
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".kwverbtest");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"kwverbtest");
  }

  // Opens the map through the shell with verb (null: the default verb); the arguments the program
  // was started with, or a failure.
  std::vector<std::string> Open(const wchar_t* verb) {
    std::filesystem::remove(folder / "edit3-started.txt");
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = verb;
    info.lpFile = map.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) {
      ADD_FAILURE() << "ShellExecuteExW failed with error " << GetLastError();
      return {};
    }
    if (info.hProcess != nullptr) {
      WaitForSingleObject(info.hProcess, 30000);
      CloseHandle(info.hProcess);
    }
    if (!WaitForFile(folder / "edit3-started.txt")) {
      ADD_FAILURE() << "the associated program did not start";
      return {};
    }
    std::vector<std::string> lines = testing::Lines(ReadText(folder / "edit3-started.txt"));
    lines.erase(lines.begin());  // the working folder
    return lines;
  }

  mapmaker::ScratchFolder scratch;
  std::filesystem::path folder, program, map;
};

TEST_F(ShellVerbs, OpenAndTheDefaultVerbStartTheProgramWithTheMapWhole) {
  const std::vector<std::string> expected{platform::TextFromPath(map)};
  EXPECT_EQ(Open(L"open"), expected) << "the verb \"open\"";
  EXPECT_EQ(Open(nullptr), expected) << "the default verb";
  EXPECT_EQ(Open(L"Default_action"), expected) << "the verb callers already use";
  // A verb the association does not have starts nothing.
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"print";
  info.lpFile = map.c_str();
  EXPECT_FALSE(ShellExecuteExW(&info));
}

TEST(WindowsFiles, TemporaryFoldersLieInTheSystemsTemporaryFolder) {
  wchar_t system[MAX_PATH + 1];
  ASSERT_GT(GetTempPathW(MAX_PATH + 1, system), 0u);
  platform::PrivateTempFolder temp;
  EXPECT_EQ(temp.path().parent_path(), std::filesystem::path(system).parent_path());
}

TEST(WindowsFiles, AFileHeldOpenByAnotherProgramIsReportedByName) {
  mapmaker::ScratchFolder scratch;
  const std::filesystem::path target = scratch.path() / L"\u00dcbersicht" / "objects";
  std::filesystem::create_directories(target.parent_path());
  platform::WriteFileAtomic(target, std::string_view("first"));
  platform::WriteFileAtomic(target, std::string_view("second"));  // replaces the existing file
  EXPECT_EQ(ReadText(target), "second");

  // Opened without sharing delete access, as an editor holding the file would.
  HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  try {
    platform::WriteFileAtomic(target, std::string_view("third"));
    ADD_FAILURE() << "the replace should fail while the file is held";
  } catch (const std::exception& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find(platform::TextFromPath(target)), std::string::npos) << message;
    EXPECT_NE(message.find("another program"), std::string::npos) << message;
  }
  CloseHandle(held);
  EXPECT_EQ(ReadText(target), "second");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target.parent_path()), {}), 1) << "no temporary left";
}

TEST(WindowsPaths, NamesPastAsciiConvertThroughKartwerkExe) {
  mapmaker::ScratchFolder scratch;
  const std::filesystem::path folder = scratch.path() / L"\u5730\u56fe";
  std::filesystem::create_directories(folder);
  const std::filesystem::path map = folder / L"\u00dcbersicht.qdm";
  // Its stored name is Windows-1252, as the game's own tools write it.
  mapmaker::WriteBytes(map, mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, {1, 0, 32, 24}),
                                           "\xDC"
                                           "bersicht",
                                           1262304000));
  const std::filesystem::path out = folder / L"Ausgabe \u00fc";

  const testing::ProgramResult run =
      testing::RunProgram(KARTWERK_EXE, {"convert", platform::TextFromPath(map), "--out", platform::TextFromPath(out)});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(std::filesystem::is_regular_file(out / "rhombs"));
  EXPECT_TRUE(std::filesystem::is_regular_file(out / "mis.000" / "scripts2"));

  const testing::ProgramResult info = testing::RunProgram(KARTWERK_EXE, {"info", platform::TextFromPath(map)});
  ASSERT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(testing::Lines(info.out).at(0),
            "\xC3\x9C"
            "bersicht.qdm");  // printed as UTF-8
}

}  // namespace
}  // namespace kartwerk
