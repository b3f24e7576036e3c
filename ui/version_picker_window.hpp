// TForm9, the version picker: shown by the browser's start when several installations of the
// game are registered. One blue label per installation ("English 2.2"); a click on one chooses
// it (ChosenVersion) and the start goes on with it; "X" ends the program.
#pragma once

#include <QString>
#include <array>
#include <functional>

#include "ui/fade_form.hpp"

class QFrame;
class QLabel;

namespace kartwerk {

struct LabelPlace {
  int left = 0;
  int top = 0;
  bool operator==(const LabelPlace&) const = default;
};

// Where version label i (1 to count) of count labels (1 to 6) sits in the window: one row of up
// to three at top 135, or two rows at 122 and 146 from four labels on.
LabelPlace VersionLabelPlace(int count, int i);

class TForm9 : public TFadeForm {
  Q_OBJECT

 public:
  explicit TForm9(GuiSession& session, QWidget* owner = nullptr);

  // Takes the opener's switch and opacity, shows modally and fades in; onChosen runs once the
  // window has faded out after a choice ("X" ends the program instead).
  void Open(const TFadeForm& opener, std::function<void()> onChosen);

  void FormShow();
  // A click on version label i (its tag).
  void ChooseVersion(int i);
  void Label2Click();

  // Version labels 1 to n; entry 0 is unused, empty entries are null.
  QLabel* VersionLabel(int i) const;

  QWidget* Panel2;
  QLabel* Image1;
  QLabel* Label2;
  QLabel* Label1;
  QLabel* Label3;
  QLabel* Label4;
  QFrame* Shape2;

 protected:
  void CloseRequested() override { Label2Click(); }
  void EnterPressed() override;

 private:
  void FadeOutEnd();
  void DestroyVersionLabels();

  std::array<QLabel*, 7> versionLabels_{};
  bool closing_ = false;
  std::function<void()> onChosen_;
};

}  // namespace kartwerk
