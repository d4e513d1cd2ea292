// Decimal digits two at a time: the text of every number below 100, for
// writing numbers and dates into records without a division per digit.

#pragma once

#include <cstring>

namespace converte::storage {

// "00" to "99": the two digits of n start at 2 * n.
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the two digits of value (below 100) at out.
inline void writeTwoDigits(unsigned value, char* out) {
  std::memcpy(out, kDigitPairs + 2 * value, 2);
}

}  // namespace converte::storage
