// Byte moves for the short values of record fields: a few fixed-size loads
// and stores the compiler keeps inline, instead of a library call per field
// and its branches on the length.

#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace converte::storage {

// Blanks over n bytes; up to 32 of them in two or three stores.
inline void fillBlanks(char* out, std::size_t n) {
  static constexpr char kBlanks[16] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                                       ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  if (n > 32) {
    std::memset(out, ' ', n);
  } else if (n >= 16) {
    std::memcpy(out, kBlanks, 16);
    std::memcpy(out + n - 16, kBlanks, 16);
  } else if (n >= 8) {
    std::memcpy(out, kBlanks, 8);
    std::memcpy(out + n - 8, kBlanks, 8);
  } else if (n >= 4) {
    std::memcpy(out, kBlanks, 4);
    std::memcpy(out + n - 4, kBlanks, 4);
  } else if (n > 0) {
    out[0] = ' ';
    out[n / 2] = ' ';
    out[n - 1] = ' ';
  }
}

// One of two places, chosen without a branch.
template <typename Byte>
Byte* chosen(bool first, Byte* a, Byte* b) {
  const auto mask = std::uintptr_t{0} - static_cast<std::uintptr_t>(first);
  return reinterpret_cast<Byte*>((reinterpret_cast<std::uintptr_t>(a) & mask) |
                                 (reinterpret_cast<std::uintptr_t>(b) & ~mask));
}

// Copies n bytes (at most room) between places that do not overlap. The
// length of a text is as unforeseeable as its contents, so up to 32 bytes
// are copied without a branch on n: pieces of 16, 8, 4 and 1 bytes from the
// start and from the end of the text, each that is longer than the text
// moving scratch bytes instead. Only the room, fixed for a field, chooses
// the pieces.
inline void copyBytes(char* out, const char* in, std::size_t n, std::size_t room) {
  if (room > 32) {
    std::memcpy(out, in, n);
    return;
  }
  static constexpr char kScratchSource[16] = {};
  char scratch[16];
  const auto piece = [&](std::size_t size, std::size_t at) {
    const bool fits = n >= size;
    at &= std::size_t{0} - static_cast<std::size_t>(fits);
    std::memcpy(chosen(fits, out + at, scratch), chosen(fits, in + at, kScratchSource), size);
  };
  if (room > 16) {
    piece(16, 0);
    piece(16, n - 16);
  }
  piece(8, 0);
  piece(8, n - 8);
  piece(4, 0);
  piece(4, n - 4);
  piece(1, 0);
  piece(1, n / 2);
  piece(1, n - 1);
}

}  // namespace converte::storage
