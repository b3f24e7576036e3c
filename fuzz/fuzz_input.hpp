// Splits a fuzzer's input into the pieces a target needs. Every piece is taken in full: bytes
// past the end of the input read as zeros, so each input maps to exactly one case and short
// inputs still reach the converters.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kartwerk::fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data, size) {}

  template <std::size_t N>
  std::array<std::uint8_t, N> Take() {
    std::array<std::uint8_t, N> piece{};
    Copy(piece.data(), N);
    return piece;
  }

  std::vector<std::uint8_t> Take(std::size_t n) {
    std::vector<std::uint8_t> piece(n);
    Copy(piece.data(), n);
    return piece;
  }

  std::uint8_t Byte() { return Take<1>()[0]; }

  std::uint16_t U16() {
    const auto b = Take<2>();
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
  }

  // Everything not yet taken.
  std::vector<std::uint8_t> Rest() {
    std::vector<std::uint8_t> rest(data_.begin() + static_cast<std::ptrdiff_t>(at_), data_.end());
    at_ = data_.size();
    return rest;
  }

 private:
  void Copy(std::uint8_t* to, std::size_t n) {
    for (std::size_t i = 0; i < n && at_ < data_.size(); ++i) to[i] = data_[at_++];
  }

  std::span<const std::uint8_t> data_;
  std::size_t at_ = 0;
};

}  // namespace kartwerk::fuzz
