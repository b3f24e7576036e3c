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
  PaintFill(top::kBannerPanel, Rgb(logic::layout::kWhite));
  PaintBanner(top::kBannerPanel, {top::kBannerPanel.left + top::kBannerLeft, top::kBannerPanel.top});
  DragArea(top::kBannerPanel);
  // The three texts read as one sentence over three lines.
  AddLabel("Multiple versions of Vornmark II\u2122",
           {top::kBannerPanel.left + l::kFirstLine.left, top::kBannerPanel.top + l::kFirstLine.top, l::kFirstLine.width,
            l::kFirstLine.height},
           look.Text(), text, std::nullopt, SS_CENTER);
  closeLabel_ = AddLabel(
      "X", {top::kBannerPanel.left + top::kCloseLabel.left, top::kBannerPanel.top + top::kCloseLabel.top, 0, 0},
      look.Bold(), Rgb(logic::layout::kValueBlue), std::nullopt, SS_LEFT | SS_NOTIFY);
  OnCommand(closeLabel_, STN_CLICKED, [this] { logic_.Close(); });
  AddLabel("has been installed, please select which version", l::kSecondLine, look.Text(), text, face, SS_CENTER);
  AddLabel("Kartwerk should use", l::kThirdLine, look.Text(), text, face, SS_CENTER);
  PaintGreyBox(l::kLabelFrame);
  moreNote_ = AddLabel("", l::kMoreNote, look.Text(), text, face, SS_CENTER);
  ShowWindow(moreNote_, SW_HIDE);
}

void VersionPickerWindow::ShowMoreNote(const std::string& text) {
  SetText(moreNote_, text);
  ShowWindow(moreNote_, text.empty() ? SW_HIDE : SW_SHOWNA);
  SetClientSize(l::kWidth, l::kHeight + (text.empty() ? 0 : l::kMoreNoteExtraHeight));
}

HWND VersionPickerWindow::VersionLabel(int i) const {
  return i >= 1 && i < static_cast<int>(versionLabels_.size()) ? versionLabels_[static_cast<std::size_t>(i)] : nullptr;
}

void VersionPickerWindow::ShowVersionLabels(const std::vector<logic::VersionLabel>& labels) {
  for (HWND& label : versionLabels_) {
    if (label != nullptr) DestroyWindow(label);
    label = nullptr;
  }
  for (const logic::VersionLabel& entry : labels) {
    if (entry.tag < 1 || entry.tag >= static_cast<int>(versionLabels_.size())) continue;
    const int tag = entry.tag;
    HWND label = AddLabel(
        entry.text, {entry.place.left, entry.place.top, logic::kVersionLabelWidth, logic::kVersionLabelHeight},
        look().Text(), Rgb(logic::layout::kValueBlue), GetSysColor(COLOR_BTNFACE), SS_CENTER | SS_NOTIFY | WS_TABSTOP);
    OnCommand(label, STN_CLICKED, [this, tag] { logic_.ChooseVersion(tag); });
    versionLabels_[static_cast<std::size_t>(tag)] = label;
  }
  if (!labels.empty()) SetFocus(VersionLabel(labels.front().tag));
  InvalidateRect(Handle(), nullptr, TRUE);
}

int VersionPickerWindow::FocusedVersion() const {
  const HWND focus = GetFocus();
  for (int i = 1; i < static_cast<int>(versionLabels_.size()); ++i) {
    if (focus != nullptr && versionLabels_[static_cast<std::size_t>(i)] == focus) return i;
  }
  return 0;
}

void VersionPickerWindow::PaintOver(HDC dc) {
  if (HWND focus = VersionLabel(FocusedVersion())) {
    RECT rect;
    GetWindowRect(focus, &rect);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&rect), 2);
    InflateRect(&rect, 1, 1);
    DrawFocusRect(dc, &rect);
  }
}

}  // namespace kartwerk::win32
