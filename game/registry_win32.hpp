// The Windows registry itself: the game's key under HKEY_LOCAL_MACHINE read as a RegistrySource,
// a key's default value, and the UTF-8 / UTF-16 conversions of its texts. Built on Windows only.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "game/registry.hpp"

namespace kartwerk::game {

// HKEY_LOCAL_MACHINE, read only; registered folders are local paths already.
std::shared_ptr<const RegistrySource> OpenWin32Registry();

// The default value of a key under root; empty when the key or its value is missing.
std::string DefaultValue(HKEY root, std::string_view path);

// UTF-16 of a UTF-8 registry text, and back.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace kartwerk::game
#endif
