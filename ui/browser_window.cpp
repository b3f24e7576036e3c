#include "ui/browser_window.hpp"

#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTreeWidget>
#include <algorithm>

#include "ui/map_picture_tip.hpp"
#include "ui/prompt_windows.hpp"
#include "ui/slot_picker_window.hpp"
#include "ui/version_picker_window.hpp"
#include "ui/window_style.hpp"

namespace kartwerk {
namespace {

// The file name a row stands for is kept with it as the file system's bytes.
constexpr int kNameRole = Qt::UserRole;

namespace l = layout::browser;

void Blue(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, ValueBlue());
  palette.setColor(QPalette::ButtonText, ValueBlue());
  widget->setPalette(palette);
}

}  // namespace

TForm7::TForm7(GuiSession& session, TForm1& slotPicker, TForm8& notice, TForm9& versionPicker)
    : TFadeForm(session, "TForm7", l::kWidth, l::kHeight, Qt::white, /*alwaysOnTop=*/true),
      logic_(session, *this, *this, slotPicker.Logic(), notice.Logic(), versionPicker.Logic()) {
  setFont(WindowFont(layout::kFontPixels));
  setWindowTitle(QStringLiteral("Kartwerk"));

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(Geometry(l::kBanner));
  Image1->setPixmap(BannerPicture(devicePixelRatioF()));

  Label1 = MakeLabel(this, "Label1", QStringLiteral("Select a map to decompile"), l::kTitle);
  MoveWindowByDragging(Image1);
  MoveWindowByDragging(Label1);
  Label2 = MakeLabel(this, "Label2", QStringLiteral("X"), l::kClose);
  Label2->setFont(WindowFont(layout::kFontPixels, true));
  Label2->adjustSize();
  OnMouseRelease(Label2, [this] { Label2Click(); });

  ListView1 = new QTreeWidget(this);
  ListView1->setObjectName(QStringLiteral("ListView1"));
  ListView1->setGeometry(Geometry(l::kMapList));
  ListView1->setColumnCount(1);
  ListView1->setColumnWidth(0, l::kMapColumnWidth);
  ListView1->setHeaderHidden(true);
  ListView1->setRootIsDecorated(false);
  ListView1->setFrameShape(QFrame::NoFrame);
  ListView1->setIconSize(QSize(16, 16));
  ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
  connect(ListView1, &QTreeWidget::itemClicked, this, [this] { ListView1Click(); });
  connect(ListView1, &QTreeWidget::itemSelectionChanged, this, [this] { ListView1SelectItem(); });
  connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { ListView1DblClick(); });
  // The map a row stands for, drawn from above while the pointer rests on the row.
  new MapPictureTip(ListView1, {[this](const QModelIndex& row) {
                                  return logic_.MapFile(row.data(kNameRole).toByteArray().toStdString());
                                },
                                [this] { return this->session().conversion.CliffDataBuffer; }});

  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(Geometry(l::kPanel));
  QPalette white = Panel1->palette();
  white.setColor(QPalette::Window, Qt::white);
  Panel1->setPalette(white);
  Panel1->setAutoFillBackground(true);

  auto radio = [this](const char* name, const char* caption, layout::Box at) {
    auto* button = new QRadioButton(QString::fromLatin1(caption), Panel1);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(Geometry(at));
    button->setLayoutDirection(Qt::RightToLeft);  // the caption left of the button
    Blue(button);
    return button;
  };
  RadioButton2 = radio("RadioButton2", "Singleplayer", l::kSinglePlayer);
  RadioButton3 = radio("RadioButton3", "Multiplayer", l::kMultiplayer);
  RadioButton1 = radio("RadioButton1", "Campaigns", l::kCampaigns);
  RadioButton2->setChecked(true);
  connect(RadioButton2, &QRadioButton::clicked, this, [this] { RadioButton2Click(); });
  connect(RadioButton3, &QRadioButton::clicked, this, [this] { RadioButton3Click(); });
  connect(RadioButton1, &QRadioButton::clicked, this, [this] { RadioButton1Click(); });

  Label3 = MakeLabel(Panel1, "Label3", QStringLiteral("Map information"), l::kInformationCaption);
  Label4 = MakeLabel(Panel1, "Label4", QStringLiteral("Size:"), l::kSizeCaption);
  Label5 = MakeLabel(Panel1, "Label5", QStringLiteral("Scheme:"), l::kSchemeCaption);
  Label6 = MakeLabel(Panel1, "Label6", QStringLiteral("Missions:"), l::kMissionsCaption);
  auto value = [this](const char* name, int top) {
    auto* label = new QLabel(Panel1);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(l::kValueLeft, top, l::kValueRight - l::kValueLeft, l::kValueHeight);
    Blue(label);
    return label;
  };
  Label7 = value("Label7", l::kSizeValueTop);
  Label8 = value("Label8", l::kSchemeValueTop);
  Label9 = value("Label9", l::kMissionsValueTop);

  FormCreate();
}

void TForm7::ShowCategory(MapKindCode kind) {
  QRadioButton* button = kind == CampaignMap ? RadioButton1 : kind == MultiplayerMap ? RadioButton3 : RadioButton2;
  button->setChecked(true);
}

void TForm7::FocusMapList() { ListView1->setFocus(); }

int TForm7::SelectedMap(bool keyboardRow) {
  // The row the keyboard stands on counts as chosen, even before an arrow key has selected it.
  if (keyboardRow && ListView1->selectedItems().isEmpty() && ListView1->currentItem()) {
    ListView1->currentItem()->setSelected(true);
  }
  const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
  return selected.isEmpty() ? -1 : ListView1->indexOfTopLevelItem(selected.first());
}

void TForm7::ShowSizeValue(const QString& text) {
  // A size such as 99999x99999 is shown whole: the label grows to the left into the free room
  // after "Size:" when the value column is too narrow for it.
  const int needed = Label7->fontMetrics().horizontalAdvance(text) + 2;
  const int left = std::clamp(l::kValueRight - needed, l::kWideValueLeft, l::kValueLeft);
  Label7->setGeometry(left, Label7->y(), l::kValueRight - left, Label7->height());
  Label7->setText(text);
}

void TForm7::ShowMapRows(const std::vector<MapRow>& rows) {
  const QSignalBlocker quiet(ListView1);
  ListView1->clear();
  const QIcon icon(MapRowIcon());
  for (const MapRow& entry : rows) {
    auto* row = new QTreeWidgetItem(ListView1, QStringList{QString::fromStdString(entry.text)});
    row->setIcon(0, icon);
    row->setData(0, kNameRole, QByteArray::fromStdString(entry.caption));
  }
}

void TForm7::ShowMapInformation(const MapInformationText& information) {
  ShowSizeValue(QString::fromStdString(information.size));
  // A map that cannot be read says why under the pointer.
  Label7->setToolTip(QString::fromStdString(information.problem));
  Label8->setText(QString::fromStdString(information.scheme));
  Label9->setText(QString::fromStdString(information.missions));
}

}  // namespace kartwerk
