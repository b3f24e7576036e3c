#include "preview/background_pictures.hpp"

#include <system_error>

#include "preview/read_map_preview.hpp"
#include "preview/render_map_picture.hpp"

namespace kartwerk::preview {

std::optional<PictureKey> PictureKeyOf(const std::filesystem::path& file) {
  std::error_code ec;
  if (file.empty()) return std::nullopt;
  const auto written = std::filesystem::last_write_time(file, ec);
  if (ec) return std::nullopt;
  return PictureKey{file, written};
}

Picture RenderMapThumbnail(const std::filesystem::path& map, std::shared_ptr<const core::Bytes> cliffData,
                           int targetSide) {
  const MapPreview preview = LoadMapPreview(map, std::move(cliffData));
  const MissionPreview* mission =
      preview.kind != format::CampaignMap && !preview.missions.empty() ? &preview.missions.front() : nullptr;
  return RenderMapPicture(preview, mission, DefaultPreviewScale(preview.width(), preview.height(), targetSide));
}

BackgroundPictures::BackgroundPictures(Done done, int targetSide)
    : done_(std::move(done)), targetSide_(targetSide), thread_([this](std::stop_token stop) { Run(stop); }) {}

BackgroundPictures::~BackgroundPictures() {
  thread_.request_stop();
  thread_.join();
}

void BackgroundPictures::Request(const std::filesystem::path& map, std::shared_ptr<const core::Bytes> cliffData) {
  {
    std::lock_guard lock(mutex_);
    waiting_ = Job{map, std::move(cliffData)};
  }
  wake_.notify_one();
}

void BackgroundPictures::Run(std::stop_token stop) {
  while (true) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      if (!wake_.wait(lock, stop, [this] { return waiting_.has_value(); })) return;
      job = std::move(*waiting_);
      waiting_.reset();
    }
    std::optional<Picture> picture;
    try {
      picture = RenderMapThumbnail(job.map, job.cliffData, targetSide_);
    } catch (...) {
      picture.reset();  // a damaged map simply has no picture here
    }
    if (stop.stop_requested()) return;
    done_(job.map, std::move(picture));
  }
}

}  // namespace kartwerk::preview
