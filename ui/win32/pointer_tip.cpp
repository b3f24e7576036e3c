#include "ui/win32/pointer_tip.hpp"

#include <commctrl.h>

#include <algorithm>

namespace kartwerk::win32 {
namespace {

constexpr wchar_t kTipProperty[] = L"KartwerkPointerTip";
// The tip lies this far below its part: off the pointer, whose move onto the tip's own window
// would be a move off the control.
constexpr int kGapBelowPart = 2;

// The one tool of the tip: placed by the program (tracked) rather than by the tooltip control.
TTTOOLINFOW Tool(HWND control) {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
  tool.hwnd = control;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  return tool;
}

}  // namespace

PointerTip::PointerTip(HWND control, HINSTANCE module, std::function<Part(POINT)> partAt)
    : control_(control), partAt_(std::move(partAt)) {
  tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetAncestor(control, GA_ROOT),
                         nullptr, module, nullptr);
  if (tip_ == nullptr) return;
  TTTOOLINFOW tool = Tool(control_);
  wchar_t none[] = L"";
  tool.lpszText = none;
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  // The control's own procedure sees the pointer first, and hands every message on.
  SetPropW(control_, kTipProperty, this);
  controlProcedure_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PointerTip::ControlProcedure)));
}

PointerTip::~PointerTip() {
  if (controlProcedure_ != nullptr && IsWindow(control_)) {
    SetWindowLongPtrW(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProcedure_));
    RemovePropW(control_, kTipProperty);
  }
  if (IsWindow(tip_)) DestroyWindow(tip_);
}

LRESULT CALLBACK PointerTip::ControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<PointerTip*>(GetPropW(control, kTipProperty));
  if (self == nullptr) return DefWindowProcW(control, message, wParam, lParam);
  const WNDPROC original = self->controlProcedure_;
  const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  switch (message) {
    case WM_MOUSEMOVE: self->Moved(at); break;
    case WM_MOUSEHOVER: self->Rested(at); break;
    // The parts move or the pointer has gone: the tip goes, and the next move looks again.
    case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
    case WM_KEYDOWN:
    case WM_SIZE:
    case WM_SHOWWINDOW: self->Hide(); break;
    case WM_NCDESTROY:
      // The control goes before its tip: its procedure is its own again.
      self->Hide();
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      RemovePropW(control, kTipProperty);
      self->controlProcedure_ = nullptr;
      break;
    default: break;
  }
  return CallWindowProcW(original, control, message, wParam, lParam);
}

void PointerTip::Moved(POINT point) {
  if (armed_ && PtInRect(&part_.area, point)) return;  // still on the same part
  Hide();
  part_ = partAt_(point);
  armed_ = true;
  // A hover message once the pointer rests, and a leave message.
  TRACKMOUSEEVENT track{static_cast<DWORD>(sizeof(TRACKMOUSEEVENT)), TME_HOVER | TME_LEAVE, control_, HOVER_DEFAULT};
  TrackMouseEvent(&track);
}

void PointerTip::Rested(POINT point) {
  if (!armed_ || part_.text.empty() || !PtInRect(&part_.area, point) || tip_ == nullptr) return;
  RECT area = part_.area;
  MapWindowPoints(control_, nullptr, reinterpret_cast<POINT*>(&area), 2);
  // A text longer than the control is wide wraps onto more lines.
  RECT client;
  GetClientRect(control_, &client);
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, std::max<LONG>(client.right, 100));
  TTTOOLINFOW tool = Tool(control_);
  tool.lpszText = part_.text.data();
  SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  // Above the part where the screen ends below it.
  const auto size = static_cast<DWORD>(SendMessageW(tip_, TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&tool)));
  LONG top = area.bottom + kGapBelowPart;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (GetMonitorInfoW(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &monitor) &&
      top + HIWORD(size) > monitor.rcWork.bottom) {
    top = area.top - kGapBelowPart - HIWORD(size);
  }
  SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(area.left, top));
  SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  shown_ = part_.text;
}

void PointerTip::Hide() {
  if (!shown_.empty() && IsWindow(tip_)) {
    TTTOOLINFOW tool = Tool(control_);
    SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
  }
  shown_.clear();
  armed_ = false;
  part_ = {};
}

}  // namespace kartwerk::win32
