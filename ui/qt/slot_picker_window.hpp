// TForm1, the slot picker and progress window's Qt face: the list of the editor's 255 slots, and
// over it the progress panel with the map's facts, the step under way and the red gauge. What the
// window does (staging, the slot, the worker, the end) is its logic's, SlotPicker.
#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/fade_form.hpp"
#include "ui/logic/slot_picker.hpp"

class QLabel;
class QListWidget;
class QProgressBar;

namespace kartwerk {

class TForm6;
class TForm8;

class TForm1 : public TFadeForm, private SlotPickerFace {
  Q_OBJECT
  // First, so that the members below may refer into it.
  SlotPicker logic_;

 public:
  TForm1(GuiSession& session, TForm8& notice, QWidget* owner = nullptr);
  ~TForm1() override;

  // Shows the window modally for the map at mapPath (the command-line map takes its place when
  // there is one), with the opener's alpha-blending switch (and opacity when withOpacity).
  // afterClose runs when the window closes without ending the program itself: with the failure's
  // text when the map could not be read (and, if failuresReturn, when a step of its conversion
  // failed), with an empty text otherwise (nothing to convert, game not located).
  void Open(const std::filesystem::path& mapPath, const TFadeForm& opener, bool withOpacity,
            std::function<void(const QString& failure)> afterClose, bool failuresReturn);

  void FormShow() { logic_.FormShow(); }
  // A double-click on a slot row: the slot folder, "desc" and "info", the panel, the worker.
  void ListBox1DblClick() { logic_.ChooseSlot(); }
  // "X": fades out and ends the program; during a conversion the worker is asked to stop first.
  void Label2Click() { logic_.Close(); }
  // The worker's step reports and end, delivered on this window's thread.
  void ShowProgress(const QString& label) { logic_.ShowProgress(label.toStdString()); }
  void ConversionFinished(const ConversionEnd& end) { logic_.ConversionFinished(end); }

  // The editor prompt once a conversion has ended; null before.
  TForm6* EditorPrompt() const { return prompt_; }
  SlotPicker& Logic() { return logic_; }

  // The conversion worker of the map on show.
  std::unique_ptr<TProcessThread>& ProcessThread;

  QWidget* Panel2;
  QLabel* Image1;
  QLabel* Label2;
  QLabel* Label1;
  QListWidget* ListBox1;
  QWidget* Panel1;
  QLabel *Label3, *Label4, *Label5, *Label6, *Label9, *Label10, *Label11, *Label12, *Label13, *Label14;
  QProgressBar* Gauge1;

 protected:
  void CloseRequested() override { logic_.Key(KeyAction::Escape); }
  void EnterPressed() override { logic_.Key(KeyAction::Enter); }

 private:
  void ShowSlotList(const std::string& title) override;
  void ShowSlotRows(const std::vector<std::string>& rows) override;
  void FocusSlotList() override;
  int SelectedSlot(bool keyboardRow) override;
  void ShowProgressPanel(const std::string& title, const ProgressPanel& panel) override;
  void ShowProgress(const std::string& label, int gauge) override;
  void PostToWindowThread(std::function<void()> call) override;
  kartwerk::EditorPrompt& MakeEditorPrompt() override;

  TForm6* prompt_ = nullptr;
};

// The notice shown before the editor prompt when a step failed.
QString ConversionFailureNotice(const ConversionEnd& end);

// The notice shown before the editor prompt when the slot held a map before: where it went (and
// what was settled of an interrupted conversion). Empty when there is nothing to say.
QString ReplacedSlotNotice(const ConversionEnd& end, const std::vector<std::string>& notes);

}  // namespace kartwerk
