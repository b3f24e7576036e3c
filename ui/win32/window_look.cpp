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
                     Wide(layout::kFontFamily).c_str());
}

}  // namespace

COLORREF Rgb(layout::Colour colour) { return RGB(colour.red, colour.green, colour.blue); }

WindowLook::WindowLook(HINSTANCE pictures)
    : module_(GetModuleHandleW(nullptr)),
      controls_(),
      text_(MakeFont(layout::kFontPixels, false)),
      bold_(MakeFont(layout::kFontPixels, true)),
      prompt_(MakeFont(layout::kPromptFontPixels, false)),
      wordMark_(MakeFont(layout::kWordMarkPixels, true)),
      white_(CreateSolidBrush(Rgb(layout::kWhite))),
      banner_(static_cast<HBITMAP>(
          LoadImageW(pictures, MAKEINTRESOURCEW(KARTWERK_IDB_BANNER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))),
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
  for (HGDIOBJ object :
       {static_cast<HGDIOBJ>(text_), static_cast<HGDIOBJ>(bold_), static_cast<HGDIOBJ>(prompt_),
        static_cast<HGDIOBJ>(wordMark_), static_cast<HGDIOBJ>(white_), static_cast<HGDIOBJ>(banner_)}) {
    if (object != nullptr) DeleteObject(object);
  }
  if (programIcon_ != nullptr) DestroyIcon(programIcon_);
  controls_.DestroyImageList(mapRows_);
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
