// The picture of a map in the browser's list, as the Qt face shows it: while the pointer rests on
// a row, a tooltip window shows the map drawn from above, and under it the map's whole name when
// the row cuts it (the only tip the list has: the list view's own does not show everywhere). The picture is drawn on a
// thread of its own (the same picture module the Qt face uses), so the list never waits; each map is drawn once per
// run, again when its file changes. A map that cannot be read shows no picture.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "core/byte_stream.hpp"
#include "preview/background_pictures.hpp"

namespace kartwerk::win32 {

class MapPictureTip {
 public:
  // The longer side of a picture, in pixels at 96 dpi.
  static constexpr int kPictureSide = 200;

  struct Sources {
    std::function<std::filesystem::path(int row)> mapFile;          // empty: no map
    std::function<std::shared_ptr<const core::Bytes>()> cliffData;  // may give none
    std::function<void(std::function<void()>)> postToWindowThread;  // runs a call on the list's thread
    std::function<UINT()> dpi;                                      // the window's resolution
    std::function<std::wstring(int row)> cutName;                   // the row's name when cut, else empty
  };

  // Watches the pointer over list (a list view) and shows the pictures in a window of its own.
  MapPictureTip(HWND list, HINSTANCE module, Sources sources);
  ~MapPictureTip();
  MapPictureTip(const MapPictureTip&) = delete;
  MapPictureTip& operator=(const MapPictureTip&) = delete;

  // The tooltip window; hidden while no picture is on show.
  HWND Popup() const { return popup_; }
  // The picture on show (null for none); pictures drawn so far, unreadable maps included.
  HBITMAP Shown() const { return shown_; }
  // The name shown under the picture; empty for none.
  const std::wstring& Caption() const { return caption_; }
  std::size_t DrawnCount() const { return drawn_.size(); }

  // The pointer rests on the list at point (the list's coordinates): the list's hover message.
  void PointerRestsAt(POINT point);
  void Hide();

 private:
  using Key = preview::PictureKey;
  static LRESULT CALLBACK ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PopupProcedure(HWND popup, UINT message, WPARAM wParam, LPARAM lParam);
  int RowAt(POINT point) const;
  void Arrived(const std::filesystem::path& file, std::optional<preview::Picture> picture);
  // Shows the picture (null for none) with the caption; nothing when there is neither.
  void Show(HBITMAP picture);
  // The caption's height in pixels, and its font (the list's).
  int CaptionHeight() const;

  HWND list_;
  HWND popup_ = nullptr;
  Sources sources_;
  WNDPROC listProcedure_ = nullptr;
  std::optional<Key> wanted_;
  int wantedRow_ = -1;
  POINT wantedAt_{};  // on the screen
  HBITMAP shown_ = nullptr;
  std::wstring caption_;
  std::map<Key, HBITMAP> drawn_;                           // a null picture for a map that cannot be read
  std::unique_ptr<preview::BackgroundPictures> pictures_;  // last: its thread calls into the rest
};

}  // namespace kartwerk::win32
