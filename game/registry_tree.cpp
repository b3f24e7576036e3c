#include "game/registry_tree.hpp"

#include <utility>

#include "platform/path_text.hpp"

namespace kartwerk::game {

RegistryNode& RegistryTree::CreateKey(std::string_view path) {
  RegistryNode* node = &root_;
  for (std::string& part : SplitKeyPath(path)) {
    auto it = node->subKeys.find(part);
    if (it == node->subKeys.end()) {
      auto child = std::make_unique<RegistryNode>();
      child->name = part;
      it = node->subKeys.emplace(std::move(part), std::move(child)).first;
    }
    node = it->second.get();
  }
  return *node;
}

const RegistryNode* RegistryTree::FindKey(std::string_view path) const {
  const RegistryNode* node = &root_;
  for (const std::string& part : SplitKeyPath(path)) {
    auto it = node->subKeys.find(part);
    if (it == node->subKeys.end()) return nullptr;
    node = it->second.get();
  }
  return node;
}

namespace {

// A key of a tree; it shares the tree so that it stays valid on its own.
class TreeKey : public RegistryKey {
 public:
  TreeKey(std::shared_ptr<const RegistryTree> tree, const RegistryNode* node) : tree_(std::move(tree)), node_(node) {}

  std::vector<std::string> SubKeyNames() const override {
    std::vector<std::string> names;
    names.reserve(node_->subKeys.size());
    for (const auto& [key, child] : node_->subKeys) names.push_back(child->name);
    return names;
  }

  std::unique_ptr<RegistryKey> OpenSubKey(std::string_view relativePath) const override {
    const RegistryNode* node = node_;
    for (const std::string& part : SplitKeyPath(relativePath)) {
      auto it = node->subKeys.find(part);
      if (it == node->subKeys.end()) return nullptr;
      node = it->second.get();
    }
    return std::make_unique<TreeKey>(tree_, node);
  }

  std::string ReadString(std::string_view valueName) const override {
    auto it = node_->values.find(std::string(valueName));
    if (it == node_->values.end() || !it->second) return {};
    return *it->second;
  }

 private:
  std::shared_ptr<const RegistryTree> tree_;
  const RegistryNode* node_;
};

}  // namespace

TreeRegistrySource::TreeRegistrySource(std::shared_ptr<const RegistryTree> tree,
                                       std::function<std::filesystem::path(std::string_view)> hostFolder)
    : tree_(std::move(tree)), hostFolder_(std::move(hostFolder)) {}

std::unique_ptr<RegistryKey> TreeRegistrySource::OpenMachineKey(std::string_view path) const {
  const RegistryNode* node = tree_->FindKey(path);
  if (!node) return nullptr;
  return std::make_unique<TreeKey>(tree_, node);
}

std::filesystem::path TreeRegistrySource::HostFolder(std::string_view registeredFolder) const {
  return hostFolder_ ? hostFolder_(registeredFolder) : platform::PathFromText(registeredFolder);
}

}  // namespace kartwerk::game
