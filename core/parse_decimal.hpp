// Decimal numbers written as text, as the game's map and mission names hold them.
#pragma once

#include <string>

namespace kartwerk::core {

// Parses a whole text as a decimal integer, as the editor's names expect ("012" is 12);
// throws IntegerConversionError when the text is not one.
int ParseDecimal(const std::string& text);

}  // namespace kartwerk::core
