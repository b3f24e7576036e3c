// The map browser's Win32 face and the program's main window: the banner, the map list (a
// report-style list view) by category and the selected map's information. Its logic (Browser)
// runs the start sequence and hands a double-clicked map to the slot picker.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/logic/browser.hpp"
#include "ui/win32/map_picture_tip.hpp"
#include "ui/win32/window_base.hpp"

namespace kartwerk::win32 {

class BrowserWindow : public WindowBase, private logic::BrowserFace {
 public:
  BrowserWindow(Win32Session& session, WindowLook& look, logic::SlotPicker& slotPicker, logic::Notice& notice,
                logic::VersionPicker& versionPicker);

  logic::Browser& Logic() { return logic_; }
  void Key(logic::KeyAction key) override { logic_.Key(key); }

  // The controls, for the tests that drive the window by its messages.
  HWND MapList() const { return mapList_; }
  HWND CategoryButton(format::MapKindCode kind) const;
  HWND CloseLabel() const { return closeLabel_; }
  HWND SizeValue() const { return sizeValue_; }
  HWND SchemeValue() const { return schemeValue_; }
  HWND MissionsValue() const { return missionsValue_; }
  MapPictureTip& PictureTip() { return *pictureTip_; }
  // A row's name when the list cuts it ("..."), for the picture tip to show whole; else empty.
  std::wstring CutRowName(int row) const;

 private:
  void ShowCategory(format::MapKindCode kind) override;
  void ShowMapRows(const std::vector<logic::MapRow>& rows) override;
  int SelectedMap(bool keyboardRow) override;
  void ShowMapInformation(const logic::MapInformationText& information) override;
  void FocusMapList() override { SetFocus(mapList_); }
  void ScaleExtras() override;

  logic::Browser logic_;
  HWND mapList_, closeLabel_, singlePlayer_, multiplayer_, campaigns_, sizeValue_, schemeValue_, missionsValue_;
  bool fillingRows_ = false;  // a new set of rows announces no selection
  std::vector<std::string> rowCaptions_;
  std::unique_ptr<MapPictureTip> pictureTip_;
};

}  // namespace kartwerk::win32
