#include "ui/qt/window_look.hpp"

#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QWidget>
#include <QWindow>
#include <utility>

#include "ui/logic/banner_design.hpp"

namespace kartwerk::qt {
namespace {

// Calls its action when the left mouse button is released over the widget it watches.
class ReleaseFilter : public QObject {
 public:
  ReleaseFilter(QObject* parent, std::function<void()> action) : QObject(parent), action_(std::move(action)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick) {
      return QObject::eventFilter(watched, event);
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) return QObject::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    // Released over the control, as a button click is: dragging off it cancels.
    if (type == QEvent::MouseButtonRelease && widget && widget->rect().contains(mouse->position().toPoint())) action_();
    // The control takes the press itself, so it never starts a drag of the banner beneath it.
    return true;
  }

 private:
  std::function<void()> action_;
};

// Moves the window when its handle is dragged with the left button: the desktop's own move where
// the platform offers one (X11, Wayland), else by following the pointer.
class DragFilter : public QObject {
 public:
  explicit DragFilter(QObject* parent) : QObject(parent) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* handle = qobject_cast<QWidget*>(watched);
    if (handle == nullptr) return false;
    QWidget* window = handle->window();
    if (event->type() == QEvent::MouseButtonPress) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) return false;
      following_ = !(window->windowHandle() && window->windowHandle()->startSystemMove());
      grabbedAt_ = mouse->globalPosition().toPoint() - window->pos();
      return true;
    }
    if (event->type() == QEvent::MouseMove && following_) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->buttons().testFlag(Qt::LeftButton)) window->move(mouse->globalPosition().toPoint() - grabbedAt_);
      return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) following_ = false;
    return false;
  }

 private:
  bool following_ = false;
  QPoint grabbedAt_;
};

// One diamond of the isometric terrain drawn into the banner.
QPolygonF Rhomb(double cx, double cy, double w, double h) {
  return QPolygonF(
      {QPointF(cx, cy - h / 2), QPointF(cx + w / 2, cy), QPointF(cx, cy + h / 2), QPointF(cx - w / 2, cy)});
}

}  // namespace

QFont WindowFont(int pixelSize, bool bold) {
  QFont font(QString::fromLatin1(logic::layout::kFontFamily));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

QColor ToQColor(logic::layout::Colour colour) { return QColor(colour.red, colour.green, colour.blue); }
QColor ValueBlue() { return ToQColor(logic::layout::kValueBlue); }
QColor FrameGrey() { return ToQColor(logic::layout::kFrameGrey); }
QRect Geometry(logic::layout::Box box) { return QRect(box.left, box.top, box.width, box.height); }

QPixmap BannerPicture(qreal devicePixelRatio) {
  constexpr int kW = logic::layout::kBannerWidth, kH = logic::layout::kBannerHeight;
  // Painted in the screen's own pixels, so a scaled window shows a sharp word mark and edges
  // rather than the 96-dpi picture stretched.
  QPixmap picture(qRound(kW * devicePixelRatio), qRound(kH * devicePixelRatio));
  picture.setDevicePixelRatio(devicePixelRatio);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);

  // A pale sky over the strip, so the titles written across it stay readable.
  QLinearGradient sky(0, 0, 0, kH);
  sky.setColorAt(0.0, ToQColor(logic::layout::kBannerSkyTop));
  sky.setColorAt(1.0, ToQColor(logic::layout::kBannerSkyBottom));
  p.fillRect(QRectF(0, 0, kW, kH), sky);

  // Terrain rhombs rising from the right edge: a map seen from above, as the editor shows it.
  QColor outline = ToQColor(logic::layout::kWhite);
  outline.setAlpha(logic::layout::kBannerOutlineAlpha);
  for (const logic::layout::BannerRhomb& rhomb : logic::layout::BannerTerrain()) {
    p.setPen(QPen(outline, 1));
    p.setBrush(ToQColor(rhomb.land));
    p.drawPolygon(Rhomb(rhomb.cx, rhomb.cy, rhomb.width, rhomb.height));
  }

  // The program's word mark at the left.
  const QColor markColour = ToQColor(logic::layout::kWordMarkColour);
  p.setPen(markColour);
  QFont mark = WindowFont(logic::layout::kWordMarkPixels, true);
  mark.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
  p.setFont(mark);
  p.drawText(Geometry(logic::layout::kWordMark), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Kartwerk"));
  QColor underline = markColour;
  underline.setAlpha(logic::layout::kUnderlineAlpha);
  p.setPen(QPen(underline, 1));
  p.drawLine(QPointF(logic::layout::kUnderlineLeft, logic::layout::kUnderlineY),
             QPointF(logic::layout::kUnderlineRight, logic::layout::kUnderlineY));
  return picture;
}

QPixmap MapRowIcon() {
  QPixmap icon(16, 16);
  icon.fill(Qt::transparent);
  QPainter p(&icon);
  p.setRenderHint(QPainter::Antialiasing);
  // A folded map sheet with a green land patch.
  p.setPen(QPen(QColor(90, 110, 140), 1));
  p.setBrush(QColor(238, 244, 250));
  p.drawRect(QRectF(1.5, 2.5, 13, 11));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(150, 196, 130));
  p.drawPolygon(Rhomb(8, 8, 10, 6));
  p.setPen(QPen(QColor(90, 110, 140, 140), 1));
  p.drawLine(QPointF(6, 3), QPointF(6, 13));
  p.drawLine(QPointF(10.5, 3), QPointF(10.5, 13));
  return icon;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->move(left, top);
  label->adjustSize();
  return label;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, logic::layout::Box at) {
  return MakeLabel(parent, name, text, at.left, at.top);
}

void SetElidedText(QLabel* label, const QString& text) {
  const QString shown = label->fontMetrics().elidedText(text, Qt::ElideRight, label->width());
  label->setText(shown);
  label->setToolTip(shown == text ? QString() : text);
}

void MoveWindowByDragging(QWidget* handle) { handle->installEventFilter(new DragFilter(handle)); }

void OnMouseRelease(QWidget* widget, std::function<void()> action) {
  widget->setCursor(Qt::PointingHandCursor);
  widget->installEventFilter(new ReleaseFilter(widget, std::move(action)));
}

}  // namespace kartwerk::qt
