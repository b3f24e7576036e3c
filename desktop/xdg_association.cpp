#include "desktop/xdg_association.hpp"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "core/error_text.hpp"
#include "desktop/map_types.hpp"
#include "desktop/program_icon.hpp"
#include "desktop/system_tools.hpp"
#include "format/map_info.hpp"
#include "platform/file_output.hpp"
#include "platform/path_text.hpp"
#include "platform/whole_file.hpp"

namespace kartwerk::desktop {
namespace {

std::string XmlText(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// Writes content unless the file already holds exactly that; returns whether it wrote.
bool WriteIfChanged(const std::filesystem::path& path, std::string_view content) {
  if (platform::ReadFileText(path) == content) return false;
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  if (ec)
    throw std::runtime_error("Cannot create the folder \"" + platform::TextFromPath(path.parent_path()) +
                             "\": " + core::ErrorText(ec));
  platform::WriteFileAtomic(path, content);
  return true;
}

bool Exists(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

// Runs a refresh tool on folder when the tool is installed; its failure is an error.
void Refresh(std::string_view tool, const std::filesystem::path& folder) {
  const std::filesystem::path program = FindProgramInPath(tool);
  if (program.empty()) return;
  const int status = RunQuietly(program, {folder.string()});
  if (status != 0) {
    throw std::runtime_error(std::string(tool) + " could not update \"" + folder.string() + "\"" +
                             (status > 0 ? " (exit status " + std::to_string(status) + ")" : ""));
  }
}

// The program by its bare name when PATH finds this very program under it, else its full path.
std::filesystem::path ExecName(const std::filesystem::path& program) {
  const std::filesystem::path found = FindProgramInPath(program.filename().string());
  std::error_code ec;
  if (!found.empty() && std::filesystem::equivalent(found, program, ec)) return program.filename();
  return program;
}

}  // namespace

std::string MimePackageXml() {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
  for (const MapType& type : kCompiledMapTypes) {
    xml += "  <mime-type type=\"" + std::string(type.mimeType) + "\">\n";
    xml += "    <comment>" + XmlText(core::Cp1252ToUtf8(type.description)) + "</comment>\n";
    // Compiled maps are gzip members; a glob match keeps them apart from plain gzip files.
    xml += "    <sub-class-of type=\"application/gzip\"/>\n";
    // Globs without case-sensitive="true" match any letter case.
    xml += "    <glob pattern=\"*." + std::string(type.extension) + "\"/>\n";
    xml += "  </mime-type>\n";
  }
  xml += "</mime-info>\n";
  return xml;
}

std::string DesktopEntryString(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out;
}

std::string DesktopExecProgram(std::string_view programPath) {
  constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
  const bool quote = programPath.empty() || programPath.find_first_of(reserved) != std::string_view::npos;
  std::string word = quote ? "\"" : "";
  for (char c : programPath) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      throw std::runtime_error("The program path \"" + std::string(programPath) +
                               "\" holds characters a desktop entry cannot start");
    }
    if (c == '"' || c == '`' || c == '$' || c == '\\') word += '\\';
    if (c == '%') word += '%';
    word += c;
  }
  if (quote) word += '"';
  return DesktopEntryString(word);
}

std::string DesktopEntry(const std::filesystem::path& program, const std::filesystem::path& icon) {
  std::string mimeTypes;
  for (const MapType& type : kCompiledMapTypes) mimeTypes += std::string(type.mimeType) + ";";
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Kartwerk\n"
         "GenericName=Map converter\n"
         "Comment=Converts compiled Vornmark II maps back into editor source\n"
         "Exec=" +
         DesktopExecProgram(program.string()) +
         " %f\n"
         "Icon=" +
         DesktopEntryString(icon.string()) +
         "\n"
         "Terminal=false\n"
         "Categories=Game;StrategyGame;\n"
         "Keywords=map;converter;editor;campaign;mission;Vornmark;\n"
         "MimeType=" +
         mimeTypes + "\n";
}

XdgAssociationFiles XdgAssociationPaths(const std::filesystem::path& dataHome) {
  return {dataHome / "mime" / "packages" / "kartwerk.xml",
          dataHome / "icons" / "hicolor" / "48x48" / "apps" / "kartwerk.png",
          dataHome / "applications" / "kartwerk.desktop"};
}

void InstallXdgAssociation(const std::filesystem::path& dataHome, const std::filesystem::path& program) {
  if (program.empty()) throw std::runtime_error("The program's own path is unknown");
  const XdgAssociationFiles files = XdgAssociationPaths(dataHome);
  const std::vector<std::uint8_t> png = ProgramIconPng();

  const bool mimeChanged = WriteIfChanged(files.mimePackage, MimePackageXml());
  const bool iconChanged =
      WriteIfChanged(files.icon, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
  const bool entryChanged = WriteIfChanged(files.desktopEntry, DesktopEntry(ExecName(program), files.icon));

  const std::filesystem::path mimeFolder = dataHome / "mime";
  const std::filesystem::path applications = dataHome / "applications";
  if (mimeChanged || !Exists(mimeFolder / "mime.cache")) Refresh("update-mime-database", mimeFolder);
  if (entryChanged || iconChanged || !Exists(applications / "mimeinfo.cache")) {
    Refresh("update-desktop-database", applications);
  }
}

}  // namespace kartwerk::desktop
