// make_window_pictures FOLDER: writes the pictures the Windows program carries as resources
// (ui/win32/resources.rc) into FOLDER: banner.bmp, map_row.ico and kartwerk.ico.
#include <cstdint>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/window_pictures.hpp"

namespace {

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("Cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::cerr << "Usage: make_window_pictures FOLDER\n"
                 "Writes the pictures of the Windows program's windows into FOLDER (made if missing):\n"
                 "  banner.bmp    the banner across the top of the windows, without the word mark\n"
                 "  banner_144.bmp, banner_192.bmp  the same for 144 and 192 dots per inch\n"
                 "  map_row.ico   the icon in front of each map row at 16, 24 and 32 pixels\n"
                 "  kartwerk.ico  the program icon at 16, 32, 48 and 256 pixels\n";
    return argc == 2 ? 0 : 2;
  }
  try {
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (const int dpi : kartwerk::tools::kBannerDpis) {
      const std::string name = dpi == 96 ? "banner.bmp" : "banner_" + std::to_string(dpi) + ".bmp";
      WriteFile(folder / name, kartwerk::tools::EncodeBmp(kartwerk::tools::DrawBannerPicture(dpi)));
    }
    std::vector<kartwerk::tools::IconPicture> rowIcons;
    for (const int size : kartwerk::tools::kMapRowIconSizes) {
      rowIcons.push_back({size, kartwerk::tools::EncodeIconDib(kartwerk::tools::DrawMapRowIcon(size))});
    }
    WriteFile(folder / "map_row.ico", kartwerk::tools::EncodeIco(rowIcons));
    WriteFile(folder / "kartwerk.ico", kartwerk::tools::ProgramIconFile());
  } catch (const std::exception& error) {
    std::cerr << "make_window_pictures: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
