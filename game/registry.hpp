// Reading the system registry where the game's installer records its installations.
// One small read interface serves every source: a Wine prefix's registry file, the
// Windows registry itself, and an installation named on the command line.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kartwerk::game {

// An open registry key. Closing it is destroying it. Texts are UTF-8.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  // Names of the direct sub-keys, in the registry's own enumeration order.
  virtual std::vector<std::string> SubKeyNames() const = 0;

  // Opens a key below this one by a relative path ("1.9" or "a\b"); nullptr when it does not exist.
  // Never creates anything.
  virtual std::unique_ptr<RegistryKey> OpenSubKey(std::string_view relativePath) const = 0;

  // The string value of that name (names compare without regard to case). A missing value,
  // and a value of any type other than a string, reads as the empty string.
  virtual std::string ReadString(std::string_view valueName) const = 0;
};

// Where the registry comes from, and how the folders it names are reached from here.
class RegistrySource {
 public:
  virtual ~RegistrySource() = default;

  // Opens a key under HKEY_LOCAL_MACHINE by its full path, components separated by
  // backslashes and compared without regard to case; nullptr when it does not exist.
  virtual std::unique_ptr<RegistryKey> OpenMachineKey(std::string_view path) const = 0;

  // The local path of a folder as the registry writes it ("C:\Games\Vornmark II" under Wine);
  // an empty path when the text names no folder reachable from here.
  virtual std::filesystem::path HostFolder(std::string_view registeredFolder) const = 0;
};

// Splits a registry path at its backslashes, dropping empty components.
std::vector<std::string> SplitKeyPath(std::string_view path);

// Registry names compare without regard to ASCII case; keys enumerate in this order.
bool KeyNameLess(std::string_view a, std::string_view b);

}  // namespace kartwerk::game
