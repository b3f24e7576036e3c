// kartwerk.exe carries the pictures of its windows as resources: Windows loads each of them by
// its number, at the sizes the windows and the shell ask for, and the program icon comes first.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ui/win32/resource_ids.hpp"

namespace kartwerk {
namespace {

struct LoadedProgram {
  HMODULE module = nullptr;
  LoadedProgram() {
    std::wstring path;
    for (const char* c = KARTWERK_EXE; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  }
  ~LoadedProgram() {
    if (module) FreeLibrary(module);
  }
};

// The width, height and bits per pixel of an icon's colour picture.
BITMAP IconPicture(HMODULE module, int id, int size) {
  BITMAP picture{};
  auto icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
  EXPECT_NE(icon, nullptr) << "icon " << id << " at " << size;
  ICONINFO info{};
  if (icon && GetIconInfo(icon, &info)) {
    GetObjectW(info.hbmColor, sizeof picture, &picture);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
  if (icon) DestroyIcon(icon);
  return picture;
}

BOOL CALLBACK KeepFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR first) {
  *reinterpret_cast<ULONG_PTR*>(first) = reinterpret_cast<ULONG_PTR>(name);
  return FALSE;
}

TEST(WindowResources, BannerAndIconsLoadByTheirNumbersAndTheProgramIconComesFirst) {
  const LoadedProgram program;
  ASSERT_NE(program.module, nullptr) << KARTWERK_EXE;

  auto banner = static_cast<HBITMAP>(
      LoadImageW(program.module, MAKEINTRESOURCEW(KARTWERK_IDB_BANNER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(banner, nullptr);
  BITMAP picture{};
  GetObjectW(banner, sizeof picture, &picture);
  EXPECT_EQ(picture.bmWidth, 415);
  EXPECT_EQ(picture.bmHeight, 70);
  EXPECT_EQ(picture.bmBitsPixel, 24);
  DeleteObject(banner);

  for (int size : {16, 32, 48, 256}) {
    const BITMAP icon = IconPicture(program.module, KARTWERK_IDI_PROGRAM, size);
    EXPECT_EQ(icon.bmWidth, size);
    EXPECT_EQ(icon.bmHeight, size);
  }
  const BITMAP mapRow = IconPicture(program.module, KARTWERK_IDI_MAP_ROW, 16);
  EXPECT_EQ(mapRow.bmWidth, 16);
  EXPECT_EQ(mapRow.bmBitsPixel, 32) << "the icon keeps its alpha";

  // Explorer, the taskbar and shortcuts show the first icon group of a program.
  ULONG_PTR first = 0;
  EnumResourceNamesW(program.module, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, KeepFirstName,
                     reinterpret_cast<LONG_PTR>(&first));
  EXPECT_EQ(first, static_cast<ULONG_PTR>(KARTWERK_IDI_PROGRAM));
}

}  // namespace
}  // namespace kartwerk
