#include "compare/header_keys.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "compare/entry_changes.hpp"
#include "format/map_info.hpp"

namespace kartwerk::compare {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

std::string_view BaseName(std::string_view name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

// A bounds-checked reader of the info files' little-endian values and counted texts.
class InfoReader {
 public:
  explicit InfoReader(std::string_view bytes) : bytes_(bytes) {}
  std::optional<std::uint32_t> U32() {
    if (bytes_.size() - at_ < 4) return std::nullopt;
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes_[at_ + static_cast<std::size_t>(i)]);
    at_ += 4;
    return v;
  }
  std::optional<std::string> Text() {
    const auto size = U32();
    if (!size || *size > bytes_.size() - at_) return std::nullopt;
    std::string text(bytes_.substr(at_, *size));
    at_ += *size;
    return text;
  }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

// The keys of an info file, in order; an info cut short ends where its bytes end, and bytes
// beyond the last key show as "extra bytes".
Fields InfoFields(std::string_view content, bool mission) {
  static constexpr std::array<const char*, 4> kMapValues{"reserved", "terrain scheme", "width", "height"};
  static constexpr std::array<const char*, 6> kMissionValues{"x",      "y",           "width",
                                                             "height", "first value", "second value"};
  static constexpr std::array<const char*, 3> kMissionTexts{"title", "description", "third text"};
  Fields fields;
  InfoReader reader(content);
  const auto value = [&](const char* name) {
    const auto v = reader.U32();
    if (v)
      fields.emplace_back(name, name == std::string_view("terrain scheme")
                                    ? std::string(format::TerrainSchemeText(*v))
                                    : std::to_string(static_cast<std::int32_t>(*v)));
    return v.has_value();
  };
  bool whole = true;
  if (mission) {
    for (const char* name : kMissionValues) whole = whole && value(name);
    for (const char* name : kMissionTexts) {
      if (!whole) break;
      const auto text = reader.Text();
      if (text) fields.emplace_back(name, *text);
      whole = text.has_value();
    }
  } else {
    for (const char* name : kMapValues) whole = whole && value(name);
  }
  fields.emplace_back("length", std::to_string(content.size()) + " bytes");
  return fields;
}

}  // namespace

bool IsHeaderFile(std::string_view fileName) {
  const std::string_view base = BaseName(fileName);
  return base == "desc" || base == "info";
}

std::vector<FieldChange> CompareHeaderKeys(std::string_view fileName, std::string_view mapContent,
                                           std::string_view folderContent) {
  const bool mission = fileName.find('/') != std::string_view::npos;
  if (BaseName(fileName) == "desc") {
    return CompareFields({{"title", std::string(mapContent)}}, {{"title", std::string(folderContent)}});
  }
  return CompareFields(InfoFields(mapContent, mission), InfoFields(folderContent, mission));
}

}  // namespace kartwerk::compare
