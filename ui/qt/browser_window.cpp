#include "ui/qt/browser_window.hpp"

#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTreeWidget>
#include <algorithm>

#include "ui/qt/map_picture_tip.hpp"
#include "ui/qt/prompt_windows.hpp"
#include "ui/qt/slot_picker_window.hpp"
#include "ui/qt/version_picker_window.hpp"
#include "ui/qt/window_look.hpp"

namespace kartwerk::qt {
namespace {

// The file name a row stands for is kept with it as the file system's bytes.
constexpr int kNameRole = Qt::UserRole;

namespace l = logic::layout::browser;

void Blue(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, ValueBlue());
  palette.setColor(QPalette::ButtonText, ValueBlue());
  widget->setPalette(palette);
}

}  // namespace

BrowserWindow::BrowserWindow(QtSession& session, SlotPickerWindow& slotPicker, NoticeWindow& notice,
                             VersionPickerWindow& versionPicker)
    : WindowBase(session, "BrowserWindow", l::kWidth, l::kHeight, Qt::white, /*alwaysOnTop=*/true),
      logic_(session, *this, *this, slotPicker.Logic(), notice.Logic(), versionPicker.Logic()) {
  setFont(WindowFont(logic::layout::kFontPixels));
  setWindowTitle(QStringLiteral("Kartwerk"));

  banner = new QLabel(this);
  banner->setObjectName(QStringLiteral("banner"));
  banner->setGeometry(Geometry(l::kBanner));
  banner->setPixmap(BannerPicture(devicePixelRatioF()));

  title = MakeLabel(this, "title", QStringLiteral("Select a map to decompile"), l::kTitle);
  MoveWindowByDragging(banner);
  MoveWindowByDragging(title);
  closeLabel = MakeLabel(this, "closeLabel", QStringLiteral("X"), l::kCloseLabel);
  closeLabel->setFont(WindowFont(logic::layout::kFontPixels, true));
  closeLabel->adjustSize();
  OnMouseRelease(closeLabel, [this] { logic_.Close(); });

  mapList = new QTreeWidget(this);
  mapList->setObjectName(QStringLiteral("mapList"));
  mapList->setGeometry(Geometry(l::kMapList));
  mapList->setColumnCount(1);
  mapList->setColumnWidth(0, l::kMapColumnWidth);
  mapList->setHeaderHidden(true);
  mapList->setRootIsDecorated(false);
  mapList->setFrameShape(QFrame::NoFrame);
  mapList->setIconSize(QSize(16, 16));
  mapList->setSelectionMode(QAbstractItemView::SingleSelection);
  // A click and a selection by the keyboard both show the selected map's information.
  connect(mapList, &QTreeWidget::itemClicked, this, [this] { logic_.ShowSelected(); });
  connect(mapList, &QTreeWidget::itemSelectionChanged, this, [this] { logic_.ShowSelected(); });
  connect(mapList, &QTreeWidget::itemDoubleClicked, this, [this] { logic_.OpenSelected(); });
  // The map a row stands for, drawn from above while the pointer rests on the row.
  new MapPictureTip(mapList, {[this](const QModelIndex& row) {
                                return logic_.MapFile(row.data(kNameRole).toByteArray().toStdString());
                              },
                              [this] { return this->session().conversion.CliffDataBuffer; }});

  informationPanel = new QWidget(this);
  informationPanel->setObjectName(QStringLiteral("informationPanel"));
  informationPanel->setGeometry(Geometry(l::kInformationPanel));
  QPalette white = informationPanel->palette();
  white.setColor(QPalette::Window, Qt::white);
  informationPanel->setPalette(white);
  informationPanel->setAutoFillBackground(true);

  auto radio = [this](const char* name, const char* caption, logic::layout::Box at) {
    auto* button = new QRadioButton(QString::fromLatin1(caption), informationPanel);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(Geometry(at));
    button->setLayoutDirection(Qt::RightToLeft);  // the caption left of the button
    Blue(button);
    return button;
  };
  singlePlayer = radio("singlePlayer", "Singleplayer", l::kSinglePlayer);
  multiplayer = radio("multiplayer", "Multiplayer", l::kMultiplayer);
  campaigns = radio("campaigns", "Campaigns", l::kCampaigns);
  singlePlayer->setChecked(true);
  connect(singlePlayer, &QRadioButton::clicked, this, [this] { logic_.ChooseCategory(format::SinglePlayerMap); });
  connect(multiplayer, &QRadioButton::clicked, this, [this] { logic_.ChooseCategory(format::MultiplayerMap); });
  connect(campaigns, &QRadioButton::clicked, this, [this] { logic_.ChooseCategory(format::CampaignMap); });

  informationCaption =
      MakeLabel(informationPanel, "informationCaption", QStringLiteral("Map information"), l::kInformationCaption);
  sizeCaption = MakeLabel(informationPanel, "sizeCaption", QStringLiteral("Size:"), l::kSizeCaption);
  schemeCaption = MakeLabel(informationPanel, "schemeCaption", QStringLiteral("Scheme:"), l::kSchemeCaption);
  missionsCaption = MakeLabel(informationPanel, "missionsCaption", QStringLiteral("Missions:"), l::kMissionsCaption);
  auto value = [this](const char* name, int top) {
    auto* label = new QLabel(informationPanel);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(l::kValueLeft, top, l::kValueRight - l::kValueLeft, l::kValueHeight);
    Blue(label);
    return label;
  };
  sizeValue = value("sizeValue", l::kSizeValueTop);
  schemeValue = value("schemeValue", l::kSchemeValueTop);
  missionsValue = value("missionsValue", l::kMissionsValueTop);

  // Created: the platform check that decides whether windows fade.
  logic_.Prepare();
}

