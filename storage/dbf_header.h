// The on-disk header of a DBF table and its 32-byte field descriptors, as
// value types with an encode/decode pair over the exact bytes.

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace converte::storage {

inline constexpr std::size_t kDbfHeaderSize = 32;
inline constexpr std::size_t kDescriptorSize = 32;
inline constexpr std::byte kDescriptorEnd{0x0D};
inline constexpr std::byte kEndOfFile{0x1A};

struct DbfHeader {
  std::uint8_t version = 0x03;
  std::uint8_t year = 0;  // year - 1900
  std::uint8_t month = 1;
  std::uint8_t day = 1;
  std::uint32_t recordCount = 0;
  std::uint16_t headerLength = 0;
  std::uint16_t recordLength = 0;
  std::array<std::byte, 16> reserved12{};
  std::uint8_t tableFlags = 0;
  std::uint8_t codePage = 0;
  std::array<std::byte, 2> reserved30{};

  void encode(std::span<std::byte, kDbfHeaderSize> out) const;
  static DbfHeader decode(std::span<const std::byte, kDbfHeaderSize> in);
  bool operator==(const DbfHeader&) const = default;
};

struct FieldDescriptor {
  std::string name;  // at most 10 bytes; the file pads with 0x00
  char type = 'C';
  std::uint8_t length = 0;    // for C fields: low byte of the length
  std::uint8_t decimals = 0;  // for C fields: high byte of the length
  std::uint8_t flags = 0;
  std::array<std::byte, 13> tail{};  // bytes 19..31: counters of `+` and `^`

  void encode(std::span<std::byte, kDescriptorSize> out) const;
  static FieldDescriptor decode(std::span<const std::byte, kDescriptorSize> in);
  bool operator==(const FieldDescriptor&) const = default;
};

// Little-endian helpers for the table formats.
std::uint16_t loadU16(const std::byte* p);
std::uint32_t loadU32(const std::byte* p);
void storeU16(std::byte* p, std::uint16_t v);
void storeU32(std::byte* p, std::uint32_t v);

}  // namespace converte::storage
