#include "core/whole_file.hpp"

#include <fstream>
#include <ios>
#include <iterator>
#include <system_error>
#include "core/path_text.hpp"

namespace kartwerk {

Bytes ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw std::ios_base::failure("Cannot open file \"" + TextFromPath(path) + "\". No such file or directory",
                                 std::make_error_code(std::errc::no_such_file_or_directory));
  }
  // One allocation of the file's size and one read: a container is several megabytes, and
  // growing the buffer as bytes arrive would copy it over and over and hold two copies at once.
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  Bytes data(size > 0 ? static_cast<std::size_t>(size) : 0);
  in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
  data.resize(static_cast<std::size_t>(in.gcount()));
  // Whatever a file that grew meanwhile holds beyond its size at the start still belongs to it.
  if (in) data.insert(data.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return data;
}

}  // namespace kartwerk
