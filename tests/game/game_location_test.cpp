// Choosing the game installation from the registry: which sub-keys count, which one is
// opened, the version kind, and the editor check.
#include <gtest/gtest.h>

#include <fstream>

#include "game/explicit_installation.hpp"
#include "game/game_location.hpp"
#include "game/registry_tree.hpp"
#include "game/wine_registry.hpp"
#include "mapmaker/map_builder.hpp"
#include "tests/support/wine_prefix.hpp"

namespace kartwerk {
namespace {

using mapmaker::ScratchFolder;
using testing::MakeGameFolder;
using testing::MakeWinePrefix;
using testing::WineInstallation;
using testing::WineInstallationKey;

// A Wine prefix with the given installations registered; folders are made for those whose
// drive_c-relative path is given in `existing` (with the editor unless listed in `noEditor`).
class WineGame {
 public:
  void Register(const WineInstallation& installation, std::string_view gameKey = "Software\\Brannox\\Vornmark II") {
    body_ += WineInstallationKey(installation, gameKey);
  }
  std::filesystem::path Folder(std::string_view relative, bool withEditor = true) {
    MakeWinePrefix(prefix(), "");  // drives first, the registry is rewritten in Installations()
    return std::filesystem::canonical(MakeGameFolder(prefix(), relative, withEditor));
  }
  game::GameInstallations Installations() {
    MakeWinePrefix(prefix(), body_);
    game::GameInstallations installs;
    installs.registry = game::OpenWinePrefixRegistry(prefix());
    return installs;
  }
  std::filesystem::path prefix() const { return scratch_.path() / "prefix"; }

 private:
  mapmaker::ScratchFolder scratch_;
  std::string body_;
};

TEST(GameLocation, OneInstallationIsFoundThroughItsFirstSubKey) {
  WineGame wine;
  const auto folder = wine.Folder("Games/Vornmark II");
  wine.Register({"Vornmark II", "C:\\Games\\Vornmark II", "2.2", "English"});
  game::GameInstallations installs = wine.Installations();
  game::EnumerateInstallations(installs);
  ASSERT_EQ(installs.installedVersions.size(), 1u);
  EXPECT_EQ(installs.installedVersions[0].hostFolder, folder);
  EXPECT_EQ(installs.installedVersions[0].folder, "C:\\Games\\Vornmark II");
  EXPECT_EQ(installs.installedVersions[0].version, "2.2");
  EXPECT_EQ(installs.installedVersions[0].language, "English");
  EXPECT_EQ(installs.chosenVersion, 0);
  EXPECT_EQ(installs.gameVersionKind, format::GameVersionKind::None);
  EXPECT_TRUE(installs.gameFolder.empty());

  EXPECT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameFolder, folder);
  EXPECT_EQ(installs.gameVersionKind, format::GameVersionKind::CurrentKeywords);
  EXPECT_EQ(game::GamePath(installs, "EDITOR\\SCRIDLL.DLL"), folder / "editor" / "scridll.dll");
}

struct VersionCase {
  const char* version;
  format::GameVersionKind kind;
};

class VersionKind : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionKind, OnlyExactlyOnePointNineSelectsTheFirstTable) {
  EXPECT_EQ(format::GameVersionKindOf(GetParam().version), GetParam().kind);

  WineGame wine;
  wine.Folder("VM");
  wine.Register({"1", "C:\\VM", GetParam().version, ""});
  game::GameInstallations installs = wine.Installations();
  EXPECT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameVersionKind, GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionKind,
                         ::testing::Values(VersionCase{"1.9", format::GameVersionKind::OlderKeywords},
                                           VersionCase{"1.90", format::GameVersionKind::CurrentKeywords},
                                           VersionCase{"2.0", format::GameVersionKind::CurrentKeywords},
                                           VersionCase{"2.2", format::GameVersionKind::CurrentKeywords},
                                           VersionCase{"", format::GameVersionKind::CurrentKeywords},
                                           VersionCase{" 1.9", format::GameVersionKind::CurrentKeywords},
                                           VersionCase{"1.9 ", format::GameVersionKind::CurrentKeywords},
                                           VersionCase{"v1.9", format::GameVersionKind::CurrentKeywords}));

TEST(GameLocation, AMissingVersionValueCountsAsAnyOtherVersion) {
  auto tree = std::make_shared<game::RegistryTree>();
  tree->CreateKey("Software\\Brannox\\Vornmark II\\a").values["target folder"] = std::string("/nonexistent");
  game::GameInstallations installs;
  installs.registry = std::make_shared<game::TreeRegistrySource>(tree, nullptr);
  EXPECT_FALSE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameVersionKind, format::GameVersionKind::CurrentKeywords);
}

