// The picture of a map in the browser's list: while the pointer rests on a row, a tooltip shows
// the map drawn from above. The picture is drawn on a thread of its own, so the list never waits;
// each map is drawn once per run (again when its file changes). A map that cannot be read shows
// no picture and no error: it is only pointed at, not chosen. A name the row ends with "…" shows
// whole: as the picture's caption, and as a text tooltip while there is no picture to show.
#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "core/byte_stream.hpp"
#include "preview/background_pictures.hpp"

class QAbstractItemView;
class QFrame;
class QLabel;
class QModelIndex;

namespace kartwerk::qt {

class MapPictureTip : public QObject {
  Q_OBJECT

 public:
  // The longer side of a tooltip picture, in pixels.
  static constexpr int kPictureSide = 200;

  struct Sources {
    // The map file a row stands for (empty: none).
    std::function<std::filesystem::path(const QModelIndex& row)> mapFile;
    // The cliff masks loaded at start (may be empty).
    std::function<std::shared_ptr<const core::Bytes>()> cliffData;
  };

  MapPictureTip(QAbstractItemView* view, Sources sources);
  ~MapPictureTip() override;

  // The tooltip window (hidden when no picture is on show), its picture and its caption (hidden
  // for a name the row shows whole).
  QFrame* Popup() const { return popup_; }
  QLabel* PictureLabel() const { return picture_; }
  QLabel* Caption() const { return caption_; }
  // Pictures drawn so far, those of unreadable maps included (as empty images).
  std::size_t DrawnCount() const { return drawn_.size(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using Key = preview::PictureKey;
  void PointerRestsOn(const QModelIndex& row, QPoint globalAt);
  void Arrived(const std::filesystem::path& file, QImage image);
  void Show(const QImage& image, QPoint globalAt);
  // The whole name as a text tooltip over the row; none for a name the row shows whole.
  void ShowName(const QModelIndex& row, QPoint globalAt);
  void Hide();
  // The row's text when the view cuts it to fit; empty when it shows whole.
  QString CutText(const QModelIndex& row) const;

  QAbstractItemView* view_;
  Sources sources_;
  QFrame* popup_;
  QLabel* caption_;
  QLabel* picture_;
  std::map<Key, QImage> drawn_;  // a null image: the map could not be read
  std::optional<Key> wanted_;    // the row's map whose picture is being drawn
  QPoint wantedAt_;
  QString wantedName_;                                     // the whole name of the row pointed at, when the row cuts it
  bool nameShown_ = false;                                 // the text tooltip is this tip's
  std::unique_ptr<preview::BackgroundPictures> pictures_;  // last: its thread stops before the rest goes
};

}  // namespace kartwerk::qt
