#include "ui/browser_window.hpp"

#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTreeWidget>
#include <exception>
#include <system_error>

#include "convert/records/cliff_data.hpp"
#include "core/map_info.hpp"
#include "core/path_lookup.hpp"
#include "install/game_location.hpp"
#include "install/slot_store.hpp"
#include "ui/display_text.hpp"
#include "ui/map_catalog.hpp"
#include "ui/prompt_windows.hpp"
#include "ui/slot_picker_window.hpp"
#include "ui/version_picker_window.hpp"
#include "ui/window_style.hpp"

namespace kartwerk {
namespace {

// The file name a row stands for is kept with it as the file system's bytes.
constexpr int kNameRole = Qt::UserRole;

bool IsFile(const std::filesystem::path& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

void Blue(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, ValueBlue());
  palette.setColor(QPalette::ButtonText, ValueBlue());
  widget->setPalette(palette);
}

}  // namespace

TForm7::TForm7(GuiSession& session, TForm1& slotPicker, TForm8& notice, TForm9& versionPicker)
    : TFadeForm(session, "TForm7", 417, 253, Qt::white, /*alwaysOnTop=*/true),
      slotPicker_(slotPicker),
      notice_(notice),
      versionPicker_(versionPicker) {
  setFont(WindowFont(13));
  setWindowTitle(QStringLiteral("Kartwerk"));

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(1, 1, 415, 70);
  Image1->setPixmap(BannerPicture());

  Label1 = MakeLabel(this, "Label1", QStringLiteral("Select a map to decompile"), 126, 8);
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
    label->setGeometry(80, top, 62, 17);
    Blue(label);
    return label;
  };
  Label7 = value("Label7", 128);
  Label8 = value("Label8", 152);
  Label9 = value("Label9", 176);

  FormCreate();
}

void TForm7::FormCreate() {
  platformVersionCode_ = ClassifyPlatform(session().Platform);
  if (!WindowsFade(platformVersionCode_, session().DesktopHasWindowOpacity)) {
    SetAlphaBlend(false);
    SetAlphaBlendValue(FadeShownOpacity);
  }
}

void TForm7::FormShow() {
  GuiSession& s = session();
  closing_ = false;
  EnumerateInstallations(s.installs);

  // "cliffdata" beside the program; a file that is there but cannot be read is as good as missing.
  try {
    if (!IsFile(s.CliffDataFile)) throw CliffDataError("missing");
    s.conversion.CliffDataBuffer = LoadCliffData(s.CliffDataFile);
  } catch (const std::exception&) {
    ShowFatalNotice(QString::fromLatin1(MissingCliffDataMessage));
    return;
  }

  // The staging folder is needed before a command-line map is staged.
  try {
    s.EnsureTempFolder();
  } catch (...) {
    s.ReportError(CurrentExceptionText());
    s.EndProgram();
    return;
  }

  if (IsFile(s.CommandLineMap)) {
    if (s.installs.InstalledVersions.size() > 1) {
      ChooseInstallationForMap(s.installs, std::filesystem::absolute(s.CommandLineMap));
    }
    // The browser itself stays unseen; the slot picker converts the file and the program ends.
    slotPicker_.Open(s.CommandLineMap, *this, /*withOpacity=*/false, [this] { session().EndProgram(); });
    return;
  }

  if (s.installs.InstalledVersions.size() > 1) {
    versionPicker_.Open(*this, [this] { ContinueStart(); });
    return;
  }
  ContinueStart();
}

void TForm7::ContinueStart() {
  GuiSession& s = session();
  if (!BuildSlotList(s.installs)) {
    ShowFatalNotice(QString::fromUtf8(GameNotLocatedMessage.data(), static_cast<qsizetype>(GameNotLocatedMessage.size())));
    return;
  }
  RadioButton2->setChecked(true);
  RadioButton2Click();
  ShowCentred(/*modal=*/false);
  StartFadeIn();
}

void TForm7::ShowFatalNotice(const QString& message) {
  notice_.ShowNotice(message, *this, [this] { session().EndProgram(); });
}

