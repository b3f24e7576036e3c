// "YES" on the editor prompt starts the game's editor through the real Wine, in the prefix the
// installation was found in and in the editor's own folder. A stand-in editor built for Windows
// (edit3_stub.exe) records the folder Wine gave it.
#include <gtest/gtest.h>

#include <QLabel>
#include <fstream>

#include "desktop/system_tools.hpp"
#include "tests/support/qt_test_support.hpp"
#include "tests/support/run_program.hpp"
#include "ui/qt/prompt_windows.hpp"
#include "ui/qt/wine_editor_start.hpp"

namespace kartwerk::qt {
namespace {

using namespace kartwerk::testing;

TEST(EditorThroughWine, YesStartsTheEditorInItsFolderInTheInstallationsPrefix) {
#ifndef EDIT3_STUB
  GTEST_SKIP() << "no MinGW-w64 compiler to build the stand-in editor";
#else
  const std::filesystem::path wineboot = desktop::FindProgramInPath("wineboot");
  const std::filesystem::path wineserver = desktop::FindProgramInPath("wineserver");
  if (desktop::FindProgramInPath("wine").empty() || wineboot.empty() || wineserver.empty()) GTEST_SKIP() << "no Wine";
  TestApplication();
  mapmaker::ScratchFolder scratch;
  const std::filesystem::path prefix = scratch.path() / "prefix";
  const std::vector<std::string> wineEnv = {"WINEPREFIX=" + prefix.string(), "WINEDEBUG=-all"};
  ASSERT_EQ(RunProgram(wineboot.string(), {"-i"}, wineEnv).status, 0);
  qputenv("WINEDEBUG", QByteArrayLiteral("-all"));  // the editor's Wine inherits it

  const std::filesystem::path game = prefix / "drive_c" / "Games" / "Vornmark II";
  WriteText(game / "editor" / "scridll.dll", "marker");
  std::filesystem::copy_file(EDIT3_STUB, game / "editor" / "edit3.exe");
  QtSession session;
  Outside outside;
  WireSession(session, outside);
  session.hooks.launchEditor = [](const logic::EditorLaunch& launch) { return StartEditorThroughWine(launch); };
  session.installs.gameFolder = game;
  session.winePrefix = prefix;

  EditorPromptWindow prompt(session);
  prompt.Open([] {});
  ASSERT_TRUE(WaitFor([&] { return prompt.isVisible(); }));
  Click(prompt.yesLabel);
  const std::filesystem::path record = game / "editor" / "edit3-started.txt";
  const bool started = WaitFor([&] { return std::filesystem::exists(record); }, 90000);
  // The prefix's server is ended whatever happened, so nothing outlives the test.
  RunProgram(wineserver.string(), {"-k"}, wineEnv);
  RunProgram(wineserver.string(), {"-w"}, wineEnv);
  // Debian's Wine keeps the server's socket folder in the temporary folder, under the name the
  // prefix's "wineserver" file holds; it goes with the prefix.
  std::string serverFolder;
  std::getline(std::ifstream(prefix / "wineserver"), serverFolder);
  if (!serverFolder.empty()) std::filesystem::remove_all(std::filesystem::temp_directory_path() / serverFolder);
  ASSERT_TRUE(started) << "the editor did not start";
  std::ifstream in(record, std::ios::binary);
  std::string folder;
  std::getline(in, folder);
  // Wine names the working folder through this prefix's drive C: the right prefix, the editor's folder.
  EXPECT_EQ(folder, "C:\\Games\\Vornmark II\\editor");
  std::string argument;
  EXPECT_FALSE(std::getline(in, argument)) << "no arguments: " << argument;
  EXPECT_TRUE(WaitFor([&] { return outside.ends == 0 && !prompt.isVisible(); }));
#endif
}

}  // namespace
}  // namespace kartwerk::qt
