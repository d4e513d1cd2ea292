// Numeric fields as decimal text: the formatting a put applies to a number
// and the parsing a get applies to the stored text.

#pragma once

#include <span>
#include <string_view>

#include "storage/field_value.h"

namespace converte::storage {

// Formats value into field (its size is the field length) with the given
// decimals, right-aligned with leading blanks; with decimals d > 0 the '.'
// stands at position length - d - 1. A '-' goes just before the first digit,
// and a magnitude below 1 has a 0 before the point. A floating-point value
// gives at most 16 significant digits (places beyond are 0) and is rounded
// half away from zero at the last place, a 4 followed only by 9s up to the
// 16th digit counting as a half; a value that rounds to zero has no sign.
// Returns false when the value does not fit or is not finite; the field is
// then filled with '*'. Allocates nothing.
bool formatNumber(const Number& value, int decimals, std::span<char> field);
// As formatNumber, except that a value that does not fit leaves the field
// as it was.
bool formatNumberIfFits(const Number& value, int decimals, std::span<char> field);

// Parses the text of a numeric field of the given length and decimals.
// Leading blanks are skipped, then one optional sign, then digits with at
// most one '.', stopping at the first other character; nothing parsable
// gives integer 0. A number written with a '.', or too large for a 64-bit
// integer, is floating point; any other is an integer. The result carries
// width length - decimals - 1 and the decimals when decimals > 0, else
// width length and no decimals.
Number parseNumber(std::string_view text, int length, int decimals);

}  // namespace converte::storage
