// TForm7, the map browser and the program's main window. Its start (FormShow) is the program's
// start sequence: the installations, "cliffdata", a map named on the command line (straight to
// the slot picker), the version picker when several installations exist, the game's slots. Then
// it lists the game's maps by category, shows the selected map's size, scheme and missions, and
// hands a double-clicked map to the slot picker.
#pragma once

#include <QString>
#include <filesystem>
#include <string>

#include "ui/fade_form.hpp"

class QLabel;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kartwerk {

class TForm1;
class TForm8;
class TForm9;

inline constexpr const char* MissingCliffDataMessage =
    "Missing file named cliffdata, \n\rPlease reinstall Kartwerk to restore the missing file.";

class TForm7 : public TFadeForm {
  Q_OBJECT

 public:
  TForm7(GuiSession& session, TForm1& slotPicker, TForm8& notice, TForm9& versionPicker);

  // Created: the platform check that decides whether windows fade.
  void FormCreate();
  // The start sequence.
  void FormShow();

  void RadioButton1Click();  // Campaigns
  void RadioButton2Click();  // Singleplayer
  void RadioButton3Click();  // Multiplayer
  // Shows the selected map's information (also run by ListView1SelectItem).
  void ListView1Click();
  void ListView1SelectItem();
  void ListView1DblClick();
  void Label2Click();

  int PlatformVersionCode() const { return platformVersionCode_; }

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
  void CloseRequested() override { Label2Click(); }
  void EnterPressed() override;

 private:
  QTreeWidgetItem* SelectedRow() const;
  void ContinueStart();
  void ChooseCategory(MapKindCode kind);
  // The selection handler's work; throws what reading the map throws.
  void ShowSelectedMapInformation();
  void OpenSelectedMap();
  void ShowFatalNotice(const QString& message);
  // Shows the list again, with the failure of the map that was opened above it.
  void ReturnToList(const QString& failure);
  void ShowSizeValue(const QString& text);

  TForm1& slotPicker_;
  TForm8& notice_;
  TForm9& versionPicker_;
  int platformVersionCode_ = -1;
  bool closing_ = false;
  std::filesystem::path categoryFolder_;
};

}  // namespace kartwerk
