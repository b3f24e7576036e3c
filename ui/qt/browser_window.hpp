// BrowserWindow, the map browser's Qt face and the program's main window: the banner, the map list by
// category and the selected map's information. Its logic (Browser) runs the program's start
// sequence and hands a double-clicked map to the slot picker.
#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/logic/browser.hpp"
#include "ui/qt/window_base.hpp"

class QLabel;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kartwerk::qt {

class SlotPickerWindow;
class NoticeWindow;
class VersionPickerWindow;

class BrowserWindow : public WindowBase, private logic::BrowserFace {
  Q_OBJECT
  logic::Browser logic_;

 public:
  BrowserWindow(QtSession& session, SlotPickerWindow& slotPicker, NoticeWindow& notice,
                VersionPickerWindow& versionPicker);

  // What the window does: its start sequence (Start), the category buttons, the map list.
  logic::Browser& Logic() { return logic_; }

  logic::PlatformClass ClassifiedPlatform() const { return logic_.ClassifiedPlatform(); }

  QLabel* banner;
  QLabel* title;
  QLabel* closeLabel;
  QTreeWidget* mapList;
  QWidget* informationPanel;
  QRadioButton* singlePlayer;
  QRadioButton* multiplayer;
  QRadioButton* campaigns;
  QLabel *informationCaption, *sizeCaption, *schemeCaption, *missionsCaption, *sizeValue, *schemeValue, *missionsValue;

 protected:
  void CloseRequested() override { logic_.Key(logic::KeyAction::Escape); }
  void EnterPressed() override { logic_.Key(logic::KeyAction::Enter); }

 private:
  void ShowCategory(format::MapKindCode kind) override;
  void ShowMapRows(const std::vector<logic::MapRow>& rows) override;
  int SelectedMap(bool keyboardRow) override;
  void ShowMapInformation(const logic::MapInformationText& information) override;
  void FocusMapList() override;
  void ShowSizeValue(const QString& text);
};

}  // namespace kartwerk::qt
