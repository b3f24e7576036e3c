#include "ui/win32/browser_window.hpp"

#include <commctrl.h>

#include <algorithm>

#include "ui/win32/wide_text.hpp"

namespace kartwerk::win32 {
namespace {

namespace l = logic::layout::browser;

// A box inside the information panel, in the window's coordinates.
logic::layout::Box InPanel(logic::layout::Box box) {
  return {l::kInformationPanel.left + box.left, l::kInformationPanel.top + box.top, box.width, box.height};
}

}  // namespace

BrowserWindow::BrowserWindow(Win32Session& session, WindowLook& look, logic::SlotPicker& slotPicker,
                             logic::Notice& notice, logic::VersionPicker& versionPicker)
    : WindowBase(session, look, {L"Kartwerk", l::kWidth, l::kHeight, Rgb(logic::layout::kWhite), /*alwaysOnTop=*/true}),
      logic_(session, *this, *this, slotPicker, notice, versionPicker) {
  const COLORREF black = GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF blue = Rgb(logic::layout::kValueBlue);
  PaintBanner(l::kBanner, {l::kBanner.left, l::kBanner.top});
  PaintFill(l::kInformationPanel, Rgb(logic::layout::kWhite));
  DragArea({l::kBanner.left, l::kBanner.top, l::kBanner.width, l::kMapList.top - l::kBanner.top});

  AddLabel("Select a map to decompile", l::kTitle, look.Text(), black, std::nullopt);
  closeLabel_ = AddLabel("X", l::kCloseLabel, look.Bold(), black, std::nullopt, SS_LEFT | SS_NOTIFY);
  OnCommand(closeLabel_, STN_CLICKED, [this] { logic_.Close(); });

  mapList_ =
      AddControl(WC_LISTVIEWW, L"",
                 WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                 l::kMapList);
  // A map name too long for its row ends with "..." and shows whole in the map's picture tip.
  ListView_SetExtendedListViewStyle(mapList_, LVS_EX_FULLROWSELECT);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  ListView_InsertColumn(mapList_, 0, &column);
  ScaleExtras();
  OnNotify(mapList_, NM_CLICK, [this](const NMHDR&) { logic_.ShowSelected(); });
  OnNotify(mapList_, NM_DBLCLK, [this](const NMHDR&) { logic_.OpenSelected(); });
  // A list entered by the keyboard stands on its first row, so Enter opens that map at once.
  OnNotify(mapList_, NM_SETFOCUS, [this](const NMHDR&) {
    if (ListView_GetNextItem(mapList_, -1, LVNI_FOCUSED) < 0 && ListView_GetItemCount(mapList_) > 0) {
      ListView_SetItemState(mapList_, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    }
  });
  OnNotify(mapList_, LVN_ITEMCHANGED, [this](const NMHDR& header) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    const bool selected = (change.uNewState & LVIS_SELECTED) != 0;
    if (!fillingRows_ && (change.uChanged & LVIF_STATE) && selected != ((change.uOldState & LVIS_SELECTED) != 0)) {
      logic_.ShowSelected();
    }
  });

  // The category buttons, their captions left of the button.
  auto category = [&](const char* caption, logic::layout::Box box, format::MapKindCode kind, DWORD group) {
    HWND button =
        AddControl(L"BUTTON", Wide(caption), BS_AUTORADIOBUTTON | BS_LEFTTEXT | WS_TABSTOP | group, InPanel(box));
    SetColours(button, blue, Rgb(logic::layout::kWhite));
    OnCommand(button, BN_CLICKED, [this, kind] { logic_.ChooseCategory(kind); });
    return button;
  };
  singlePlayer_ = category("Singleplayer", l::kSinglePlayer, format::SinglePlayerMap, WS_GROUP);
  multiplayer_ = category("Multiplayer", l::kMultiplayer, format::MultiplayerMap, 0);
  campaigns_ = category("Campaigns", l::kCampaigns, format::CampaignMap, 0);

  const COLORREF white = Rgb(logic::layout::kWhite);
  // The first control after the categories ends their group, so the arrow keys stay among them.
  AddLabel("Map information", InPanel(l::kInformationCaption), look.Text(), black, white, SS_LEFT | WS_GROUP);
  AddLabel("Size:", InPanel(l::kSizeCaption), look.Text(), black, white);
  AddLabel("Scheme:", InPanel(l::kSchemeCaption), look.Text(), black, white);
  AddLabel("Missions:", InPanel(l::kMissionsCaption), look.Text(), black, white);
  auto value = [&](int top) {
    return AddLabel("", InPanel({l::kValueLeft, top, l::kValueRight - l::kValueLeft, l::kValueHeight}), look.Text(),
                    blue, white);
  };
  sizeValue_ = value(l::kSizeValueTop);
  schemeValue_ = value(l::kSchemeValueTop);
  missionsValue_ = value(l::kMissionsValueTop);

  pictureTip_ = std::make_unique<MapPictureTip>(
      mapList_, look.Module(),
      MapPictureTip::Sources{[this](int row) {
                               return row < static_cast<int>(rowCaptions_.size())
                                          ? logic_.MapFile(rowCaptions_[static_cast<std::size_t>(row)])
                                          : std::filesystem::path();
                             },
                             [this] { return this->session().conversion.CliffDataBuffer; },
                             [this](std::function<void()> call) { PostCall(std::move(call)); },
                             [this] { return Dpi(); }, [this](int row) { return CutRowName(row); }});
  logic_.Prepare();
}

void BrowserWindow::ScaleExtras() {
  ListView_SetImageList(mapList_, look().MapRowImages(Dpi()), LVSIL_SMALL);
  ListView_SetColumnWidth(mapList_, 0, Px(l::kMapColumnWidth));
}

std::wstring BrowserWindow::CutRowName(int row) const {
  wchar_t text[512] = {};
  ListView_GetItemText(mapList_, row, 0, text, 512);
  RECT label{};
  if (!ListView_GetItemRect(mapList_, row, &label, LVIR_LABEL)) return {};
  HDC dc = GetDC(mapList_);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(mapList_, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
  SelectObject(dc, old);
  ReleaseDC(mapList_, dc);
  // The list view leaves a few pixels of margin either side of a label.
  return size.cx + 6 > label.right - label.left ? std::wstring(text) : std::wstring();
}

HWND BrowserWindow::CategoryButton(format::MapKindCode kind) const {
  return kind == format::CampaignMap ? campaigns_ : kind == format::MultiplayerMap ? multiplayer_ : singlePlayer_;
}

void BrowserWindow::ShowCategory(format::MapKindCode kind) {
  for (HWND button : {singlePlayer_, multiplayer_, campaigns_}) {
    SendMessageW(button, BM_SETCHECK, button == CategoryButton(kind) ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void BrowserWindow::ShowMapRows(const std::vector<logic::MapRow>& rows) {
  fillingRows_ = true;
  ListView_DeleteAllItems(mapList_);
  pictureTip_->Hide();
  rowCaptions_.clear();
  for (const logic::MapRow& row : rows) rowCaptions_.push_back(row.caption);
  int index = 0;
  for (const logic::MapRow& row : rows) {
    std::wstring text = Wide(row.text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index++;
    item.pszText = text.data();
    item.iImage = 0;
    ListView_InsertItem(mapList_, &item);
  }
  fillingRows_ = false;
}

int BrowserWindow::SelectedMap(bool keyboardRow) {
  int row = ListView_GetNextItem(mapList_, -1, LVNI_SELECTED);
  // The row the keyboard stands on counts as chosen, even before an arrow key has selected it.
  if (row < 0 && keyboardRow) {
    row = ListView_GetNextItem(mapList_, -1, LVNI_FOCUSED);
    if (row >= 0) ListView_SetItemState(mapList_, row, LVIS_SELECTED, LVIS_SELECTED);
  }
  return row;
}

void BrowserWindow::ShowMapInformation(const logic::MapInformationText& information) {
  // A size such as 99999x99999 is shown whole: the label grows to the left into the free room
  // after "Size:" when the value column is too narrow for it.
  const int needed = look().TextSize(look().Text(), Wide(information.size)).cx + 2;
  const int left = std::clamp(l::kValueRight - needed, l::kWideValueLeft, l::kValueLeft);
  Place(sizeValue_, InPanel({left, l::kSizeValueTop, l::kValueRight - left, l::kValueHeight}));
  SetText(sizeValue_, information.size);
  // A map that cannot be read says why under the pointer.
  SetTooltip(sizeValue_, information.problem);
  SetText(schemeValue_, information.scheme);
  SetText(missionsValue_, information.missions);
}

}  // namespace kartwerk::win32
