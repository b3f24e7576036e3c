// Terrain rhombs of maps whose terrain scheme is 0 ("Normal").
#pragma once

#include "convert/records/rhomb_record.hpp"
#include "convert/records/rhomb_scheme.hpp"

namespace kartwerk::records {

// The class and shape tables of scheme "Normal".
const RhombScheme& NormalRhombScheme();

// One compiled rhomb of a "Normal" map as the editor's rhomb; depends on the record alone.
EditorRhomb ConvertRhomb(const CompiledRhomb& rhomb);

}  // namespace kartwerk::records
