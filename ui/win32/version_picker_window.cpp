#include "ui/win32/version_picker_window.hpp"

namespace kartwerk::win32 {
namespace {

namespace l = logic::layout::version_picker;
namespace top = logic::layout::banner_panel;

}  // namespace

VersionPickerWindow::VersionPickerWindow(Win32Session& session, WindowLook& look)
    : WindowBase(session, look, {L"Game version", l::kWidth, l::kHeight, GetSysColor(COLOR_BTNFACE), false}),
      logic_(session, *this, *this) {
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  PaintFill(top::kPanel, Rgb(logic::layout::kWhite));
  PaintBanner(top::kPanel, {top::kPanel.left + top::kBannerLeft, top::kPanel.top});
  DragArea(top::kPanel);
  // The three texts read as one sentence over three lines.
  AddLabel("Multiple versions of Vornmark II\u2122",
           {top::kPanel.left + l::kLine1.left, top::kPanel.top + l::kLine1.top, l::kLine1.width, l::kLine1.height},
           look.Text(), text, std::nullopt, SS_CENTER);
  close_ = AddLabel("X", {top::kPanel.left + top::kClose.left, top::kPanel.top + top::kClose.top, 0, 0}, look.Bold(),
                    Rgb(logic::layout::kValueBlue), std::nullopt, SS_LEFT | SS_NOTIFY);
  OnCommand(close_, STN_CLICKED, [this] { logic_.Close(); });
  AddLabel("has been installed, please select which version", l::kLine2, look.Text(), text, face, SS_CENTER);
  AddLabel("Kartwerk should use", l::kLine3, look.Text(), text, face, SS_CENTER);
  PaintGreyBox(l::kLabelFrame);
  moreNote_ = AddLabel("", l::kMoreNote, look.Text(), text, face, SS_CENTER);
  ShowWindow(moreNote_, SW_HIDE);
}

void VersionPickerWindow::ShowMoreNote(const std::string& text) {
  SetText(moreNote_, text);
  ShowWindow(moreNote_, text.empty() ? SW_HIDE : SW_SHOWNA);
  SetClientSize(l::kWidth, l::kHeight + (text.empty() ? 0 : l::kMoreNoteExtraHeight));
}

HWND VersionPickerWindow::VersionLabelWindow(int i) const {
  return i >= 1 && i < static_cast<int>(labels_.size()) ? labels_[static_cast<std::size_t>(i)] : nullptr;
}

void VersionPickerWindow::ShowVersionLabels(const std::vector<logic::VersionLabel>& labels) {
  for (HWND& label : labels_) {
    if (label != nullptr) DestroyWindow(label);
    label = nullptr;
  }
  for (const logic::VersionLabel& entry : labels) {
    if (entry.tag < 1 || entry.tag >= static_cast<int>(labels_.size())) continue;
    const int tag = entry.tag;
    HWND label = AddLabel(
        entry.text, {entry.place.left, entry.place.top, logic::kVersionLabelWidth, logic::kVersionLabelHeight},
        look().Text(), Rgb(logic::layout::kValueBlue), GetSysColor(COLOR_BTNFACE), SS_CENTER | SS_NOTIFY | WS_TABSTOP);
    OnCommand(label, STN_CLICKED, [this, tag] { logic_.ChooseVersion(tag); });
    labels_[static_cast<std::size_t>(tag)] = label;
  }
  if (!labels.empty()) SetFocus(VersionLabelWindow(labels.front().tag));
  InvalidateRect(Handle(), nullptr, TRUE);
}

int VersionPickerWindow::FocusedVersion() const {
  const HWND focus = GetFocus();
  for (int i = 1; i < static_cast<int>(labels_.size()); ++i) {
    if (focus != nullptr && labels_[static_cast<std::size_t>(i)] == focus) return i;
  }
  return 0;
}

void VersionPickerWindow::PaintOver(HDC dc) {
  if (HWND focus = VersionLabelWindow(FocusedVersion())) {
    RECT rect;
    GetWindowRect(focus, &rect);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&rect), 2);
    InflateRect(&rect, 1, 1);
    DrawFocusRect(dc, &rect);
  }
}

}  // namespace kartwerk::win32
