// Exceptions of the conversion core and their fixed message texts.
#pragma once

#include <stdexcept>
#include <string>

namespace kartwerk::core {

// A copy from compiled data that needs more bytes than remain.
class StreamReadError : public std::runtime_error {
 public:
  StreamReadError() : std::runtime_error("Stream read error") {}
};

// A file of the output that cannot be created or written.
class FileCreateError : public std::runtime_error {
 public:
  FileCreateError(const std::string& path, const std::string& reason)
      : std::runtime_error("Cannot create file \"" + path + "\". " + reason) {}
};

// A text that should hold a decimal integer but does not.
class IntegerConversionError : public std::runtime_error {
 public:
  explicit IntegerConversionError(const std::string& text)
      : std::runtime_error("'" + text + "' is not a valid integer value") {}
};

// An index into a fixed table that lies outside it.
class ListIndexError : public std::runtime_error {
 public:
  explicit ListIndexError(long long index)
      : std::runtime_error("List index out of bounds (" + std::to_string(index) + ")") {}
};

}  // namespace kartwerk::core
