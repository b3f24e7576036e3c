#include "ui/slot_picker_window.hpp"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <algorithm>
#include <exception>
#include <system_error>
#include <utility>

#include "convert/writers/map_header_files.hpp"
#include "core/map_info.hpp"
#include "core/parse_decimal.hpp"
#include "core/staging.hpp"
#include "install/game_location.hpp"
#include "install/slot_store.hpp"
#include "ui/display_text.hpp"
#include "ui/prompt_windows.hpp"
#include "ui/window_style.hpp"

namespace kartwerk {
namespace {

void Colour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

bool FileExists(const std::filesystem::path& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

}  // namespace

int GaugeMaximum(std::size_t missionFiles) { return 12 * (static_cast<int>(missionFiles) - 1) + 17; }

QString ConversionFailureNotice(const ConversionEnd& end) {
  QString text = QString::fromStdString(end.FailureText());
  if (!text.isEmpty()) text[0] = text[0].toUpper();
  // Long paths in the message may break after any separator.
  text.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
  text.replace(QLatin1Char('\\'), QStringLiteral("\\\u200B"));
  return text;
}

TForm1::TForm1(GuiSession& session, TForm8& notice, QWidget* owner)
    : TFadeForm(session, "TForm1", 370, 253, QPalette().color(QPalette::Window), /*alwaysOnTop=*/false, owner),
      notice_(notice) {
  setFont(WindowFont(13));

  Panel2 = new QWidget(this);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setGeometry(1, 1, 368, 68);
  Colour(Panel2, QPalette::Window, Qt::white);
  Panel2->setAutoFillBackground(true);

  Image1 = new QLabel(Panel2);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(-20, 0, 415, 70);
  Image1->setPixmap(BannerPicture());

  Label2 = MakeLabel(Panel2, "Label2", QStringLiteral("X"), 351, 4);
  Label2->setFont(WindowFont(13, true));
  Label2->adjustSize();
  OnMouseRelease(Label2, [this] { Label2Click(); });

  Label1 = new QLabel(QStringLiteral("Select an editor slot to decompile map into"), Panel2);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(23, 50, 321, 17);
  Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  ListBox1->setGeometry(4, 70, 362, 179);
  ListBox1->setUniformItemSizes(true);
  ListBox1->setFrameStyle(QFrame::Box | QFrame::Plain);
  Colour(ListBox1, QPalette::Text, ValueBlue());
  Colour(ListBox1, QPalette::WindowText, FrameGrey());
  connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });

  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(5, 71, 360, 177);
  Colour(Panel1, QPalette::Window, Qt::white);
  Panel1->setAutoFillBackground(true);
  Panel1->hide();

  auto caption = [this](const char* name, const char* text, int top) {
    QLabel* label = MakeLabel(Panel1, name, QString::fromLatin1(text), 16, top);
    return label;
  };
  auto value = [this](const char* name, int left, int top, int width) {
    auto* label = new QLabel(QStringLiteral("-"), Panel1);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(left, top, width, 17);
    Colour(label, QPalette::WindowText, ValueBlue());
    return label;
  };
  Label3 = caption("Label3", "Processing map:", 16);
  Label4 = value("Label4", 130, 16, 220);
  Label5 = caption("Label5", "Map type:", 40);
  Label6 = value("Label6", 130, 40, 220);
  Label9 = caption("Label9", "Map scheme:", 64);
  Label10 = value("Label10", 130, 64, 220);
  Label11 = caption("Label11", "Map size:", 88);
  Label12 = value("Label12", 130, 88, 220);
  Label13 = new QLabel(QStringLiteral("Processing:"), Panel1);
  Label13->setObjectName(QStringLiteral("Label13"));
  Label13->setGeometry(0, 118, 360, 17);
  Label13->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Label14 = value("Label14", 0, 138, 360);
  Label14->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  Gauge1 = new QProgressBar(Panel1);
  Gauge1->setObjectName(QStringLiteral("Gauge1"));
  Gauge1->setGeometry(7, 164, 345, 4);
  Gauge1->setRange(0, 17);
  Gauge1->setValue(0);
  Gauge1->setTextVisible(false);
  Gauge1->setStyleSheet(QStringLiteral(
      "QProgressBar { border: none; background: #e4e4e4; } QProgressBar::chunk { background: #ff0000; }"));
}

TForm1::~TForm1() {
  // The worker is stopped and joined while the window it reports to still exists.
  ProcessThread.reset();
}

void TForm1::Open(const std::filesystem::path& mapPath, const TFadeForm& opener, bool withOpacity,
                  std::function<void()> afterClose) {
  MapPath = mapPath;
  afterClose_ = std::move(afterClose);
  CopyFadeFrom(opener, withOpacity);
  ShowCentred(/*modal=*/true);
  FormShow();
}

