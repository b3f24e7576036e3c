// The picture of a map in the browser's list: while the pointer rests on a row, a tooltip shows
// the map drawn from above. The picture is drawn on a thread of its own, so the list never waits;
// each map is drawn once per run (again when its file changes). A map that cannot be read shows
// no picture and no error: it is only pointed at, not chosen.
#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "core/byte_stream.hpp"
#include "preview/background_pictures.hpp"

class QAbstractItemView;
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
    std::function<std::filesystem::path(const QModelIndex& row)> MapFile;
    // The cliff masks loaded at start (may be empty).
    std::function<std::shared_ptr<const Bytes>()> CliffData;
  };

  MapPictureTip(QAbstractItemView* view, Sources sources);
  ~MapPictureTip() override;

  // The tooltip window (hidden when no picture is on show).
  QLabel* Popup() const { return popup_; }
  // Pictures drawn so far, those of unreadable maps included (as empty images).
  std::size_t DrawnCount() const { return drawn_.size(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Key {
    std::filesystem::path file;
    std::filesystem::file_time_type written;
    auto operator<=>(const Key&) const = default;
  };
  static std::optional<Key> KeyOf(const std::filesystem::path& file);
  void PointerRestsOn(const QModelIndex& row, QPoint globalAt);
  void Arrived(const std::filesystem::path& file, QImage image);
  void Show(const QImage& image, QPoint globalAt);
  void Hide();

  QAbstractItemView* view_;
  Sources sources_;
  QLabel* popup_;
  std::map<Key, QImage> drawn_;  // a null image: the map could not be read
  std::optional<Key> wanted_;    // the row's map whose picture is being drawn
  QPoint wantedAt_;
  std::unique_ptr<BackgroundPictures> pictures_;  // last: its thread stops before the rest goes
};

}  // namespace kartwerk::qt
