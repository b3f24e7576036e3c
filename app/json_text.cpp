#include "app/json_text.hpp"

#include <cstdio>

#include "core/cp1252.hpp"

namespace kartwerk::app {
namespace {

// A copy of value whose strings (keys included) are all well-formed UTF-8.
nlohmann::json WellFormed(const nlohmann::json& value) {
  if (value.is_string()) return core::WellFormedUtf8(value.get_ref<const std::string&>());
  if (value.is_array()) {
    nlohmann::json array = nlohmann::json::array();
    for (const nlohmann::json& item : value) array.push_back(WellFormed(item));
    return array;
  }
  if (value.is_object()) {
    nlohmann::json object = nlohmann::json::object();
    for (const auto& [key, item] : value.items()) object[core::WellFormedUtf8(key)] = WellFormed(item);
    return object;
  }
  return value;
}

}  // namespace

std::string JsonText(const nlohmann::json& value) {
  const std::string text = WellFormed(value).dump(2);
  // The library escapes the C0 controls; DEL and U+0080 ... U+009F (only ever inside a string)
  // are escaped here.
  std::string out;
  out.reserve(text.size());
  char escaped[8];
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (byte == 0x7F || (byte == 0xC2 && next >= 0x80 && next <= 0x9F)) {
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte == 0x7F ? 0x7Fu : static_cast<unsigned>(next));
      out += escaped;
      if (byte == 0xC2) ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace kartwerk::app
