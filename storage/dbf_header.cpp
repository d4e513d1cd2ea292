// Encoding and decoding of the DBF header and field descriptors.

#include "storage/dbf_header.h"

#include <algorithm>
#include <cstring>

namespace converte::storage {

std::uint16_t loadU16(const std::byte* p) {
  return static_cast<std::uint16_t>(std::to_integer<unsigned>(p[0]) |
                                    (std::to_integer<unsigned>(p[1]) << 8));
}

std::uint32_t loadU32(const std::byte* p) {
  return std::to_integer<std::uint32_t>(p[0]) | (std::to_integer<std::uint32_t>(p[1]) << 8) |
         (std::to_integer<std::uint32_t>(p[2]) << 16) | (std::to_integer<std::uint32_t>(p[3]) << 24);
}

void storeU16(std::byte* p, std::uint16_t v) {
  p[0] = std::byte(v & 0xFF);
  p[1] = std::byte(v >> 8);
}

void storeU32(std::byte* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = std::byte((v >> (8 * i)) & 0xFF);
}

void DbfHeader::encode(std::span<std::byte, kDbfHeaderSize> out) const {
  std::byte* p = out.data();
  p[0] = std::byte(version);
  p[1] = std::byte(year);
  p[2] = std::byte(month);
  p[3] = std::byte(day);
  storeU32(p + 4, recordCount);
  storeU16(p + 8, headerLength);
  storeU16(p + 10, recordLength);
  std::copy(reserved12.begin(), reserved12.end(), p + 12);
  p[28] = std::byte(tableFlags);
  p[29] = std::byte(codePage);
  std::copy(reserved30.begin(), reserved30.end(), p + 30);
}

DbfHeader DbfHeader::decode(std::span<const std::byte, kDbfHeaderSize> in) {
  const std::byte* p = in.data();
  DbfHeader h;
  h.version = std::to_integer<std::uint8_t>(p[0]);
  h.year = std::to_integer<std::uint8_t>(p[1]);
  h.month = std::to_integer<std::uint8_t>(p[2]);
  h.day = std::to_integer<std::uint8_t>(p[3]);
  h.recordCount = loadU32(p + 4);
  h.headerLength = loadU16(p + 8);
  h.recordLength = loadU16(p + 10);
  std::copy(p + 12, p + 28, h.reserved12.begin());
  h.tableFlags = std::to_integer<std::uint8_t>(p[28]);
  h.codePage = std::to_integer<std::uint8_t>(p[29]);
  std::copy(p + 30, p + 32, h.reserved30.begin());
  return h;
}

void FieldDescriptor::encode(std::span<std::byte, kDescriptorSize> out) const {
  std::byte* p = out.data();
  std::fill(p, p + kDescriptorSize, std::byte{0});
  std::memcpy(p, name.data(), std::min<std::size_t>(name.size(), 10));
  p[11] = std::byte(static_cast<unsigned char>(type));
  p[16] = std::byte(length);
  p[17] = std::byte(decimals);
  p[18] = std::byte(flags);
  std::copy(tail.begin(), tail.end(), p + 19);
}

FieldDescriptor FieldDescriptor::decode(std::span<const std::byte, kDescriptorSize> in) {
  const std::byte* p = in.data();
  FieldDescriptor d;
  const char* chars = reinterpret_cast<const char*>(p);
  d.name.assign(chars, strnlen(chars, 10));
  d.type = static_cast<char>(std::to_integer<unsigned char>(p[11]));
  d.length = std::to_integer<std::uint8_t>(p[16]);
  d.decimals = std::to_integer<std::uint8_t>(p[17]);
  d.flags = std::to_integer<std::uint8_t>(p[18]);
  std::copy(p + 19, p + 32, d.tail.begin());
  return d;
}

}  // namespace converte::storage
