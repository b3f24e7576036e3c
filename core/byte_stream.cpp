#include "core/byte_stream.hpp"

#include <algorithm>
#include <cstring>

#include "core/errors.hpp"

namespace kartwerk::core {

void ByteStream::Load(ContainerBytes bytes) {
  data_ = std::move(bytes);
  position_ = 0;
}

void ByteStream::Load(const Bytes& bytes) {
  data_.assign(bytes.begin(), bytes.end());
  position_ = 0;
}

void ByteStream::Clear() {
  ContainerBytes().swap(data_);  // the memory goes too: a campaign holds one container at a time
  position_ = 0;
}

std::int64_t ByteStream::Remaining() const {
  if (position_ < 0 || position_ >= size()) return 0;
  return size() - position_;
}

void ByteStream::PeekAt(std::int64_t offset, std::span<std::uint8_t> out) const {
  const auto count = static_cast<std::int64_t>(out.size());
  if (offset >= 0 && offset <= size() - count) {  // all inside: one copy
    if (count > 0) std::memcpy(out.data(), data_.data() + offset, out.size());
    return;
  }
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::int64_t at = offset + static_cast<std::int64_t>(i);
    out[i] = (at >= 0 && at < size()) ? data_[static_cast<std::size_t>(at)] : 0;
  }
}

void ByteStream::ReadRecord(std::span<std::uint8_t> out) {
  const std::int64_t available = std::min<std::int64_t>(Remaining(), static_cast<std::int64_t>(out.size()));
  if (available > 0) std::memcpy(out.data(), data_.data() + position_, static_cast<std::size_t>(available));
  std::fill(out.begin() + std::max<std::int64_t>(available, 0), out.end(), 0);
  position_ += static_cast<std::int64_t>(out.size());
}

Bytes ByteStream::ReadRecord(std::size_t count) {
  Bytes out(count);
  ReadRecord(std::span<std::uint8_t>(out));
  return out;
}

Bytes ByteStream::ReadExact(std::int64_t count) {
  // A copy of nothing (or of a negative stored length) yields nothing.
  if (count <= 0) return {};
  if (count > Remaining()) throw StreamReadError();
  Bytes out(data_.begin() + position_, data_.begin() + position_ + count);
  position_ += count;
  return out;
}

std::uint8_t ByteStream::ReadU8() {
  std::uint8_t b[1];
  ReadRecord(b);
  return b[0];
}

std::uint16_t ByteStream::ReadU16() {
  std::uint8_t b[2];
  ReadRecord(b);
  return U16At(b, 0);
}

std::uint32_t ByteStream::ReadU32() {
  if (position_ >= 0 && position_ <= size() - 4) {  // the usual case: all four bytes there
    const std::uint8_t* p = data_.data() + position_;
    position_ += 4;
    return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | static_cast<std::uint32_t>(p[3]) << 24;
  }
  std::uint8_t b[4];
  ReadRecord(b);
  return U32At(b, 0);
}

std::string FixedText(std::span<const std::uint8_t> field) {
  auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
  return std::string(field.begin(), end);
}

void PutU16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(Bytes& out, std::uint32_t value) {
  PutU16(out, static_cast<std::uint16_t>(value));
  PutU16(out, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace kartwerk::core
