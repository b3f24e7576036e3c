#include "ui/qt/version_picker_window.hpp"

#include <QFrame>
#include <QLabel>
#include <utility>

#include "ui/qt/window_style.hpp"

namespace kartwerk::qt {

VersionPickerWindow::VersionPickerWindow(QtSession& session, QWidget* owner)
    : FadeWindow(session, "VersionPickerWindow", layout::version_picker::kWidth, layout::version_picker::kHeight,
                 QPalette().color(QPalette::Window), /*alwaysOnTop=*/false, owner) {
  setFont(WindowFont(layout::kFontPixels));
  setWindowTitle(QStringLiteral("Game version"));
  QPalette blue = palette();
  blue.setColor(QPalette::WindowText, ValueBlue());
  setPalette(blue);

  bannerPanel = new QWidget(this);
  bannerPanel->setObjectName(QStringLiteral("bannerPanel"));
  bannerPanel->setGeometry(Geometry(layout::banner_panel::kPanel));
  QPalette white = bannerPanel->palette();
  white.setColor(QPalette::Window, Qt::white);
  bannerPanel->setPalette(white);
  bannerPanel->setAutoFillBackground(true);

  banner = new QLabel(bannerPanel);
  banner->setObjectName(QStringLiteral("banner"));
  banner->setGeometry(layout::banner_panel::kBannerLeft, 0, layout::kBannerWidth, layout::kBannerHeight);
  banner->setPixmap(BannerPicture());

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
  firstLine->setGeometry(Geometry(layout::version_picker::kLine1));
  systemText(firstLine);

  closeLabel = MakeLabel(bannerPanel, "closeLabel", QStringLiteral("X"), layout::banner_panel::kClose);
  closeLabel->setFont(WindowFont(layout::kFontPixels, true));
  closeLabel->adjustSize();
  OnMouseRelease(closeLabel, [this] { logic_.Close(); });
  MoveWindowByDragging(bannerPanel);

  secondLine = new QLabel(QStringLiteral("has been installed, please select which version"), this);
  secondLine->setObjectName(QStringLiteral("secondLine"));
  secondLine->setGeometry(Geometry(layout::version_picker::kLine2));
  systemText(secondLine);
  thirdLine = new QLabel(QStringLiteral("Kartwerk should use"), this);
  thirdLine->setObjectName(QStringLiteral("thirdLine"));
  thirdLine->setGeometry(Geometry(layout::version_picker::kLine3));
  systemText(thirdLine);

  labelFrame = new QFrame(this);
  labelFrame->setObjectName(QStringLiteral("labelFrame"));
  labelFrame->setGeometry(Geometry(layout::version_picker::kLabelFrame));
  labelFrame->setFrameStyle(QFrame::Box | QFrame::Plain);
  labelFrame->setLineWidth(1);
  QPalette grey = labelFrame->palette();
  grey.setColor(QPalette::WindowText, FrameGrey());
  labelFrame->setPalette(grey);

  moreNote = new QLabel(this);
  moreNote->setObjectName(QStringLiteral("moreNote"));
  moreNote->setGeometry(Geometry(layout::version_picker::kMoreNote));
  systemText(moreNote);
  moreNote->hide();
}

void VersionPickerWindow::ShowMoreNote(const std::string& text) {
  namespace l = layout::version_picker;
  moreNote->setText(QString::fromStdString(text));
  moreNote->setVisible(!text.empty());
  setFixedSize(l::kWidth, l::kHeight + (text.empty() ? 0 : l::kMoreNoteExtraHeight));
}

QLabel* VersionPickerWindow::VersionLabel(int i) const {
  return i >= 1 && i < static_cast<int>(versionLabels_.size()) ? versionLabels_[static_cast<std::size_t>(i)] : nullptr;
}

void VersionPickerWindow::Open(const FadeWindow& opener, std::function<void()> onChosen) {
  logic_.Open(opener.Fading(), std::move(onChosen));
}

void VersionPickerWindow::ShowVersionLabels(const std::vector<kartwerk::VersionLabel>& labels) {
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
    label->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted #0000ff; }"));
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
