// The two header files of an editor slot, "desc" and "info", written when the slot is chosen
// ("info" also fills MapInfoRecord). The other map-level files (airfields, objects, rhombs,
// cflags, each in a file of its own here) are the first steps of the conversion, in that order.
//
// Each map-level writer builds its whole file in memory and then replaces the file in one piece.
#pragma once

#include "format/conversion.hpp"

namespace kartwerk::writers {

// "desc": the map's title, no line end. A campaign's is "Campaign " and the decimal value of
// MapName ("012" gives "Campaign 12"; a name that is not a number throws
// IntegerConversionError); otherwise MapName in Windows-1252 ("?" for what that code page cannot
// hold, reported once through Warn). At most 255 bytes.
void WriteMapDescFile(format::Conversion& conversion);

// "info": four zero bytes and the first 12 bytes of the map information section (scheme,
// width, height), which also become MapInfoRecord.
void WriteMapInfoFile(format::Conversion& conversion);

}  // namespace kartwerk::writers
