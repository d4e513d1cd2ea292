// Names looked up the way the suite expects on every OS: `\` is a separator
// and a component that does not exist as written is found in its directory
// without regard to letter case.

#pragma once

#include <string>
#include <string_view>

namespace converte::platform::posix {

// The path with `/` separators, each component as found on disk: the exact
// name when it exists, else the first name (in byte order) of its directory
// that equals it ignoring ASCII case, else as given, as are all after it.
std::string resolvePath(std::string_view path);

// The first name in dir (empty: the working directory) that equals name
// ignoring ASCII case; empty when there is none.
std::string findIgnoringCase(const std::string& dir, std::string_view name);

// ASCII case-insensitive order, exact bytes breaking ties: the order of
// directory listings.
bool listingOrder(const std::string& a, const std::string& b);

}  // namespace converte::platform::posix
