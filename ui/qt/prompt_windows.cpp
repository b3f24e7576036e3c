#include "ui/qt/prompt_windows.hpp"

#include <QFrame>
#include <QLabel>
#include <algorithm>

#include "ui/qt/window_look.hpp"

namespace kartwerk::qt {
namespace {

namespace l = logic::layout::prompts;

}  // namespace

PromptWindow::PromptWindow(QtSession& session, const char* name, int clientHeight, QWidget* owner, logic::Prompt& logic)
    : WindowBase(session, name, l::kWidth, clientHeight, Qt::white, /*alwaysOnTop=*/true, owner), prompt_(logic) {
  message = new QLabel(QString::fromUtf8(logic::kEditorPromptText), this);
  message->setObjectName(QStringLiteral("message"));
  message->setFont(WindowFont(logic::layout::kPromptFontPixels));
}

QFrame* PromptWindow::MakeBox(const char* name, logic::layout::Box at) {
  auto* box = new QFrame(this);
  box->setObjectName(QString::fromLatin1(name));
  box->setGeometry(Geometry(at));
  box->setFrameStyle(QFrame::Box | QFrame::Plain);
  box->setLineWidth(1);
  QPalette palette = box->palette();
  palette.setColor(QPalette::WindowText, FrameGrey());
  box->setPalette(palette);
  return box;
}

QLabel* PromptWindow::MakeButtonLabel(const char* name, const QString& text, logic::layout::Box at) {
  QLabel* label = MakeLabel(this, name, text, at);
  label->setFont(WindowFont(logic::layout::kFontPixels));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, ValueBlue());
  label->setPalette(palette);
  label->adjustSize();
  return label;
}

NoticeWindow::NoticeWindow(QtSession& session, QWidget* owner)
    : PromptWindow(session, "NoticeWindow", l::kNoticeHeight, owner, logic_), logic_(session, *this, *this) {
  setWindowTitle(QStringLiteral("Notice"));
  message->setGeometry(Geometry(l::kNoticeMessage));
  message->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  message->setWordWrap(true);
  exitBox = MakeBox("exitBox", l::kNoticeExitBox);
  exitLabel = MakeButtonLabel("exitLabel", QStringLiteral("EXIT"), l::kNoticeExitLabel);
  OnMouseRelease(exitBox, [this] { logic_.Exit(); });
  OnMouseRelease(exitLabel, [this] { logic_.Exit(); });
}

void NoticeWindow::ShowMessage(const std::string& text) {
  message->setText(QString::fromStdString(text));
  // The fixed notices fit the design's three lines; a longer message (a failing step's error
  // naming a file) makes the window taller rather than being cut off.
  const logic::layout::Box box = l::kNoticeMessage;
  const int extra = std::max(0, message->heightForWidth(box.width) - box.height);
  message->setGeometry(box.left, box.top, box.width, box.height + extra);
  exitBox->move(l::kNoticeExitBox.left, l::kNoticeExitBox.top + extra);
  exitLabel->move(l::kNoticeExitLabel.left, l::kNoticeExitLabel.top + extra);
  setFixedSize(l::kWidth, l::kNoticeHeight + extra);
}

void NoticeWindow::ShowButtonLabel(const std::string& label) {
  exitLabel->setText(QString::fromStdString(label));
  exitLabel->adjustSize();
  const QRect box = exitBox->geometry();
  exitLabel->move(box.left() + (box.width() - exitLabel->width()) / 2,
                  box.top() + (l::kNoticeExitLabel.top - l::kNoticeExitBox.top));
}

EditorPromptWindow::EditorPromptWindow(QtSession& session, QWidget* owner)
    : PromptWindow(session, "EditorPromptWindow", l::kEditorPromptHeight, owner, logic_), logic_(session, *this) {
  setWindowTitle(QStringLiteral("Start the editor"));
  message->setGeometry(Geometry(l::kEditorPromptMessage));
  yesBox = MakeBox("yesBox", l::kYesBox);
  yesLabel = MakeButtonLabel("yesLabel", QStringLiteral("YES"), l::kYesLabel);
  exitBox = MakeBox("exitBox", l::kExitBox);
  exitLabel = MakeButtonLabel("exitLabel", QStringLiteral("EXIT"), l::kExitLabel);
  OnMouseRelease(yesBox, [this] { logic_.Yes(); });
  OnMouseRelease(yesLabel, [this] { logic_.Yes(); });
  OnMouseRelease(exitBox, [this] { logic_.Exit(); });
  OnMouseRelease(exitLabel, [this] { logic_.Exit(); });
}

}  // namespace kartwerk::qt
