// The version picker's logic: shown by the browser's start when several installations of the
// game are registered. One label per installation ("English 2.2"), up to six, placed by the
// count, and a line saying how many more exist and how to reach them; a click
// on one chooses it (ChosenVersion) and the start goes on with it; "X" ends the program.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "ui/logic/window_face.hpp"

namespace kartwerk::logic {

struct LabelPlace {
  int left = 0;
  int top = 0;
  bool operator==(const LabelPlace&) const = default;
};

// Where version label i (1 to count) of count labels (1 to 6) sits in the window: one row of up
// to three at top 135, or two rows at 122 and 146 from four labels on.
LabelPlace VersionLabelPlace(int count, int i);

// The line under the labels when more installations exist than the picker offers (count is
// how many there are): how many more, and how to reach them. Empty for six or fewer.
std::string MoreInstallationsText(std::size_t count);

// Every version label is 100 x 17 pixels, its text centred.
inline constexpr int kVersionLabelWidth = 100;
inline constexpr int kVersionLabelHeight = 17;

struct VersionLabel {
  int tag = 0;  // the installation's number, 1 to 6
  std::string text;
  LabelPlace place;
};

class VersionLabelsFace {
 public:
  virtual ~VersionLabelsFace() = default;
  // Replaces the version labels (none: the labels are destroyed); the first one takes the focus.
  virtual void ShowVersionLabels(const std::vector<VersionLabel>& labels) = 0;
  // The tag of the label with the keyboard focus; 0 for none.
  virtual int FocusedVersion() const = 0;
  // Shows a line below the labels (empty: no line, and the window at its usual height).
  virtual void ShowMoreNote(const std::string& text) = 0;
};

class VersionPicker : public WindowLogic {
 public:
  VersionPicker(WindowSession& session, WindowFace& window, VersionLabelsFace& labels)
      : WindowLogic(session, window), labels_(labels) {}

  // Takes the opener's switch and opacity, shows modally and fades in; onChosen runs once the
  // window has faded out after a choice ("X" ends the program instead).
  void Open(const WindowFade& opener, std::function<void()> onChosen);
  void Start();
  // A click on version label i (its tag).
  void ChooseVersion(int i);
  // "X".
  void Close();
  // Enter chooses the label with the focus; Escape is "X".
  void Key(KeyAction key) override;

 private:
  void FadeOutEnd();

  VersionLabelsFace& labels_;
  bool closing_ = false;
  std::function<void()> onChosen_;
};

}  // namespace kartwerk::logic
