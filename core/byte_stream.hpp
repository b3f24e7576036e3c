// ByteStream: a whole decompressed container in memory with a read position.
//
// Reads never touch memory outside the buffer. Record reads (ReadRecord and the
// typed reads) zero-fill what lies past the end and still advance the position,
// as a short read of a fixed-size record does; ReadExact throws StreamReadError
// when fewer bytes remain, for copies that must be complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace kartwerk::core {

using Bytes = std::vector<std::uint8_t>;

// Leaves the elements a vector grows by uninitialized (value-initialization becomes default-
// initialization): a decompressed container is written whole by the inflater, and clearing
// megabytes first only to overwrite them costs as much as a good part of the inflation.
template <class T>
struct UninitializedAllocator : std::allocator<T> {
  using value_type = T;
  template <class U>
  struct rebind {
    using other = UninitializedAllocator<U>;
  };
  UninitializedAllocator() = default;
  template <class U>
  UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

// A decompressed container: only the bytes the inflater produced are ever kept.
using ContainerBytes = std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>>;

class ByteStream {
 public:
  void Load(ContainerBytes bytes);
  void Load(const Bytes& bytes);  // a copy (containers built in memory)
  void Clear();

  std::span<const std::uint8_t> bytes() const { return data_; }
  std::int64_t size() const { return static_cast<std::int64_t>(data_.size()); }
  std::int64_t position() const { return position_; }
  void Seek(std::int64_t position) { position_ = position; }
  void Skip(std::int64_t count) { position_ += count; }
  bool AtEnd() const { return position_ >= size(); }

  // Bytes available from the position to the end (0 when outside the buffer).
  std::int64_t Remaining() const;

  // Fills out with the bytes at an absolute offset without moving the read position (for
  // lookups in fixed-width tables); bytes outside the buffer read as 0.
  void PeekAt(std::int64_t offset, std::span<std::uint8_t> out) const;

  // Fills out with the next out.size() bytes; missing bytes read as 0.
  void ReadRecord(std::span<std::uint8_t> out);
  Bytes ReadRecord(std::size_t count);

  // The next count bytes, all of which must exist; throws StreamReadError otherwise.
  Bytes ReadExact(std::int64_t count);

  std::uint8_t ReadU8();
  std::uint16_t ReadU16();
  std::uint32_t ReadU32();
  std::int32_t ReadI32() { return static_cast<std::int32_t>(ReadU32()); }

 private:
  ContainerBytes data_;
  std::int64_t position_ = 0;
};

// Little-endian field access inside a record already read; out-of-range bytes read as 0.
// (Defined here so that converters walking millions of records inline them.)
inline std::uint8_t ByteAt(std::span<const std::uint8_t> record, std::size_t offset) {
  return offset < record.size() ? record[offset] : 0;
}
inline std::uint16_t U16At(std::span<const std::uint8_t> record, std::size_t offset) {
  return static_cast<std::uint16_t>(ByteAt(record, offset) | (ByteAt(record, offset + 1) << 8));
}
inline std::uint32_t U32At(std::span<const std::uint8_t> record, std::size_t offset) {
  return static_cast<std::uint32_t>(U16At(record, offset)) |
         (static_cast<std::uint32_t>(U16At(record, offset + 2)) << 16);
}
inline std::int16_t I16At(std::span<const std::uint8_t> r, std::size_t o) {
  return static_cast<std::int16_t>(U16At(r, o));
}
inline std::int32_t I32At(std::span<const std::uint8_t> r, std::size_t o) {
  return static_cast<std::int32_t>(U32At(r, o));
}

// Text of a fixed-width field: the bytes up to the first zero byte, at most the field's width.
std::string FixedText(std::span<const std::uint8_t> field);

// Appends little-endian values to a byte buffer (for writers and test builders).
void PutU16(Bytes& out, std::uint16_t value);
void PutU32(Bytes& out, std::uint32_t value);
inline void PutI32(Bytes& out, std::int32_t value) { PutU32(out, static_cast<std::uint32_t>(value)); }

}  // namespace kartwerk::core
