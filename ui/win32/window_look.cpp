#include "ui/win32/window_look.hpp"

#include <string>

#include "ui/win32/resource_ids.hpp"
#include "ui/win32/wide_text.hpp"

namespace kartwerk::win32 {
namespace {

HFONT MakeFont(int pixels, bool bold) {
  // A negative height asks for the character height in pixels, as the layout gives it.
  return CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS,
                     Wide(logic::layout::kFontFamily).c_str());
}

HBITMAP LoadBanner(HINSTANCE pictures, int id) {
  return static_cast<HBITMAP>(LoadImageW(pictures, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

COLORREF Rgb(logic::layout::Colour colour) { return RGB(colour.red, colour.green, colour.blue); }

WindowLook::WindowLook(HINSTANCE pictures)
    : module_(GetModuleHandleW(nullptr)),
      controls_(),
      text_(MakeFont(logic::layout::kFontPixels, false)),
      bold_(MakeFont(logic::layout::kFontPixels, true)),
      prompt_(MakeFont(logic::layout::kPromptFontPixels, false)),
      wordMark_(MakeFont(logic::layout::kWordMarkPixels, true)),
      white_(CreateSolidBrush(Rgb(logic::layout::kWhite))),
      pictures_(pictures),
      banners_{{96, LoadBanner(pictures, KARTWERK_IDB_BANNER)},
               {144, LoadBanner(pictures, KARTWERK_IDB_BANNER_144)},
               {192, LoadBanner(pictures, KARTWERK_IDB_BANNER_192)}},
      programIcon_(static_cast<HICON>(
          LoadImageW(pictures, MAKEINTRESOURCEW(KARTWERK_IDI_PROGRAM), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE))),
      mapRows_(controls_.CreateImageList(16)) {
  if (auto* icon =
          static_cast<HICON>(LoadImageW(pictures, MAKEINTRESOURCEW(KARTWERK_IDI_MAP_ROW), IMAGE_ICON, 16, 16, 0))) {
    controls_.AddIcon(mapRows_, icon);
    DestroyIcon(icon);
  }
}

WindowLook::~WindowLook() {
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(text_), static_cast<HGDIOBJ>(bold_), static_cast<HGDIOBJ>(prompt_),
                         static_cast<HGDIOBJ>(wordMark_), static_cast<HGDIOBJ>(white_)}) {
    if (object != nullptr) DeleteObject(object);
  }
  for (const BannerPicture& banner : banners_) {
    if (banner.picture != nullptr) DeleteObject(banner.picture);
  }
  for (const auto& [key, font] : scaledFonts_) DeleteObject(font);
  if (programIcon_ != nullptr) DestroyIcon(programIcon_);
  controls_.DestroyImageList(mapRows_);
  for (const auto& [size, list] : scaledMapRows_) controls_.DestroyImageList(list);
}

HFONT WindowLook::ForDpi(HFONT font, UINT dpi) {
  if (dpi == 96 || font == nullptr) return font;
  const auto found = scaledFonts_.find({font, dpi});
  if (found != scaledFonts_.end()) return found->second;
  LOGFONTW description{};
  if (GetObjectW(font, sizeof(description), &description) == 0) return font;
  description.lfHeight = MulDiv(description.lfHeight, static_cast<int>(dpi), 96);
  HFONT scaled = CreateFontIndirectW(&description);
  if (scaled == nullptr) return font;
  scaledFonts_.emplace(std::make_pair(font, dpi), scaled);
  return scaled;
}

HBITMAP WindowLook::Banner(UINT dpi) const {
  for (const BannerPicture& banner : banners_) {
    if (banner.dpi >= dpi && banner.picture != nullptr) return banner.picture;
  }
  return banners_.back().picture != nullptr ? banners_.back().picture : banners_.front().picture;
}

HIMAGELIST WindowLook::MapRowImages(UINT dpi) {
  const int size = MulDiv(16, static_cast<int>(dpi), 96);
  if (size <= 16) return mapRows_;
  const auto found = scaledMapRows_.find(size);
  if (found != scaledMapRows_.end()) return found->second;
  HIMAGELIST list = controls_.CreateImageList(size);
  // The icon file holds pictures of several sizes; the system takes the one nearest this size.
  if (auto* icon = static_cast<HICON>(
          LoadImageW(pictures_, MAKEINTRESOURCEW(KARTWERK_IDI_MAP_ROW), IMAGE_ICON, size, size, 0))) {
    controls_.AddIcon(list, icon);
    DestroyIcon(icon);
  }
  scaledMapRows_.emplace(size, list);
  return list;
}

SIZE WindowLook::TextSize(HFONT font, const std::wstring& text) const {
  SIZE size{};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size;
}

}  // namespace kartwerk::win32
