// The six map-level files of an editor slot, written once per map into SlotFolder from the
// map's main container. "desc" and "info" are written when the slot is chosen ("info" also
// fills MapInfoRecord); the other four are the first steps of the conversion, in the order
// airfields, objects, rhombs, cflags ("cflags" reads the cliff marks "objects" left behind).
//
// Each writer builds its whole file in memory and then replaces the file in one piece.
#pragma once

#include "core/conversion.hpp"

namespace kartwerk {

// "desc": the map's title, no line end. A campaign's is "Campaign " and the decimal value of
// MapName ("012" gives "Campaign 12"; a name that is not a number throws
// IntegerConversionError); otherwise MapName. At most 255 bytes.
void WriteMapDescFile(Conversion& conversion);

// "info": four zero bytes and the first 12 bytes of the map information section (scheme,
// width, height), which also become MapInfoRecord.
void WriteMapInfoFile(Conversion& conversion);

// "airfields": the airfields section, byte for byte; throws StreamReadError when its stored
// size runs past the end of the container.
void WriteAirfieldsFile(Conversion& conversion);

// "objects": one line per 10-byte object record. Clears CliffGrid to the map's size first and
// lets every cliff object stamp it. The records lie at the entry PMiniCount places after the
// objects position (the map's "P-MINI" previews come before them); their count comes from
// the objects position's own entry.
void WriteObjectsFile(Conversion& conversion);

// "rhombs": one 8-byte editor rhomb per 4-byte compiled rhomb, converted by the terrain
// scheme's tables; empty for a scheme other than 0, 1 and 2.
void WriteRhombsFile(Conversion& conversion);

// "cflags": one 16-bit word per 4-byte record of the first cell-flag section (layout in
// convert/cell_flags.hpp).
void WriteCflagsFile(Conversion& conversion);

}  // namespace kartwerk
