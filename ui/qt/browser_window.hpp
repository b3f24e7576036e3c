// TForm7, the map browser's Qt face and the program's main window: the banner, the map list by
// category and the selected map's information. Its logic (Browser) runs the program's start
// sequence and hands a double-clicked map to the slot picker.
#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/fade_form.hpp"
#include "ui/logic/browser.hpp"

class QLabel;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kartwerk {

class TForm1;
class TForm8;
class TForm9;

class TForm7 : public TFadeForm, private BrowserFace {
  Q_OBJECT
  Browser logic_;

 public:
  TForm7(GuiSession& session, TForm1& slotPicker, TForm8& notice, TForm9& versionPicker);

  // Created: the platform check that decides whether windows fade.
  void FormCreate() { logic_.FormCreate(); }
  // The start sequence.
  void FormShow() { logic_.FormShow(); }

  void RadioButton1Click() { logic_.ChooseCategory(CampaignMap); }
  void RadioButton2Click() { logic_.ChooseCategory(SinglePlayerMap); }
  void RadioButton3Click() { logic_.ChooseCategory(MultiplayerMap); }
  // Shows the selected map's information (also run by ListView1SelectItem).
  void ListView1Click() { logic_.ShowSelected(); }
  void ListView1SelectItem() { logic_.ShowSelected(); }
  void ListView1DblClick() { logic_.OpenSelected(); }
  void Label2Click() { logic_.Close(); }

  int PlatformVersionCode() const { return logic_.PlatformVersionCode(); }

  QLabel* Image1;
  QLabel* Label1;
  QLabel* Label2;
  QTreeWidget* ListView1;
  QWidget* Panel1;
  QRadioButton* RadioButton2;
  QRadioButton* RadioButton3;
  QRadioButton* RadioButton1;
  QLabel *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;

 protected:
  void CloseRequested() override { logic_.Key(KeyAction::Escape); }
  void EnterPressed() override { logic_.Key(KeyAction::Enter); }

 private:
  void ShowCategory(MapKindCode kind) override;
  void ShowMapRows(const std::vector<MapRow>& rows) override;
  int SelectedMap(bool keyboardRow) override;
  void ShowMapInformation(const MapInformationText& information) override;
  void FocusMapList() override;
  void ShowSizeValue(const QString& text);
};

}  // namespace kartwerk
