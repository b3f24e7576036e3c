#include "ui/prompt_windows.hpp"

#include <QFrame>
#include <QLabel>
#include <algorithm>
#include <utility>

#include "install/game_location.hpp"
#include "ui/notice_texts.hpp"
#include "ui/window_style.hpp"

namespace kartwerk {

TPromptForm::TPromptForm(GuiSession& session, const char* name, int clientHeight, QWidget* owner)
    : TFadeForm(session, name, 365, clientHeight, Qt::white, /*alwaysOnTop=*/true, owner) {
  Label1 = new QLabel(QString::fromUtf8(EditorPromptText), this);
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

void TPromptForm::Open(const TFadeForm& opener, std::function<void()> afterClose) {
  CopyFadeFrom(opener, /*withOpacity=*/true);
  Open(std::move(afterClose));
}

void TPromptForm::Open(std::function<void()> afterClose) {
  afterClose_ = std::move(afterClose);
  ShowCentred(/*modal=*/true);
  FormShow();
}

void TPromptForm::FormShow() { StartFadeIn(); }

void TPromptForm::Shape2MouseUp() {
  if (CurrentFade() == Fade::Out || !isVisible()) return;  // already closing
  if (!AlphaBlend()) SetAlphaBlendValue(0);
  FadeOutAndClose();
}

void TPromptForm::FadeOutAndClose() {
  StartFadeOut([this] {
    hide();
    std::function<void()> after = std::exchange(afterClose_, nullptr);
    if (after) after();
  });
}

TForm8::TForm8(GuiSession& session, QWidget* owner) : TPromptForm(session, "TForm8", 99, owner) {
  setWindowTitle(QStringLiteral("Notice"));
  Label1->setGeometry(10, 8, 345, 41);
  Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Label1->setWordWrap(true);
  Shape2 = MakeBox("Shape2", 134, 64);
  Label3 = MakeButtonLabel("Label3", QStringLiteral("EXIT"), 170, 68);
  OnMouseRelease(Shape2, [this] { Shape2MouseUp(); });
  OnMouseRelease(Label3, [this] { Shape2MouseUp(); });
}

void TForm8::ShowNotice(const QString& message, const TFadeForm& opener, std::function<void()> afterClose) {
  Label1->setText(message);
  // The fixed notices fit the design's three lines; a longer message (a failing step's error
  // naming a file) makes the window taller rather than being cut off.
  const int extra = std::max(0, Label1->heightForWidth(345) - 41);
  Label1->setGeometry(10, 8, 345, 41 + extra);
  Shape2->move(134, 64 + extra);
  Label3->move(170, 68 + extra);
  setFixedSize(365, 99 + extra);
  Open(opener, std::move(afterClose));
}

TForm6::TForm6(GuiSession& session, QWidget* owner) : TPromptForm(session, "TForm6", 73, owner) {
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

void TForm6::Shape1MouseUp() {
  if (CurrentFade() == Fade::Out || !isVisible()) return;
  // No hiding here, even with alpha blending off: the prompt stays for its fade-out.
  FadeOutAndClose();
  const GameInstallations& installs = session().installs;
  // The editor runs in the prefix the located game is registered in (Proton's, Lutris's, ...).
  const std::filesystem::path prefix = installs.GameWinePrefix.empty() ? session().WinePrefix : installs.GameWinePrefix;
  const EditorLaunch launch{GamePath(installs, "editor\\edit3.exe"), GamePath(installs, "editor"), prefix};
  if (!session().LaunchEditor(launch)) editorStartFailure_ = kartwerk::EditorStartFailure(launch);
}

}  // namespace kartwerk
