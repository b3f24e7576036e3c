#include "platform/temp_folder.hpp"

#include <cstdlib>
#include <string>
#include <system_error>

#include "platform/platform_files.hpp"
#include "platform/process_leftovers.hpp"

namespace kartwerk::platform {

namespace {
constexpr const char* kTempPrefix = "kartwerk-run-";
}

// Named after the process, so that the folder of a run that was killed is removed by a later run.
PrivateTempFolder::PrivateTempFolder() {
  const std::filesystem::path root = TemporaryRoot();
  RemoveEndedProcessLeftovers(root, kTempPrefix);
  path_ = CreatePrivateFolder(root, (kTempPrefix + std::to_string(CurrentProcessId()) + "-").c_str());
}

PrivateTempFolder::~PrivateTempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace kartwerk::platform
