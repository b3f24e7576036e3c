#include "ui/version_picker_window.hpp"

#include <QFrame>
#include <QLabel>
#include <utility>

#include "ui/window_style.hpp"

namespace kartwerk {

TForm9::TForm9(GuiSession& session, QWidget* owner)
    : TFadeForm(session, "TForm9", layout::version_picker::kWidth, layout::version_picker::kHeight,
                QPalette().color(QPalette::Window), /*alwaysOnTop=*/false, owner) {
  setFont(WindowFont(layout::kFontPixels));
  setWindowTitle(QStringLiteral("Game version"));
  QPalette blue = palette();
  blue.setColor(QPalette::WindowText, ValueBlue());
  setPalette(blue);

  Panel2 = new QWidget(this);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setGeometry(Geometry(layout::banner_panel::kPanel));
  QPalette white = Panel2->palette();
  white.setColor(QPalette::Window, Qt::white);
  Panel2->setPalette(white);
  Panel2->setAutoFillBackground(true);

  Image1 = new QLabel(Panel2);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(layout::banner_panel::kBannerLeft, 0, layout::kBannerWidth, layout::kBannerHeight);
  Image1->setPixmap(BannerPicture(devicePixelRatioF()));

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
  Label1->setGeometry(Geometry(layout::version_picker::kLine1));
  systemText(Label1);

  Label2 = MakeLabel(Panel2, "Label2", QStringLiteral("X"), layout::banner_panel::kClose);
  Label2->setFont(WindowFont(layout::kFontPixels, true));
  Label2->adjustSize();
  OnMouseRelease(Label2, [this] { Label2Click(); });
  MoveWindowByDragging(Panel2);

  Label3 = new QLabel(QStringLiteral("has been installed, please select which version"), this);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label3->setGeometry(Geometry(layout::version_picker::kLine2));
  systemText(Label3);
  Label4 = new QLabel(QStringLiteral("Kartwerk should use"), this);
  Label4->setObjectName(QStringLiteral("Label4"));
  Label4->setGeometry(Geometry(layout::version_picker::kLine3));
  systemText(Label4);

  Shape2 = new QFrame(this);
  Shape2->setObjectName(QStringLiteral("Shape2"));
  Shape2->setGeometry(Geometry(layout::version_picker::kLabelFrame));
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
  logic_.Open(opener.Fading(), std::move(onChosen));
}

void TForm9::ShowVersionLabels(const std::vector<kartwerk::VersionLabel>& labels) {
  for (QLabel*& label : versionLabels_) {
    delete label;
    label = nullptr;
  }
  for (const kartwerk::VersionLabel& entry : labels) {
    const int i = entry.tag;
    auto* label = new QLabel(QString::fromStdString(entry.text), this);
    label->setObjectName(QStringLiteral("VersionLabel%1").arg(i));
    label->setProperty("tag", i);
    label->setGeometry(entry.place.left, entry.place.top, kVersionLabelWidth, kVersionLabelHeight);
    label->setAlignment(Qt::AlignCenter);
    OnMouseRelease(label, [this, i] { ChooseVersion(i); });
    // Tab moves between the versions; the one with focus is framed, and Enter chooses it.
    label->setFocusPolicy(Qt::StrongFocus);
    // A style sheet on a label replaces its palette: the text colour is named in it too.
    const QString blue = QColor(layout::kValueBlue.red, layout::kValueBlue.green, layout::kValueBlue.blue).name();
    label->setStyleSheet(QStringLiteral("QLabel { color: %1; } QLabel:focus { border: 1px dotted %1; }").arg(blue));
    label->show();
    versionLabels_[static_cast<std::size_t>(i)] = label;
  }
  if (!labels.empty()) versionLabels_[static_cast<std::size_t>(labels.front().tag)]->setFocus();
}

int TForm9::FocusedVersion() const {
  for (int i = 1; i < static_cast<int>(versionLabels_.size()); ++i) {
    if (versionLabels_[static_cast<std::size_t>(i)] != nullptr &&
        versionLabels_[static_cast<std::size_t>(i)]->hasFocus())
      return i;
  }
  return 0;
}

}  // namespace kartwerk
