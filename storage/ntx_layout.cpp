// Encoding and decoding of NTX header and key pages.

#include "storage/ntx_layout.h"

#include <algorithm>
#include <cstring>

namespace converte::storage {
namespace {

// Header field offsets.
enum : std::size_t {
  kAtFlags = 0,
  kAtVersion = 2,
  kAtRoot = 4,
  kAtFree = 8,
  kAtItemSize = 12,
  kAtKeyLength = 14,
  kAtDecimals = 16,
  kAtMaxKeys = 18,
  kAtHalfPage = 20,
  kAtExpression = 22,
  kAtUnique = 278,
  kAtDescending = 280,
  kAtCondition = 282,
};
constexpr std::size_t kTextSize = 256;
constexpr int kMaxKeyLength = 256;
// Flags that mark a file kind this layer does not read: bits 11 to 15.
constexpr std::uint16_t kForeignFlags = 0xF800;

void putText(std::span<std::byte> bytes, std::size_t at, std::string_view text) {
  std::size_t n = std::min(text.size(), kTextSize - 1);
  std::memcpy(bytes.data() + at, text.data(), n);
}

std::string getText(std::span<const std::byte> bytes, std::size_t at) {
  const char* start = reinterpret_cast<const char*>(bytes.data() + at);
  return std::string(start, strnlen(start, kTextSize));
}

bool acceptedFlags(std::uint16_t flags) {
  if ((flags & kForeignFlags) != 0) return false;
  return (flags & 0x0006) == 0x0006 || flags == kNtxFlagsOldForm;
}

}  // namespace

bool hasForCondition(const NtxHeader& header) {
  if (!header.definition.forCondition.empty()) return true;
  return header.flags != kNtxFlagsOldForm && (header.flags & kNtxFlagForCondition) != 0;
}

std::uint16_t getU16(std::span<const std::byte> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[at]) |
                                    (std::to_integer<unsigned>(bytes[at + 1]) << 8));
}

std::uint32_t getU32(std::span<const std::byte> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(getU16(bytes, at)) |
         (static_cast<std::uint32_t>(getU16(bytes, at + 2)) << 16);
}

void putU16(std::span<std::byte> bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<std::byte>(value & 0xFF);
  bytes[at + 1] = static_cast<std::byte>(value >> 8);
}

