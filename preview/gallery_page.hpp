// The index.html of a folder of map pictures: one section per map with its name, kind, size,
// scheme and missions, and its pictures, so a whole maps folder can be looked over in a browser.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kartwerk::preview {

struct GalleryPicture {
  std::string file;     // beside index.html
  std::string caption;  // UTF-8
  int width = 0;        // pixels
  int height = 0;
};

struct GalleryMap {
  std::string name;  // the map's file name, UTF-8
  std::string kind;
  std::string size;  // "256x256"
  std::string scheme;
  std::size_t missions = 0;
  std::vector<GalleryPicture> pictures;
  std::string error;  // why the map has no pictures, empty when it has them
};

// The whole page: UTF-8 HTML5, every text escaped, every picture's file name escaped as a URL.
std::string GalleryPage(const std::vector<GalleryMap>& maps);

// Text made safe inside HTML elements and attribute values.
std::string EscapeHtml(std::string_view text);
// A relative file path as a URL: every byte but letters, digits, "-._~" and the separator "/"
// percent-encoded.
std::string EscapeUrlPath(std::string_view fileName);

}  // namespace kartwerk::preview
