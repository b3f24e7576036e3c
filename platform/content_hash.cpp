#include "platform/content_hash.hpp"

#include <cstdio>
#include <memory>
#include <new>

#include "platform/platform_files.hpp"

// Compiled into this file alone: no library to link or ship, on Linux and Windows alike.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace kartwerk::platform {

struct ContentHash::State {
  State() : xxh(XXH3_createState()) {
    if (!xxh) throw std::bad_alloc();
    XXH3_128bits_reset(xxh);
  }
  ~State() { XXH3_freeState(xxh); }
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  XXH3_state_t* xxh;
};

ContentHash::ContentHash() : state_(std::make_unique<State>()) {}
ContentHash::~ContentHash() = default;
ContentHash::ContentHash(ContentHash&&) noexcept = default;
ContentHash& ContentHash::operator=(ContentHash&&) noexcept = default;

void ContentHash::Add(std::string_view bytes) {
  if (!bytes.empty()) XXH3_128bits_update(state_->xxh, bytes.data(), bytes.size());
}

std::string ContentHash::Digest() const {
  XXH128_canonical_t canonical;
  XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(state_->xxh));
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text(kContentHashName);
  text += ':';
  for (const unsigned char byte : canonical.digest) {
    text += kHex[byte >> 4];
    text += kHex[byte & 15];
  }
  return text;
}

std::string ContentDigest(std::string_view bytes) {
  ContentHash hash;
  hash.Add(bytes);
  return hash.Digest();
}

std::optional<std::string> FileDigest(const std::filesystem::path& file) {
  bool notAFile = false;  // a FIFO planted in a slot must not hold the hashing up
  std::FILE* in = OpenForReading(file, notAFile);
  if (!in) return std::nullopt;
  ContentHash hash;
  constexpr std::size_t kPiece = 256 * 1024;
  const std::unique_ptr<char[]> buffer(new char[kPiece]);  // not cleared: fread fills what is hashed
  std::size_t got = 0;
  while ((got = std::fread(buffer.get(), 1, kPiece, in)) > 0) hash.Add({buffer.get(), got});
  const bool failed = std::ferror(in) != 0;
  std::fclose(in);
  if (failed) return std::nullopt;
  return hash.Digest();
}

}  // namespace kartwerk::platform