void putU32(std::span<std::byte> bytes, std::size_t at, std::uint32_t value) {
  putU16(bytes, at, static_cast<std::uint16_t>(value & 0xFFFF));
  putU16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

int maxKeysPerPage(int keyLength) {
  int keys = 1022 / (keyLength + 10) - 1;
  if (keys > 2 && keys % 2 != 0) --keys;
  return keys;
}

NtxHeader newHeader(const IndexDefinition& definition) {
  NtxHeader header;
  header.flags = kNtxFlagsCreated;
  if (!definition.forCondition.empty()) header.flags |= kNtxFlagForCondition;
  header.itemSize = static_cast<std::uint16_t>(definition.keyLength + 8);
  header.maxKeys = static_cast<std::uint16_t>(maxKeysPerPage(definition.keyLength));
  header.halfPage = static_cast<std::uint16_t>(header.maxKeys / 2);
  header.definition = definition;
  return header;
}

std::array<std::byte, kNtxHeaderStartSize> encodeHeaderStart(const NtxHeader& header) {
  std::array<std::byte, kNtxHeaderStartSize> bytes{};
  putU16(bytes, kAtFlags, header.flags);
  putU16(bytes, kAtVersion, header.version);
  putU32(bytes, kAtRoot, header.root);
  putU32(bytes, kAtFree, header.freePage);
  return bytes;
}

NtxPageBytes encodeHeader(const NtxHeader& header) {
  NtxPageBytes bytes{};
  auto start = encodeHeaderStart(header);
  std::copy(start.begin(), start.end(), bytes.begin());
  const IndexDefinition& d = header.definition;
  putU16(bytes, kAtItemSize, header.itemSize);
  putU16(bytes, kAtKeyLength, static_cast<std::uint16_t>(d.keyLength));
  putU16(bytes, kAtDecimals, static_cast<std::uint16_t>(d.keyDecimals));
  putU16(bytes, kAtMaxKeys, header.maxKeys);
  putU16(bytes, kAtHalfPage, header.halfPage);
  putText(bytes, kAtExpression, d.expression);
  bytes[kAtUnique] = std::byte{d.unique ? std::uint8_t{1} : std::uint8_t{0}};
  bytes[kAtDescending] = std::byte{d.descending ? std::uint8_t{1} : std::uint8_t{0}};
  putText(bytes, kAtCondition, d.forCondition);
  return bytes;
}

void decodeHeaderStart(std::span<const std::byte, kNtxHeaderStartSize> bytes, NtxHeader& header) {
  header.flags = getU16(bytes, kAtFlags);
  header.version = getU16(bytes, kAtVersion);
  header.root = getU32(bytes, kAtRoot);
  header.freePage = getU32(bytes, kAtFree);
}

std::optional<NtxHeader> decodeHeader(std::span<const std::byte, kNtxPageSize> bytes) {
  NtxHeader header;
  decodeHeaderStart(bytes.first<kNtxHeaderStartSize>(), header);
  header.itemSize = getU16(bytes, kAtItemSize);
  header.maxKeys = getU16(bytes, kAtMaxKeys);
  header.halfPage = getU16(bytes, kAtHalfPage);
  IndexDefinition& d = header.definition;
  d.keyLength = getU16(bytes, kAtKeyLength);
  d.keyDecimals = getU16(bytes, kAtDecimals);
  d.expression = getText(bytes, kAtExpression);
  d.forCondition = getText(bytes, kAtCondition);
  d.unique = bytes[kAtUnique] != std::byte{0};
  d.descending = bytes[kAtDescending] != std::byte{0};
  if (!acceptedFlags(header.flags)) return std::nullopt;
  if (d.keyLength < 1 || d.keyLength > kMaxKeyLength) return std::nullopt;
  if (header.itemSize != d.keyLength + 8) return std::nullopt;
  // Every slot of a freshly written page must fit: the count, the offsets
  // and maxKeys + 1 items.
  NtxLayout layout = NtxLayout::of(header);
  if (header.maxKeys < 2 || layout.slotOffset(header.maxKeys + 1u) > kNtxPageSize)
    return std::nullopt;
  return header;
}

NtxLayout NtxLayout::of(const NtxHeader& header) {
  return NtxLayout{header.definition.keyLength, header.itemSize, header.maxKeys};
}

bool isPageOffset(std::uint64_t offset, std::uint64_t fileSize) {
  return offset >= kNtxPageSize && offset % kNtxPageSize == 0 && offset + kNtxPageSize <= fileSize;
}

void encodePage(const NtxLayout& layout, const NtxPage& page, NtxPageBytes& bytes) {
  bytes.fill(std::byte{0});
  putU16(bytes, 0, static_cast<std::uint16_t>(page.count()));
  const auto keyLength = static_cast<std::size_t>(layout.keyLength);
  for (std::size_t slot = 0; slot <= static_cast<std::size_t>(layout.maxKeys); ++slot) {
    const std::size_t at = layout.slotOffset(slot);
    putU16(bytes, 2 + 2 * slot, static_cast<std::uint16_t>(at));
    if (slot > page.count()) continue;
    putU32(bytes, at, page.child(slot));
    if (slot == page.count()) continue;
    const NtxItem& item = page.items[slot];
    putU32(bytes, at + 4, item.record);
    std::memcpy(bytes.data() + at + 8, item.key.data(), std::min(item.key.size(), keyLength));
  }
}

PageFault decodePage(const NtxLayout& layout, std::span<const std::byte, kNtxPageSize> bytes,
                     std::uint32_t offset, std::uint64_t fileSize, NtxPage& page) {
  const std::size_t count = getU16(bytes, 0);
  if (count > static_cast<std::size_t>(layout.maxKeys)) return PageFault::TooManyKeys;
  const std::size_t offsetsEnd = 2 + 2 * (static_cast<std::size_t>(layout.maxKeys) + 1);
  const auto itemSize = static_cast<std::size_t>(layout.itemSize);
  page.offset = offset;
  page.items.resize(count);
  for (std::size_t slot = 0; slot <= count; ++slot) {
    const std::size_t at = getU16(bytes, 2 + 2 * slot);
    const std::size_t needed = slot < count ? itemSize : 4;
    if (at < offsetsEnd || at + needed > kNtxPageSize) return PageFault::ItemOutsidePage;
    const std::uint32_t child = getU32(bytes, at);
    if (child != 0 && !isPageOffset(child, fileSize)) return PageFault::BadChild;
    if (slot == count) {
      page.lastChild = child;
      break;
    }
    NtxItem& item = page.items[slot];
    item.child = child;
    item.record = getU32(bytes, at + 4);
    item.key.assign(reinterpret_cast<const char*>(bytes.data() + at + 8),
                    static_cast<std::size_t>(layout.keyLength));
  }
  return PageFault::None;
}

}  // namespace converte::storage
