// What the Win32 windows share to look alike: the fonts, the colours as Windows takes them, the
// banner and the pictures from the program's resources. One look is made per run, before the
// windows, and outlives them.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ui/logic/window_layout.hpp"
#include "ui/win32/common_controls.hpp"

namespace kartwerk::win32 {

COLORREF Rgb(logic::layout::Colour colour);

class WindowLook {
 public:
  // Makes the common controls ready, and loads the pictures from the resources of the module
  // pictures (the program's own, or kartwerk.exe loaded as data by a test). Throws
  // std::runtime_error when the common controls cannot be loaded.
  explicit WindowLook(HINSTANCE pictures);
  ~WindowLook();
  WindowLook(const WindowLook&) = delete;
  WindowLook& operator=(const WindowLook&) = delete;

  // The running program, whose windows these are.
  HINSTANCE Module() const { return module_; }
  HFONT Text() const { return text_; }          // the windows' font
  HFONT Bold() const { return bold_; }          // the "X"
  HFONT PromptText() const { return prompt_; }  // the prompts' messages
  HFONT WordMark() const { return wordMark_; }
  HBRUSH WhiteBrush() const { return white_; }
  HBRUSH FaceBrush() const { return GetSysColorBrush(COLOR_BTNFACE); }
  // The same font at a resolution: its height scaled by dpi / 96. The look keeps the fonts it
  // makes until it goes.
  HFONT ForDpi(HFONT font, UINT dpi);
  // Null where the resources hold no such picture: the window is drawn without it. At a
  // resolution: the picture drawn for it at build time, else the nearest larger one.
  HBITMAP Banner() const { return banners_.front().picture; }
  HBITMAP Banner(UINT dpi) const;
  HICON ProgramIcon() const { return programIcon_; }
  // The image list of the browser's rows: the map picture at index 0; at a resolution, the
  // picture of the icon's size for it.
  HIMAGELIST MapRowImages() const { return mapRows_; }
  HIMAGELIST MapRowImages(UINT dpi);

  // The size text takes in a font.
  SIZE TextSize(HFONT font, const std::wstring& text) const;

 private:
  HINSTANCE module_;
  CommonControls controls_;
  HFONT text_, bold_, prompt_, wordMark_;
  HBRUSH white_;
  HINSTANCE pictures_;
  struct BannerPicture {
    UINT dpi;
    HBITMAP picture;
  };
  std::vector<BannerPicture> banners_;  // by rising resolution, the 96-dpi picture first
  HICON programIcon_;
  HIMAGELIST mapRows_;
  std::map<std::pair<HFONT, UINT>, HFONT> scaledFonts_;
  std::map<int, HIMAGELIST> scaledMapRows_;  // by icon size
};

}  // namespace kartwerk::win32
