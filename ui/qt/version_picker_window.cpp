#include "ui/qt/version_picker_window.hpp"

#include <QFrame>
#include <QLabel>
#include <utility>

#include "ui/qt/window_look.hpp"

namespace kartwerk::qt {

VersionPickerWindow::VersionPickerWindow(QtSession& session, QWidget* owner)
    : WindowBase(session, "VersionPickerWindow", logic::layout::version_picker::kWidth,
                 logic::layout::version_picker::kHeight, QPalette().color(QPalette::Window), /*alwaysOnTop=*/false,
                 owner) {
  setFont(WindowFont(logic::layout::kFontPixels));
  setWindowTitle(QStringLiteral("Game version"));
  QPalette blue = palette();
  blue.setColor(QPalette::WindowText, ValueBlue());
  setPalette(blue);

  bannerPanel = new QWidget(this);
  bannerPanel->setObjectName(QStringLiteral("bannerPanel"));
  bannerPanel->setGeometry(Geometry(logic::layout::banner_panel::kBannerPanel));
  QPalette white = bannerPanel->palette();
  white.setColor(QPalette::Window, Qt::white);
  bannerPanel->setPalette(white);
  bannerPanel->setAutoFillBackground(true);

  banner = new QLabel(bannerPanel);
  banner->setObjectName(QStringLiteral("banner"));
  banner->setGeometry(logic::layout::banner_panel::kBannerLeft, 0, logic::layout::kBannerWidth,
                      logic::layout::kBannerHeight);
  banner->setPixmap(BannerPicture(devicePixelRatioF()));

  // The three texts read as one sentence over three lines, in the system's text colour.
  const QColor text = QPalette().color(QPalette::WindowText);
  auto systemText = [&](QLabel* label) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, text);
    label->setPalette(p);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  };
  firstLine = new QLabel(QStringLiteral("Multiple versions of Vornmark II\u2122"), bannerPanel);
  firstLine->setObjectName(QStringLiteral("firstLine"));
  firstLine->setGeometry(Geometry(logic::layout::version_picker::kFirstLine));
  systemText(firstLine);

  closeLabel = MakeLabel(bannerPanel, "closeLabel", QStringLiteral("X"), logic::layout::banner_panel::kCloseLabel);
  closeLabel->setFont(WindowFont(logic::layout::kFontPixels, true));
  closeLabel->adjustSize();
  OnMouseRelease(closeLabel, [this] { logic_.Close(); });
  MoveWindowByDragging(bannerPanel);

  secondLine = new QLabel(QStringLiteral("has been installed, please select which version"), this);
  secondLine->setObjectName(QStringLiteral("secondLine"));
  secondLine->setGeometry(Geometry(logic::layout::version_picker::kSecondLine));
  systemText(secondLine);
  thirdLine = new QLabel(QStringLiteral("Kartwerk should use"), this);
  thirdLine->setObjectName(QStringLiteral("thirdLine"));
  thirdLine->setGeometry(Geometry(logic::layout::version_picker::kThirdLine));
  systemText(thirdLine);

  labelFrame = new QFrame(this);
  labelFrame->setObjectName(QStringLiteral("labelFrame"));
  labelFrame->setGeometry(Geometry(logic::layout::version_picker::kLabelFrame));
  labelFrame->setFrameStyle(QFrame::Box | QFrame::Plain);
  labelFrame->setLineWidth(1);
  QPalette grey = labelFrame->palette();
  grey.setColor(QPalette::WindowText, FrameGrey());
  labelFrame->setPalette(grey);

  moreNote = new QLabel(this);
  moreNote->setObjectName(QStringLiteral("moreNote"));
  moreNote->setGeometry(Geometry(logic::layout::version_picker::kMoreNote));
  systemText(moreNote);
  moreNote->hide();
}

void VersionPickerWindow::ShowMoreNote(const std::string& text) {
  namespace l = logic::layout::version_picker;
  moreNote->setText(QString::fromStdString(text));
  moreNote->setVisible(!text.empty());
  setFixedSize(l::kWidth, l::kHeight + (text.empty() ? 0 : l::kMoreNoteExtraHeight));
}

QLabel* VersionPickerWindow::VersionLabel(int i) const {
  return i >= 1 && i < static_cast<int>(versionLabels_.size()) ? versionLabels_[static_cast<std::size_t>(i)] : nullptr;
}

void VersionPickerWindow::Open(const WindowBase& opener, std::function<void()> onChosen) {
  logic_.Open(opener.Fading(), std::move(onChosen));
}

void VersionPickerWindow::ShowVersionLabels(const std::vector<kartwerk::logic::VersionLabel>& labels) {
  for (QLabel*& label : versionLabels_) {
    delete label;
    label = nullptr;
  }
  for (const kartwerk::logic::VersionLabel& entry : labels) {
    const int i = entry.tag;
    auto* label = new QLabel(QString::fromStdString(entry.text), this);
    label->setObjectName(QStringLiteral("versionLabel%1").arg(i));
    label->setProperty("tag", i);
    label->setGeometry(entry.place.left, entry.place.top, logic::kVersionLabelWidth, logic::kVersionLabelHeight);
    label->setAlignment(Qt::AlignCenter);
    OnMouseRelease(label, [this, i] { ChooseVersion(i); });
    // Tab moves between the versions; the one with focus is framed, and Enter chooses it.
    label->setFocusPolicy(Qt::StrongFocus);
    // A style sheet on a label replaces its palette: the text colour is named in it too.
    const QColor blue(logic::layout::kValueBlue.red, logic::layout::kValueBlue.green, logic::layout::kValueBlue.blue);
    label->setStyleSheet(
        QStringLiteral("QLabel { color: %1; } QLabel:focus { border: 1px dotted %1; }").arg(blue.name()));
    label->show();
    versionLabels_[static_cast<std::size_t>(i)] = label;
  }
  if (!labels.empty()) versionLabels_[static_cast<std::size_t>(labels.front().tag)]->setFocus();
}

int VersionPickerWindow::FocusedVersion() const {
  for (int i = 1; i < static_cast<int>(versionLabels_.size()); ++i) {
    if (versionLabels_[static_cast<std::size_t>(i)] != nullptr &&
        versionLabels_[static_cast<std::size_t>(i)]->hasFocus())
      return i;
  }
  return 0;
}

}  // namespace kartwerk::qt
