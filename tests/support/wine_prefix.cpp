#include "tests/support/wine_prefix.hpp"

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace kartwerk::testing {
namespace {

// Code points of a UTF-8 text (test texts are well formed).
std::u32string CodePoints(std::string_view utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t cp = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
    for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) {
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    out += cp;
    i += length;
  }
  return out;
}

bool IsHexDigit(char32_t c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

}  // namespace

std::string WineEscape(std::string_view utf8, std::string_view delimiters) {
  std::u16string units;
  for (char32_t cp : CodePoints(utf8)) {
    if (cp >= 0x10000) {
      units += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      units += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      units += static_cast<char16_t>(cp);
    }
  }
  std::string out;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t c = units[i];
    if (c > 127) {
      char buffer[16];
      const bool hexFollows = i + 1 < units.size() && units[i + 1] < 128 && IsHexDigit(units[i + 1]);
      std::snprintf(buffer, sizeof buffer, hexFollows ? "\\x%04x" : "\\x%x", static_cast<unsigned>(c));
      out += buffer;
    } else if (c == '\\' || delimiters.find(static_cast<char>(c)) != std::string_view::npos) {
      out += '\\';
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string WineRegistryHeader() {
  return "WINE REGISTRY Version 2\n"
         ";; All keys relative to \\\\Machine\n"
         "\n"
         "#arch=win64\n"
         "\n";
}

std::string WineInstallationKey(const WineInstallation& installation, std::string_view gameKey) {
  // Key lines name the path from the machine root, components joined by doubled backslashes.
  std::string path;
  std::string_view rest = gameKey;
  while (!rest.empty()) {
    const std::size_t cut = rest.find('\\');
    path += WineEscape(rest.substr(0, cut), "[]") + "\\\\";
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
  }
  path += WineEscape(installation.subKey, "[]");
  return "[" + path +
         "] 1700000000\n"
         "#time=1da0c1f2e3d4c5b\n"
         "\"DisplayIcon\"=hex(2):43,00,3a,00,5c,00,67,00,2e,00,65,00,78,00,65,00,00,00\n"
         "\"InstallCount\"=dword:00000002\n"
         "\"language\"=\"" +
         WineEscape(installation.language) +
         "\"\n"
         "\"Patches\"=str(7):\"1.1\\0\\x31.2\\0\"\n"
         "\"target folder\"=\"" +
         WineEscape(installation.folder) +
         "\"\n"
         "\"Uninstall\"=hex:55,00,6e,00,69,00,6e,00,73,00,74,00,61,00,6c,00,6c,00,2e,00,\\\n"
         "  65,00,78,00,65,00,00,00\n"
         "\"version\"=\"" +
         WineEscape(installation.version) +
         "\"\n"
         "\n";
}

void MakeWinePrefix(const std::filesystem::path& prefix, std::string_view body) {
  std::filesystem::create_directories(prefix / "drive_c");
  std::filesystem::create_directories(prefix / "dosdevices");
  std::error_code ec;
  std::filesystem::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:", ec);
  std::ofstream out(prefix / "system.reg", std::ios::binary);
  out << WineRegistryHeader() << body;
  if (!out) throw std::runtime_error("cannot write system.reg");
}

std::filesystem::path MakeGameFolder(const std::filesystem::path& prefix, std::string_view relativeToDriveC,
                                     bool withEditor) {
  const std::filesystem::path folder = prefix / "drive_c" / std::filesystem::path(std::string(relativeToDriveC));
  std::filesystem::create_directories(folder / "editor");
  if (withEditor) std::ofstream(folder / "editor" / "scridll.dll") << "MZ";
  return folder;
}

}  // namespace kartwerk::testing
