// The registry of a Wine prefix, read from its "system.reg" file, in the text format Wine
// itself keeps: a "WINE REGISTRY Version 2" header, one "[key\\path] time" line per key
// followed by its values, and "#" lines for Wine's own bookkeeping.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "game/registry.hpp"
#include "game/registry_tree.hpp"

namespace kartwerk::game {

// A registry that cannot be read: a missing or unreadable file, or a file of another format.
class RegistryUnavailable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An escaped Wine text (key name, value name or string data) decoded to UTF-8.
struct WineText {
  std::string text;
  std::size_t consumed = 0;  // characters read, the closing endChar included
};

// Decodes text up to the first unescaped endChar: \\ \" \] and the like stand for the character,
// \n \r \t \a \b \e \f \v for control characters, \x followed by up to four hex digits and \ followed
// by up to three octal digits for a UTF-16 code unit. Bytes of 0x80 and above are taken as UTF-8.
// std::nullopt when endChar never comes.
std::optional<WineText> ParseWineText(std::string_view text, char endChar);

// Reads a registry file's text into a tree of its keys. String values ("...", str:"...",
// str(2):"..." and the hex(1)/hex(2) forms Wine uses for strings without a terminating zero) are
// kept, cut at their first zero character; every other value type is kept as a non-string.
// Throws RegistryUnavailable when the header is not "WINE REGISTRY Version 2"; malformed lines
// are skipped as Wine skips them.
RegistryTree ParseWineRegistry(std::string_view text);

// WINEPREFIX when set, otherwise ~/.wine.
std::filesystem::path DefaultWinePrefix();

// The machine registry of a prefix (prefix/system.reg); folders map through the prefix's drives.
// Throws RegistryUnavailable when the file cannot be read or is not a Wine registry.
std::shared_ptr<const RegistrySource> OpenWinePrefixRegistry(const std::filesystem::path& prefix);

}  // namespace kartwerk::game
