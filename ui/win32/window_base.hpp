// What every Win32 window of the program is made of: a borderless popup of a fixed client size,
// drawn at its monitor's resolution (every box of the layout scaled by dpi / 96, again when the
// window moves to a monitor of another resolution),
// centred on its screen and framed by a one-pixel grey line, whose opacity is a layered window's
// alpha stepped by a 20 ms timer. It paints the white panels, banners and grey boxes its window
// declares, gives its controls their colours, routes their notifications to actions, runs calls
// posted from other threads, and lets the banner drag the window.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/logic/window_face.hpp"
#include "ui/logic/window_layout.hpp"
#include "ui/win32/win32_session.hpp"
#include "ui/win32/window_dpi.hpp"
#include "ui/win32/window_look.hpp"

namespace kartwerk::win32 {

RECT ToRect(logic::layout::Box box);

class WindowBase : public logic::WindowFace {
 public:
  struct Shape {
    const wchar_t* title;
    int width;
    int height;
    COLORREF background;
    bool alwaysOnTop;
    HWND owner = nullptr;
  };

  WindowBase(Win32Session& session, WindowLook& look, const Shape& shape);
  ~WindowBase() override;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  HWND Handle() const { return hwnd_; }
  // The tooltip text of a control; empty for none.
  std::string TooltipText(HWND control) const;
  // The resolution the window is drawn at.
  UINT Dpi() const { return dpi_; }
  // The program's window behind a top-level window handle; null for any other window.
  static WindowBase* FromHandle(HWND window);

  // What Enter and Escape do (a close request from the desktop counts as Escape).
  virtual void Key(logic::KeyAction key) = 0;

  // The window face.
  logic::WindowFade& Fading() override { return fade_; }
  void ShowOpacity(bool alphaBlend, int opacity) override;
  void OpacityChanged(int) override {}
  void StartTimer() override;
  void StopTimer() override;
  void ShowCentred(bool modal) override;
  void Hide() override;
  bool IsShown() const override;
  void ReportError(const std::string& message) override;

  // Runs call on the window's thread; dropped when the window no longer exists.
  void PostCall(std::function<void()> call);

 protected:
  Win32Session& session() const { return session_; }
  WindowLook& look() const { return look_; }

  // A child control at box (its parent's coordinates) in the window's font.
  HWND AddControl(const wchar_t* windowClass, const std::wstring& text, DWORD style, logic::layout::Box box,
                  HWND parent = nullptr);
  // A static text; a box of width 0 is sized to the text. Without a background the label is
  // transparent over what the window paints beneath it.
  HWND AddLabel(const std::string& text, logic::layout::Box box, HFONT font, COLORREF colour,
                std::optional<COLORREF> background, DWORD style = SS_LEFT, HWND parent = nullptr);
  // A child panel that holds controls and is shown and hidden with them.
  HWND AddPanel(logic::layout::Box box, COLORREF background);
  // Sets a label's text, repainting what lies beneath it.
  void SetText(HWND control, const std::string& text);
  // The text shown under the pointer over a control; empty for none.
  void SetTooltip(HWND control, const std::string& text);
  // Sets a control's colours (a label's are set by AddLabel).
  void SetColours(HWND control, COLORREF text, std::optional<COLORREF> background);

  // Runs action on the control's WM_COMMAND notification code (a label's click, a button's).
  void OnCommand(HWND control, WORD code, std::function<void()> action);
  // Runs action on the control's WM_NOTIFY code.
  void OnNotify(HWND control, UINT code, std::function<void(const NMHDR&)> action);
  // A left-button release over the area (a painted button box) runs action; the pointer is a hand.
  void OnClickArea(logic::layout::Box area, std::function<void()> action);

  // What the window paints beneath its controls, in the order these are called: a filled box,
  // the banner (clipped to a box, placed at a point, with the word mark), a grey one-pixel box.
  void PaintFill(logic::layout::Box box, COLORREF colour);
  void PaintBanner(logic::layout::Box clip, POINT origin);
  void PaintGreyBox(logic::layout::Box box);
  // Moves a painted grey box, and the click area on it, to another place.
  void MoveGreyBox(logic::layout::Box from, logic::layout::Box to);
  // Dragging in this area moves the window.
  void DragArea(logic::layout::Box area) { dragAreas_.push_back(area); }
  // What a window paints over the rest (a focus frame).
  virtual void PaintOver(HDC) {}
  // Draws one row of an owner-drawn control; false leaves it to the system.
  virtual bool DrawItem(const DRAWITEMSTRUCT&) { return false; }

  void SetClientSize(int width, int height);
  // Moves a child to box, keeping its size where the box gives none.
  void Place(HWND control, logic::layout::Box box);
  // A length of the layout in the window's pixels.
  int Px(int units) const { return ScaleToDpi(units, dpi_); }
  // What a window sizes itself beyond its controls' boxes (a list's row height, a column), at
  // Dpi(); called once the controls are made and again when the resolution changes.
  virtual void ScaleExtras() {}

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  std::optional<LRESULT> Colour(HDC dc, HWND control);
  void EnableOthers(bool enable);
  bool Contains(logic::layout::Box box, POINT point) const;
  // Widens or heightens a one-line label whose text its font draws larger than its box: a font
  // scaled to a finer screen does not grow exactly with the boxes.
  void FitToText(HWND label) const;
  // Takes the resolution of the window's monitor, sizing the window and every control anew.
  void ApplyDpi(UINT dpi, const RECT* suggested);

  struct PaintStep {
    enum class Kind { Fill, Banner, GreyBox } kind;
    logic::layout::Box box;
    COLORREF colour = 0;
    POINT origin{};  // the banner's
  };
  void PaintBannerStep(HDC dc, const PaintStep& step);
  struct Colours {
    COLORREF text;
    std::optional<COLORREF> background;
    HBRUSH brush = nullptr;
  };

  Win32Session& session_;
  WindowLook& look_;
  HWND hwnd_ = nullptr;
  COLORREF background_;
  HBRUSH backgroundBrush_;
  logic::WindowFade fade_{*this};
  int nextControlId_ = 100;
  std::vector<PaintStep> paintSteps_;
  std::vector<logic::layout::Box> dragAreas_;
  std::vector<std::pair<logic::layout::Box, std::function<void()>>> clickAreas_;
  std::map<HWND, Colours> colours_;
  std::map<std::pair<HWND, WORD>, std::function<void()>> commands_;
  std::map<std::pair<HWND, UINT>, std::function<void(const NMHDR&)>> notifications_;
  std::vector<HWND> disabledByModal_;  // the windows this one disabled while shown modally
  UINT dpi_ = kDesignDpi;
  HWND tooltips_ = nullptr;    // made with the first tooltip
  logic::layout::Box client_;  // the window's size in the layout's units
  // Each control's box in the layout's units and its font at 96 dpi, to scale them anew.
  struct Placed {
    logic::layout::Box box;
    HFONT font;
  };
  std::map<HWND, Placed> placed_;
};

}  // namespace kartwerk::win32