void TForm7::RadioButton1Click() { ChooseCategory(CampaignMap); }
void TForm7::RadioButton2Click() { ChooseCategory(SinglePlayerMap); }
void TForm7::RadioButton3Click() { ChooseCategory(MultiplayerMap); }

void TForm7::ChooseCategory(MapKindCode kind) {
  GuiSession& s = session();
  const MapCategory& category = CategoryOf(kind);
  s.conversion.MapKind = kind;
  categoryFolder_ = CategoryFolder(s.installs.GameFolder, category);
  s.conversion.MapFolder = categoryFolder_;

  // Rows are replaced without announcing a selection; the information keeps its old text.
  const QSignalBlocker quiet(ListView1);
  ListView1->clear();
  const QIcon icon(MapRowIcon());
  for (const std::string& caption : CategoryRows(categoryFolder_, category)) {
    auto* row = new QTreeWidgetItem(ListView1, QStringList{FileNameText(caption)});
    row->setIcon(0, icon);
    row->setData(0, kNameRole, QByteArray::fromStdString(caption));
  }
}

void TForm7::ListView1SelectItem() { ListView1Click(); }

QTreeWidgetItem* TForm7::SelectedRow() const {
  const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

void TForm7::ListView1Click() {
  try {
    ShowSelectedMapInformation();
  } catch (...) {
    // The browser stays open with the previous map's information on show.
    session().ReportError(CurrentExceptionText());
  }
}

void TForm7::ShowSelectedMapInformation() {
  QTreeWidgetItem* row = SelectedRow();
  if (!row) return;
  Conversion& c = session().conversion;
  const std::string caption = row->data(0, kNameRole).toByteArray().toStdString();

  c.MissionList.clear();
  if (c.MapKind == CampaignMap) c.MissionList = CampaignFiles(categoryFolder_, caption);
  c.MapName = caption + std::string(CategoryOf(c.MapKind).extension);

  // Only the start of the map is decompressed, into memory: the information lies in its first bytes.
  const std::filesystem::path file = ResolveIgnoringCase(categoryFolder_, c.MapName);
  c.MapInfoRecord = ReadMapHeaderInformation(file, RadioButton3->isChecked() ? MultiplayerMap : c.MapKind);

  Label7->setText(QStringLiteral("%1x%2").arg(c.MapInfoRecord.width).arg(c.MapInfoRecord.height));
  Label8->setText(QString::fromLatin1(TerrainSchemeText(c.MapInfoRecord.TerrainScheme).data()));
  Label9->setText(c.MapKind == CampaignMap ? QString::number(static_cast<long long>(c.MissionList.size()) - 1)
                                           : QStringLiteral("1"));
}

void TForm7::ListView1DblClick() {
  if (!SelectedRow() || CurrentFade() == Fade::Out || closing_) return;
  if (!AlphaBlend()) {
    hide();
    SetAlphaBlendValue(0);
  }
  StartFadeOut([this] { OpenSelectedMap(); });
}

void TForm7::OpenSelectedMap() {
  GuiSession& s = session();
  try {
    // Once more, so that the name, missions and information describe the map being opened.
    ShowSelectedMapInformation();
  } catch (...) {
    s.ReportError(CurrentExceptionText());
    // Back to the list: the map cannot be opened, another can.
    ShowCentred(/*modal=*/false);
    if (!AlphaBlend()) SetAlphaBlendValue(FadeShownOpacity);
    StartFadeIn();
    return;
  }
  // The browser is not needed again: a faded-out window would still take the mouse.
  hide();
  const std::filesystem::path mapPath = ResolveIgnoringCase(categoryFolder_, s.conversion.MapName);
  slotPicker_.Open(mapPath, *this, /*withOpacity=*/true, [this] { session().EndProgram(); });
}

void TForm7::Label2Click() {
  if (CurrentFade() == Fade::Out) return;
  closing_ = true;
  if (!AlphaBlend()) SetAlphaBlendValue(0);
  StartFadeOut([this] {
    hide();
    session().EndProgram();
  });
}

}  // namespace kartwerk
