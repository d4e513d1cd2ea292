// Windows-1252 conversion: bytes 0x80-0x9F map through a table, the rest of
// the code page is ISO-8859-1 and maps to the same code point.

#include "platform/windows1252.h"

#include <array>
#include <cstdint>

namespace converte::platform {
namespace {

// Code points of bytes 0x80-0x9F; the unassigned ones keep their C1 value.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int byteOf(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<int>(code);
  for (std::size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == code) return static_cast<int>(0x80 + i);
  return '?';
}

void appendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[i]; its length, or 0 when invalid.
std::size_t decode(std::string_view text, std::size_t i, char32_t& code) {
  auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  std::uint8_t lead = byte(i);
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || lead >= 0xF5 || i + length > text.size()) return 0;
  code = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  return length;
}

}  // namespace

std::string toWindows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    auto lead = static_cast<std::uint8_t>(utf8[i]);
    char32_t code = 0;
    std::size_t length = lead < 0x80 ? 1 : decode(utf8, i, code);
    if (lead < 0x80) {
      out += utf8[i];
    } else if (length == 0) {
      out += utf8[i];
      length = 1;
    } else {
      out += static_cast<char>(byteOf(code));
    }
    i += length;
  }
  return out;
}

std::string fromWindows1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (char c : bytes) {
    auto b = static_cast<std::uint8_t>(c);
    if (b < 0x80) {
      out += c;
    } else if (b < 0xA0) {
      appendUtf8(out, kHighControls[b - 0x80]);
    } else {
      appendUtf8(out, b);
    }
  }
  return out;
}

}  // namespace converte::platform
