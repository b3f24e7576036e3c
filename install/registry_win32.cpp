#include "install/registry_win32.hpp"

#include <windows.h>

#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace kartwerk {
namespace {

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
  return out;
}

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size, nullptr, nullptr);
  return out;
}

class Win32Key : public RegistryKey {
 public:
  explicit Win32Key(HKEY key) : key_(key) {}
  ~Win32Key() override { RegCloseKey(key_); }
  Win32Key(const Win32Key&) = delete;
  Win32Key& operator=(const Win32Key&) = delete;

  std::vector<std::string> SubKeyNames() const override {
    std::vector<std::string> names;
    wchar_t name[256];  // the longest key name the registry allows, and its terminator
    for (DWORD index = 0;; ++index) {
      DWORD length = 256;
      if (RegEnumKeyExW(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.push_back(Utf8(std::wstring_view(name, length)));
    }
    return names;
  }

  std::unique_ptr<RegistryKey> OpenSubKey(std::string_view relativePath) const override {
    HKEY sub = nullptr;
    if (RegOpenKeyExW(key_, Wide(relativePath).c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) return nullptr;
    return std::make_unique<Win32Key>(sub);
  }

  std::string ReadString(std::string_view valueName) const override {
    const std::wstring name = Wide(valueName);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS) {
      return {};
    }
    return Utf8(data.data());  // up to the first zero character
  }

 private:
  HKEY key_;
};

class Win32Registry : public RegistrySource {
 public:
  std::unique_ptr<RegistryKey> OpenMachineKey(std::string_view path) const override {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
    return std::make_unique<Win32Key>(key);
  }
  std::filesystem::path HostFolder(std::string_view registeredFolder) const override {
    return std::filesystem::path(Wide(registeredFolder));
  }
};

// The default value of a key under root; empty when the key or its value is missing.
std::string DefaultValue(HKEY root, std::string_view path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, Wide(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  const Win32Key owner(key);
  return owner.ReadString("");
}

// A command's program as the shell finds it: environment variables expanded, a bare name looked
// up on the search path.
bool ProgramExists(const std::string& program) {
  if (program.empty()) return false;
  const std::wstring unexpanded = Wide(program);
  std::wstring wide(ExpandEnvironmentStringsW(unexpanded.c_str(), nullptr, 0), L'\0');
  if (wide.empty() ||
      ExpandEnvironmentStringsW(unexpanded.c_str(), wide.data(), static_cast<DWORD>(wide.size())) == 0) {
    return false;
  }
  wide.resize(wcslen(wide.c_str()));
  if (wide.find_first_of(L"\\/:") == std::wstring::npos) {
    wchar_t found[MAX_PATH];
    return SearchPathW(nullptr, wide.c_str(), L".exe", MAX_PATH, found, nullptr) != 0;
  }
  std::error_code ec;
  return std::filesystem::is_regular_file(std::filesystem::path(wide), ec);
}

}  // namespace

std::shared_ptr<const RegistrySource> OpenWin32Registry() { return std::make_shared<Win32Registry>(); }

void RegisterMapType(const MapType& type, const std::filesystem::path& program) {
  const std::wstring wideProgram = program.wstring();
  for (const ClassRootEntry& entry : ClassRootEntries(type, Utf8(wideProgram))) {
    HKEY key = nullptr;
    const std::wstring name = Wide(entry.key);
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
      throw std::runtime_error("Cannot create the registry key HKEY_CLASSES_ROOT\\" + entry.key);
    }
    const std::wstring value = Wide(entry.value);
    const LONG written = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (written != ERROR_SUCCESS) {
      throw std::runtime_error("Cannot write the registry key HKEY_CLASSES_ROOT\\" + entry.key);
    }
  }
}

MapTypeHandler CurrentMapTypeHandler(const MapType& type) {
  MapTypeHandler handler;
  handler.progId = DefaultValue(HKEY_CLASSES_ROOT, "." + std::string(type.extension));
  if (handler.progId.empty()) return handler;
  std::string verb = DefaultValue(HKEY_CLASSES_ROOT, handler.progId + "\\Shell");
  if (verb.empty()) verb = "open";
  const std::string command = DefaultValue(HKEY_CLASSES_ROOT, handler.progId + "\\Shell\\" + verb + "\\command");
  handler.works = ProgramExists(CommandProgram(command));
  return handler;
}

std::filesystem::path InstalledProgram() {
  const std::string program =
      DefaultValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kartwerk.exe");
  return program.empty() ? std::filesystem::path() : std::filesystem::path(Wide(program));
}

}  // namespace kartwerk
