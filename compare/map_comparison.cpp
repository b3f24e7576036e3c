#include "compare/map_comparison.hpp"

#include "compare/comparing_sink.hpp"
#include "core/platform_files.hpp"
#include "convert/records/cliff_data.hpp"
#include "convert/writers/map_header_files.hpp"
#include "pipeline/process_thread.hpp"
#include "pipeline/run_conversion.hpp"

namespace kartwerk {
namespace {

// Runs one preparation; a failure is thrown in the words a conversion reports it with.
template <class Body>
void Prepare(const char* what, Body&& body) {
  try {
    body();
  } catch (...) {
    ConversionEnd end;
    end.error = std::current_exception();
    end.failedStep = what;
    throw MapComparisonError(end.FailureText());
  }
}

}  // namespace

FolderComparison CompareMapWithFolder(const CompareRequest& request) {
  FolderComparison result;
  Conversion c;
  c.Warn = request.Warn;
  c.GameVersionKind = request.GameVersionKind;
  const std::filesystem::path cliffData =
      request.CliffDataFile.empty() ? DefaultCliffDataPath() : request.CliffDataFile;
  Prepare("loading cliffdata", [&] { c.CliffDataBuffer = LoadCliffData(cliffData); });
  Prepare("staging the map", [&] { PrepareMap(c, FullPath(request.MapPath)); });

  ComparingSink sink(request.Folder, c, request.lines, result);
  c.SlotFolder = request.Folder;
  c.Output = &sink;
  Prepare("writing the slot's desc", [&] { WriteMapDescFile(c); });
  Prepare("writing the slot's info", [&] { WriteMapInfoFile(c); });
  // The steps run on this thread: the comparison is one piece of work, with no stop to honour.
  const ConversionEnd end = RunConversionSteps(c, {}, {});
  if (!end.Completed()) throw MapComparisonError(end.FailureText());
  sink.AddFolderOnlyFiles();
  return result;
}

}  // namespace kartwerk