void TForm1::FormShow() {
  GuiSession& s = session();
  Conversion& c = s.conversion;
  if (FileExists(s.CommandLineMap)) MapPath = s.CommandLineMap;
  if (!FileExists(MapPath)) {
    CloseWindow();
    return;
  }
  ProcessThread = std::make_unique<TProcessThread>(c);
  ConversionDone = false;
  userClosed_ = false;

  try {
    StageMapFile(c, std::filesystem::absolute(MapPath));
  } catch (...) {
    s.ReportError(CurrentExceptionText());
    CloseWindow();
    return;
  }

  if (!BuildSlotList(s.installs)) {
    notice_.ShowNotice(QString::fromUtf8(GameNotLocatedMessage.data(), static_cast<qsizetype>(GameNotLocatedMessage.size())),
                       *this, [this] { CloseWindow(); });
    return;
  }
  ListBox1->clear();
  for (std::size_t slot = 0; slot < SlotCount; ++slot) {
    auto* row = new QListWidgetItem(GameText(s.installs.SlotList[slot]), ListBox1);
    row->setSizeHint(QSize(0, 16));
  }

  if (!AlphaBlend()) SetAlphaBlendValue(FadeShownOpacity);
  StartFadeIn();
}

void TForm1::ListBox1DblClick() {
  const int row = ListBox1->currentRow();
  // No row chosen, a conversion already started, or the window closing: nothing to do.
  if (row < 0 || row >= static_cast<int>(SlotCount) || Panel1->isVisible() || userClosed_ || !ProcessThread ||
      ProcessThread->Started() || CurrentFade() == Fade::Out) {
    return;
  }
  GuiSession& s = session();
  Conversion& c = s.conversion;
  QString title;
  try {
    c.SlotFolder = SlotFolderPath(s.installs.GameFolder, row);
    std::filesystem::create_directories(c.SlotFolder);
    WriteMapDescFile(c);
    WriteMapInfoFile(c);
    title = c.MapKind == CampaignMap ? QStringLiteral("Campaign %1").arg(ParseDecimal(c.MapName))
                                     : FileNameText(c.MapName);
  } catch (...) {
    s.ReportError(CurrentExceptionText());
    return;
  }

  Label1->setText(QStringLiteral("Kartwerk for Vornmark II\u2122"));
  Label4->setText(title);
  Label6->setText(QString::fromLatin1(MapKindText(c.MapKind).data()) + QStringLiteral(" map"));
  Label10->setText(QString::fromLatin1(TerrainSchemeText(c.MapInfoRecord.TerrainScheme).data()));
  Gauge1->setRange(0, std::max(GaugeMaximum(c.MissionList.size()), 1));
  Gauge1->setValue(0);
  Label12->setText(QStringLiteral("%1x%2").arg(c.MapInfoRecord.width).arg(c.MapInfoRecord.height));
  Label14->setText(QString());
  Panel1->show();

  // The worker's reports and its end cross over to this window's thread as queued calls.
  if (s.installs.GameVersionKind != 0) c.GameVersionKind = s.installs.GameVersionKind;
  ProcessThread->SetProgressHandler([this, probe = s.hooks.WorkerProgress](const std::string& label) {
    if (probe) probe(label);
    QMetaObject::invokeMethod(
        this, [this, text = QString::fromStdString(label)] { ShowProgress(text); }, Qt::QueuedConnection);
  });
  ProcessThread->SetEndHandler([this](const ConversionEnd& end) {
    QMetaObject::invokeMethod(this, [this, end] { ConversionFinished(end); }, Qt::QueuedConnection);
  });
  ProcessThread->Start();
}

void TForm1::ShowProgress(const QString& label) {
  Gauge1->setValue(std::min(Gauge1->value() + 1, Gauge1->maximum()));
  Label14->setText(label);
}

void TForm1::ConversionFinished(const ConversionEnd& end) {
  // After "X" the closing itself waits for the worker and cleans up.
  if (userClosed_ || ConversionDone) return;
  ConversionDone = true;
  end_ = end;
  Label2Click();
}

bool TForm1::WorkerRunning() const { return ProcessThread && ProcessThread->Started() && !ConversionDone; }

void TForm1::Label2Click() {
  if (CurrentFade() == Fade::Out || !isVisible()) return;
  if (WorkerRunning()) {
    // Stopping takes until the step under way is done; the fade-out runs meanwhile.
    userClosed_ = true;
    ProcessThread->RequestStop();
  }
  if (!AlphaBlend()) {
    hide();
    SetAlphaBlendValue(0);
  }
  StartFadeOut([this] { FadeOutEnd(); });
}

void TForm1::FadeOutEnd() {
  hide();
  if (ConversionDone) {
    ConversionDone = false;
    if (end_.error) {
      notice_.ShowNotice(ConversionFailureNotice(end_), *this, [this] { ShowEditorPrompt(); });
    } else {
      ShowEditorPrompt();
    }
    return;
  }
  if (ProcessThread && ProcessThread->Started()) ProcessThread->Wait();
  session().EndProgram();
}

void TForm1::ShowEditorPrompt() {
  prompt_ = new TForm6(session(), this);
  prompt_->Open(*this, [this] { session().EndProgram(); });
}

void TForm1::CloseWindow() {
  hide();
  std::function<void()> after = std::exchange(afterClose_, nullptr);
  if (after) after();
}

}  // namespace kartwerk
