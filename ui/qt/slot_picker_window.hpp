// SlotPickerWindow, the slot picker and progress window's Qt face: the list of the editor's 255 slots, and
// over it the progress panel with the map's facts, the step under way and the red gauge. What the
// window does (staging, the slot, the worker, the end) is its logic's, SlotPicker.
#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/logic/slot_picker.hpp"
#include "ui/qt/window_base.hpp"

class QLabel;
class QListWidget;
class QProgressBar;

namespace kartwerk::qt {

class EditorPromptWindow;
class NoticeWindow;

class SlotPickerWindow : public WindowBase, private logic::SlotPickerFace {
  Q_OBJECT
  // First, so that the members below may refer into it, and last to go: its worker is joined
  // while the window it reports to is whole.
  logic::SlotPicker logic_;

 public:
  SlotPickerWindow(QtSession& session, NoticeWindow& notice, QWidget* owner = nullptr);

  // Shows the window modally for the map at mapPath (the command-line map takes its place when
  // there is one), with the opener's alpha-blending switch (and opacity when withOpacity).
  // afterClose runs when the window closes without ending the program itself: with the failure's
  // text when the map could not be read (and, if failuresReturn, when a step of its conversion
  // failed), with an empty text otherwise (nothing to convert, game not located).
  void Open(const std::filesystem::path& mapPath, const WindowBase& opener, bool withOpacity,
            std::function<void(const QString& failure)> afterClose, bool failuresReturn);

  // The worker's step reports and end, delivered on this window's thread.
  void ShowProgress(const QString& label) { logic_.ShowProgress(label.toStdString()); }
  void ConversionFinished(const pipeline::ConversionEnd& end) { logic_.ConversionFinished(end); }

  // The editor prompt once a conversion has ended; null before.
  EditorPromptWindow* EditorPrompt() const { return prompt_; }
  logic::SlotPicker& Logic() { return logic_; }

  QWidget* bannerPanel;
  QLabel* banner;
  QLabel* closeLabel;
  QLabel* title;
  QListWidget* slotList;
  QWidget* progressPanel;
  QLabel *mapCaption, *mapValue, *typeCaption, *typeValue, *schemeCaption, *schemeValue, *sizeCaption, *sizeValue,
      *stepCaption, *stepValue;
  QProgressBar* progressGauge;

 protected:
  void CloseRequested() override { logic_.Key(logic::KeyAction::Escape); }
  void EnterPressed() override { logic_.Key(logic::KeyAction::Enter); }

 private:
  void ShowSlotList(const std::string& title) override;
  void ShowSlotRows(const std::vector<std::string>& rows) override;
  void FocusSlotList() override;
  int SelectedSlot(bool keyboardRow) override;
  void ShowProgressPanel(const std::string& title, const logic::ProgressPanel& panel) override;
  void ShowProgress(const std::string& label, int gauge) override;
  void PostToWindowThread(std::function<void()> call) override;
  kartwerk::logic::EditorPrompt& MakeEditorPrompt() override;

  EditorPromptWindow* prompt_ = nullptr;
};

// The notice shown before the editor prompt when a step failed.
QString ConversionFailureNotice(const pipeline::ConversionEnd& end);

// The notice shown before the editor prompt when the slot held a map before: where it went (and
// what was settled of an interrupted conversion). Empty when there is nothing to say.
QString ReplacedSlotNotice(const pipeline::ConversionEnd& end, const std::vector<std::string>& notes);

}  // namespace kartwerk::qt