TEST(GameLocation, TheChosenInstallationIsTheOneOpenedEvenWithStaleRegistrationsBeforeIt) {
  WineGame wine;
  const auto english = wine.Folder("Games/VM English");
  const auto german = wine.Folder("Spiele/VM Deutsch");
  // Enumeration order: "A stale", "B english", "C stale", "D german".
  wine.Register({"A stale", "C:\\Uninstalled", "2.0", "English"});
  wine.Register({"B english", "C:\\Games\\VM English", "1.9", "English"});
  wine.Register({"C stale", "D:\\Elsewhere", "2.0", "Polski"});
  wine.Register({"D german", "C:\\Spiele\\VM Deutsch\\", "2.2", "Deutsch"});
  game::GameInstallations installs = wine.Installations();
  game::EnumerateInstallations(installs);
  ASSERT_EQ(installs.installedVersions.size(), 2u);
  EXPECT_EQ(installs.installedVersions[0].subKey, "B english");
  EXPECT_EQ(installs.installedVersions[1].subKey, "D german");

  installs.chosenVersion = 2;
  EXPECT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameFolder, german);
  EXPECT_EQ(installs.gameVersionKind, format::GameVersionKind::CurrentKeywords);

  installs.chosenVersion = 1;
  EXPECT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameFolder, english);
  EXPECT_EQ(installs.gameVersionKind, format::GameVersionKind::OlderKeywords);

  // Nothing chosen: the first installation there is, not the stale first registration.
  installs.chosenVersion = 0;
  installs.gameFolder.clear();
  EXPECT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameFolder, english);
}

TEST(GameLocation, WithoutEnumerationPositionsCountAmongAllSubKeys) {
  WineGame wine;
  const auto second = wine.Folder("Second");
  wine.Register({"1", "C:\\First", "2.0", ""});
  wine.Register({"2", "C:\\Second", "1.9", ""});
  game::GameInstallations installs = wine.Installations();
  EXPECT_FALSE(game::LocateGame(installs));  // the first sub-key's folder is gone
  EXPECT_EQ(installs.gameVersionKind, format::GameVersionKind::CurrentKeywords);
  installs.chosenVersion = 2;
  EXPECT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameFolder, second);
  installs.chosenVersion = 3;
  EXPECT_FALSE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameFolder, second);
}

TEST(GameLocation, AFolderWithoutTheEditorIsListedButNotLocated) {
  WineGame wine;
  const auto good = wine.Folder("Good");
  wine.Folder("NoEditor", false);
  wine.Register({"1 good", "C:\\Good", "2.2", "English"});
  wine.Register({"2 no editor", "C:\\NoEditor", "1.9", "English"});
  game::GameInstallations installs = wine.Installations();
  game::EnumerateInstallations(installs);
  ASSERT_EQ(installs.installedVersions.size(), 2u);

  installs.chosenVersion = 1;
  ASSERT_TRUE(game::LocateGame(installs));
  installs.chosenVersion = 2;
  EXPECT_FALSE(game::LocateGame(installs));
  // The version kind follows the installation opened; the folder keeps the last one found.
  EXPECT_EQ(installs.gameVersionKind, format::GameVersionKind::OlderKeywords);
  EXPECT_EQ(installs.gameFolder, good);
}

TEST(GameLocation, TheEditorIsFoundWhateverTheCaseOfItsName) {
  WineGame wine;
  const auto folder = wine.Folder("Game", false);
  std::filesystem::rename(folder / "editor", folder / "Editor");
  std::ofstream(folder / "Editor" / "ScriDll.DLL") << "MZ";
  wine.Register({"1", "C:\\game", "2.2", ""});
  game::GameInstallations installs = wine.Installations();
  EXPECT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameFolder, folder);
}

TEST(GameLocation, AGameKeyWithoutSubKeysOrNoGameKeyAtAllFindsNothing) {
  WineGame wine;
  wine.Folder("VM");
  game::GameInstallations none = wine.Installations();
  game::EnumerateInstallations(none);
  EXPECT_TRUE(none.installedVersions.empty());
  EXPECT_FALSE(game::LocateGame(none));
  EXPECT_EQ(none.gameVersionKind, format::GameVersionKind::None);

  auto tree = std::make_shared<game::RegistryTree>();
  tree->CreateKey("Software\\Brannox\\Vornmark II").values["target folder"] = std::string("/");
  game::GameInstallations empty;
  empty.registry = std::make_shared<game::TreeRegistrySource>(tree, nullptr);
  game::EnumerateInstallations(empty);
  EXPECT_TRUE(empty.installedVersions.empty());
  EXPECT_FALSE(game::LocateGame(empty));
  EXPECT_EQ(empty.gameVersionKind, format::GameVersionKind::None);

  game::GameInstallations noSource;
  game::EnumerateInstallations(noSource);
  EXPECT_FALSE(game::LocateGame(noSource));
}

