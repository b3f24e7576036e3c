// The version picker's Win32 face: the banner, a three-line question and one clickable label per
// installed version of the game, in a grey frame. Tab moves between the labels, Enter chooses.
#pragma once

#include <array>

#include "ui/logic/version_picker.hpp"
#include "ui/win32/window_base.hpp"

namespace kartwerk::win32 {

class VersionPickerWindow : public WindowBase, private logic::VersionLabelsFace {
 public:
  VersionPickerWindow(Win32Session& session, WindowLook& look);

  logic::VersionPicker& Logic() { return logic_; }
  void Key(logic::KeyAction key) override { logic_.Key(key); }

  // Version label i (1 to 6); null when there is none.
  HWND VersionLabel(int i) const;
  HWND CloseLabel() const { return closeLabel_; }
  // The line under the labels when more installations exist than labels.
  HWND MoreNote() const { return moreNote_; }

 private:
  void ShowVersionLabels(const std::vector<logic::VersionLabel>& labels) override;
  int FocusedVersion() const override;
  void ShowMoreNote(const std::string& text) override;
  // The keyboard focus's dotted frame around its label.
  void PaintOver(HDC dc) override;

  logic::VersionPicker logic_;
  HWND closeLabel_;
  HWND moreNote_;
  std::array<HWND, 7> versionLabels_{};  // by tag; [0] unused
};

}  // namespace kartwerk::win32
