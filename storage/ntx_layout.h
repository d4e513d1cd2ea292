// The bytes of an NTX file: the header page (flags, version counter, root,
// free-page chain, key sizes, expression texts) and the key pages (a key
// count, an item offset per slot, and items of child, record and key).
// Decoding checks everything a damaged file could get wrong.

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "storage/ntx_index.h"

namespace converte::storage {

using NtxPageBytes = std::array<std::byte, kNtxPageSize>;

// The part of the header rewritten after every change.
inline constexpr std::size_t kNtxHeaderStartSize = 12;
inline constexpr std::uint16_t kNtxFlagsCreated = 0x0006;
inline constexpr std::uint16_t kNtxFlagForCondition = 0x0001;
// The flags of indexes written in the old form, accepted as they are.
inline constexpr std::uint16_t kNtxFlagsOldForm = 0x0003;
// The byte the index read and write locks cover.
inline constexpr std::uint64_t kNtxLockOffset = 1'000'000'000;

struct NtxHeader {
  std::uint16_t flags = kNtxFlagsCreated;
  std::uint16_t version = 0;
  std::uint32_t root = 0;
  std::uint32_t freePage = 0;
  std::uint16_t itemSize = 0;
  std::uint16_t maxKeys = 0;
  std::uint16_t halfPage = 0;
  IndexDefinition definition;
};

// A fresh header for a definition: sizes from the key length, flags with
// bit 0 when there is a for-condition.
NtxHeader newHeader(const IndexDefinition& definition);
// The whole header page, and its first 12 bytes.
NtxPageBytes encodeHeader(const NtxHeader& header);
std::array<std::byte, kNtxHeaderStartSize> encodeHeaderStart(const NtxHeader& header);
// nullopt when the header is not one this layer can use: unknown flags,
// key length outside 1..256, an item size that does not match it, or a
// maximum key count whose slots do not fit in a page.
std::optional<NtxHeader> decodeHeader(std::span<const std::byte, kNtxPageSize> bytes);
// True when the header announces a for-condition: a condition text, or
// bit 0 of the flags unless they are the old form 0x0003.
bool hasForCondition(const NtxHeader& header);
// The version, root and free page of the first 12 bytes.
void decodeHeaderStart(std::span<const std::byte, kNtxHeaderStartSize> bytes, NtxHeader& header);

// One key of a page, with the child page of the keys sorting before it.
struct NtxItem {
  std::uint32_t child = 0;
  std::uint32_t record = 0;
  std::string key;
};

// A key page as the tree works with it.
struct NtxPage {
  std::uint32_t offset = 0;
  std::vector<NtxItem> items;
  std::uint32_t lastChild = 0;  // the keys sorting after the last item

  std::size_t count() const { return items.size(); }
  std::uint32_t child(std::size_t slot) const {
    return slot < items.size() ? items[slot].child : lastChild;
  }
  void setChild(std::size_t slot, std::uint32_t page) {
    (slot < items.size() ? items[slot].child : lastChild) = page;
  }
};

// The geometry of the pages of one index.
struct NtxLayout {
  int keyLength = 0;
  int itemSize = 0;
  int maxKeys = 0;

  static NtxLayout of(const NtxHeader& header);
  // Where item slot i lies in a freshly written page.
  std::size_t slotOffset(std::size_t slot) const {
    return 2 * static_cast<std::size_t>(maxKeys) + 4 + slot * static_cast<std::size_t>(itemSize);
  }
};

// Writes page into bytes with every slot at its initial offset; unused
// bytes are zero.
void encodePage(const NtxLayout& layout, const NtxPage& page, NtxPageBytes& bytes);

// Why a page cannot be used.
enum class PageFault { None, TooManyKeys, ItemOutsidePage, BadChild };

// Decodes the page at offset. A child must be 0 or the offset of a whole
// page after the header that lies inside a file of fileSize bytes.
PageFault decodePage(const NtxLayout& layout, std::span<const std::byte, kNtxPageSize> bytes,
                     std::uint32_t offset, std::uint64_t fileSize, NtxPage& page);

// True when offset names a whole key page inside a file of fileSize bytes.
bool isPageOffset(std::uint64_t offset, std::uint64_t fileSize);

// Little-endian integers in page bytes.
std::uint16_t getU16(std::span<const std::byte> bytes, std::size_t at);
std::uint32_t getU32(std::span<const std::byte> bytes, std::size_t at);
void putU16(std::span<std::byte> bytes, std::size_t at, std::uint16_t value);
void putU32(std::span<std::byte> bytes, std::size_t at, std::uint32_t value);

}  // namespace converte::storage
