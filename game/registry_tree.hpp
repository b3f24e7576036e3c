// A registry held in memory: the keys read from a Wine prefix's registry file, or the
// single installation named on the command line, served through the registry interface.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "game/registry.hpp"

namespace kartwerk::game {

// Orders names the way the registry enumerates them: ASCII letters without regard to case.
struct KeyNameOrder {
  bool operator()(const std::string& a, const std::string& b) const { return KeyNameLess(a, b); }
};

// One key: its name as first written, its sub-keys in enumeration order, and its values.
// A value of a type other than a string is held as std::nullopt, so it hides nothing and reads as "".
struct RegistryNode {
  std::string name;
  std::map<std::string, std::unique_ptr<RegistryNode>, KeyNameOrder> subKeys;
  std::map<std::string, std::optional<std::string>, KeyNameOrder> values;
};

class RegistryTree {
 public:
  RegistryTree() = default;

  // The key at path (relative to the root), created with any missing parents.
  RegistryNode& CreateKey(std::string_view path);
  // The key at path, or nullptr.
  const RegistryNode* FindKey(std::string_view path) const;

  const RegistryNode& root() const { return root_; }

 private:
  RegistryNode root_;
};

// Serves a tree as HKEY_LOCAL_MACHINE; hostFolder maps registered folder texts to local paths.
class TreeRegistrySource : public RegistrySource {
 public:
  TreeRegistrySource(std::shared_ptr<const RegistryTree> tree,
                     std::function<std::filesystem::path(std::string_view)> hostFolder);

  std::unique_ptr<RegistryKey> OpenMachineKey(std::string_view path) const override;
  std::filesystem::path HostFolder(std::string_view registeredFolder) const override;

 private:
  std::shared_ptr<const RegistryTree> tree_;
  std::function<std::filesystem::path(std::string_view)> hostFolder_;
};

}  // namespace kartwerk::game
