// SHA-256 of bytes and of files: how Kartwerk later recognises a folder it wrote, byte for
// byte, without keeping a copy of it.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kartwerk {

class Sha256 {
 public:
  Sha256();
  void Add(std::string_view bytes);
  // The digest as 64 lower-case hex digits; the object is spent afterwards.
  std::string HexDigest();

 private:
  void Block(const unsigned char* block);

  std::array<std::uint32_t, 8> state_;
  std::array<unsigned char, 64> pending_{};
  std::size_t pendingSize_ = 0;
  std::uint64_t totalBytes_ = 0;
};

std::string Sha256Hex(std::string_view bytes);

// The digest of a regular file's bytes, or nothing when it cannot be read.
std::optional<std::string> FileSha256(const std::filesystem::path& file);

}  // namespace kartwerk