void BrowserWindow::ShowCategory(format::MapKindCode kind) {
  QRadioButton* button = kind == format::CampaignMap      ? campaigns
                         : kind == format::MultiplayerMap ? multiplayer
                                                          : singlePlayer;
  button->setChecked(true);
}

void BrowserWindow::FocusMapList() { mapList->setFocus(); }

int BrowserWindow::SelectedMap(bool keyboardRow) {
  // The row the keyboard stands on counts as chosen, even before an arrow key has selected it.
  if (keyboardRow && mapList->selectedItems().isEmpty() && mapList->currentItem()) {
    mapList->currentItem()->setSelected(true);
  }
  const QList<QTreeWidgetItem*> selected = mapList->selectedItems();
  return selected.isEmpty() ? -1 : mapList->indexOfTopLevelItem(selected.first());
}

void BrowserWindow::ShowSizeValue(const QString& text) {
  // A size such as 99999x99999 is shown whole: the label grows to the left into the free room
  // after "Size:" when the value column is too narrow for it.
  const int needed = sizeValue->fontMetrics().horizontalAdvance(text) + 2;
  const int left = std::clamp(l::kValueRight - needed, l::kWideValueLeft, l::kValueLeft);
  sizeValue->setGeometry(left, sizeValue->y(), l::kValueRight - left, sizeValue->height());
  sizeValue->setText(text);
}

void BrowserWindow::ShowMapRows(const std::vector<logic::MapRow>& rows) {
  const QSignalBlocker quiet(mapList);
  mapList->clear();
  const QIcon icon(MapRowIcon());
  for (const logic::MapRow& entry : rows) {
    auto* row = new QTreeWidgetItem(mapList, QStringList{QString::fromStdString(entry.text)});
    row->setIcon(0, icon);
    row->setData(0, kNameRole, QByteArray::fromStdString(entry.caption));
  }
}

void BrowserWindow::ShowMapInformation(const logic::MapInformationText& information) {
  ShowSizeValue(QString::fromStdString(information.size));
  // A map that cannot be read says why under the pointer.
  sizeValue->setToolTip(QString::fromStdString(information.problem));
  schemeValue->setText(QString::fromStdString(information.scheme));
  missionsValue->setText(QString::fromStdString(information.missions));
}

}  // namespace kartwerk::qt
