// What a first argument that is no subcommand does, and what the window mode does before any
// window: a typo or a wrong file is a usage error, a desktop without a display ends with one line,
// and neither writes anything; the association is written for the user only where no
// system-wide one exists.
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "app/display_check.hpp"
#include "app/first_argument.hpp"
#include "desktop/system_desktop_entry.hpp"
#include "desktop/xdg_association.hpp"
#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "tests/support/folder_tree.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

using mapmaker::ScratchFolder;
using testing::RunProgram;
using testing::TreeFiles;

// A user's home with a file in it, and the environment that makes it the program's whole world:
// no display of any kind unless one is added.
struct ScratchHome {
  ScratchHome() {
    std::filesystem::create_directories(home() / "Documents");
    std::ofstream(home() / "Documents" / "2025.txt") << "taxes";
  }
  std::filesystem::path home() const { return scratch.path() / "home"; }
  std::vector<std::string> Env(std::vector<std::string> more = {}) const {
    std::vector<std::string> env = {"HOME=" + home().string(),
                                    "XDG_DATA_HOME=",
                                    "XDG_DATA_DIRS=" + (scratch.path() / "system").string(),
                                    "QT_QPA_PLATFORM=",
                                    "DISPLAY=",
                                    "WAYLAND_DISPLAY=",
                                    "XDG_RUNTIME_DIR=" + (scratch.path() / "runtime").string(),
                                    "WINEPREFIX="};
    env.insert(env.end(), more.begin(), more.end());
    return env;
  }
  mapmaker::ScratchFolder scratch;
};

TEST(FirstArgument, ATypoIsAnUnknownCommandAndAWrongFileIsToldAsAMap) {
  ScratchHome user;
  const auto before = TreeFiles(user.scratch.path());
  const auto typo = RunProgram(KARTWERK_EXE, {"convrt"}, user.Env());
  EXPECT_EQ(typo.status, 2);
  EXPECT_EQ(typo.err, "kartwerk: unknown command 'convrt'; see kartwerk --help\n");
  EXPECT_EQ(typo.out, "");

  // With more arguments after it, the typo is still the mistake told.
  const auto more = RunProgram(KARTWERK_EXE, {"convrt", "x.qdm", "--out", "maps"}, user.Env());
  EXPECT_EQ(more.status, 2);
  EXPECT_EQ(more.err, "kartwerk: unknown command 'convrt'; see kartwerk --help\n");

  const std::string notes = (user.home() / "notes.txt").string();
  std::ofstream(notes) << "shopping";
  const auto text = RunProgram(KARTWERK_EXE, {notes}, user.Env());
  EXPECT_EQ(text.status, 2);
  EXPECT_EQ(text.err, "kartwerk: \"" + notes + "\" is not a compiled map (expected .qdm, .qdp or .qdc)\n");
  const auto missing = RunProgram(KARTWERK_EXE, {"frontier.qdm"}, user.Env());
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "kartwerk: \"frontier.qdm\" does not exist\n");
  std::filesystem::remove(notes);
  EXPECT_EQ(TreeFiles(user.scratch.path()), before) << "nothing written";

  EXPECT_EQ(app::FirstArgumentMistake("slots2"), "unknown command 'slots2'; see kartwerk --help");
  EXPECT_EQ(app::FirstArgumentMistake("maps/x"), "\"maps/x\" does not exist");
}

TEST(WindowMode, WithoutADisplayOneLineAndNothingWritten) {
  ScratchHome user;
  const auto map = user.home() / "frontier.qdm";
  mapmaker::WriteBytes(map, mapmaker::Gzip(mapmaker::SampleMainContainer(format::SinglePlayerMap, {}), "frontier"));
  const auto before = TreeFiles(user.scratch.path());
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, {map.string()}}) {
    const auto r = RunProgram(KARTWERK_EXE, args, user.Env());
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.err,
              "kartwerk: cannot open the windows: no display (WAYLAND_DISPLAY is not set, DISPLAY is not set); "
              "the commands work without one (kartwerk --help)\n");
  }
  // An X display that nobody serves.
  const auto dead = RunProgram(KARTWERK_EXE, {map.string()}, user.Env({"DISPLAY=:87", "QT_QPA_PLATFORM=xcb"}));
  EXPECT_EQ(dead.status, 1);
  EXPECT_NE(dead.err.find("the X display \":87\" does not answer"), std::string::npos) << dead.err;
  EXPECT_EQ(std::count(dead.err.begin(), dead.err.end(), '\n'), 1);
  EXPECT_EQ(TreeFiles(user.scratch.path()), before);
}

// A scripted environment: the variables given, and the sockets that answer.
app::DisplayEnvironment Scripted(std::map<std::string, std::string> variables, std::vector<std::string> answering) {
  return {[variables](const char* name) {
            const auto it = variables.find(name);
            return it == variables.end() ? std::string() : it->second;
          },
          [answering](const std::string& socket) {
            return std::find(answering.begin(), answering.end(), socket) != answering.end();
          }};
}

