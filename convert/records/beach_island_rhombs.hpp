// Terrain rhombs of maps whose terrain scheme is 1 ("Beach") or 2 ("Island").
#pragma once

#include "convert/records/rhomb_record.hpp"
#include "convert/records/rhomb_scheme.hpp"

namespace kartwerk::records {

// The class and shape tables shared by schemes "Beach" and "Island".
const RhombScheme& BeachIslandRhombScheme();

// One compiled rhomb of a "Beach" or "Island" map as the editor's rhomb; depends on the record alone.
EditorRhomb ConvertRhomb2(const CompiledRhomb& rhomb);

}  // namespace kartwerk::records
