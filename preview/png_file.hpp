// PNG files of pictures: 8-bit RGB, deflated by zlib.
#pragma once

#include <filesystem>

#include "core/byte_stream.hpp"
#include "preview/picture.hpp"

namespace kartwerk::preview {

// The picture as the bytes of a PNG file; throws std::runtime_error when it cannot be encoded.
core::Bytes EncodePng(const Picture& picture);

// Writes the PNG file whole (the file appears complete or not at all); throws FileCreateError.
void WritePngFile(const std::filesystem::path& path, const Picture& picture);

}  // namespace kartwerk::preview
