#include "ui/win32/window_base.hpp"

#include <memory>

#include "ui/win32/wide_text.hpp"

namespace kartwerk::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"KartwerkWindow";
constexpr wchar_t kPanelClass[] = L"KartwerkPanel";
constexpr UINT_PTR kFadeTimer = 1;
// A call posted from another thread: lParam holds the std::function, owned by the message.
constexpr UINT kPostedCall = WM_APP + 1;

// A panel passes its controls' notifications and colour requests on to the window it is in, and
// paints its background with the brush it was made with.
LRESULT CALLBACK PanelProcedure(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: return SendMessageW(GetAncestor(panel, GA_ROOT), message, wParam, lParam);
    case WM_ERASEBKGND: {
      RECT rect;
      GetClientRect(panel, &rect);
      FillRect(reinterpret_cast<HDC>(wParam), &rect, reinterpret_cast<HBRUSH>(GetWindowLongPtrW(panel, GWLP_USERDATA)));
      return 1;
    }
    case WM_NCDESTROY: DeleteObject(reinterpret_cast<HBRUSH>(GetWindowLongPtrW(panel, GWLP_USERDATA))); break;
    default: break;
  }
  return DefWindowProcW(panel, message, wParam, lParam);
}

void RegisterClasses(HINSTANCE module, WNDPROC windowProcedure, HICON icon) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(module, kWindowClass, &existing)) return;
  WNDCLASSEXW window{};
  window.cbSize = sizeof(window);
  window.lpfnWndProc = windowProcedure;
  window.hInstance = module;
  window.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window.hIcon = icon;
  window.lpszClassName = kWindowClass;
  RegisterClassExW(&window);
  WNDCLASSEXW panel = window;
  panel.lpfnWndProc = PanelProcedure;
  panel.hIcon = nullptr;
  panel.lpszClassName = kPanelClass;
  RegisterClassExW(&panel);
}

}  // namespace

RECT ToRect(logic::layout::Box box) { return RECT{box.left, box.top, box.left + box.width, box.top + box.height}; }

WindowBase::WindowBase(Win32Session& session, WindowLook& look, const Shape& shape)
    : session_(session),
      look_(look),
      background_(shape.background),
      backgroundBrush_(CreateSolidBrush(shape.background)) {
  RegisterClasses(look.Module(), &WindowBase::Procedure, look.ProgramIcon());
  // A layered popup: no title bar or border (the window draws its own frame), its alpha the fade.
  const DWORD extended = WS_EX_LAYERED | (shape.alwaysOnTop ? WS_EX_TOPMOST : 0);
  CreateWindowExW(extended, kWindowClass, shape.title, WS_POPUP, 0, 0, shape.width, shape.height, shape.owner, nullptr,
                  look.Module(), this);
  client_ = {0, 0, shape.width, shape.height};
  ApplyDpi(WindowDpi(hwnd_), nullptr);
  ShowOpacity(fade_.AlphaBlend(), fade_.Opacity());
}

WindowBase::~WindowBase() {
  // The actions call into the window's logic, which has gone before the controls go.
  commands_.clear();
  notifications_.clear();
  clickAreas_.clear();
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  for (auto& [control, colours] : colours_) {
    if (colours.brush != nullptr) DeleteObject(colours.brush);
  }
  DeleteObject(backgroundBrush_);
}

WindowBase* WindowBase::FromHandle(HWND window) {
  wchar_t name[32] = {};
  if (window == nullptr || GetClassNameW(window, name, 32) == 0 || std::wstring_view(name) != kWindowClass) {
    return nullptr;
  }
  return reinterpret_cast<WindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK WindowBase::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return self->Dispatch(message, wParam, lParam);
}

