// The in-memory registry behind the Wine and command-line sources: key paths, the
// registry's enumeration order and its case rules, and how values read.
#include <gtest/gtest.h>

#include <memory>

#include "game/registry_tree.hpp"

namespace kartwerk {
namespace {

std::shared_ptr<game::RegistryTree> SampleTree() {
  auto tree = std::make_shared<game::RegistryTree>();
  game::RegistryNode& game = tree->CreateKey("Software\\Brannox\\Vornmark II");
  game.values["Publisher"] = std::string("Brannox");
  game::RegistryNode& second = tree->CreateKey("Software\\Brannox\\Vornmark II\\install_b");
  second.values["version"] = std::string("2.2");
  second.values["Size"] = std::nullopt;  // a dword
  tree->CreateKey("Software\\Brannox\\Vornmark II\\Install A");
  tree->CreateKey("Software\\Brannox\\Vornmark II\\INSTALLZ");
  return tree;
}

TEST(RegistryPaths, SplitDropsEmptyComponents) {
  EXPECT_EQ(game::SplitKeyPath("Software\\Brannox\\Vornmark II\\"),
            (std::vector<std::string>{"Software", "Brannox", "Vornmark II"}));
  EXPECT_EQ(game::SplitKeyPath("\\\\a\\\\b"), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(game::SplitKeyPath("").empty());
  EXPECT_TRUE(game::SplitKeyPath("\\").empty());
}

TEST(RegistryPaths, NamesOrderByTheirUpperCaseForm) {
  EXPECT_TRUE(game::KeyNameLess("alpha", "BETA"));
  EXPECT_FALSE(game::KeyNameLess("Beta", "beta"));
  EXPECT_FALSE(game::KeyNameLess("beta", "Beta"));
  // '_' lies after the upper-case letters, so "A_" follows "AZ" as it does in the registry.
  EXPECT_TRUE(game::KeyNameLess("az", "a_"));
  EXPECT_TRUE(game::KeyNameLess("Install", "install2"));
}

TEST(RegistryTree, KeysAreFoundWithoutRegardToCaseAndParentsExistImplicitly) {
  auto tree = SampleTree();
  ASSERT_NE(tree->FindKey("software\\BRANNOX"), nullptr);
  EXPECT_EQ(tree->FindKey("SOFTWARE\\brannox\\vornmark ii"), tree->FindKey("Software\\Brannox\\Vornmark II"));
  EXPECT_EQ(tree->FindKey("Software\\Brannox\\Vornmark III"), nullptr);
  // Creating an existing key under another spelling returns it and keeps the first spelling.
  game::RegistryNode& again = tree->CreateKey("SOFTWARE\\BRANNOX\\VORNMARK II\\INSTALL_B");
  EXPECT_EQ(again.name, "install_b");
  EXPECT_EQ(again.values.size(), 2u);
}

TEST(TreeRegistrySource, EnumeratesSubKeysInRegistryOrderWithTheirOwnSpelling) {
  game::TreeRegistrySource source(SampleTree(), nullptr);
  auto key = source.OpenMachineKey("software\\brannox\\vornmark ii");
  ASSERT_TRUE(key);
  // Created in another order; ' ' < 'Z' < '_' in upper-case order.
  EXPECT_EQ(key->SubKeyNames(), (std::vector<std::string>{"Install A", "INSTALLZ", "install_b"}));
}

TEST(TreeRegistrySource, ReadsStringsAndTreatsEverythingElseAsEmpty) {
  game::TreeRegistrySource source(SampleTree(), nullptr);
  auto game = source.OpenMachineKey("Software\\Brannox\\Vornmark II");
  ASSERT_TRUE(game);
  EXPECT_EQ(game->ReadString("publisher"), "Brannox");
  EXPECT_EQ(game->ReadString("missing"), "");

  auto install = game->OpenSubKey("INSTALL_B");
  ASSERT_TRUE(install);
  EXPECT_EQ(install->ReadString("VERSION"), "2.2");
  EXPECT_EQ(install->ReadString("Size"), "");
  EXPECT_TRUE(install->SubKeyNames().empty());
}

TEST(TreeRegistrySource, OpensRelativePathsAndNeverCreatesKeys) {
  auto tree = SampleTree();
  game::TreeRegistrySource source(tree, nullptr);
  auto software = source.OpenMachineKey("Software");
  ASSERT_TRUE(software);
  auto install = software->OpenSubKey("Brannox\\Vornmark II\\install_b");
  ASSERT_TRUE(install);
  EXPECT_EQ(install->ReadString("version"), "2.2");
  EXPECT_FALSE(software->OpenSubKey("Brannox\\Vornmark III"));
  EXPECT_FALSE(source.OpenMachineKey("Software\\Other"));
  EXPECT_EQ(tree->FindKey("Software\\Other"), nullptr);
  EXPECT_EQ(tree->FindKey("Software\\Brannox\\Vornmark III"), nullptr);
}

TEST(TreeRegistrySource, KeysStayUsableAfterTheSourceIsGone) {
  std::unique_ptr<game::RegistryKey> key;
  {
    game::TreeRegistrySource source(SampleTree(), nullptr);
    key = source.OpenMachineKey("Software\\Brannox\\Vornmark II\\install_b");
  }
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ReadString("version"), "2.2");
}

TEST(TreeRegistrySource, MapsFoldersThroughItsMapping) {
  game::TreeRegistrySource identity(SampleTree(), nullptr);
  EXPECT_EQ(identity.HostFolder("/games/vm"), std::filesystem::path("/games/vm"));
  game::TreeRegistrySource mapped(SampleTree(), [](std::string_view text) {
    return std::filesystem::path("/mapped") / std::string(text.substr(3));
  });
  EXPECT_EQ(mapped.HostFolder("C:\\x"), std::filesystem::path("/mapped/x"));
}

}  // namespace
}  // namespace kartwerk
