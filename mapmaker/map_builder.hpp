// Builds compiled maps in memory: sections, containers and gzip members, so a test
// states exactly the bytes it means.
//
//   Bytes map = MapBuilder(SinglePlayerMap).MapInfo(0, 64, 48).Set(Section::Airfields, {1, 2}).Build();
//   WriteBytes(dir / "m.qdm", Gzip(map, "m"));
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "core/byte_stream.hpp"
#include "format/map_kind.hpp"
#include "format/section_directory.hpp"

namespace kartwerk::mapmaker {

// Little-endian byte assembly: Le().U32(5).I16(-1).Text("abc", 16).bytes
struct Le {
  core::Bytes bytes;
  Le& U8(std::uint8_t v);
  Le& U16(std::uint16_t v);
  Le& I16(std::int16_t v) { return U16(static_cast<std::uint16_t>(v)); }
  Le& U32(std::uint32_t v);
  Le& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
  Le& F32(float v);
  Le& F64(double v);
  // A text in a fixed-width field, zero-padded (and cut to the width).
  Le& Text(const std::string& text, std::size_t width);
  Le& Raw(const core::Bytes& more);
  Le& Fill(std::size_t count, std::uint8_t value = 0);
  operator core::Bytes() const { return bytes; }
};

// One container entry as it is stored: a 12-byte name field, a size and data.
struct ContainerEntry {
  core::Bytes nameField;  // exactly as stored; padded to 12 bytes when shorter
  std::int32_t size = 0;
  core::Bytes data;
};

// A container: 8 header bytes, then the entries in order.
class ContainerBuilder {
 public:
  // Adds an entry whose stored size is the data's length; the name is zero-padded.
  ContainerBuilder& Add(const std::string& name, const core::Bytes& data = {});
  // Adds an entry with a raw name field and any stored size (which may disagree with the data).
  ContainerBuilder& AddRaw(const core::Bytes& nameField, std::int32_t size, const core::Bytes& data);
  ContainerBuilder& Header(const core::Bytes& eightBytes);
  // Appends bytes after the last entry (to cut a file short, use Build() and resize).
  core::Bytes Build() const;

  std::vector<ContainerEntry>& entries() { return entries_; }

 private:
  core::Bytes header_ = core::Bytes(8, 0);
  std::vector<ContainerEntry> entries_;
};

// A map or mission container laid out for one map kind: each section sits at the position
// the readers expect for that kind, and positions not set hold small placeholder entries.
class MapBuilder {
 public:
  enum class File { Main, CampaignMission };
  explicit MapBuilder(format::MapKindCode kind, File file = File::Main);

  MapBuilder& Set(format::Section section, const core::Bytes& data);
  MapBuilder& SetAt(std::size_t position, const std::string& name, const core::Bytes& data);
  // Map information: scheme, width, height (and the 16-byte first entry of a multiplayer map).
  MapBuilder& MapInfo(std::uint32_t scheme, std::int32_t width, std::int32_t height);
  // Inserts an entry before position, shifting the later entries one place on.
  MapBuilder& InsertAt(std::size_t position, const std::string& name, const core::Bytes& data);
  MapBuilder& Header(const core::Bytes& eightBytes);

  core::Bytes Build() const;
  std::size_t size() const { return entries_.size(); }

 private:
  void Grow(std::size_t count);
  format::MapKindCode kind_;
  core::Bytes header_ = core::Bytes(8, 0);
  std::vector<std::pair<std::string, core::Bytes>> entries_;
};

// A gzip member of data; name is the stored FNAME (none when nullopt).
core::Bytes Gzip(const core::Bytes& data, const std::optional<std::string>& name = std::nullopt,
                 std::uint32_t mtime = 0);

// A gzip member of count zero bytes, deflated a chunk at a time, so that a member of any size
// costs little memory (zeros deflate about a thousand to one).
core::Bytes GzipZeros(std::uint64_t count, const std::optional<std::string>& name = std::nullopt);

void WriteBytes(const std::filesystem::path& path, const core::Bytes& bytes);
core::Bytes ReadBytes(const std::filesystem::path& path);

// Bytes 1, 2, 3, ... (wrapping), count of them: every byte tells where it came from.
core::Bytes Counting(std::size_t count);

// A scratch folder for one test, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace kartwerk::mapmaker
