// VersionPickerWindow, the version picker's Qt face: one blue label per installation ("English 2.2") in the
// places its logic gives; a click on one chooses it, "X" ends the program.
#pragma once

#include <QString>
#include <array>
#include <functional>
#include <vector>

#include "ui/logic/version_picker.hpp"
#include "ui/qt/window_base.hpp"

class QFrame;
class QLabel;

namespace kartwerk::qt {

class VersionPickerWindow : public WindowBase, private logic::VersionLabelsFace {
  Q_OBJECT

 public:
  explicit VersionPickerWindow(QtSession& session, QWidget* owner = nullptr);

  // Takes the opener's switch and opacity, shows modally and fades in; onChosen runs once the
  // window has faded out after a choice ("X" ends the program instead).
  void Open(const WindowBase& opener, std::function<void()> onChosen);

  // A click on version label i (its tag).
  void ChooseVersion(int i) { logic_.ChooseVersion(i); }

  // Version labels 1 to n; entry 0 is unused, empty entries are null.
  QLabel* VersionLabel(int i) const;
  logic::VersionPicker& Logic() { return logic_; }

  QWidget* bannerPanel;
  QLabel* banner;
  QLabel* closeLabel;
  QLabel* firstLine;
  QLabel* secondLine;
  QLabel* thirdLine;
  QFrame* labelFrame;
  // How many more installations exist than labels; hidden when none.
  QLabel* moreNote;

 protected:
  void CloseRequested() override { logic_.Key(logic::KeyAction::Escape); }
  void EnterPressed() override { logic_.Key(logic::KeyAction::Enter); }

 private:
  void ShowVersionLabels(const std::vector<kartwerk::logic::VersionLabel>& labels) override;
  int FocusedVersion() const override;
  void ShowMoreNote(const std::string& text) override;

  std::array<QLabel*, 7> versionLabels_{};
  logic::VersionPicker logic_{session(), *this, *this};
};

}  // namespace kartwerk::qt
