// Small text helpers of the storage layer: ASCII upper-casing and trimming
// of names, as the driver compares them.

#pragma once

#include <string>
#include <string_view>

namespace converte::storage {

// Leading blanks, tabs and line ends skipped, trailing blanks dropped,
// ASCII letters upper-cased.
std::string upperTrimmed(std::string_view name);

char upperAscii(char c);

}  // namespace converte::storage
