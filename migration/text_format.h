// Text helpers of the migration engine: trimming and upper-casing names as
// the engine compares them, and numbers and names laid out in fixed columns
// for log and progress lines.

#pragma once

#include <string>
#include <string_view>

namespace converte::migration {

// Blanks dropped at both ends.
std::string trimmedBlanks(std::string_view text);
// ASCII letters upper-cased.
std::string upperCased(std::string_view text);
// value right-aligned in width columns; asterisks when it does not fit.
std::string rightAligned(long long value, int width);
// text centred in width columns (the extra blank goes right); a longer text
// keeps its first width characters.
std::string centred(std::string_view text, int width);

}  // namespace converte::migration