TEST(GameLocation, AMissingGameKeyKeepsTheEarlierList) {
  game::GameInstallations installs;
  installs.installedVersions.push_back({"C:\\x", "/x", "2.2", "English", "1"});
  installs.registry = std::make_shared<game::TreeRegistrySource>(std::make_shared<game::RegistryTree>(), nullptr);
  game::EnumerateInstallations(installs);
  EXPECT_EQ(installs.installedVersions.size(), 1u);
}

TEST(GameLocation, TheWow6432NodeTwinServesWhenTheKeyItselfIsAbsent) {
  WineGame wine;
  const auto folder = wine.Folder("Program Files (x86)/Brannox/Vornmark II");
  wine.Register({"Install", "C:\\Program Files (x86)\\Brannox\\Vornmark II", "2.0", "Español"},
                "Software\\Wow6432Node\\Brannox\\Vornmark II");
  game::GameInstallations installs = wine.Installations();
  game::EnumerateInstallations(installs);
  ASSERT_EQ(installs.installedVersions.size(), 1u);
  EXPECT_EQ(installs.installedVersions[0].language, "Español");
  EXPECT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameFolder, folder);
}

TEST(GameLocation, TheKeyItselfWinsOverItsTwin) {
  WineGame wine;
  const auto native = wine.Folder("Native");
  wine.Folder("Redirected");
  wine.Register({"1", "C:\\Redirected", "1.9", ""}, "Software\\Wow6432Node\\Brannox\\Vornmark II");
  wine.Register({"1", "C:\\Native", "2.2", ""});
  game::GameInstallations installs = wine.Installations();
  game::EnumerateInstallations(installs);
  ASSERT_EQ(installs.installedVersions.size(), 1u);
  EXPECT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameFolder, native);
}

TEST(GameLocation, EveryInstallationIsKeptHoweverMany) {
  WineGame wine;
  for (int i = 1; i <= 8; ++i) {
    wine.Folder("VM" + std::to_string(i));
    wine.Register({"Install " + std::to_string(i), "C:\\VM" + std::to_string(i), "2." + std::to_string(i), "L"});
  }
  game::GameInstallations installs = wine.Installations();
  game::EnumerateInstallations(installs);
  ASSERT_EQ(installs.installedVersions.size(), 8u);
  EXPECT_EQ(installs.installedVersions.back().subKey, "Install 8");
  installs.chosenVersion = 8;
  EXPECT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameFolder.filename(), "VM8");
}

TEST(GameLocation, AMapChoosesTheInstallationHoldingIt) {
  WineGame wine;
  const auto a = wine.Folder("Games/VM");
  const auto b = wine.Folder("Games/VM2");
  wine.Register({"a", "C:\\Games\\VM", "1.9", ""});
  wine.Register({"b", "C:\\Games\\VM2", "2.2", ""});
  game::GameInstallations installs = wine.Installations();
  game::EnumerateInstallations(installs);

  // "VM" is a prefix of "VM2" as text but not as a folder.
  game::ChooseInstallationForMap(installs, b / "game" / "maps" / "single" / "x.qdm");
  EXPECT_EQ(installs.chosenVersion, 2);
  // Reached through the drive link, the map still lies in the first installation.
  game::ChooseInstallationForMap(installs, wine.prefix() / "dosdevices" / "c:" / "Games" / "VM" / "x.qdm");
  EXPECT_EQ(installs.chosenVersion, 1);
  // A map elsewhere leaves the choice alone.
  installs.chosenVersion = 0;
  game::ChooseInstallationForMap(installs, "/tmp/elsewhere/x.qdm");
  EXPECT_EQ(installs.chosenVersion, 0);
  (void)a;
}

TEST(ExplicitInstallation, AFolderNamedOnTheCommandLineIsTheOnlyInstallation) {
  mapmaker::ScratchFolder scratch;
  const auto folder = MakeGameFolder(scratch.path(), "my game");
  game::GameInstallations installs;
  installs.registry = game::ExplicitInstallation(folder, "1.9");
  game::EnumerateInstallations(installs);
  ASSERT_EQ(installs.installedVersions.size(), 1u);
  EXPECT_EQ(installs.installedVersions[0].version, "1.9");
  EXPECT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameFolder, folder);
  EXPECT_EQ(installs.gameVersionKind, format::GameVersionKind::OlderKeywords);

  game::GameInstallations defaulted;
  defaulted.registry = game::ExplicitInstallation(folder);
  EXPECT_TRUE(game::LocateGame(defaulted));
  EXPECT_EQ(defaulted.gameVersionKind, format::GameVersionKind::CurrentKeywords);

  game::GameInstallations withoutEditor;
  withoutEditor.registry = game::ExplicitInstallation(scratch.path());
  EXPECT_FALSE(game::LocateGame(withoutEditor));
}

}  // namespace
}  // namespace kartwerk
