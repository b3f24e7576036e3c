// The slot picker and progress window's Win32 face: the list box of the editor's 255 slots, and
// over it the progress panel with the map's facts, the step under way and the red gauge. What the
// window does (staging, the slot, the worker, the end) is its logic's, SlotPicker.
#pragma once

#include <memory>

#include "ui/logic/slot_picker.hpp"
#include "ui/win32/pointer_tip.hpp"
#include "ui/win32/prompt_windows.hpp"
#include "ui/win32/window_base.hpp"

namespace kartwerk::win32 {

class SlotPickerWindow : public WindowBase, private logic::SlotPickerFace {
 public:
  SlotPickerWindow(Win32Session& session, WindowLook& look, logic::Notice& notice);

  logic::SlotPicker& Logic() { return logic_; }
  void Key(logic::KeyAction key) override { logic_.Key(key); }

  // The editor prompt once a conversion has ended; null before.
  EditorPromptWindow* EditorPromptShown() const { return prompt_.get(); }

  // The controls, for the tests that drive the window by its messages.
  HWND Title() const { return title_; }
  HWND SlotList() const { return slotList_; }
  std::string RowText(int row) const;
  // Whether the row's title is wider than its row (it is drawn ending with "...").
  bool RowIsCut(int row) const;
  // The whole title of a cut row under the pointer.
  const PointerTip& RowTip() const { return *rowTip_; }
  HWND ProgressPanel() const { return progressPanel_; }
  HWND MapValue() const { return mapValue_; }
  HWND TypeValue() const { return typeValue_; }
  HWND SchemeValue() const { return schemeValue_; }
  HWND SizeValue() const { return sizeValue_; }
  HWND StepValue() const { return stepValue_; }
  HWND ProgressGauge() const { return progressGauge_; }
  HWND CloseLabel() const { return closeLabel_; }

 private:
  void ShowSlotList(const std::string& title) override;
  void ShowSlotRows(const std::vector<std::string>& rows) override;
  void FocusSlotList() override { SetFocus(slotList_); }
  void ScaleExtras() override;
  PointerTip::Part RowUnder(POINT point) const;
  bool DrawItem(const DRAWITEMSTRUCT& item) override;
  int SelectedSlot(bool keyboardRow) override;
  void ShowProgressPanel(const std::string& title, const logic::ProgressPanel& panel) override;
  void ShowProgress(const std::string& label, int gauge) override;
  void PostToWindowThread(std::function<void()> call) override { PostCall(std::move(call)); }
  logic::EditorPrompt& MakeEditorPrompt() override;

  logic::SlotPicker logic_;
  std::unique_ptr<EditorPromptWindow> prompt_;
  HWND title_, closeLabel_, slotList_, progressPanel_, mapValue_, typeValue_, schemeValue_, sizeValue_, stepValue_,
      progressGauge_;
  std::unique_ptr<PointerTip> rowTip_;
};

}  // namespace kartwerk::win32
