#include "ui/slot_picker_window.hpp"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
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

}  // namespace

QString ConversionFailureNotice(const ConversionEnd& end) { return QString::fromStdString(ConversionFailureText(end)); }

QString ReplacedSlotNotice(const ConversionEnd& end, const std::vector<std::string>& notes) {
  return QString::fromStdString(ReplacedSlotText(end, notes));
}

TForm1::TForm1(GuiSession& session, TForm8& notice, QWidget* owner)
    : TFadeForm(session, "TForm1", 370, 253, QPalette().color(QPalette::Window), /*alwaysOnTop=*/false, owner),
      logic_(session, *this, *this, notice.Logic()),
      ProcessThread(logic_.ProcessThread) {
  setFont(WindowFont(13));
  setWindowTitle(QStringLiteral("Editor slot"));

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
  MoveWindowByDragging(Panel2);

  Label1 = new QLabel(QString::fromLatin1(kSlotListTitle), Panel2);
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
    row->setSizeHint(QSize(0, 16));
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
