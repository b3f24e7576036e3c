// The digest that records what Kartwerk wrote: XXH3 with 128 bits. It tells a file Kartwerk wrote
// from any accidental change (a collision by chance is out of reach at 128 bits) and is fast
// enough to run on every byte as it is written. It is no defence against a forger, and needs
// none: whoever can write into the backup folder can delete a backup outright.
//
// A digest is written as "<algorithm>:<hex digits>", so a record names how it was made and a
// digest of one kind never equals one of another.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kartwerk::platform {

inline constexpr std::string_view kContentHashName = "xxh3-128";

class ContentHash {
 public:
  ContentHash();
  ~ContentHash();
  ContentHash(ContentHash&&) noexcept;
  ContentHash& operator=(ContentHash&&) noexcept;

  void Add(std::string_view bytes);
  // "xxh3-128:" and 32 lower-case hex digits of everything added so far.
  std::string Digest() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

std::string ContentDigest(std::string_view bytes);

// The digest of a regular file's bytes, or nothing when it cannot be read.
std::optional<std::string> FileDigest(const std::filesystem::path& file);

}  // namespace kartwerk::platform
