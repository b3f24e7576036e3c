// Where one conversion's files go, and what becomes of them when it ends: a slot folder on disk
// (written into a private folder, then put in the target's place), or a receiver in memory such
// as a comparison. The conversion entry (pipeline/run_conversion.hpp) drives every sink alike, so
// the checks it makes before anything is written hold for each.
#pragma once

#include <filesystem>

#include "format/conversion.hpp"
#include "pipeline/conversion_worker.hpp"

namespace kartwerk::pipeline {

class ConversionSink {
 public:
  virtual ~ConversionSink() = default;
  // The folder the conversion replaces: the target check runs on it and the free space is
  // measured where it lies. Empty for a sink that writes nothing to disk.
  virtual std::filesystem::path Target() const = 0;
  // Made ready to take the files, after every check has passed: sets conversion.SlotFolder (and
  // conversion.Output for a sink that takes the files itself). Throws when it cannot be.
  virtual void Open(format::Conversion& conversion) = 0;
  // Called exactly once per run, whether it completed, failed or stopped, and whether Open ran or
  // not: keeps or drops what was written. A completed end may become a failure here.
  virtual void Finish(ConversionEnd& end) = 0;
};

}  // namespace kartwerk::pipeline
