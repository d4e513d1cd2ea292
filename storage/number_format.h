// Numeric fields as decimal text: the formatting a put applies to a number
// and the parsing a get applies to the stored text.

#pragma once

#include <span>
#include <string_view>

#include "storage/field_value.h"

namespace converte::storage {

// Formats value into field (its size is the field length) with the given
// decimals, right-aligned with leading blanks. Returns false when the value
// does not fit; the field is then filled with '*'.
bool formatNumber(const Number& value, int decimals, std::span<char> field);

// Parses the text of a numeric field of the given length and decimals.
// Leading blanks are skipped, then one optional sign, then digits with at
// most one '.', stopping at the first other character; nothing parsable
// gives 0. A number with decimals, or too large for a 64-bit integer, is
// floating point. The result carries width length - decimals - 1 and the
// decimals when decimals > 0, else width length.
Number parseNumber(std::string_view text, int length, int decimals);

}  // namespace converte::storage
