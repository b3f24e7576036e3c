// Start-up before the first window: the map named on the command line, the map kind its
// extension gives, and the association written on every start without ever stopping it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "desktop/startup.hpp"
#include "mapmaker/map_builder.hpp"

namespace kartwerk {
namespace {

using mapmaker::ScratchFolder;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(CommandLineMap, IsTheFirstArgumentWhole) {
  const char* none[] = {"kartwerk", nullptr};
  EXPECT_EQ(desktop::CommandLineMapFromArguments(1, none), "");
  EXPECT_EQ(desktop::CommandLineMapFromArguments(0, nullptr), "");

  const char* one[] = {"kartwerk", "/home/u/My Maps/Dunes.qdm", nullptr};
  EXPECT_EQ(desktop::CommandLineMapFromArguments(2, one), "/home/u/My Maps/Dunes.qdm");

  const char* more[] = {"kartwerk", " padded ", "ignored", nullptr};
  EXPECT_EQ(desktop::CommandLineMapFromArguments(3, more), " padded ");

  // No cut at 255 characters: a longer path still names the file.
  const std::string longPath = "/" + std::string(300, 'd') + "/x.qdp";
  const char* longArgs[] = {"kartwerk", longPath.c_str(), nullptr};
  EXPECT_EQ(desktop::CommandLineMapFromArguments(2, longArgs), longPath);
}

TEST(MapFileExtension, RunsFromTheLastDotUnlessAFolderOrDriveComesAfterIt) {
  EXPECT_EQ(desktop::MapFileExtension("Dunes.qdm"), ".qdm");
  EXPECT_EQ(desktop::MapFileExtension("a.b.QDC"), ".QDC");
  EXPECT_EQ(desktop::MapFileExtension("C:\\maps.old\\Dunes"), "");
  EXPECT_EQ(desktop::MapFileExtension("/maps.old/Dunes"), "");
  EXPECT_EQ(desktop::MapFileExtension("x.y:stream"), "");
  EXPECT_EQ(desktop::MapFileExtension("Dunes"), "");
  EXPECT_EQ(desktop::MapFileExtension("Dunes."), ".");
  EXPECT_EQ(desktop::MapFileExtension(""), "");
}

struct KindCase {
  const char* path;
  format::MapKindCode kind;
};

class MapKindFromCommandLine : public ::testing::TestWithParam<KindCase> {};

TEST_P(MapKindFromCommandLine, FollowsTheExtensionInAnyCase) {
  format::Conversion c;
  c.MapKind = static_cast<format::MapKindCode>(7);
  desktop::SetMapKindFromFile(c, GetParam().path);
  EXPECT_EQ(c.MapKind, GetParam().kind) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Extensions, MapKindFromCommandLine,
    ::testing::Values(KindCase{"/m/Dunes.qdm", format::SinglePlayerMap},
                      KindCase{"/m/Dunes.QdM", format::SinglePlayerMap},
                      KindCase{"C:\\Maps\\x.QDM", format::SinglePlayerMap},
                      KindCase{"/m/Duel.qdp", format::MultiplayerMap}, KindCase{"/m/Duel.QDP", format::MultiplayerMap},
                      KindCase{"/m/001.qdc", format::CampaignMap}, KindCase{"/m/notes.txt", format::CampaignMap},
                      KindCase{"/m/Dunes.qdm.bak", format::CampaignMap}, KindCase{"/m.qdp/Dunes", format::CampaignMap},
                      KindCase{"Dunes", format::CampaignMap}));

class Startup : public ::testing::Test {
 protected:
  mapmaker::ScratchFolder scratch;
  ScopedEnv home{"HOME", scratch.path().string()};
  ScopedEnv dataHome{"XDG_DATA_HOME", (scratch.path() / "share").string()};
  // No system-wide Kartwerk entry (a `make install` on this machine) keeps the user's from being written.
  ScopedEnv dataDirs{"XDG_DATA_DIRS", (scratch.path() / "system").string()};

  std::string Start(const std::string& map, game::GameInstallations& installs, format::Conversion& c,
                    std::ostream& errors) {
    const char* argv[] = {"kartwerk", map.c_str(), nullptr};
    return desktop::StartProgram(map.empty() ? 1 : 2, argv, installs, c, errors);
  }
};

TEST_F(Startup, AnExistingMapSetsTheKindAndTheChoiceStartsEmpty) {
  const auto map = scratch.path() / "Duel.QdP";
  std::ofstream(map) << "x";
  game::GameInstallations installs;
  installs.chosenVersion = 3;
  format::Conversion c;
  std::ostringstream errors;
  EXPECT_EQ(Start(map.string(), installs, c, errors), map.string());
  EXPECT_EQ(c.MapKind, format::MultiplayerMap);
  EXPECT_EQ(installs.chosenVersion, 0);
  EXPECT_EQ(errors.str(), "");
  EXPECT_TRUE(std::filesystem::exists(scratch.path() / "share" / "mime" / "packages" / "kartwerk.xml"));
  EXPECT_TRUE(std::filesystem::exists(scratch.path() / "share" / "applications" / "kartwerk.desktop"));
}

TEST_F(Startup, NoMapOrAMissingOneLeavesTheKindAlone) {
  game::GameInstallations installs;
  format::Conversion c;
  c.MapKind = format::CampaignMap;
  std::ostringstream errors;
  EXPECT_EQ(Start("", installs, c, errors), "");
  EXPECT_EQ(c.MapKind, format::CampaignMap);

  c.MapKind = format::SinglePlayerMap;
  EXPECT_EQ(Start((scratch.path() / "missing.qdp").string(), installs, c, errors),
            (scratch.path() / "missing.qdp").string());
  EXPECT_EQ(c.MapKind, format::SinglePlayerMap);

  std::filesystem::create_directories(scratch.path() / "folder.qdp");
  Start((scratch.path() / "folder.qdp").string(), installs, c, errors);
  EXPECT_EQ(c.MapKind, format::SinglePlayerMap);
}

TEST_F(Startup, AFailedRegistrationIsReportedOnceAndStartUpGoesOn) {
  std::ofstream(scratch.path() / "blocked") << "x";
  ScopedEnv blocked{"XDG_DATA_HOME", (scratch.path() / "blocked").string()};
  const auto map = scratch.path() / "Dunes.qdm";
  std::ofstream(map) << "x";
  game::GameInstallations installs;
  installs.chosenVersion = 2;
  format::Conversion c;
  c.MapKind = format::CampaignMap;
  std::ostringstream errors;
  EXPECT_EQ(Start(map.string(), installs, c, errors), map.string());
  EXPECT_EQ(c.MapKind, format::SinglePlayerMap);
  EXPECT_EQ(installs.chosenVersion, 0);
  const std::string report = errors.str();
  EXPECT_EQ(report.rfind("kartwerk: could not register the map file types: ", 0), 0u) << report;
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;
}

}  // namespace
}  // namespace kartwerk
