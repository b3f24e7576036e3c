#include "ui/qt/slot_picker_window.hpp"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QScrollBar>
#include <utility>

#include "pipeline/conversion_steps.hpp"
#include "ui/qt/prompt_windows.hpp"
#include "ui/qt/window_look.hpp"

namespace kartwerk::qt {
namespace {

void Colour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

namespace l = logic::layout::slot_picker;
namespace top = logic::layout::banner_panel;

}  // namespace

QString ConversionFailureNotice(const pipeline::ConversionEnd& end) {
  return QString::fromStdString(logic::ConversionFailureText(end));
}

QString ReplacedSlotNotice(const pipeline::ConversionEnd& end, const std::vector<std::string>& notes) {
  return QString::fromStdString(logic::ReplacedSlotText(end, notes));
}

SlotPickerWindow::SlotPickerWindow(QtSession& session, NoticeWindow& notice, QWidget* owner)
    : WindowBase(session, "SlotPickerWindow", l::kWidth, l::kHeight, QPalette().color(QPalette::Window),
                 /*alwaysOnTop=*/false, owner),
      logic_(session, *this, *this, notice.Logic()) {
  setFont(WindowFont(logic::layout::kFontPixels));
  setWindowTitle(QStringLiteral("Editor slot"));

  bannerPanel = new QWidget(this);
  bannerPanel->setObjectName(QStringLiteral("bannerPanel"));
  bannerPanel->setGeometry(Geometry(top::kBannerPanel));
  Colour(bannerPanel, QPalette::Window, Qt::white);
  bannerPanel->setAutoFillBackground(true);

  banner = new QLabel(bannerPanel);
  banner->setObjectName(QStringLiteral("banner"));
  banner->setGeometry(top::kBannerLeft, 0, logic::layout::kBannerWidth, logic::layout::kBannerHeight);
  banner->setPixmap(BannerPicture(devicePixelRatioF()));

  closeLabel = MakeLabel(bannerPanel, "closeLabel", QStringLiteral("X"), top::kCloseLabel);
  closeLabel->setFont(WindowFont(logic::layout::kFontPixels, true));
  closeLabel->adjustSize();
  OnMouseRelease(closeLabel, [this] { logic_.Close(); });
  MoveWindowByDragging(bannerPanel);

  title = new QLabel(QString::fromLatin1(logic::kSlotListTitle), bannerPanel);
  title->setObjectName(QStringLiteral("title"));
  title->setGeometry(Geometry(l::kTitle));
  title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  slotList = new QListWidget(this);
  slotList->setObjectName(QStringLiteral("slotList"));
  slotList->setGeometry(Geometry(l::kSlotList));
  slotList->setUniformItemSizes(true);
  slotList->setFrameStyle(QFrame::Box | QFrame::Plain);
  Colour(slotList, QPalette::Text, ValueBlue());
  Colour(slotList, QPalette::WindowText, FrameGrey());
  connect(slotList, &QListWidget::itemDoubleClicked, this, [this] { logic_.ChooseSlot(); });

  progressPanel = new QWidget(this);
  progressPanel->setObjectName(QStringLiteral("progressPanel"));
  progressPanel->setGeometry(Geometry(l::kProgressPanel));
  Colour(progressPanel, QPalette::Window, Qt::white);
  progressPanel->setAutoFillBackground(true);
  progressPanel->hide();

  auto caption = [this](const char* name, const char* text, int top) {
    QLabel* label = MakeLabel(progressPanel, name, QString::fromLatin1(text), l::kCaptionLeft, top);
    return label;
  };
  auto value = [this](const char* name, logic::layout::Box at) {
    auto* label = new QLabel(QStringLiteral("-"), progressPanel);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(Geometry(at));
    Colour(label, QPalette::WindowText, ValueBlue());
    return label;
  };
  auto row = [](int rowTop) { return logic::layout::Box{l::kValueLeft, rowTop, l::kValueWidth, l::kRowHeight}; };
  mapCaption = caption("mapCaption", "Processing map:", l::kMapTop);
  mapValue = value("mapValue", row(l::kMapTop));
  typeCaption = caption("typeCaption", "Map type:", l::kTypeTop);
  typeValue = value("typeValue", row(l::kTypeTop));
  schemeCaption = caption("schemeCaption", "Map scheme:", l::kSchemeTop);
  schemeValue = value("schemeValue", row(l::kSchemeTop));
  sizeCaption = caption("sizeCaption", "Map size:", l::kSizeTop);
  sizeValue = value("sizeValue", row(l::kSizeTop));
  stepCaption = new QLabel(QStringLiteral("Processing:"), progressPanel);
  stepCaption->setObjectName(QStringLiteral("stepCaption"));
  stepCaption->setGeometry(Geometry(l::kStepCaption));
  stepCaption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  stepValue = value("stepValue", l::kStepValue);
  stepValue->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  progressGauge = new QProgressBar(progressPanel);
  progressGauge->setObjectName(QStringLiteral("progressGauge"));
  progressGauge->setGeometry(Geometry(l::kProgressGauge));
  progressGauge->setRange(0, static_cast<int>(pipeline::ReportedLabelCount(1)));
  progressGauge->setValue(0);
  progressGauge->setTextVisible(false);
  progressGauge->setStyleSheet(
      QStringLiteral("QProgressBar { border: none; background: %1; } QProgressBar::chunk { background: %2; }")
          .arg(ToQColor(logic::layout::kGaugeTrough).name(), ToQColor(logic::layout::kGaugeRed).name()));
}

void SlotPickerWindow::Open(const std::filesystem::path& mapPath, const WindowBase& opener, bool withOpacity,
                            std::function<void(const QString& failure)> afterClose, bool failuresReturn) {
  logic_.Open(
      mapPath, opener.Fading(), withOpacity,
      [after = std::move(afterClose)](const std::string& failure) { after(QString::fromStdString(failure)); },
      failuresReturn);
}

void SlotPickerWindow::ShowSlotList(const std::string& text) {
  progressPanel->hide();
  title->setText(QString::fromStdString(text));
}

void SlotPickerWindow::ShowSlotRows(const std::vector<std::string>& rows) {
  slotList->clear();
  for (const std::string& text : rows) {
    auto* row = new QListWidgetItem(QString::fromStdString(text), slotList);
    row->setSizeHint(QSize(0, l::kSlotRowHeight));
    // A title the row ends with "..." is shown whole under the pointer.
    const int room = slotList->contentsRect().width() - slotList->verticalScrollBar()->sizeHint().width() - 4;
    if (slotList->fontMetrics().horizontalAdvance(row->text()) > room) {
      row->setToolTip(row->text());
    }
  }
}

void SlotPickerWindow::FocusSlotList() { slotList->setFocus(); }

int SlotPickerWindow::SelectedSlot(bool keyboardRow) {
  if (keyboardRow && slotList->selectedItems().isEmpty() && slotList->currentItem()) {
    slotList->currentItem()->setSelected(true);
  }
  const QList<QListWidgetItem*> selected = slotList->selectedItems();
  return selected.isEmpty() ? -1 : slotList->row(selected.first());
}

void SlotPickerWindow::ShowProgressPanel(const std::string& text, const logic::ProgressPanel& panel) {
  title->setText(QString::fromStdString(text));
  SetElidedText(mapValue, QString::fromStdString(panel.map));
  typeValue->setText(QString::fromStdString(panel.type));
  schemeValue->setText(QString::fromStdString(panel.scheme));
  progressGauge->setRange(0, panel.gaugeMaximum);
  progressGauge->setValue(0);
  sizeValue->setText(QString::fromStdString(panel.size));
  stepValue->setText(QString());
  progressPanel->show();
}

void SlotPickerWindow::ShowProgress(const std::string& label, int gauge) {
  progressGauge->setValue(gauge);
  stepValue->setText(QString::fromStdString(label));
}

void SlotPickerWindow::PostToWindowThread(std::function<void()> call) {
  QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

kartwerk::logic::EditorPrompt& SlotPickerWindow::MakeEditorPrompt() {
  prompt_ = new EditorPromptWindow(session(), this);
  return prompt_->Logic();
}

}  // namespace kartwerk::qt
