#include "mapmaker/map_builder.hpp"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/platform_files.hpp"

namespace kartwerk::mapmaker {

Le& Le::U8(std::uint8_t v) {
  bytes.push_back(v);
  return *this;
}
Le& Le::U16(std::uint16_t v) {
  core::PutU16(bytes, v);
  return *this;
}
Le& Le::U32(std::uint32_t v) {
  core::PutU32(bytes, v);
  return *this;
}
Le& Le::F32(float v) {
  std::uint32_t raw;
  std::memcpy(&raw, &v, 4);
  return U32(raw);
}
Le& Le::F64(double v) {
  std::uint64_t raw;
  std::memcpy(&raw, &v, 8);
  U32(static_cast<std::uint32_t>(raw));
  return U32(static_cast<std::uint32_t>(raw >> 32));
}
Le& Le::Text(const std::string& text, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) bytes.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
  return *this;
}
Le& Le::Raw(const core::Bytes& more) {
  bytes.insert(bytes.end(), more.begin(), more.end());
  return *this;
}
Le& Le::Fill(std::size_t count, std::uint8_t value) {
  bytes.insert(bytes.end(), count, value);
  return *this;
}

ContainerBuilder& ContainerBuilder::Add(const std::string& name, const core::Bytes& data) {
  return AddRaw(Le().Text(name, 12), static_cast<std::int32_t>(data.size()), data);
}

ContainerBuilder& ContainerBuilder::AddRaw(const core::Bytes& nameField, std::int32_t size, const core::Bytes& data) {
  core::Bytes field = nameField;
  field.resize(12, 0);
  entries_.push_back({field, size, data});
  return *this;
}

ContainerBuilder& ContainerBuilder::Header(const core::Bytes& eightBytes) {
  header_ = eightBytes;
  header_.resize(8, 0);
  return *this;
}

core::Bytes ContainerBuilder::Build() const {
  Le out;
  out.Raw(header_);
  for (const ContainerEntry& e : entries_) out.Raw(e.nameField).I32(e.size).Raw(e.data);
  return out.bytes;
}

MapBuilder::MapBuilder(format::MapKindCode kind, File file) : kind_(kind) {
  // The main file of a campaign holds the map sections only; its mission files hold the rest.
  const std::size_t count =
      kind == format::CampaignMap ? (file == File::Main ? 8 : 16) : (kind == format::MultiplayerMap ? 26 : 24);
  Grow(count);
  if (kind == format::MultiplayerMap) entries_[0] = {"MPHEAD", core::Bytes(16, 0)};
  if (file == File::Main) MapInfo(0, 0, 0);
}

void MapBuilder::Grow(std::size_t count) {
  while (entries_.size() < count) entries_.push_back({"SECT" + std::to_string(entries_.size()), {}});
}

MapBuilder& MapBuilder::Set(format::Section section, const core::Bytes& data) {
  const std::uint8_t position = format::SectionPosition(section, kind_);
  if (position == format::kNoSection) throw std::logic_error("this map kind has no such section");
  return SetAt(position, entries_.size() > position ? entries_[position].first : "SECT", data);
}

MapBuilder& MapBuilder::SetAt(std::size_t position, const std::string& name, const core::Bytes& data) {
  Grow(position + 1);
  entries_[position] = {name, data};
  return *this;
}

MapBuilder& MapBuilder::MapInfo(std::uint32_t scheme, std::int32_t width, std::int32_t height) {
  return SetAt(format::SectionPosition(format::Section::MapInformation, kind_), "MAPINFO",
               Le().U32(scheme).I32(width).I32(height));
}

MapBuilder& MapBuilder::InsertAt(std::size_t position, const std::string& name, const core::Bytes& data) {
  Grow(position);
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(position), {name, data});
  return *this;
}

MapBuilder& MapBuilder::Header(const core::Bytes& eightBytes) {
  header_ = eightBytes;
  return *this;
}

core::Bytes MapBuilder::Build() const {
  ContainerBuilder container;
  container.Header(header_);
  for (const auto& [name, data] : entries_) container.Add(name, data);
  return container.Build();
}

core::Bytes Gzip(const core::Bytes& data, const std::optional<std::string>& name, std::uint32_t mtime) {
  z_stream s{};
  if (deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2 failed");
  }
  gz_header header{};
  std::string stored = name.value_or("");
  header.time = mtime;
  header.os = 0;  // the game's files come from FAT/Windows
  header.name = name ? reinterpret_cast<Bytef*>(stored.data()) : Z_NULL;
  deflateSetHeader(&s, &header);
  core::Bytes out(deflateBound(&s, static_cast<uLong>(data.size())) + 64 + stored.size());
  s.next_in = const_cast<Bytef*>(data.data());
  s.avail_in = static_cast<uInt>(data.size());
  s.next_out = out.data();
  s.avail_out = static_cast<uInt>(out.size());
  if (deflate(&s, Z_FINISH) != Z_STREAM_END) {
    deflateEnd(&s);
    throw std::runtime_error("deflate failed");
  }
  out.resize(s.total_out);
  deflateEnd(&s);
  return out;
}

core::Bytes GzipZeros(std::uint64_t count, const std::optional<std::string>& name) {
  z_stream s{};
  if (deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2 failed");
  }
  gz_header header{};
  std::string stored = name.value_or("");
  header.name = name ? reinterpret_cast<Bytef*>(stored.data()) : Z_NULL;
  deflateSetHeader(&s, &header);
  const core::Bytes zeros(1 << 16, 0);
  core::Bytes out;
  core::Bytes chunk(1 << 16);
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    const std::uint64_t left = count - std::min<std::uint64_t>(count, s.total_in);
    if (s.avail_in == 0 && left > 0) {
      s.next_in = const_cast<Bytef*>(zeros.data());
      s.avail_in = static_cast<uInt>(std::min<std::uint64_t>(left, zeros.size()));
    }
    const bool last = s.total_in + s.avail_in >= count;
    s.next_out = chunk.data();
    s.avail_out = static_cast<uInt>(chunk.size());
    rc = deflate(&s, last ? Z_FINISH : Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
      deflateEnd(&s);
      throw std::runtime_error("deflate failed");
    }
    out.insert(out.end(), chunk.begin(), chunk.end() - s.avail_out);
  }
  deflateEnd(&s);
  return out;
}

void WriteBytes(const std::filesystem::path& path, const core::Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

core::Bytes ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return core::Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

ScratchFolder::ScratchFolder() : path_(platform::CreatePrivateFolder(platform::TemporaryRoot(), "kartwerk-test-")) {}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

core::Bytes Counting(std::size_t count) {
  core::Bytes bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i + 1);
  return bytes;
}

}  // namespace kartwerk::mapmaker
