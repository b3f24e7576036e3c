#include "format/staging.hpp"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/text.hpp"
#include "format/gzip_file.hpp"
#include "platform/path_lookup.hpp"
#include "platform/path_text.hpp"

namespace kartwerk::format {
namespace {

// Names lose their four-character extension (".qdm" and the like).
std::string DropExtension(const std::string& name) {
  return name.size() >= 4 ? name.substr(0, name.size() - 4) : std::string();
}

// A mission file that is a link is followed only to a file in the map's own folder: a campaign
// unpacked from an archive must not read files elsewhere on the disk in the name of a mission.
void RefuseLinkOutOfFolder(const std::filesystem::path& file, const std::filesystem::path& mapFolder) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(std::filesystem::symlink_status(file, ec))) return;
  const std::filesystem::path target = std::filesystem::weakly_canonical(file, ec);
  const std::filesystem::path folder = std::filesystem::weakly_canonical(mapFolder, ec);
  if (ec || target.parent_path() != folder) {
    throw std::runtime_error("The mission file \"" + platform::TextFromPath(file) + "\" is a link to \"" +
                             platform::TextFromPath(target) + "\", outside the map's folder");
  }
}

// The names the decompressed copies of a campaign's files take, in the order they are made, and
// the file each one comes from: a later copy of a name replaces the earlier one.
class StagedNames {
 public:
  void Put(const std::string& name, const std::filesystem::path& file) {
    for (auto& [staged, from] : names_) {
      if (staged == name) {
        from = file;
        return;
      }
    }
    names_.emplace_back(name, file);
  }
  const std::filesystem::path* Find(const std::string& name) const {
    for (const auto& [staged, from] : names_) {
      if (staged == name) return &from;
    }
    return nullptr;
  }
  void Rename(const std::string& from, const std::string& to) {
    for (auto& entry : names_) {
      if (entry.first == from) entry.first = to;
    }
  }

 private:
  std::vector<std::pair<std::string, std::filesystem::path>> names_;
};

std::runtime_error NoCopyNamed(const std::string& name, const std::filesystem::path& file) {
  return std::runtime_error("Cannot open file \"" + name + "\": no file of the campaign holds it (\"" +
                            platform::TextFromPath(file.filename()) + "\" holds \"" + ReadGzFileInfo(file).name +
                            "\")");
}

}  // namespace

void StageMapFile(Conversion& c, const std::filesystem::path& mapPath) {
  c.MapFolder = mapPath.parent_path();
  const std::string fileName = platform::TextFromPath(mapPath.filename());

  if (c.MapKind == CampaignMap) {
    // A campaign is chosen through its main file or any of its mission files; the first
    // three characters name it, and its missions are those three, "0" and more.
    c.MapName = fileName.substr(0, 3);
    c.MissionList = platform::FindFilesIgnoringCase(c.MapFolder, c.MapName + "0*.qdc");
    // The three characters are a name, not a pattern: a "*" or "?" in them (which only a
    // Linux file name can hold) matches only itself.
    std::erase_if(c.MissionList, [&](const std::string& name) {
      return !core::EqualsIgnoreCase(std::string_view(name).substr(0, 4), c.MapName + "0");
    });
    if (c.MissionList.empty()) c.MissionList.push_back("");  // fails below, naming the folder
    if (c.MissionList.size() > kMaxCampaignMissions) {
      throw std::runtime_error("A campaign can have at most " + std::to_string(kMaxCampaignMissions) +
                               " missions; this one has " + std::to_string(c.MissionList.size()));
    }
    c.MapName += platform::TextFromPath(mapPath.extension());
  } else {
    c.MapName = platform::TextFromPath(platform::ResolveIgnoringCase(c.MapFolder, fileName).filename());
    c.MissionName = "mis.000";
  }

  // The main file is found whatever the case of its name, as the game's file system finds it.
  const std::filesystem::path mainFile = platform::ResolveIgnoringCase(c.MapFolder, c.MapName);
  const std::string base = DropExtension(c.MapName);
  GzContent main = GunzipToMemory(mainFile);
  c.InflatedBytes = main.data.size();
  LoadContainer(c, std::move(main.data), base);

  if (c.MapKind == CampaignMap) {
    // Every mission file must be there and begin as a gzip file before the first file is
    // written; each is inflated only when its mission starts.
    StagedNames staged;
    const std::string mainStored = ReadGzFileInfo(mainFile).name;
    staged.Put(mainStored, mainFile);
    // The main file's copy is renamed to the campaign's name when it stores another.
    if (!base.empty() && !staged.Find(base)) staged.Rename(mainStored, base);
    c.MissionFiles.clear();
    for (std::string& entry : c.MissionList) {
      c.MissionFiles.push_back(entry.empty() ? c.MapFolder : c.MapFolder / platform::PathFromText(entry));
      RefuseLinkOutOfFolder(c.MissionFiles.back(), c.MapFolder);
      staged.Put(ReadGzFileInfo(c.MissionFiles.back()).name, c.MissionFiles.back());
      entry = DropExtension(entry);
    }
    c.MissionSources.clear();
    for (const std::string& entry : c.MissionList) {
      const std::filesystem::path* from = staged.Find(entry);
      c.MissionSources.push_back(from ? *from : std::filesystem::path());
    }
    // A mission file that stores the campaign's name replaces the main file's copy.
    const std::filesystem::path* mainFrom = staged.Find(base);
    if (!mainFrom) throw NoCopyNamed(base, mainFile);
    if (*mainFrom != mainFile) {
      GzContent replaced = GunzipToMemory(*mainFrom);
      c.InflatedBytes = replaced.data.size();
      LoadContainer(c, std::move(replaced.data), base);
    }
  }
  c.MapName = base;
}

void LoadMissionFile(Conversion& c, std::size_t mission) {
  const std::filesystem::path& file =
      mission < c.MissionSources.size() ? c.MissionSources[mission] : c.MissionFiles.at(mission);
  c.MissionStream.Clear();
  if (file.empty()) throw NoCopyNamed(c.MissionList.at(mission), c.MissionFiles.at(mission));
  GzContent content = GunzipToMemory(file);
  c.InflatedBytes += content.data.size();
  if (c.InflatedBudget != 0 && c.InflatedBytes > c.InflatedBudget) {
    throw std::runtime_error("\"" + platform::TextFromPath(file) +
                             "\" holds more data than its stored length announced: " + "the campaign would exceed " +
                             std::to_string(c.InflatedBudget) + " bytes");
  }
  LoadContainer(c, std::move(content.data), platform::TextFromPath(file.stem()));
}

}  // namespace kartwerk::format
