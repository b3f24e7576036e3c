#include "ui/win32/window_dpi.hpp"

namespace kartwerk::win32 {
namespace {

// Looked up at run time: systems before these functions came still run the program, at 96 dpi
// or the screen's.
template <typename Function>
Function User32Entry(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

}  // namespace

UINT WindowDpi(HWND window) {
  using ForWindow = UINT(WINAPI*)(HWND);
  static const auto forWindow = User32Entry<ForWindow>("GetDpiForWindow");
  if (forWindow != nullptr && window != nullptr) {
    if (const UINT dpi = forWindow(window); dpi != 0) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

int ScaleToDpi(int units, UINT dpi) { return MulDiv(units, static_cast<int>(dpi), static_cast<int>(kDesignDpi)); }

RECT ScaledRect(logic::layout::Box box, UINT dpi) {
  return RECT{ScaleToDpi(box.left, dpi), ScaleToDpi(box.top, dpi), ScaleToDpi(box.left + box.width, dpi),
              ScaleToDpi(box.top + box.height, dpi)};
}

bool DeclarePerMonitorDpiAwareness() {
  using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
  if (const auto set = User32Entry<SetContext>("SetProcessDpiAwarenessContext")) {
    if (set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) || set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE)) return true;
  }
  return SetProcessDPIAware() != FALSE;
}

}  // namespace kartwerk::win32
