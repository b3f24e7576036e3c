#include "ui/qt/map_picture_tip.hpp"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QStyleOptionViewItem>
#include <QToolTip>
#include <QVBoxLayout>
#include <system_error>

namespace kartwerk::qt {
namespace {

// The tooltip sits this far below and right of the pointer, as the desktop's tooltips do.
constexpr QPoint kOffsetFromPointer(16, 16);

QImage ToImage(const preview::Picture& picture) {
  QImage image(picture.bytes().data(), picture.width(), picture.height(), picture.width() * 3, QImage::Format_RGB888);
  return image.copy();  // the picture's bytes go with the drawing thread's copy
}

}  // namespace

MapPictureTip::MapPictureTip(QAbstractItemView* view, Sources sources)
    : QObject(view), view_(view), sources_(std::move(sources)) {
  popup_ = new QFrame(view, Qt::ToolTip | Qt::FramelessWindowHint);
  popup_->setObjectName(QStringLiteral("MapPicture"));
  popup_->setFrameShape(QFrame::Box);
  popup_->setLineWidth(1);
  auto* layout = new QVBoxLayout(popup_);
  layout->setContentsMargins(1, 1, 1, 1);
  layout->setSpacing(2);
  caption_ = new QLabel(popup_);
  caption_->setObjectName(QStringLiteral("MapName"));
  caption_->setWordWrap(true);
  caption_->setContentsMargins(3, 1, 3, 0);
  picture_ = new QLabel(popup_);
  layout->addWidget(caption_);
  layout->addWidget(picture_);
  popup_->hide();
  view_->viewport()->setMouseTracking(true);  // to see the pointer leave the row
  view_->viewport()->installEventFilter(this);
  // Drawn on the drawing thread; handed to this object's thread to be kept and shown.
  pictures_ = std::make_unique<preview::BackgroundPictures>(
      [this](const std::filesystem::path& file, std::optional<preview::Picture> picture) {
        QImage image = picture ? ToImage(*picture) : QImage();
        QMetaObject::invokeMethod(
            this, [this, file, image] { Arrived(file, image); }, Qt::QueuedConnection);
      },
      kPictureSide);
}

MapPictureTip::~MapPictureTip() { pictures_.reset(); }

bool MapPictureTip::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ToolTip: {
      auto* help = static_cast<QHelpEvent*>(event);
      PointerRestsOn(view_->indexAt(help->pos()), help->globalPos());
      return true;  // the picture is the row's tooltip
    }
    case QEvent::MouseMove:
      // Moving off the row the picture belongs to takes it away.
      if (popup_->isVisible() || wanted_) {
        const auto* move = static_cast<QMouseEvent*>(event);
        const std::optional<Key> here =
            preview::PictureKeyOf(sources_.mapFile(view_->indexAt(move->position().toPoint())));
        if (here != wanted_) Hide();
      }
      break;
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::Hide: Hide(); break;
    default: break;
  }
  return QObject::eventFilter(watched, event);
}

void MapPictureTip::PointerRestsOn(const QModelIndex& row, QPoint globalAt) {
  const std::optional<Key> key = row.isValid() ? preview::PictureKeyOf(sources_.mapFile(row)) : std::nullopt;
  Hide();
  wantedName_ = row.isValid() ? CutText(row) : QString();
  if (!key) {
    ShowName(row, globalAt);
    return;
  }
  wanted_ = key;
  wantedAt_ = globalAt;
  if (const auto known = drawn_.find(*key); known != drawn_.end()) {
    if (known->second.isNull()) {
      ShowName(row, globalAt);
    } else {
      Show(known->second, globalAt);
    }
    return;
  }
  // The name at once; the picture, with the name over it, once drawn.
  ShowName(row, globalAt);
  pictures_->Request(key->file, sources_.cliffData ? sources_.cliffData() : nullptr);
}

void MapPictureTip::Arrived(const std::filesystem::path& file, QImage image) {
  const std::optional<Key> key = preview::PictureKeyOf(file);
  if (!key) return;
  drawn_[*key] = image;
  // Shown only while the pointer still rests on that map's row.
  if (wanted_ == key && !image.isNull()) Show(image, wantedAt_);
}

QString MapPictureTip::CutText(const QModelIndex& row) const {
  // What the row's text, icon and margins need, as the view's delegate measures them, against
  // the cell the view gives the row.
  QStyleOptionViewItem option;
  option.initFrom(view_->viewport());
  option.font = view_->font();
  option.decorationSize = view_->iconSize();
  const int needed = view_->itemDelegateForIndex(row)->sizeHint(option, row).width();
  return needed > view_->visualRect(row).width() ? row.data(Qt::DisplayRole).toString() : QString();
}

void MapPictureTip::ShowName(const QModelIndex& row, QPoint globalAt) {
  if (wantedName_.isEmpty()) return;
  // Over the row only: the desktop's tooltip goes by itself when the pointer leaves it.
  QToolTip::showText(globalAt, wantedName_, view_->viewport(), view_->visualRect(row));
  nameShown_ = true;
}

void MapPictureTip::Show(const QImage& image, QPoint globalAt) {
  if (nameShown_) {
    QToolTip::hideText();
    nameShown_ = false;
  }
  picture_->setPixmap(QPixmap::fromImage(image));
  caption_->setText(wantedName_);
  caption_->setMaximumWidth(image.width());
  caption_->setVisible(!wantedName_.isEmpty());
  popup_->adjustSize();
  QPoint at = globalAt + kOffsetFromPointer;
  if (const QScreen* screen = QGuiApplication::screenAt(globalAt)) {
    const QRect space = screen->availableGeometry();
    at.setX(std::min(at.x(), space.right() - popup_->width()));
    at.setY(at.y() + popup_->height() > space.bottom() ? globalAt.y() - popup_->height() - 4 : at.y());
  }
  popup_->move(at);
  popup_->show();
}

void MapPictureTip::Hide() {
  wanted_.reset();
  wantedName_.clear();
  popup_->hide();
  if (nameShown_) {
    QToolTip::hideText();
    nameShown_ = false;
  }
}

}  // namespace kartwerk::qt
