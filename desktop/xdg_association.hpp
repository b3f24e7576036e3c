// The file association on desktops that follow the freedesktop.org rules: a shared-mime-info
// package that gives each compiled map extension its own MIME type, and a desktop entry that
// opens those types with the program, both under the user's data folder.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kartwerk::desktop {

// The MIME package: one type per compiled map type, its description, and a glob for its
// extension that matches without regard to case ("x.QDM" too).
std::string MimePackageXml();

// A text as a desktop entry value: backslash, line feed, carriage return and tab escaped.
std::string DesktopEntryString(std::string_view text);

// The program as the first word of an Exec line: quoted when it holds a character an Exec line
// reserves, with '"', '`', '$', '\' escaped inside the quotes, '%' doubled, then escaped as a value.
// Throws std::runtime_error for a path holding control characters, which an Exec line cannot carry.
std::string DesktopExecProgram(std::string_view programPath);

// The desktop entry that opens the compiled map types with the program.
std::string DesktopEntry(const std::filesystem::path& program, const std::filesystem::path& icon);

// Where the association's files live under a data folder (~/.local/share).
struct XdgAssociationFiles {
  std::filesystem::path mimePackage;   // mime/packages/kartwerk.xml
  std::filesystem::path icon;          // icons/hicolor/48x48/apps/kartwerk.png
  std::filesystem::path desktopEntry;  // applications/kartwerk.desktop
};
XdgAssociationFiles XdgAssociationPaths(const std::filesystem::path& dataHome);

// Writes the package, the icon and the desktop entry (only files whose content changed; the entry
// starts the program by its bare name when PATH finds this program under it), then
// refreshes the MIME database and the desktop entries' MIME cache with update-mime-database and
// update-desktop-database when they exist. Throws std::runtime_error saying what failed.
void InstallXdgAssociation(const std::filesystem::path& dataHome, const std::filesystem::path& program);

}  // namespace kartwerk::desktop