TEST(DisplayCheck, FindsTheSocketOfEachKindOfDisplay) {
  using app::NoDisplayReason;
  EXPECT_EQ(NoDisplayReason(Scripted({{"DISPLAY", ":0"}}, {"/tmp/.X11-unix/X0"})), std::nullopt);
  EXPECT_EQ(NoDisplayReason(Scripted({{"DISPLAY", "unix:12.0"}}, {"@/tmp/.X11-unix/X12"})), std::nullopt)
      << "the abstract socket of screen 0 of display 12";
  EXPECT_EQ(NoDisplayReason(Scripted({{"DISPLAY", "remote:10.0"}}, {})), std::nullopt) << "another host: Qt decides";
  EXPECT_EQ(NoDisplayReason(Scripted({{"WAYLAND_DISPLAY", "wayland-1"}, {"XDG_RUNTIME_DIR", "/run/user/5"}},
                                     {"/run/user/5/wayland-1"})),
            std::nullopt);
  EXPECT_EQ(NoDisplayReason(Scripted({{"QT_QPA_PLATFORM", "offscreen"}}, {})), std::nullopt);
  EXPECT_EQ(NoDisplayReason(Scripted({{"QT_QPA_PLATFORM", "vnc:size=800x600"}}, {})), std::nullopt);

  EXPECT_EQ(NoDisplayReason(Scripted(
                {{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_RUNTIME_DIR", "/run/user/5"}},
                {"/run/user/5/wayland-0"})),
            "no display (DISPLAY is not set)")
      << "a Wayland display does not help a program told to use X";
  EXPECT_EQ(NoDisplayReason(Scripted({{"DISPLAY", ":3"}, {"WAYLAND_DISPLAY", "/tmp/w"}}, {"/tmp/.X11-unix/X4"})),
            "no display (the Wayland display \"/tmp/w\" does not answer, the X display \":3\" does not answer)");
}

TEST(SystemDesktopEntry, RecognisesAnEntryThatOpensAllThreeMapTypesWithKartwerk) {
  const std::string ours = desktop::DesktopEntry("kartwerk", "kartwerk");
  EXPECT_TRUE(desktop::DesktopEntryOpensMapTypes(ours));
  EXPECT_TRUE(desktop::DesktopEntryOpensMapTypes(desktop::DesktopEntry("/usr/local/bin/kartwerk", "icon")));
  std::string other = ours;
  other.replace(other.find("Exec=kartwerk"), 13, "Exec=gimp");
  EXPECT_FALSE(desktop::DesktopEntryOpensMapTypes(other));
  std::string twoTypes = ours;
  twoTypes.replace(twoTypes.find("application/x-vornmark-ii-campaign-map;"), 39, "");
  EXPECT_FALSE(desktop::DesktopEntryOpensMapTypes(twoTypes));
  EXPECT_FALSE(desktop::DesktopEntryOpensMapTypes("[Other Group]\n" + ours.substr(ours.find('\n') + 1)));

  mapmaker::ScratchFolder dirs;
  const auto first = dirs.path() / "first", second = dirs.path() / "second";
  std::filesystem::create_directories(first / "applications");
  std::filesystem::create_directories(second / "applications");
  std::ofstream(first / "applications" / "kartwerk.desktop") << twoTypes;
  EXPECT_EQ(desktop::SystemDesktopEntryForMapTypes({first, second}), std::nullopt);
  std::ofstream(second / "applications" / "org.kartwerk.Kartwerk.desktop") << ours;
  EXPECT_EQ(desktop::SystemDesktopEntryForMapTypes({first, second}),
            second / "applications" / "org.kartwerk.Kartwerk.desktop");
}

TEST(RegisterCommand, WritesNothingForTheUserWhereTheSystemHasTheAssociation) {
  ScratchHome user;
  const auto system = user.scratch.path() / "system" / "applications";
  std::filesystem::create_directories(system);
  std::ofstream(system / "kartwerk.desktop") << desktop::DesktopEntry("kartwerk", "kartwerk");
  const auto before = TreeFiles(user.scratch.path());
  const auto r = RunProgram(KARTWERK_EXE, {"register"}, user.Env());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "kartwerk: " + (system / "kartwerk.desktop").string() +
                       " already opens the map types for every user; nothing written for this user\n");
  EXPECT_EQ(TreeFiles(user.scratch.path()), before);

  // Without it, the user's own association is written as before.
  std::filesystem::remove(system / "kartwerk.desktop");
  const auto own = RunProgram(KARTWERK_EXE, {"register"}, user.Env());
  EXPECT_EQ(own.status, 0) << own.err;
  EXPECT_TRUE(std::filesystem::is_regular_file(user.home() / ".local" / "share" / "applications" / "kartwerk.desktop"));
}

}  // namespace
}  // namespace kartwerk
