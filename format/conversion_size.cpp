#include "format/conversion_size.hpp"

#include <cstdio>
#include <memory>

#include "platform/platform_files.hpp"

namespace kartwerk::format {

std::uint64_t StoredLength(const std::filesystem::path& gzipFile) {
  bool notAFile = false;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(platform::OpenForReading(gzipFile, notAFile),
                                                             &std::fclose);
  unsigned char trailer[4];
  if (!file || std::fseek(file.get(), -4, SEEK_END) != 0 || std::fread(trailer, 1, 4, file.get()) != 4) return 0;
  return std::uint64_t{trailer[0]} | std::uint64_t{trailer[1]} << 8 | std::uint64_t{trailer[2]} << 16 |
         std::uint64_t{trailer[3]} << 24;
}

std::uint64_t PlannedConversionBytes(const Conversion& c) {
  std::uint64_t bytes = c.InflatedBytes;
  for (const std::filesystem::path& mission : c.MissionFiles) bytes += StoredLength(mission);
  const std::size_t missions = c.MapKind == CampaignMap ? c.MissionFiles.size() : 1;
  return bytes + missions * kMissionGridFilesBytes;
}

std::string SizeText(std::uint64_t bytes) {
  if (bytes < kMebibyte) return std::to_string(bytes) + " bytes";
  return std::to_string((bytes + kMebibyte - 1) / kMebibyte) + " MiB";
}

std::string ConversionSizeProblem(std::uint64_t planned, std::uint64_t available) {
  if (planned > kMaxConversionBytes) {
    return "the conversion would write " + SizeText(planned) + ", more than the " + SizeText(kMaxConversionBytes) +
           " of the largest campaign the editor makes";
  }
  if (planned > available) {
    return "the conversion would write " + SizeText(planned) + ", more than the " + SizeText(available) +
           " free on the target's disk";
  }
  return {};
}

}  // namespace kartwerk::format
