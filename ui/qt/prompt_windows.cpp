#include "ui/prompt_windows.hpp"

#include <QFrame>
#include <QLabel>
#include <algorithm>

#include "ui/window_style.hpp"

namespace kartwerk {
namespace {

namespace l = layout::prompts;

}  // namespace

TPromptForm::TPromptForm(GuiSession& session, const char* name, int clientHeight, QWidget* owner, Prompt& logic)
    : TFadeForm(session, name, l::kWidth, clientHeight, Qt::white, /*alwaysOnTop=*/true, owner), prompt_(logic) {
  Label1 = new QLabel(QString::fromUtf8(kEditorPromptText), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(WindowFont(layout::kPromptFontPixels));
}

QFrame* TPromptForm::MakeBox(const char* name, layout::Box at) {
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

QLabel* TPromptForm::MakeButtonLabel(const char* name, const QString& text, layout::Box at) {
  QLabel* label = MakeLabel(this, name, text, at);
  label->setFont(WindowFont(layout::kFontPixels));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, ValueBlue());
  label->setPalette(palette);
  label->adjustSize();
  return label;
}

TForm8::TForm8(GuiSession& session, QWidget* owner)
    : TPromptForm(session, "TForm8", l::kNoticeHeight, owner, logic_), logic_(session, *this, *this) {
  setWindowTitle(QStringLiteral("Notice"));
  Label1->setGeometry(Geometry(l::kNoticeMessage));
  Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Label1->setWordWrap(true);
  Shape2 = MakeBox("Shape2", l::kNoticeExitBox);
  Label3 = MakeButtonLabel("Label3", QStringLiteral("EXIT"), l::kNoticeExit);
  OnMouseRelease(Shape2, [this] { Shape2MouseUp(); });
  OnMouseRelease(Label3, [this] { Shape2MouseUp(); });
}

void TForm8::ShowMessage(const std::string& message) {
  Label1->setText(QString::fromStdString(message));
  // The fixed notices fit the design's three lines; a longer message (a failing step's error
  // naming a file) makes the window taller rather than being cut off.
  const layout::Box box = l::kNoticeMessage;
  const int extra = std::max(0, Label1->heightForWidth(box.width) - box.height);
  Label1->setGeometry(box.left, box.top, box.width, box.height + extra);
  Shape2->move(l::kNoticeExitBox.left, l::kNoticeExitBox.top + extra);
  Label3->move(l::kNoticeExit.left, l::kNoticeExit.top + extra);
  setFixedSize(l::kWidth, l::kNoticeHeight + extra);
}

TForm6::TForm6(GuiSession& session, QWidget* owner)
    : TPromptForm(session, "TForm6", l::kEditorPromptHeight, owner, logic_), logic_(session, *this) {
  setWindowTitle(QStringLiteral("Start the editor"));
  Label1->setGeometry(Geometry(l::kEditorPromptMessage));
  Shape1 = MakeBox("Shape1", l::kYesBox);
  Label2 = MakeButtonLabel("Label2", QStringLiteral("YES"), l::kYes);
  Shape2 = MakeBox("Shape2", l::kExitBox);
  Label3 = MakeButtonLabel("Label3", QStringLiteral("EXIT"), l::kExit);
  OnMouseRelease(Shape1, [this] { Shape1MouseUp(); });
  OnMouseRelease(Label2, [this] { Shape1MouseUp(); });
  OnMouseRelease(Shape2, [this] { Shape2MouseUp(); });
  OnMouseRelease(Label3, [this] { Shape2MouseUp(); });
}

}  // namespace kartwerk
