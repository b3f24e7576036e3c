#include "ui/win32/map_picture_tip.hpp"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>

namespace kartwerk::win32 {
namespace {

constexpr wchar_t kPopupClass[] = L"KartwerkMapPicture";
constexpr wchar_t kTipProperty[] = L"KartwerkMapPictureTip";
// The picture sits this far below and right of the pointer, as the desktop's tooltips do.
constexpr int kOffsetFromPointer = 16;

// A device-independent bitmap of the picture (top-down rows, 32 bits a pixel).
HBITMAP ToBitmap(const preview::Picture& picture) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture.width();
  info.bmiHeader.biHeight = -picture.height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return nullptr;
  const auto rgb = picture.bytes();
  auto* out = static_cast<std::uint8_t*>(bits);
  const std::size_t pixels = static_cast<std::size_t>(picture.width()) * static_cast<std::size_t>(picture.height());
  for (std::size_t i = 0; i < pixels && i * 3 + 2 < rgb.size(); ++i) {
    out[i * 4] = rgb[i * 3 + 2];
    out[i * 4 + 1] = rgb[i * 3 + 1];
    out[i * 4 + 2] = rgb[i * 3];
    out[i * 4 + 3] = 0;
  }
  return bitmap;
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  GetObjectW(bitmap, sizeof(info), &info);
  return {info.bmWidth, info.bmHeight};
}

}  // namespace

MapPictureTip::MapPictureTip(HWND list, HINSTANCE module, Sources sources) : list_(list), sources_(std::move(sources)) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (!GetClassInfoExW(module, kPopupClass, &existing)) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof(type);
    type.lpfnWndProc = &MapPictureTip::PopupProcedure;
    type.hInstance = module;
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.lpszClassName = kPopupClass;
    RegisterClassExW(&type);
  }
  popup_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kPopupClass, L"", WS_POPUP | WS_BORDER,
                           0, 0, 1, 1, GetAncestor(list, GA_ROOT), nullptr, module, this);
  SetWindowLongPtrW(popup_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // The list's own procedure sees the pointer first, and hands every message on.
  SetPropW(list_, kTipProperty, this);
  listProcedure_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MapPictureTip::ListProcedure)));
  pictures_ = std::make_unique<preview::BackgroundPictures>(
      [this](const std::filesystem::path& file, std::optional<preview::Picture> picture) {
        sources_.postToWindowThread(
            [this, file, picture = std::move(picture)]() mutable { Arrived(file, std::move(picture)); });
      },
      kPictureSide);
}

MapPictureTip::~MapPictureTip() {
  pictures_.reset();  // no picture arrives after this
  if (IsWindow(list_)) {
    SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProcedure_));
    RemovePropW(list_, kTipProperty);
  }
  if (IsWindow(popup_)) DestroyWindow(popup_);
  for (const auto& [key, bitmap] : drawn_) {
    if (bitmap != nullptr) DeleteObject(bitmap);
  }
}

LRESULT CALLBACK MapPictureTip::ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<MapPictureTip*>(GetPropW(list, kTipProperty));
  if (self == nullptr) return DefWindowProcW(list, message, wParam, lParam);
  switch (message) {
    case WM_MOUSEMOVE: {
      // Asks for a hover message once the pointer rests, and a leave message.
      TRACKMOUSEEVENT track{static_cast<DWORD>(sizeof(TRACKMOUSEEVENT)), TME_HOVER | TME_LEAVE, list, HOVER_DEFAULT};
      TrackMouseEvent(&track);
      const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (self->wanted_ && self->RowAt(at) != self->wantedRow_) self->Hide();
      break;
    }
    case WM_MOUSEHOVER:
      self->PointerRestsAt({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      break;
    case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_KILLFOCUS: self->Hide(); break;
    default: break;
  }
  return CallWindowProcW(self->listProcedure_, list, message, wParam, lParam);
}

LRESULT CALLBACK MapPictureTip::PopupProcedure(HWND popup, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<MapPictureTip*>(GetWindowLongPtrW(popup, GWLP_USERDATA));
  if (message == WM_NCHITTEST) return HTTRANSPARENT;  // the pointer passes through to the list
  if (message == WM_PAINT && self != nullptr) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(popup, &paint);
    RECT client;
    GetClientRect(popup, &client);
    const int captionHeight = self->caption_.empty() ? 0 : self->CaptionHeight();
    if (self->shown_ != nullptr) {
      HDC source = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(source, self->shown_);
      const SIZE size = BitmapSize(self->shown_);
      // Drawn for 96 dpi and smoothed up on a finer screen, so the tooltip keeps its size there.
      SetStretchBltMode(dc, HALFTONE);
      SetBrushOrgEx(dc, 0, 0, nullptr);
      StretchBlt(dc, 0, 0, client.right, client.bottom - captionHeight, source, 0, 0, size.cx, size.cy, SRCCOPY);
      SelectObject(source, old);
      DeleteDC(source);
    }
    if (captionHeight > 0) {
      RECT line{0, client.bottom - captionHeight, client.right, client.bottom};
      FillRect(dc, &line, GetSysColorBrush(COLOR_INFOBK));
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(self->list_, WM_GETFONT, 0, 0)));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
      DrawTextW(dc, self->caption_.c_str(), static_cast<int>(self->caption_.size()), &line,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      SelectObject(dc, old);
    }
    EndPaint(popup, &paint);
    return 0;
  }
  return DefWindowProcW(popup, message, wParam, lParam);
}

