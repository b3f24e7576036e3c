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

// The value column of the map information, in the panel, and the room a wider value may take
// to its left (past the end of "Size:").
constexpr int kValueLeft = 80;
constexpr int kValueRight = 143;
constexpr int kWideValueLeft = 44;

void Blue(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, ValueBlue());
  palette.setColor(QPalette::ButtonText, ValueBlue());
  widget->setPalette(palette);
}

}  // namespace

TForm7::TForm7(GuiSession& session, TForm1& slotPicker, TForm8& notice, TForm9& versionPicker)
    : TFadeForm(session, "TForm7", 417, 253, Qt::white, /*alwaysOnTop=*/true),
      logic_(session, *this, *this, slotPicker.Logic(), notice.Logic(), versionPicker.Logic()) {
  setFont(WindowFont(13));
  setWindowTitle(QStringLiteral("Kartwerk"));

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(1, 1, 415, 70);
  Image1->setPixmap(BannerPicture());

  Label1 = MakeLabel(this, "Label1", QStringLiteral("Select a map to decompile"), 126, 8);
  MoveWindowByDragging(Image1);
  MoveWindowByDragging(Label1);
  Label2 = MakeLabel(this, "Label2", QStringLiteral("X"), 399, 7);
  Label2->setFont(WindowFont(13, true));
  Label2->adjustSize();
  OnMouseRelease(Label2, [this] { Label2Click(); });

  ListView1 = new QTreeWidget(this);
  ListView1->setObjectName(QStringLiteral("ListView1"));
  ListView1->setGeometry(4, 60, 261, 189);
  ListView1->setColumnCount(1);
  ListView1->setColumnWidth(0, 240);
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
  Panel1->setGeometry(268, 48, 145, 194);
  QPalette white = Panel1->palette();
  white.setColor(QPalette::Window, Qt::white);
  Panel1->setPalette(white);
  Panel1->setAutoFillBackground(true);

  auto radio = [this](const char* name, const char* caption, int top) {
    auto* button = new QRadioButton(QString::fromLatin1(caption), Panel1);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(16, top, 113, 17);
    button->setLayoutDirection(Qt::RightToLeft);  // the caption left of the button
    Blue(button);
    return button;
  };
  RadioButton2 = radio("RadioButton2", "Singleplayer", 8);
  RadioButton3 = radio("RadioButton3", "Multiplayer", 32);
  RadioButton1 = radio("RadioButton1", "Campaigns", 56);
  RadioButton2->setChecked(true);
  connect(RadioButton2, &QRadioButton::clicked, this, [this] { RadioButton2Click(); });
  connect(RadioButton3, &QRadioButton::clicked, this, [this] { RadioButton3Click(); });
  connect(RadioButton1, &QRadioButton::clicked, this, [this] { RadioButton1Click(); });

  Label3 = MakeLabel(Panel1, "Label3", QStringLiteral("Map information"), 19, 96);
  Label4 = MakeLabel(Panel1, "Label4", QStringLiteral("Size:"), 8, 128);
  Label5 = MakeLabel(Panel1, "Label5", QStringLiteral("Scheme:"), 8, 152);
  Label6 = MakeLabel(Panel1, "Label6", QStringLiteral("Missions:"), 8, 176);
  auto value = [this](const char* name, int top) {
    auto* label = new QLabel(Panel1);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(kValueLeft, top, kValueRight - kValueLeft, 17);
    Blue(label);
    return label;
  };
  Label7 = value("Label7", 128);
  Label8 = value("Label8", 152);
  Label9 = value("Label9", 176);

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
  const int left = std::clamp(kValueRight - needed, kWideValueLeft, kValueLeft);
  Label7->setGeometry(left, Label7->y(), kValueRight - left, Label7->height());
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
  Label8->setText(QString::fromStdString(information.scheme));
  Label9->setText(QString::fromStdString(information.missions));
}

}  // namespace kartwerk
