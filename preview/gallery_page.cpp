#include "preview/gallery_page.hpp"

namespace kartwerk::preview {
namespace {

constexpr std::string_view kStyle =
    "body{font-family:sans-serif;margin:1.5em;background:#f4f4f4;color:#222}"
    "section{background:#fff;border:1px solid #ccc;border-radius:6px;padding:0.5em 1em 1em;margin-bottom:1.5em}"
    "h2{margin:0.3em 0}dl{display:grid;grid-template-columns:max-content auto;gap:0.1em 1em;margin:0.5em 0}"
    "dt{font-weight:bold}dd{margin:0}.pictures{display:flex;flex-wrap:wrap;gap:1em}"
    "figure{margin:0}img{max-width:100%;height:auto;image-rendering:pixelated;border:1px solid #888}"
    "figcaption{font-size:0.9em;color:#555}.error{color:#a00}";

void Field(std::string& out, std::string_view term, std::string_view value) {
  out += "<dt>";
  out += EscapeHtml(term);
  out += "</dt><dd>";
  out += EscapeHtml(value);
  out += "</dd>";
}

void MapSection(std::string& out, const GalleryMap& map) {
  out += "<section class=\"map\">\n<h2>";
  out += EscapeHtml(map.name);
  out += "</h2>\n<dl>";
  Field(out, "Kind", map.kind);
  Field(out, "Size", map.size);
  Field(out, "Scheme", map.scheme);
  Field(out, "Missions", std::to_string(map.missions));
  out += "</dl>\n";
  if (!map.error.empty()) {
    out += "<p class=\"error\">";
    out += EscapeHtml(map.error);
    out += "</p>\n";
  }
  if (!map.pictures.empty()) {
    out += "<div class=\"pictures\">\n";
    for (const GalleryPicture& picture : map.pictures) {
      out += "<figure><a href=\"" + EscapeUrlPath(picture.file) + "\"><img src=\"" + EscapeUrlPath(picture.file) +
             "\" width=\"" + std::to_string(picture.width) + "\" height=\"" + std::to_string(picture.height) +
             "\" alt=\"" + EscapeHtml(map.name + ": " + picture.caption) + "\"></a><figcaption>" +
             EscapeHtml(picture.caption) + "</figcaption></figure>\n";
    }
    out += "</div>\n";
  }
  out += "</section>\n";
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += ch;
    }
  }
  return out;
}

std::string EscapeUrlPath(std::string_view fileName) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : fileName) {
    const auto byte = static_cast<unsigned char>(ch);
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
                       byte == '-' || byte == '.' || byte == '_' || byte == '~' || byte == '/';
    if (plain) {
      out += ch;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
  }
  return out;
}

std::string GalleryPage(const std::vector<GalleryMap>& maps) {
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Map previews</title>\n<style>";
  out += kStyle;
  out += "</style>\n</head>\n<body>\n<h1>Map previews</h1>\n<p>";
  out += std::to_string(maps.size()) + (maps.size() == 1 ? " map" : " maps");
  out += "</p>\n";
  for (const GalleryMap& map : maps) MapSection(out, map);
  out += "</body>\n</html>\n";
  return out;
}

}  // namespace kartwerk::preview
