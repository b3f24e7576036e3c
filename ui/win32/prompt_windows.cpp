#include "ui/win32/prompt_windows.hpp"

#include <algorithm>

#include "ui/win32/wide_text.hpp"

namespace kartwerk::win32 {
namespace {

namespace l = logic::layout::prompts;

WindowBase::Shape PromptShape(const wchar_t* title, int height, HWND owner) {
  return {title, l::kWidth, height, Rgb(logic::layout::kWhite), /*alwaysOnTop=*/true, owner};
}

}  // namespace

NoticeWindow::NoticeWindow(Win32Session& session, WindowLook& look, HWND owner)
    : WindowBase(session, look, PromptShape(L"Notice", l::kNoticeHeight, owner)), logic_(session, *this, *this) {
  const COLORREF white = Rgb(logic::layout::kWhite);
  message_ = AddLabel(logic::kEditorPromptText, l::kNoticeMessage, look.PromptText(), GetSysColor(COLOR_WINDOWTEXT),
                      white, SS_CENTER);
  PaintGreyBox(l::kNoticeExitBox);
  exitLabel_ =
      AddLabel("EXIT", l::kNoticeExitLabel, look.Text(), Rgb(logic::layout::kValueBlue), white, SS_LEFT | SS_NOTIFY);
  OnClickArea(l::kNoticeExitBox, [this] { logic_.Exit(); });
  OnCommand(exitLabel_, STN_CLICKED, [this] { logic_.Exit(); });
}

void NoticeWindow::ShowMessage(const std::string& message) {
  // The fixed notices fit the design's three lines; a longer message (a failing step's error
  // naming a file) makes the window taller rather than being cut off.
  const std::wstring text = Wide(message);
  RECT needed{0, 0, l::kNoticeMessage.width, 0};
  HDC dc = GetDC(Handle());
  HGDIOBJ old = SelectObject(dc, look().PromptText());
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
            DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_NOPREFIX | DT_EDITCONTROL);
  SelectObject(dc, old);
  ReleaseDC(Handle(), dc);
  const int extra = std::max(0, static_cast<int>(needed.bottom) - l::kNoticeMessage.height);

  logic::layout::Box box = l::kNoticeMessage;
  box.height += extra;
  Place(message_, box);
  SetText(message_, message);
  Place(exitLabel_, {l::kNoticeExitLabel.left, l::kNoticeExitLabel.top + extra, 0, 0});
  SetClientSize(l::kWidth, l::kNoticeHeight + extra);
  // The button box moves down with the button's text.
  logic::layout::Box exitBox = l::kNoticeExitBox;
  exitBox.top += extra;
  MoveGreyBox(exitBox_, exitBox);
  exitBox_ = exitBox;
}

void NoticeWindow::ShowButtonLabel(const std::string& label) {
  // The label stands in the middle of its box, wherever the message has moved the box.
  const int width = look().TextSize(look().Text(), Wide(label)).cx + 1;
  Place(exitLabel_, {exitBox_.left + (exitBox_.width - width) / 2,
                     exitBox_.top + (l::kNoticeExitLabel.top - l::kNoticeExitBox.top), width, 0});
  SetText(exitLabel_, label);
}

EditorPromptWindow::EditorPromptWindow(Win32Session& session, WindowLook& look, HWND owner)
    : WindowBase(session, look, PromptShape(L"Start the editor", l::kEditorPromptHeight, owner)),
      logic_(session, *this) {
  const COLORREF white = Rgb(logic::layout::kWhite);
  const COLORREF blue = Rgb(logic::layout::kValueBlue);
  message_ = AddLabel(logic::kEditorPromptText, l::kEditorPromptMessage, look.PromptText(),
                      GetSysColor(COLOR_WINDOWTEXT), white);
  PaintGreyBox(l::kYesBox);
  PaintGreyBox(l::kExitBox);
  yesLabel_ = AddLabel("YES", l::kYesLabel, look.Text(), blue, white, SS_LEFT | SS_NOTIFY);
  exitLabel_ = AddLabel("EXIT", l::kExitLabel, look.Text(), blue, white, SS_LEFT | SS_NOTIFY);
  OnClickArea(l::kYesBox, [this] { logic_.Yes(); });
  OnClickArea(l::kExitBox, [this] { logic_.Exit(); });
  OnCommand(yesLabel_, STN_CLICKED, [this] { logic_.Yes(); });
  OnCommand(exitLabel_, STN_CLICKED, [this] { logic_.Exit(); });
}

void EditorPromptWindow::PaintOver(HDC dc) {
  // A second, dark frame just outside the grey one, as thick as one pixel of the design.
  RECT frame = ScaledRect(l::kYesBox, Dpi());
  for (int ring = 0; ring < Px(1); ++ring) {
    InflateRect(&frame, 1, 1);
    FrameRect(dc, &frame, GetSysColorBrush(COLOR_WINDOWTEXT));
  }
}

}  // namespace kartwerk::win32
