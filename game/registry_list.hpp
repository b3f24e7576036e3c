// The registries the game's installations are read from, in the order they are searched: one
// named source, or every Wine prefix found in the user's home folder.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/registry.hpp"

namespace kartwerk::game {

struct RegistryEntry {
  std::shared_ptr<const RegistrySource> source;
  std::string origin;                // who made it, as `kartwerk installs` shows it; empty when not told
  std::filesystem::path winePrefix;  // the Wine prefix it was read from; empty for other sources
};

class RegistryList {
 public:
  RegistryList() = default;
  // One source of unnamed origin (none for a null pointer).
  template <class Source>
  RegistryList(std::shared_ptr<Source> source) {  // NOLINT: a single source stands for its list
    if (source) entries_.push_back({std::move(source), {}, {}});
  }

  void Add(RegistryEntry entry) { entries_.push_back(std::move(entry)); }
  const std::vector<RegistryEntry>& entries() const { return entries_; }
  const RegistryEntry& operator[](std::size_t i) const { return entries_[i]; }
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }

 private:
  std::vector<RegistryEntry> entries_;
};

}  // namespace kartwerk::game
