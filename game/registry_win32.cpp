#include "game/registry_win32.hpp"

#include <windows.h>

#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace kartwerk::game {

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

namespace {

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

}  // namespace

std::shared_ptr<const RegistrySource> OpenWin32Registry() { return std::make_shared<Win32Registry>(); }

std::string DefaultValue(HKEY root, std::string_view path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, Wide(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  const Win32Key owner(key);
  return owner.ReadString("");
}

}  // namespace kartwerk::game
