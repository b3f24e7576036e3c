// Receives a conversion's files and compares each, as its pieces arrive, with the file of the
// same name in a folder: a grid cell by cell without holding it, a text list held (up to a
// limit) until it ends so that its entries can be paired.
#pragma once

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "compare/file_comparison.hpp"
#include "format/conversion.hpp"
#include "platform/file_sink.hpp"

namespace kartwerk::compare {

// A file larger than this on either side is compared byte for byte only: its entries, keys and
// lines are not listed.
inline constexpr std::size_t kMaxHeldFileBytes = 32u << 20;

class ComparingSink final : public platform::FileSink {
 public:
  // conversion gives the map's size for the grids; results go to result.files.
  ComparingSink(std::filesystem::path folder, const format::Conversion& conversion, bool lines,
                FolderComparison& result);
  ~ComparingSink() override;
  ComparingSink(const ComparingSink&) = delete;
  ComparingSink& operator=(const ComparingSink&) = delete;

  void Begin(const std::filesystem::path& target) override;
  void Write(std::span<const std::uint8_t> piece) override;
  void End() override;

  // Adds the folder's files the conversion did not make, in name order.
  void AddFolderOnlyFiles();

 private:
  void CloseFolderFile();
  void Describe(FileComparison& file);

  std::filesystem::path folder_;
  const format::Conversion& conversion_;
  bool lines_;
  FolderComparison& result_;
  std::set<std::string> made_;

  // The file being compared.
  bool open_ = false;
  FileComparison current_;
  std::FILE* folderFile_ = nullptr;
  bool differs_ = false;
  bool hold_ = false;  // whether both contents are kept for the entries, keys or lines
  std::string mapContent_;
  std::string folderContent_;
  std::string buffer_;          // the folder's bytes of the piece being compared
  std::int64_t cellBytes_ = 0;  // a grid's cell size; 0 for other files
};

}  // namespace kartwerk::compare
