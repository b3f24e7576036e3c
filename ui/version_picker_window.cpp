#include "ui/version_picker_window.hpp"

#include <QFrame>
#include <QLabel>
#include <utility>

#include "ui/window_style.hpp"

namespace kartwerk {

LabelPlace VersionLabelPlace(int count, int i) {
  switch (count) {
    case 1: return {135, 135};
    case 2: return {142 * i - 75, 135};
    case 3: return {100 * i - 65, 135};
    default: break;
  }
  if (i <= 3) return {100 * i - 65, 122};
  if (count == 4) return {135, 146};
  if (count == 5) return {105 * i - 338, 146};
  return {100 * i - 365, 146};
}

TForm9::TForm9(GuiSession& session, QWidget* owner)
    : TFadeForm(session, "TForm9", 370, 174, QPalette().color(QPalette::Window), /*alwaysOnTop=*/false, owner) {
  setFont(WindowFont(13));
  setWindowTitle(QStringLiteral("Game version"));
  QPalette blue = palette();
  blue.setColor(QPalette::WindowText, ValueBlue());
  setPalette(blue);

  Panel2 = new QWidget(this);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setGeometry(1, 1, 368, 68);
  QPalette white = Panel2->palette();
  white.setColor(QPalette::Window, Qt::white);
  Panel2->setPalette(white);
  Panel2->setAutoFillBackground(true);

  Image1 = new QLabel(Panel2);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(-20, 0, 415, 70);
  Image1->setPixmap(BannerPicture());

  // The three texts read as one sentence over three lines, in the system's text colour.
  const QColor text = QPalette().color(QPalette::WindowText);
  auto systemText = [&](QLabel* label) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, text);
    label->setPalette(p);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  };
  Label1 = new QLabel(QStringLiteral("Multiple versions of Vornmark II\u2122"), Panel2);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(23, 52, 321, 16);
  systemText(Label1);

  Label2 = MakeLabel(Panel2, "Label2", QStringLiteral("X"), 351, 4);
  Label2->setFont(WindowFont(13, true));
  Label2->adjustSize();
  OnMouseRelease(Label2, [this] { Label2Click(); });
  MoveWindowByDragging(Panel2);

  Label3 = new QLabel(QStringLiteral("has been installed, please select which version"), this);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label3->setGeometry(24, 70, 321, 16);
  systemText(Label3);
  Label4 = new QLabel(QStringLiteral("Kartwerk should use"), this);
  Label4->setObjectName(QStringLiteral("Label4"));
  Label4->setGeometry(25, 86, 321, 16);
  systemText(Label4);

  Shape2 = new QFrame(this);
  Shape2->setObjectName(QStringLiteral("Shape2"));
  Shape2->setGeometry(4, 112, 362, 59);
  Shape2->setFrameStyle(QFrame::Box | QFrame::Plain);
  Shape2->setLineWidth(1);
  QPalette grey = Shape2->palette();
  grey.setColor(QPalette::WindowText, FrameGrey());
  Shape2->setPalette(grey);
}

QLabel* TForm9::VersionLabel(int i) const {
  return i >= 1 && i < static_cast<int>(versionLabels_.size()) ? versionLabels_[static_cast<std::size_t>(i)] : nullptr;
}

void TForm9::Open(const TFadeForm& opener, std::function<void()> onChosen) {
  onChosen_ = std::move(onChosen);
  CopyFadeFrom(opener, /*withOpacity=*/true);
  ShowCentred(/*modal=*/true);
  FormShow();
}

void TForm9::FormShow() {
  closing_ = false;
  auto& versions = session().installs.InstalledVersions;
  if (versions.size() > MaxInstalledVersions) versions.resize(MaxInstalledVersions);
  DestroyVersionLabels();
  const int n = static_cast<int>(versions.size());
  for (int i = 1; i <= n; ++i) {
    const InstalledVersion& entry = versions[static_cast<std::size_t>(i - 1)];
    auto* label = new QLabel(QString::fromStdString(entry.language + " " + entry.version), this);
    label->setObjectName(QStringLiteral("VersionLabel%1").arg(i));
    label->setProperty("tag", i);
    const LabelPlace place = VersionLabelPlace(n, i);
    label->setGeometry(place.left, place.top, 100, 17);
    label->setAlignment(Qt::AlignCenter);
    OnMouseRelease(label, [this, i] { ChooseVersion(i); });
    // Tab moves between the versions; the one with focus is framed, and Enter chooses it.
    label->setFocusPolicy(Qt::StrongFocus);
    label->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted #0000ff; }"));
    label->show();
    versionLabels_[static_cast<std::size_t>(i)] = label;
  }
  if (!AlphaBlend()) SetAlphaBlendValue(FadeShownOpacity);
  if (n > 0) versionLabels_[1]->setFocus();
  StartFadeIn();
}

void TForm9::EnterPressed() {
  for (int i = 1; i < static_cast<int>(versionLabels_.size()); ++i) {
    if (versionLabels_[static_cast<std::size_t>(i)] != nullptr && versionLabels_[static_cast<std::size_t>(i)]->hasFocus()) {
      ChooseVersion(i);
      return;
    }
  }
}

void TForm9::ChooseVersion(int i) {
  if (CurrentFade() == Fade::Out) return;
  if (!AlphaBlend()) {
    hide();
    SetAlphaBlendValue(0);
  }
  session().installs.ChosenVersion = static_cast<std::uint8_t>(i);
  StartFadeOut([this] { FadeOutEnd(); });
}

void TForm9::Label2Click() {
  if (CurrentFade() == Fade::Out) return;
  if (!AlphaBlend()) {
    hide();
    SetAlphaBlendValue(0);
  }
  closing_ = true;
  StartFadeOut([this] { FadeOutEnd(); });
}

void TForm9::FadeOutEnd() {
  DestroyVersionLabels();
  hide();
  if (closing_) {
    session().EndProgram();
    return;
  }
  std::function<void()> chosen = std::exchange(onChosen_, nullptr);
  if (chosen) chosen();
}

void TForm9::DestroyVersionLabels() {
  for (QLabel*& label : versionLabels_) {
    delete label;
    label = nullptr;
  }
}

}  // namespace kartwerk
