#include "ui/slot_picker_window.hpp"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QScrollBar>
#include <utility>

#include "ui/prompt_windows.hpp"
#include "ui/window_style.hpp"

namespace kartwerk {
namespace {

void Colour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

namespace l = layout::slot_picker;
namespace top = layout::banner_panel;

}  // namespace

QString ConversionFailureNotice(const ConversionEnd& end) { return QString::fromStdString(ConversionFailureText(end)); }

QString ReplacedSlotNotice(const ConversionEnd& end, const std::vector<std::string>& notes) {
  return QString::fromStdString(ReplacedSlotText(end, notes));
}

TForm1::TForm1(GuiSession& session, TForm8& notice, QWidget* owner)
    : TFadeForm(session, "TForm1", l::kWidth, l::kHeight, QPalette().color(QPalette::Window), /*alwaysOnTop=*/false,
                owner),
      logic_(session, *this, *this, notice.Logic()),
      ProcessThread(logic_.ProcessThread) {
  setFont(WindowFont(layout::kFontPixels));
  setWindowTitle(QStringLiteral("Editor slot"));

  Panel2 = new QWidget(this);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setGeometry(Geometry(top::kPanel));
  Colour(Panel2, QPalette::Window, Qt::white);
  Panel2->setAutoFillBackground(true);

  Image1 = new QLabel(Panel2);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(top::kBannerLeft, 0, layout::kBannerWidth, layout::kBannerHeight);
  Image1->setPixmap(BannerPicture(devicePixelRatioF()));

  Label2 = MakeLabel(Panel2, "Label2", QStringLiteral("X"), top::kClose);
  Label2->setFont(WindowFont(layout::kFontPixels, true));
  Label2->adjustSize();
  OnMouseRelease(Label2, [this] { Label2Click(); });
  MoveWindowByDragging(Panel2);

  Label1 = new QLabel(QString::fromLatin1(kSlotListTitle), Panel2);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(Geometry(l::kTitle));
  Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  ListBox1->setGeometry(Geometry(l::kSlotList));
  ListBox1->setUniformItemSizes(true);
  ListBox1->setFrameStyle(QFrame::Box | QFrame::Plain);
  Colour(ListBox1, QPalette::Text, ValueBlue());
  Colour(ListBox1, QPalette::WindowText, FrameGrey());
  connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });

  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(Geometry(l::kProgressPanel));
  Colour(Panel1, QPalette::Window, Qt::white);
  Panel1->setAutoFillBackground(true);
  Panel1->hide();

  auto caption = [this](const char* name, const char* text, int top) {
    QLabel* label = MakeLabel(Panel1, name, QString::fromLatin1(text), l::kCaptionLeft, top);
    return label;
  };
  auto value = [this](const char* name, layout::Box at) {
    auto* label = new QLabel(QStringLiteral("-"), Panel1);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(Geometry(at));
    Colour(label, QPalette::WindowText, ValueBlue());
    return label;
  };
  auto row = [](int rowTop) { return layout::Box{l::kValueLeft, rowTop, l::kValueWidth, l::kRowHeight}; };
  Label3 = caption("Label3", "Processing map:", l::kMapTop);
  Label4 = value("Label4", row(l::kMapTop));
  Label5 = caption("Label5", "Map type:", l::kTypeTop);
  Label6 = value("Label6", row(l::kTypeTop));
  Label9 = caption("Label9", "Map scheme:", l::kSchemeTop);
  Label10 = value("Label10", row(l::kSchemeTop));
  Label11 = caption("Label11", "Map size:", l::kSizeTop);
  Label12 = value("Label12", row(l::kSizeTop));
  Label13 = new QLabel(QStringLiteral("Processing:"), Panel1);
  Label13->setObjectName(QStringLiteral("Label13"));
  Label13->setGeometry(Geometry(l::kStepCaption));
  Label13->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Label14 = value("Label14", l::kStep);
  Label14->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  Gauge1 = new QProgressBar(Panel1);
  Gauge1->setObjectName(QStringLiteral("Gauge1"));
  Gauge1->setGeometry(Geometry(l::kGauge));
  Gauge1->setRange(0, GaugeMaximum(1));
  Gauge1->setValue(0);
  Gauge1->setTextVisible(false);
  Gauge1->setStyleSheet(
      QStringLiteral("QProgressBar { border: none; background: %1; } QProgressBar::chunk { background: %2; }")
          .arg(ToQColor(layout::kGaugeTrough).name(), ToQColor(layout::kGaugeRed).name()));
}

TForm1::~TForm1() {
  // The worker is stopped and joined while the window it reports to still exists.
  ProcessThread.reset();
}

void TForm1::Open(const std::filesystem::path& mapPath, const TFadeForm& opener, bool withOpacity,
                  std::function<void(const QString& failure)> afterClose, bool failuresReturn) {
  logic_.Open(
      mapPath, opener.Fading(), withOpacity,
      [after = std::move(afterClose)](const std::string& failure) { after(QString::fromStdString(failure)); },
      failuresReturn);
}

void TForm1::ShowSlotList(const std::string& title) {
  Panel1->hide();
  Label1->setText(QString::fromStdString(title));
}

void TForm1::ShowSlotRows(const std::vector<std::string>& rows) {
  ListBox1->clear();
  for (const std::string& text : rows) {
    auto* row = new QListWidgetItem(QString::fromStdString(text), ListBox1);
    row->setSizeHint(QSize(0, l::kSlotRowHeight));
    // A title the row ends with "..." is shown whole under the pointer.
    const int room = ListBox1->contentsRect().width() - ListBox1->verticalScrollBar()->sizeHint().width() - 4;
    if (ListBox1->fontMetrics().horizontalAdvance(row->text()) > room) {
      row->setToolTip(row->text());
    }
  }
}

void TForm1::FocusSlotList() { ListBox1->setFocus(); }

int TForm1::SelectedSlot(bool keyboardRow) {
  if (keyboardRow && ListBox1->selectedItems().isEmpty() && ListBox1->currentItem()) {
    ListBox1->currentItem()->setSelected(true);
  }
  const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
  return selected.isEmpty() ? -1 : ListBox1->row(selected.first());
}

void TForm1::ShowProgressPanel(const std::string& title, const ProgressPanel& panel) {
  Label1->setText(QString::fromStdString(title));
  SetElidedText(Label4, QString::fromStdString(panel.map));
  Label6->setText(QString::fromStdString(panel.type));
  Label10->setText(QString::fromStdString(panel.scheme));
  Gauge1->setRange(0, panel.gaugeMaximum);
  Gauge1->setValue(0);
  Label12->setText(QString::fromStdString(panel.size));
  Label14->setText(QString());
  Panel1->show();
}

void TForm1::ShowProgress(const std::string& label, int gauge) {
  Gauge1->setValue(gauge);
  Label14->setText(QString::fromStdString(label));
}

void TForm1::PostToWindowThread(std::function<void()> call) {
  QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

kartwerk::EditorPrompt& TForm1::MakeEditorPrompt() {
  prompt_ = new TForm6(session(), this);
  return prompt_->Logic();
}

}  // namespace kartwerk
