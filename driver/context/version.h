// The program's version, as --version prints it and the version line of
// every error report names it.

#pragma once

#include <string_view>

namespace converte::driver {

inline constexpr std::string_view kProgramName = "converte";
inline constexpr std::string_view kProgramVersion = "1.95.0";

// The compiler the program was built with, and its version.
inline constexpr std::string_view kCompiler =
#if defined(__clang__)
    "Clang " __clang_version__;
#elif defined(__GNUC__)
    "GCC " __VERSION__;
#else
    "unknown compiler";
#endif

}  // namespace converte::driver
