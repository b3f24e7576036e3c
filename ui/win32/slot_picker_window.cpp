#include "ui/win32/slot_picker_window.hpp"

#include <commctrl.h>

#include "pipeline/conversion_steps.hpp"
#include "ui/win32/wide_text.hpp"

namespace kartwerk::win32 {
namespace {

namespace l = logic::layout::slot_picker;
namespace top = logic::layout::banner_panel;

}  // namespace

SlotPickerWindow::SlotPickerWindow(Win32Session& session, WindowLook& look, logic::Notice& notice)
    : WindowBase(session, look, {L"Editor slot", l::kWidth, l::kHeight, GetSysColor(COLOR_BTNFACE), false}),
      logic_(session, *this, *this, notice) {
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF white = Rgb(logic::layout::kWhite);
  const COLORREF blue = Rgb(logic::layout::kValueBlue);
  PaintFill(top::kBannerPanel, white);
  PaintBanner(top::kBannerPanel, {top::kBannerPanel.left + top::kBannerLeft, top::kBannerPanel.top});
  DragArea(top::kBannerPanel);
  title_ = AddLabel(logic::kSlotListTitle,
                    {top::kBannerPanel.left + l::kTitle.left, top::kBannerPanel.top + l::kTitle.top, l::kTitle.width,
                     l::kTitle.height},
                    look.Text(), text, std::nullopt, SS_CENTER);
  closeLabel_ = AddLabel(
      "X", {top::kBannerPanel.left + top::kCloseLabel.left, top::kBannerPanel.top + top::kCloseLabel.top, 0, 0},
      look.Bold(), text, std::nullopt, SS_LEFT | SS_NOTIFY);
  OnCommand(closeLabel_, STN_CLICKED, [this] { logic_.Close(); });

  // The list inside a grey one-pixel frame.
  PaintGreyBox(l::kSlotList);
  slotList_ =
      AddControl(L"LISTBOX", L"",
                 WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                 {l::kSlotList.left + 1, l::kSlotList.top + 1, l::kSlotList.width - 2, l::kSlotList.height - 2});
  ScaleExtras();
  SetColours(slotList_, blue, white);
  OnCommand(slotList_, LBN_DBLCLK, [this] { logic_.ChooseSlot(); });
  // A title too long for its row shows whole once the pointer rests on the row, chosen or not.
  rowTip_ = std::make_unique<PointerTip>(slotList_, look.Module(), [this](POINT at) { return RowUnder(at); });

  progressPanel_ = AddPanel(l::kProgressPanel, white);
  ShowWindow(progressPanel_, SW_HIDE);
  auto caption = [&](const char* words, int rowTop) {
    AddLabel(words, {l::kCaptionLeft, rowTop, 0, 0}, look.Text(), text, white, SS_LEFT, progressPanel_);
  };
  auto value = [&](logic::layout::Box box, DWORD style) {
    return AddLabel("-", box, look.Text(), blue, white, style, progressPanel_);
  };
  caption("Processing map:", l::kMapTop);
  mapValue_ = value({l::kValueLeft, l::kMapTop, l::kValueWidth, l::kRowHeight}, SS_LEFT | SS_ENDELLIPSIS);
  caption("Map type:", l::kTypeTop);
  typeValue_ = value({l::kValueLeft, l::kTypeTop, l::kValueWidth, l::kRowHeight}, SS_LEFT);
  caption("Map scheme:", l::kSchemeTop);
  schemeValue_ = value({l::kValueLeft, l::kSchemeTop, l::kValueWidth, l::kRowHeight}, SS_LEFT);
  caption("Map size:", l::kSizeTop);
  sizeValue_ = value({l::kValueLeft, l::kSizeTop, l::kValueWidth, l::kRowHeight}, SS_LEFT);
  AddLabel("Processing:", l::kStepCaption, look.Text(), text, white, SS_CENTER, progressPanel_);
  stepValue_ = value(l::kStepValue, SS_CENTER);

  progressGauge_ = AddControl(PROGRESS_CLASSW, L"", PBS_SMOOTH, l::kProgressGauge, progressPanel_);
  SendMessageW(progressGauge_, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(Rgb(logic::layout::kGaugeRed)));
  SendMessageW(progressGauge_, PBM_SETBKCOLOR, 0, static_cast<LPARAM>(Rgb(logic::layout::kGaugeTrough)));
  SendMessageW(progressGauge_, PBM_SETRANGE32, 0, static_cast<int>(pipeline::ReportedLabelCount(1)));
}

void SlotPickerWindow::ScaleExtras() { SendMessageW(slotList_, LB_SETITEMHEIGHT, 0, Px(l::kSlotRowHeight)); }

std::string SlotPickerWindow::RowText(int row) const {
  std::wstring text(static_cast<std::size_t>(SendMessageW(slotList_, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0)) + 1,
                    L'\0');
  SendMessageW(slotList_, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
  return Narrow(text.c_str());
}

bool SlotPickerWindow::RowIsCut(int row) const {
  RECT rect;
  SendMessageW(slotList_, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
  const auto font = reinterpret_cast<HFONT>(SendMessageW(slotList_, WM_GETFONT, 0, 0));
  HDC dc = GetDC(slotList_);
  HGDIOBJ old = SelectObject(dc, font);
  const std::wstring text = Wide(RowText(row));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(slotList_, dc);
  return size.cx > rect.right - rect.left - Px(2) * 2;
}

PointerTip::Part SlotPickerWindow::RowUnder(POINT point) const {
  PointerTip::Part part{{point.x, point.y, point.x + 1, point.y + 1}, {}};
  const auto hit = static_cast<DWORD>(SendMessageW(slotList_, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y)));
  const int row = LOWORD(hit);
  // Past the last row, the point alone: the next move looks again.
  if (HIWORD(hit) != 0 || SendMessageW(slotList_, LB_GETITEMRECT, static_cast<WPARAM>(row),
                                       reinterpret_cast<LPARAM>(&part.area)) == LB_ERR) {
    return part;
  }
  if (RowIsCut(row)) part.text = Wide(RowText(row));
  return part;
}

bool SlotPickerWindow::DrawItem(const DRAWITEMSTRUCT& item) {
  if (item.hwndItem != slotList_ || item.itemID == static_cast<UINT>(-1)) return false;
  // A title too long for the row ends with "..." rather than in the middle of a letter.
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const COLORREF background = selected ? GetSysColor(COLOR_HIGHLIGHT) : Rgb(logic::layout::kWhite);
  SetDCBrushColor(item.hDC, background);
  FillRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  HGDIOBJ old = SelectObject(item.hDC, reinterpret_cast<HFONT>(SendMessageW(slotList_, WM_GETFONT, 0, 0)));
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : Rgb(logic::layout::kValueBlue));
  std::wstring text = Wide(RowText(static_cast<int>(item.itemID)));
  RECT box = item.rcItem;
  InflateRect(&box, -Px(2), 0);
  DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &box,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(item.hDC, old);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
  return true;
}

void SlotPickerWindow::ShowSlotList(const std::string& title) {
  ShowWindow(progressPanel_, SW_HIDE);
  ShowWindow(slotList_, SW_SHOW);
  SetText(title_, title);
}

void SlotPickerWindow::ShowSlotRows(const std::vector<std::string>& rows) {
  SendMessageW(slotList_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(slotList_, LB_RESETCONTENT, 0, 0);
  for (const std::string& row : rows)
    SendMessageW(slotList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(row).c_str()));
  SendMessageW(slotList_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(slotList_, nullptr, TRUE);
}

int SlotPickerWindow::SelectedSlot(bool keyboardRow) {
  auto row = static_cast<int>(SendMessageW(slotList_, LB_GETCURSEL, 0, 0));
  // The row the keyboard stands on counts as chosen, even before an arrow key has selected it.
  if (row < 0 && keyboardRow) {
    row = static_cast<int>(SendMessageW(slotList_, LB_GETCARETINDEX, 0, 0));
    if (row >= 0) SendMessageW(slotList_, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  }
  return row < 0 ? -1 : row;
}

void SlotPickerWindow::ShowProgressPanel(const std::string& title, const logic::ProgressPanel& panel) {
  SetText(title_, title);
  SetText(mapValue_, panel.map);
  SetText(typeValue_, panel.type);
  SetText(schemeValue_, panel.scheme);
  SetText(sizeValue_, panel.size);
  SetText(stepValue_, "");
  SendMessageW(progressGauge_, PBM_SETRANGE32, 0, panel.gaugeMaximum);
  SendMessageW(progressGauge_, PBM_SETPOS, 0, 0);
  ShowWindow(slotList_, SW_HIDE);
  ShowWindow(progressPanel_, SW_SHOW);
}

void SlotPickerWindow::ShowProgress(const std::string& label, int gauge) {
  SendMessageW(progressGauge_, PBM_SETPOS, static_cast<WPARAM>(gauge), 0);
  SetText(stepValue_, label);
}

logic::EditorPrompt& SlotPickerWindow::MakeEditorPrompt() {
  prompt_ = std::make_unique<EditorPromptWindow>(session(), look(), Handle());
  return prompt_->Logic();
}

}  // namespace kartwerk::win32
