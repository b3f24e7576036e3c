// conversion_floor MAP SLOT OUT: the least any conversion of MAP has to do, for comparison with
// the real one. It inflates the compiled file (and a campaign's mission files beside it) into
// memory with the inflater Kartwerk uses (libdeflate where the build has it, else zlib), then writes as many files as
// the slot folder SLOT holds, each of the same size and in the same sub-folders, into OUT: plain open, write, close,
// nothing else. SLOT is the folder a real conversion of MAP wrote. Prints the seconds the work took.
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>
#ifdef KARTWERK_FLOOR_LIBDEFLATE
#include <libdeflate.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct OutputFile {
  fs::path relative;
  std::uintmax_t size;
};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The compiled files a conversion of map inflates: the map, and for a campaign every file of
// its three characters, "0" and more with the extension ".qdc".
std::vector<fs::path> CompiledFiles(const fs::path& map) {
  std::vector<fs::path> files{map};
  if (Lower(map.extension().string()) != ".qdc") return files;
  const std::string prefix = Lower(map.filename().string().substr(0, 3)) + "0";
  for (const auto& entry : fs::directory_iterator(map.parent_path())) {
    const std::string name = Lower(entry.path().filename().string());
    if (name.rfind(prefix, 0) == 0 && Lower(entry.path().extension().string()) == ".qdc" && entry.path() != map) {
      files.push_back(entry.path());
    }
  }
  return files;
}

std::vector<unsigned char> ReadFile(const fs::path& path) {
  std::vector<unsigned char> data(fs::file_size(path));
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in || std::fread(data.data(), 1, data.size(), in) != data.size())
    throw std::runtime_error("cannot read " + path.string());
  std::fclose(in);
  return data;
}

// The whole gzip file inflated, sized from the length its trailer stores.
std::vector<unsigned char> Inflate(const std::vector<unsigned char>& compressed) {
  std::size_t expected = 0;
  if (compressed.size() >= 4) {
    const unsigned char* t = compressed.data() + compressed.size() - 4;
    expected = t[0] | (t[1] << 8) | (t[2] << 16) | (static_cast<std::size_t>(t[3]) << 24);
  }
  std::vector<unsigned char> out(std::max<std::size_t>(expected, 1));
#ifdef KARTWERK_FLOOR_LIBDEFLATE
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  std::size_t got = 0;
  const libdeflate_result r =
      libdeflate_gzip_decompress(d, compressed.data(), compressed.size(), out.data(), out.size(), &got);
  libdeflate_free_decompressor(d);
  if (r == LIBDEFLATE_SUCCESS) {
    out.resize(got);
    return out;
  }
  // A stored length that is wrong (a member over 4 GiB, several members): zlib takes over.
#endif
  z_stream s{};
  if (inflateInit2(&s, 15 + 16) != Z_OK) throw std::runtime_error("inflateInit2 failed");
  s.next_in = const_cast<unsigned char*>(compressed.data());
  s.avail_in = static_cast<uInt>(compressed.size());
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    if (s.total_out == out.size()) out.resize(out.size() * 2);
    s.next_out = out.data() + s.total_out;
    s.avail_out = static_cast<uInt>(out.size() - s.total_out);
    rc = inflate(&s, Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END) throw std::runtime_error("inflate failed");
  }
  out.resize(s.total_out);
  inflateEnd(&s);
  return out;
}

std::vector<OutputFile> SlotFiles(const fs::path& slot) {
  std::vector<OutputFile> files;
  for (const auto& entry : fs::recursive_directory_iterator(slot)) {
    if (entry.is_regular_file()) files.push_back({fs::relative(entry.path(), slot), entry.file_size()});
  }
  std::sort(files.begin(), files.end(),
            [](const OutputFile& a, const OutputFile& b) { return a.relative < b.relative; });
  return files;
}

void WriteFile(const fs::path& path, const unsigned char* data, std::size_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) throw std::runtime_error("cannot create " + path.string());
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n <= 0) throw std::runtime_error("cannot write " + path.string());
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: conversion_floor MAP SLOT OUT\n";
    return 2;
  }
  try {
    const fs::path map = argv[1], slot = argv[2], out = argv[3];
    const std::vector<OutputFile> outputs = SlotFiles(slot);
    const auto start = std::chrono::steady_clock::now();

    std::vector<std::vector<unsigned char>> inflated;
    for (const fs::path& file : CompiledFiles(map)) inflated.push_back(Inflate(ReadFile(file)));

    // The written bytes come from the inflated data, over and over where a file is larger.
    const std::vector<unsigned char>& source = inflated.front();
    std::vector<unsigned char> bytes;
    for (const OutputFile& file : outputs) {
      const fs::path target = out / file.relative;
      fs::create_directories(target.parent_path());
      if (file.size <= source.size()) {
        WriteFile(target, source.data(), file.size);
        continue;
      }
      bytes.resize(file.size);
      for (std::size_t at = 0; at < bytes.size() && !source.empty(); at += source.size()) {
        std::memcpy(bytes.data() + at, source.data(), std::min(source.size(), bytes.size() - at));
      }
      WriteFile(target, bytes.data(), bytes.size());
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::size_t total = 0;
    for (const auto& data : inflated) total += data.size();
    std::cout << took.count() << " " << total << " " << outputs.size() << "\n";
  } catch (const std::exception& e) {
    std::cerr << "conversion_floor: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
