// make_desktop_files FOLDER: writes the files that make the desktop know an installed Kartwerk,
// the same ones `kartwerk register` writes for one user, laid out as under share/:
//   applications/kartwerk.desktop        opens the three compiled map types with `kartwerk`
//   mime/packages/kartwerk.xml           the map types themselves
//   icons/hicolor/NxN/apps/kartwerk.png  the program's icon in every size a theme wants
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "desktop/program_icon.hpp"
#include "desktop/xdg_association.hpp"

namespace {

void Write(const std::filesystem::path& path, const std::string& content) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << content;
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_desktop_files FOLDER\n";
    return 2;
  }
  try {
    const std::filesystem::path share = argv[1];
    // Installed, the program is found through PATH and the icon through the theme, by name.
    Write(share / "applications" / "kartwerk.desktop", kartwerk::desktop::DesktopEntry("kartwerk", "kartwerk"));
    Write(share / "mime" / "packages" / "kartwerk.xml", kartwerk::desktop::MimePackageXml());
    for (const int size : kartwerk::desktop::kProgramIconSizes) {
      const std::string folder = std::to_string(size) + "x" + std::to_string(size);
      const std::vector<std::uint8_t> png = kartwerk::desktop::ProgramIconPng(size);
      Write(share / "icons" / "hicolor" / folder / "apps" / "kartwerk.png", std::string(png.begin(), png.end()));
    }
  } catch (const std::exception& e) {
    std::cerr << "make_desktop_files: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
