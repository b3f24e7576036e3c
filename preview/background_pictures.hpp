// Map pictures drawn on a thread of their own, for a window that must never wait for one. One
// picture is drawn at a time; a request made while another waits replaces it, since only the
// latest one (the row the pointer rests on now) is still wanted.
#pragma once

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "core/byte_stream.hpp"
#include "preview/picture.hpp"

namespace kartwerk::preview {

// The picture of a whole map at the scale that brings its longer side nearest targetSide: the
// ground with its objects, and the units of a single-player or multiplayer map's one mission.
// Throws MapPreviewError for a map that cannot be read.
Picture RenderMapThumbnail(const std::filesystem::path& map, std::shared_ptr<const core::Bytes> cliffData,
                           int targetSide);

// A map file as it is now: a picture drawn for it stays good until the file is written again.
struct PictureKey {
  std::filesystem::path file;
  std::filesystem::file_time_type written;
  auto operator<=>(const PictureKey&) const = default;
};
// The key of file; none for no file or one that cannot be looked at.
std::optional<PictureKey> PictureKeyOf(const std::filesystem::path& file);

class BackgroundPictures {
 public:
  // Called on the drawing thread with the map and its picture, or no picture when the map could
  // not be read (nothing else is said about it: the map is not yet chosen, only pointed at).
  using Done = std::function<void(const std::filesystem::path& map, std::optional<Picture> picture)>;

  BackgroundPictures(Done done, int targetSide);
  // Waits for the picture being drawn, if any; a waiting request is dropped.
  ~BackgroundPictures();
  BackgroundPictures(const BackgroundPictures&) = delete;
  BackgroundPictures& operator=(const BackgroundPictures&) = delete;

  // Returns at once.
  void Request(const std::filesystem::path& map, std::shared_ptr<const core::Bytes> cliffData);

 private:
  struct Job {
    std::filesystem::path map;
    std::shared_ptr<const core::Bytes> cliffData;
  };
  void Run(std::stop_token stop);

  Done done_;
  int targetSide_;
  std::mutex mutex_;
  std::condition_variable_any wake_;
  std::optional<Job> waiting_;
  std::jthread thread_;  // last: started once everything it uses exists
};

}  // namespace kartwerk::preview
