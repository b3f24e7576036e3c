// The common controls the windows use (the list view, the progress bar, image lists) from
// comctl32.dll, loaded when the windows open rather than imported by the program: loading it
// makes a window, and under Wine without a display every command would then wait seconds for a
// desktop that cannot start.
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace kartwerk::win32 {

class CommonControls {
 public:
  // Loads comctl32.dll and registers the list view and progress bar classes; throws
  // std::runtime_error when it cannot.
  CommonControls();

  HIMAGELIST CreateImageList(int size) const;
  void AddIcon(HIMAGELIST list, HICON icon) const;
  void DestroyImageList(HIMAGELIST list) const;

 private:
  HMODULE module_;
  decltype(&::ImageList_Create) create_;
  decltype(&::ImageList_ReplaceIcon) replaceIcon_;
  decltype(&::ImageList_Destroy) destroy_;
};

}  // namespace kartwerk::win32
