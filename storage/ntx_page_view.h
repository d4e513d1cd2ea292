// A key page held as its bytes in the layout this layer writes (item i at
// its initial offset, the child of slot count after the last item, every
// other byte zero): its items read in place, and the changes the tree makes
// most often done on the bytes, leaving them as encoding the changed page
// would.

#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "storage/ntx_layout.h"

namespace converte::storage {

class NtxPageView {
 public:
  NtxPageView(const std::byte* bytes, const NtxLayout& layout, std::uint32_t offset)
      : bytes_(bytes), layout_(&layout), offset_(offset) {}

  std::uint32_t offset() const { return offset_; }
  std::size_t count() const { return load16(0); }
  std::uint32_t child(std::size_t slot) const { return load32(at(slot)); }
  std::uint32_t lastChild() const { return child(count()); }
  std::uint32_t record(std::size_t slot) const { return load32(at(slot) + 4); }
  std::string_view key(std::size_t slot) const {
    return {reinterpret_cast<const char*>(bytes_ + at(slot) + 8),
            static_cast<std::size_t>(layout_->keyLength)};
  }
  // The items from slot on lie one after the other, item size bytes each.
  const std::byte* items(std::size_t slot = 0) const { return bytes_ + at(slot); }
  // The page as the tree's NtxPage.
  NtxPage decoded() const;

 protected:
  std::size_t at(std::size_t slot) const { return layout_->slotOffset(slot); }
  // Little-endian integers, read whole where the processor is little-endian.
  template <typename T>
  T load(std::size_t at) const {
    T value = 0;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(&value, bytes_ + at, sizeof value);
    } else {
      for (std::size_t i = sizeof value; i-- > 0;)
        value = static_cast<T>((value << 8) | std::to_integer<T>(bytes_[at + i]));
    }
    return value;
  }
  std::uint16_t load16(std::size_t at) const { return load<std::uint16_t>(at); }
  std::uint32_t load32(std::size_t at) const { return load<std::uint32_t>(at); }

  const std::byte* bytes_;
  const NtxLayout* layout_;
  std::uint32_t offset_;
};

// The same page, changed in place.
class NtxPageEdit : public NtxPageView {
 public:
  NtxPageEdit(std::byte* bytes, const NtxLayout& layout, std::uint32_t offset)
      : NtxPageView(bytes, layout, offset), edit_(bytes) {}

  // A new item at slot; the page must have room for it.
  void insert(std::size_t slot, std::uint32_t child, std::uint32_t record, std::string_view key);
  // The same with the item given as its bytes (item size of them).
  void insertItem(std::size_t slot, const std::byte* item);
  // Removes the item at slot together with its child.
  void erase(std::size_t slot);
  // The record and key of the item at slot; its child stays.
  void setEntry(std::size_t slot, std::uint32_t record, std::string_view key);
  // The whole page anew: count items laid one after the other at items
  // (outside this page), and the child after them.
  void assign(const std::byte* items, std::size_t count, std::uint32_t lastChild);

 private:
  void makeRoom(std::size_t slot);
  void setCount(std::size_t count);
  void store32(std::size_t at, std::uint32_t value);

  std::byte* edit_;
};

// True when bytes are exactly what encodePage writes for a page that
// decodes without fault in a file of fileSize bytes.
bool laidOutAsWritten(const NtxLayout& layout, std::span<const std::byte, kNtxPageSize> bytes,
                      std::uint64_t fileSize);

}  // namespace converte::storage
