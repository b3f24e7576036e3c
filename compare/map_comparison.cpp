#include "compare/map_comparison.hpp"

#include <optional>

#include "compare/comparing_sink.hpp"
#include "pipeline/run_conversion.hpp"

namespace kartwerk::compare {
namespace {

// A conversion's sink that compares each file with the folder's as it is made: the conversion
// replaces nothing, so there is no target to check and nothing to keep or drop at the end.
class ComparisonSink final : public pipeline::ConversionSink {
 public:
  ComparisonSink(const CompareRequest& request, FolderComparison& result) : request_(request), result_(result) {}

  std::filesystem::path Target() const override { return {}; }
  void Open(format::Conversion& c) override {
    comparing_.emplace(request_.folder, c, request_.lines, result_);
    c.SlotFolder = request_.folder;
    c.Output = &*comparing_;
  }
  void Finish(pipeline::ConversionEnd& end) override {
    if (end.Completed() && comparing_) comparing_->AddFolderOnlyFiles();
  }

 private:
  const CompareRequest& request_;
  FolderComparison& result_;
  std::optional<ComparingSink> comparing_;
};

}  // namespace

FolderComparison CompareMapWithFolder(const CompareRequest& request) {
  FolderComparison result;
  ComparisonSink sink(request, result);
  pipeline::ConvertRequest conversion;
  conversion.mapPath = request.mapPath;
  conversion.gameVersionKind = request.gameVersionKind;
  conversion.cliffDataFile = request.cliffDataFile;
  conversion.warn = request.warn;
  const pipeline::ConversionEnd end = pipeline::RunConversion(conversion, sink);
  if (!end.Completed()) throw MapComparisonError(end.FailureText());
  return result;
}

}  // namespace kartwerk::compare
