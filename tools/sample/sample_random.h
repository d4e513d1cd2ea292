// Deterministic numbers for the generator: a value is a pure function of the
// seed and of where it is used (table, record, column), so that a company is
// the same whatever order its parts are written in.

#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace converte::sample {

// One step of splitmix64: a well-spread 64-bit value of x.
constexpr std::uint64_t spread(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

// The value of a place: the parts mixed in order.
constexpr std::uint64_t mix(std::initializer_list<std::uint64_t> parts) {
  std::uint64_t h = 0x243F6A8885A308D3ULL;
  for (std::uint64_t part : parts) h = spread(h ^ part);
  return h;
}

// A value below bound (bound > 0).
constexpr std::uint64_t below(std::uint64_t value, std::uint64_t bound) { return value % bound; }

// True for about perThousand in a thousand values.
constexpr bool chance(std::uint64_t value, std::uint64_t perThousand) {
  return value % 1000 < perThousand;
}

// The name of a table as a number, for mixing.
constexpr std::uint64_t nameKey(const char* text, std::size_t size) {
  std::uint64_t h = 1469598103934665603ULL;
  for (std::size_t i = 0; i < size; ++i) h = (h ^ static_cast<unsigned char>(text[i])) * 1099511628211ULL;
  return h;
}

}  // namespace converte::sample
