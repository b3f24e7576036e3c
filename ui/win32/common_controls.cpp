#include "ui/win32/common_controls.hpp"

#include <stdexcept>
#include <string>

namespace kartwerk::win32 {
namespace {

template <typename Function>
Function Entry(HMODULE module, const char* name) {
  FARPROC entry = GetProcAddress(module, name);
  if (entry == nullptr) throw std::runtime_error(std::string("comctl32.dll has no ") + name);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(entry));
}

}  // namespace

CommonControls::CommonControls() : module_(LoadLibraryW(L"comctl32.dll")) {
  if (module_ == nullptr) {
    throw std::runtime_error("cannot load comctl32.dll (error " + std::to_string(GetLastError()) + ")");
  }
  create_ = Entry<decltype(create_)>(module_, "ImageList_Create");
  replaceIcon_ = Entry<decltype(replaceIcon_)>(module_, "ImageList_ReplaceIcon");
  destroy_ = Entry<decltype(destroy_)>(module_, "ImageList_Destroy");
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof(classes);
  classes.dwICC = ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES;
  Entry<decltype(&::InitCommonControlsEx)>(module_, "InitCommonControlsEx")(&classes);
}

HIMAGELIST CommonControls::CreateImageList(int size) const { return create_(size, size, ILC_COLOR32 | ILC_MASK, 1, 0); }

void CommonControls::AddIcon(HIMAGELIST list, HICON icon) const { replaceIcon_(list, -1, icon); }

void CommonControls::DestroyImageList(HIMAGELIST list) const { destroy_(list); }

}  // namespace kartwerk::win32
