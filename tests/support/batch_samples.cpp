#include "tests/support/batch_samples.hpp"

#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"

namespace kartwerk::testing {

std::vector<std::filesystem::path> WriteBatchSamples(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> maps = mapmaker::WriteSampleMaps(folder);
  auto write = [&](const std::string& file, const core::Bytes& container, const std::string& stored) {
    mapmaker::WriteBytes(folder / file, mapmaker::Gzip(container, stored, 1262304000));
    return folder / file;
  };
  maps.push_back(write("ridge.qdm", mapmaker::SampleMainContainer(format::SinglePlayerMap, {11, 1, 36, 28}), "ridge"));
  maps.push_back(
      write("harbor.qdm", mapmaker::SampleMainContainer(format::SinglePlayerMap, {12, 3, 24, 40}), "harbor"));
  maps.push_back(write("delta.qdp", mapmaker::SampleMainContainer(format::MultiplayerMap, {13, 0, 40, 32}), "delta"));
  maps.push_back(write("coast.qdp", mapmaker::SampleMainContainer(format::MultiplayerMap, {14, 2, 32, 32}), "coast"));
  const mapmaker::SampleOptions campaign{15, 2, 40, 40};
  maps.push_back(write("013.qdc", mapmaker::SampleMainContainer(format::CampaignMap, campaign), "013"));
  for (std::uint32_t mission : {0u, 1u, 5u}) {
    const std::string name = "01300" + std::to_string(mission);
    write(name + ".qdc", mapmaker::SampleMissionContainer(campaign, mission), name);
  }
  return maps;
}

std::map<std::string, core::Bytes> FolderContents(const std::filesystem::path& folder) {
  std::map<std::string, core::Bytes> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file())
      files[entry.path().lexically_relative(folder).generic_string()] = mapmaker::ReadBytes(entry.path());
  }
  return files;
}

}  // namespace kartwerk::testing
