// A tooltip that follows the pointer over a control's parts, such as the rows of a list: once the
// pointer rests on a part whose text the control cannot show whole, the whole text shows just
// below that part (above it at the screen's foot), and it goes when the pointer leaves the part
// (for another part, or the control), a button is pressed or the control scrolls.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace kartwerk::win32 {

class PointerTip {
 public:
  // The part of the control under a point: its rectangle (the control's coordinates) and the text
  // to show over it, empty for none (a part shown whole).
  struct Part {
    RECT area{};
    std::wstring text;
  };

  // Watches the pointer over control; partAt names the part under a point.
  PointerTip(HWND control, HINSTANCE module, std::function<Part(POINT)> partAt);
  ~PointerTip();
  PointerTip(const PointerTip&) = delete;
  PointerTip& operator=(const PointerTip&) = delete;

  // The tooltip window, and the text on show in it (empty while it shows none).
  HWND Window() const { return tip_; }
  const std::wstring& Shown() const { return shown_; }

 private:
  static LRESULT CALLBACK ControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
  void Moved(POINT point);
  void Rested(POINT point);
  void Hide();

  HWND control_;
  HWND tip_ = nullptr;
  std::function<Part(POINT)> partAt_;
  WNDPROC controlProcedure_ = nullptr;
  bool armed_ = false;  // the pointer is in part_, which the next hover message shows
  Part part_;
  std::wstring shown_;
};

}  // namespace kartwerk::win32
