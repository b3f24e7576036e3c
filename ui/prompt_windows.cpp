#include "ui/prompt_windows.hpp"

#include <QFrame>
#include <QLabel>
#include <algorithm>

#include "ui/window_style.hpp"

namespace kartwerk {

TPromptForm::TPromptForm(GuiSession& session, const char* name, int clientHeight, QWidget* owner, Prompt& logic)
    : TFadeForm(session, name, 365, clientHeight, Qt::white, /*alwaysOnTop=*/true, owner), prompt_(logic) {
  Label1 = new QLabel(QString::fromUtf8(kEditorPromptText), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(WindowFont(12));
}

QFrame* TPromptForm::MakeBox(const char* name, int left, int top) {
  auto* box = new QFrame(this);
  box->setObjectName(QString::fromLatin1(name));
  box->setGeometry(left, top, 97, 25);
  box->setFrameStyle(QFrame::Box | QFrame::Plain);
  box->setLineWidth(1);
  QPalette palette = box->palette();
  palette.setColor(QPalette::WindowText, FrameGrey());
  box->setPalette(palette);
  return box;
}

QLabel* TPromptForm::MakeButtonLabel(const char* name, const QString& text, int left, int top) {
  QLabel* label = MakeLabel(this, name, text, left, top);
  label->setFont(WindowFont(13));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, ValueBlue());
  label->setPalette(palette);
  label->adjustSize();
  return label;
}

TForm8::TForm8(GuiSession& session, QWidget* owner)
    : TPromptForm(session, "TForm8", 99, owner, logic_), logic_(session, *this, *this) {
  setWindowTitle(QStringLiteral("Notice"));
  Label1->setGeometry(10, 8, 345, 41);
  Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Label1->setWordWrap(true);
  Shape2 = MakeBox("Shape2", 134, 64);
  Label3 = MakeButtonLabel("Label3", QStringLiteral("EXIT"), 170, 68);
  OnMouseRelease(Shape2, [this] { Shape2MouseUp(); });
  OnMouseRelease(Label3, [this] { Shape2MouseUp(); });
}

void TForm8::ShowMessage(const std::string& message) {
  Label1->setText(QString::fromStdString(message));
  // The fixed notices fit the design's three lines; a longer message (a failing step's error
  // naming a file) makes the window taller rather than being cut off.
  const int extra = std::max(0, Label1->heightForWidth(345) - 41);
  Label1->setGeometry(10, 8, 345, 41 + extra);
  Shape2->move(134, 64 + extra);
  Label3->move(170, 68 + extra);
  setFixedSize(365, 99 + extra);
}

TForm6::TForm6(GuiSession& session, QWidget* owner)
    : TPromptForm(session, "TForm6", 73, owner, logic_), logic_(session, *this) {
  setWindowTitle(QStringLiteral("Start the editor"));
  Label1->setGeometry(43, 8, 280, 16);
  Shape1 = MakeBox("Shape1", 62, 40);
  Label2 = MakeButtonLabel("Label2", QStringLiteral("YES"), 99, 44);
  Shape2 = MakeBox("Shape2", 198, 40);
  Label3 = MakeButtonLabel("Label3", QStringLiteral("EXIT"), 234, 44);
  OnMouseRelease(Shape1, [this] { Shape1MouseUp(); });
  OnMouseRelease(Label2, [this] { Shape1MouseUp(); });
  OnMouseRelease(Shape2, [this] { Shape2MouseUp(); });
  OnMouseRelease(Label3, [this] { Shape2MouseUp(); });
}

}  // namespace kartwerk
