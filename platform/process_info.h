// What a process can learn of itself: the path of its own executable (to
// start another copy of itself) and the most memory it has held resident.

#pragma once

#include <cstdint>
#include <string>

namespace converte::platform {

// The absolute path of the running executable; empty when unknown.
std::string ownExecutablePath();

// The highest resident memory of this process so far, in bytes; 0 when
// the system does not say.
std::uint64_t peakResidentBytes();

}  // namespace converte::platform