LRESULT WindowBase::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: return 1;  // WM_PAINT paints everything
    case WM_PAINT: Paint(); return 0;
    case WM_TIMER:
      if (wParam == kFadeTimer) fade_.Tick();
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (std::optional<LRESULT> brush = Colour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
        return *brush;
      }
      break;
    case WM_DRAWITEM:
      if (DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case WM_COMMAND: {
      const auto found = commands_.find({reinterpret_cast<HWND>(lParam), HIWORD(wParam)});
      if (found != commands_.end()) {
        const std::function<void()> action = found->second;  // the action may replace the controls
        action();
      }
      return 0;
    }
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      const auto found = notifications_.find({header.hwndFrom, header.code});
      if (found != notifications_.end()) {
        const std::function<void(const NMHDR&)> action = found->second;
        action(header);
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      for (const auto& [area, action] : clickAreas_) {
        if (Contains(area, point)) {
          const std::function<void()> run = action;
          run();
          break;
        }
      }
      return 0;
    }
    case WM_SETCURSOR: {
      // A hand over whatever answers a click: the clickable labels and the button boxes.
      POINT point;
      GetCursorPos(&point);
      ScreenToClient(hwnd_, &point);
      const auto control = reinterpret_cast<HWND>(wParam);
      bool clickable = commands_.count({control, static_cast<WORD>(STN_CLICKED)}) != 0;
      for (const auto& area : clickAreas_) clickable = clickable || Contains(area.first, point);
      if (clickable) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    }
    case WM_NCHITTEST: {
      const LRESULT hit = DefWindowProcW(hwnd_, message, wParam, lParam);
      POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ScreenToClient(hwnd_, &point);
      for (const logic::layout::Box& area : dragAreas_) {
        if (hit == HTCLIENT && Contains(area, point)) return HTCAPTION;
      }
      return hit;
    }
    case WM_CLOSE:
      // There is no title bar, but the desktop may still ask (Alt+F4): as the window's "X" does.
      Key(logic::KeyAction::Escape);
      return 0;
    case WM_DPICHANGED:
      // Moved to a monitor of another resolution (or the resolution changed): the system
      // suggests the window's new rectangle.
      ApplyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case kPostedCall: {
      std::unique_ptr<std::function<void()>> call(reinterpret_cast<std::function<void()>*>(lParam));
      (*call)();
      return 0;
    }
    case WM_DESTROY: {
      // Calls still queued for the window go with it.
      MSG pending;
      while (PeekMessageW(&pending, hwnd_, kPostedCall, kPostedCall, PM_REMOVE)) {
        delete reinterpret_cast<std::function<void()>*>(pending.lParam);
      }
      KillTimer(hwnd_, kFadeTimer);
      break;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      break;
    default: break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool WindowBase::Contains(logic::layout::Box box, POINT point) const {
  const RECT rect = ScaledRect(box, dpi_);
  return PtInRect(&rect, point) != 0;
}

void WindowBase::ApplyDpi(UINT dpi, const RECT* suggested) {
  dpi_ = dpi;
  const int width = Px(client_.width), height = Px(client_.height);
  if (suggested != nullptr) {
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (const auto& [control, placed] : placed_) {
    const RECT rect = ScaledRect(placed.box, dpi_);
    SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(look_.ForDpi(placed.font, dpi_)), FALSE);
    FitToText(control);
  }
  if (!placed_.empty()) ScaleExtras();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void WindowBase::FitToText(HWND label) const {
  wchar_t type[16] = {};
  GetClassNameW(label, type, 16);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(label, GWL_STYLE));
  // Values that end with "..." by design keep their box.
  if (lstrcmpiW(type, L"STATIC") != 0 || (style & SS_ELLIPSISMASK) != 0) return;
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
  if (text.empty() || text.find(L'\n') != std::wstring::npos) return;
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  RECT rect;
  GetWindowRect(label, &rect);
  MapWindowPoints(nullptr, GetParent(label), reinterpret_cast<POINT*>(&rect), 2);
  // A label of several lines' height wraps its words: it is left as it is.
  if (rect.bottom - rect.top >= 2 * size.cy) return;
  const int wider = size.cx - (rect.right - rect.left), taller = size.cy - (rect.bottom - rect.top);
  if (wider <= 0 && taller <= 0) return;
  if (wider > 0) {
    const DWORD align = style & SS_TYPEMASK;
    rect.left -= align == SS_CENTER ? wider / 2 : align == SS_RIGHT ? wider : 0;
    rect.right = rect.left + size.cx;
  }
  if (taller > 0) rect.bottom = rect.top + size.cy;
  SetWindowPos(label, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<LRESULT> WindowBase::Colour(HDC dc, HWND control) {
  const auto found = colours_.find(control);
  if (found == colours_.end()) return std::nullopt;
  Colours& colours = found->second;
  SetTextColor(dc, colours.text);
  if (!colours.background) {
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  }
  SetBkColor(dc, *colours.background);
  if (colours.brush == nullptr) colours.brush = CreateSolidBrush(*colours.background);
  return reinterpret_cast<LRESULT>(colours.brush);
}

void WindowBase::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  RECT client;
  GetClientRect(hwnd_, &client);
  FillRect(dc, &client, backgroundBrush_);
  for (const PaintStep& step : paintSteps_) {
    const RECT rect = ScaledRect(step.box, dpi_);
    switch (step.kind) {
      case PaintStep::Kind::Fill:
        SetDCBrushColor(dc, step.colour);
        FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        break;
      case PaintStep::Kind::Banner: PaintBannerStep(dc, step); break;
      case PaintStep::Kind::GreyBox:
        SelectObject(dc, GetStockObject(DC_PEN));
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        SetDCPenColor(dc, Rgb(logic::layout::kFrameGrey));
        Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
        break;
    }
  }
  PaintOver(dc);
  // The window's own one-pixel frame.
  SelectObject(dc, GetStockObject(DC_PEN));
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  SetDCPenColor(dc, Rgb(logic::layout::kFrameGrey));
  Rectangle(dc, client.left, client.top, client.right, client.bottom);
  EndPaint(hwnd_, &paint);
}

void WindowBase::PaintBannerStep(HDC dc, const PaintStep& step) {
  const int saved = SaveDC(dc);
  const RECT clip = ScaledRect(step.box, dpi_);
  IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  const POINT origin{Px(step.origin.x), Px(step.origin.y)};
  if (HBITMAP picture = look_.Banner(dpi_)) {
    // The picture drawn for this resolution at build time; between those sizes the nearest
    // larger one is smoothed down.
    BITMAP size{};
    GetObjectW(picture, sizeof(size), &size);
    const int width = Px(logic::layout::kBannerWidth), height = Px(logic::layout::kBannerHeight);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, picture);
    if (size.bmWidth == width && size.bmHeight == height) {
      BitBlt(dc, origin.x, origin.y, width, height, source, 0, 0, SRCCOPY);
    } else {
      SetStretchBltMode(dc, HALFTONE);
      SetBrushOrgEx(dc, 0, 0, nullptr);
      StretchBlt(dc, origin.x, origin.y, width, height, source, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
  }
  // The word mark, drawn in its font across the sky of the picture.
  SelectObject(dc, look_.ForDpi(look_.WordMark(), dpi_));
  SetTextColor(dc, Rgb(logic::layout::kWordMarkColour));
  SetBkMode(dc, TRANSPARENT);
  SetTextCharacterExtra(dc, Px(1));
  RECT mark = ScaledRect(logic::layout::kWordMark, dpi_);
  OffsetRect(&mark, origin.x, origin.y);
  DrawTextW(dc, L"Kartwerk", -1, &mark, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  RestoreDC(dc, saved);
}

void WindowBase::ShowOpacity(bool alphaBlend, int opacity) {
  // A desktop that cannot show a window half transparent draws it opaque.
  const int alpha = alphaBlend && session_.desktopHasWindowOpacity ? opacity : 255;
  SetLayeredWindowAttributes(hwnd_, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

void WindowBase::StartTimer() { SetTimer(hwnd_, kFadeTimer, static_cast<UINT>(session_.fadeIntervalMs), nullptr); }
void WindowBase::StopTimer() { KillTimer(hwnd_, kFadeTimer); }

void WindowBase::ShowCentred(bool modal) {
  RECT window;
  GetWindowRect(hwnd_, &window);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& area = monitor.rcWork;
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (modal) EnableOthers(false);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

void WindowBase::Hide() {
  ShowWindow(hwnd_, SW_HIDE);
  EnableOthers(true);
}

bool WindowBase::IsShown() const { return hwnd_ != nullptr && IsWindowVisible(hwnd_); }

void WindowBase::ReportError(const std::string& message) { session_.ReportError(message, hwnd_); }

void WindowBase::EnableOthers(bool enable) {
  if (enable) {
    for (HWND other : disabledByModal_) {
      if (IsWindow(other)) EnableWindow(other, TRUE);
    }
    disabledByModal_.clear();
    return;
  }
  // A modal window blocks the program's other windows on show until it is hidden.
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND other, LPARAM self) {
        auto* window = reinterpret_cast<WindowBase*>(self);
        if (other != window->hwnd_ && FromHandle(other) != nullptr && IsWindowVisible(other) &&
            IsWindowEnabled(other)) {
          EnableWindow(other, FALSE);
          window->disabledByModal_.push_back(other);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(this));
}

void WindowBase::PostCall(std::function<void()> call) {
  auto* posted = new std::function<void()>(std::move(call));
  if (hwnd_ == nullptr || !PostMessageW(hwnd_, kPostedCall, 0, reinterpret_cast<LPARAM>(posted))) delete posted;
}

HWND WindowBase::AddControl(const wchar_t* windowClass, const std::wstring& text, DWORD style, logic::layout::Box box,
                            HWND parent) {
  const RECT rect = ScaledRect(box, dpi_);
  HWND control =
      CreateWindowExW(0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                      rect.right - rect.left, rect.bottom - rect.top, parent != nullptr ? parent : hwnd_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextControlId_++)), look_.Module(), nullptr);
  placed_[control] = {box, look_.Text()};
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(look_.ForDpi(look_.Text(), dpi_)), FALSE);
  return control;
}

HWND WindowBase::AddLabel(const std::string& text, logic::layout::Box box, HFONT font, COLORREF colour,
                          std::optional<COLORREF> background, DWORD style, HWND parent) {
  const std::wstring wide = Wide(text);
  if (box.width == 0) {
    const SIZE size = look_.TextSize(font, wide);
    box.width = size.cx + 1;
    box.height = size.cy;
  }
  HWND label = AddControl(L"STATIC", wide, style | SS_NOPREFIX, box, parent);
  placed_[label].font = font;
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(look_.ForDpi(font, dpi_)), FALSE);
  FitToText(label);
  SetColours(label, colour, background);
  return label;
}

HWND WindowBase::AddPanel(logic::layout::Box box, COLORREF background) {
  HWND panel = AddControl(kPanelClass, L"", 0, box);
  SetWindowLongPtrW(panel, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(CreateSolidBrush(background)));
  return panel;
}

void WindowBase::SetText(HWND control, const std::string& text) {
  SetWindowTextW(control, Wide(text).c_str());
  // A transparent label leaves its old text behind unless what lies beneath it is painted again.
  RECT rect;
  GetWindowRect(control, &rect);
  HWND parent = GetParent(control);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void WindowBase::SetTooltip(HWND control, const std::string& text) {
  if (tooltips_ == nullptr) {
    if (text.empty()) return;
    tooltips_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, look_.Module(), nullptr);
    if (tooltips_ == nullptr) return;
    SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, Px(360));
  }
  std::wstring wide = Wide(text);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(control);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = wide.data();
  SendMessageW(tooltips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (text.empty()) return;
  // A static text lets the pointer through to its parent unless it answers mouse messages.
  SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | SS_NOTIFY);
  SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string WindowBase::TooltipText(HWND control) const {
  if (tooltips_ == nullptr) return {};
  wchar_t text[1024] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = GetParent(control);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text;
  if (!SendMessageW(tooltips_, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) return {};
  SendMessageW(tooltips_, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
  return Narrow(text);
}

void WindowBase::SetColours(HWND control, COLORREF text, std::optional<COLORREF> background) {
  Colours& colours = colours_[control];
  if (colours.brush != nullptr) DeleteObject(colours.brush);
  colours = Colours{text, background};
}

void WindowBase::OnCommand(HWND control, WORD code, std::function<void()> action) {
  if (code == STN_CLICKED) SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | SS_NOTIFY);
  commands_[{control, code}] = std::move(action);
}

void WindowBase::OnNotify(HWND control, UINT code, std::function<void(const NMHDR&)> action) {
  notifications_[{control, code}] = std::move(action);
}

void WindowBase::OnClickArea(logic::layout::Box area, std::function<void()> action) {
  clickAreas_.emplace_back(area, std::move(action));
}

void WindowBase::PaintFill(logic::layout::Box box, COLORREF colour) {
  paintSteps_.push_back({PaintStep::Kind::Fill, box, colour});
}
void WindowBase::PaintBanner(logic::layout::Box clip, POINT origin) {
  paintSteps_.push_back({PaintStep::Kind::Banner, clip, 0, origin});
}
void WindowBase::PaintGreyBox(logic::layout::Box box) { paintSteps_.push_back({PaintStep::Kind::GreyBox, box}); }

void WindowBase::MoveGreyBox(logic::layout::Box from, logic::layout::Box to) {
  for (PaintStep& step : paintSteps_) {
    if (step.kind == PaintStep::Kind::GreyBox && step.box == from) step.box = to;
  }
  for (auto& area : clickAreas_) {
    if (area.first == from) area.first = to;
  }
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void WindowBase::SetClientSize(int width, int height) {
  client_ = {0, 0, width, height};
  SetWindowPos(hwnd_, nullptr, 0, 0, Px(width), Px(height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void WindowBase::Place(HWND control, logic::layout::Box box) {
  Placed& placed = placed_[control];
  if (box.width == 0) box.width = placed.box.width;
  if (box.height == 0) box.height = placed.box.height;
  placed.box = box;
  const RECT rect = ScaledRect(box, dpi_);
  SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kartwerk::win32
