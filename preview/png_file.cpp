// The PNG writer is stb_image_write (Debian's libstb-dev), compiled into this file alone and kept
// private to it; it builds for Windows as well. Its deflate is replaced by zlib's, which the
// program links anyway and which packs pictures smaller and faster.
#include "preview/png_file.hpp"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/file_output.hpp"

namespace {

unsigned char* ZlibCompress(unsigned char* data, int length, int* outLength, int /*quality*/) {
  uLongf size = compressBound(static_cast<uLong>(length));
  auto* out = static_cast<unsigned char*>(std::malloc(size));
  if (!out) return nullptr;
  // Level 1: a map picture is large blocks of few colours, which the fastest level packs nearly as
  // small as the default (6% larger) in two thirds of the time.
  if (compress2(out, &size, data, static_cast<uLong>(length), 1) != Z_OK) {
    std::free(out);
    return nullptr;
  }
  *outLength = static_cast<int>(size);
  return out;
}

}  // namespace

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#define STBIW_ZLIB_COMPRESS ZlibCompress
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace kartwerk::preview {

core::Bytes EncodePng(const Picture& picture) {
  if (picture.width() <= 0 || picture.height() <= 0) throw std::runtime_error("an empty picture has no PNG form");
  core::Bytes out;
  const auto append = [](void* context, void* data, int size) {
    auto* bytes = static_cast<const std::uint8_t*>(data);
    static_cast<core::Bytes*>(context)->insert(static_cast<core::Bytes*>(context)->end(), bytes, bytes + size);
  };
  if (stbi_write_png_to_func(append, &out, picture.width(), picture.height(), 3, picture.bytes().data(),
                             picture.width() * 3) == 0) {
    throw std::runtime_error("the picture could not be encoded as PNG");
  }
  return out;
}

void WritePngFile(const std::filesystem::path& path, const Picture& picture) {
  platform::WriteFileAtomic(path, EncodePng(picture));
}

}  // namespace kartwerk::preview