int MapPictureTip::RowAt(POINT point) const {
  LVHITTESTINFO hit{};
  hit.pt = point;
  return static_cast<int>(SendMessageW(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

void MapPictureTip::PointerRestsAt(POINT point) {
  const int row = RowAt(point);
  const std::optional<Key> key = row >= 0 ? preview::PictureKeyOf(sources_.mapFile(row)) : std::nullopt;
  if (!key) {
    Hide();
    return;
  }
  wanted_ = key;
  wantedRow_ = row;
  wantedAt_ = point;
  ClientToScreen(list_, &wantedAt_);
  caption_ = sources_.cutName ? sources_.cutName(row) : std::wstring();
  if (const auto known = drawn_.find(*key); known != drawn_.end()) {
    Show(known->second);  // a map that cannot be drawn still shows its whole name
    return;
  }
  // The name shows at once; the picture joins it when it has been drawn.
  if (caption_.empty()) {
    ShowWindow(popup_, SW_HIDE);
  } else {
    Show(nullptr);
  }
  pictures_->Request(key->file, sources_.cliffData ? sources_.cliffData() : nullptr);
}

void MapPictureTip::Arrived(const std::filesystem::path& file, std::optional<preview::Picture> picture) {
  const std::optional<Key> key = preview::PictureKeyOf(file);
  if (!key) return;
  HBITMAP& kept = drawn_[*key];
  if (kept != nullptr) DeleteObject(kept);
  kept = picture ? ToBitmap(*picture) : nullptr;
  // Shown only while the pointer still rests on that map's row.
  if (wanted_ == key && kept != nullptr) Show(kept);
}

int MapPictureTip::CaptionHeight() const {
  HDC dc = GetDC(list_);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(list_, dc);
  return metrics.tmHeight + 6;
}

void MapPictureTip::Show(HBITMAP picture) {
  if (picture == nullptr && caption_.empty()) {
    Hide();
    return;
  }
  shown_ = picture;
  const SIZE size = picture != nullptr ? BitmapSize(picture) : SIZE{0, 0};
  const UINT dpi = sources_.dpi ? sources_.dpi() : 96;
  int width = MulDiv(size.cx, static_cast<int>(dpi), 96) + 2, height = MulDiv(size.cy, static_cast<int>(dpi), 96) + 2;
  if (!caption_.empty()) {
    HDC dc = GetDC(list_);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32W(dc, caption_.c_str(), static_cast<int>(caption_.size()), &text);
    SelectObject(dc, old);
    ReleaseDC(list_, dc);
    width = std::max(width, static_cast<int>(text.cx) + 12);
    height += CaptionHeight();
  }
  POINT at{wantedAt_.x + kOffsetFromPointer, wantedAt_.y + kOffsetFromPointer};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (GetMonitorInfoW(MonitorFromPoint(wantedAt_, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& space = monitor.rcWork;
    at.x = std::min(at.x, static_cast<LONG>(space.right - width));
    if (at.y + height > space.bottom) at.y = wantedAt_.y - height - 4;
  }
  SetWindowPos(popup_, HWND_TOPMOST, at.x, at.y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(popup_, nullptr, TRUE);
}

void MapPictureTip::Hide() {
  wanted_.reset();
  wantedRow_ = -1;
  shown_ = nullptr;
  caption_.clear();
  if (IsWindowVisible(popup_)) ShowWindow(popup_, SW_HIDE);
}

}  // namespace kartwerk::win32
