// Reading and changing key pages in place, byte for byte as encodePage
// writes the changed page.

#include "storage/ntx_page_view.h"

#include <algorithm>
#include <array>

namespace converte::storage {

NtxPage NtxPageView::decoded() const {
  NtxPage page;
  page.offset = offset_;
  const std::size_t n = count();
  page.items.resize(n);
  for (std::size_t slot = 0; slot < n; ++slot) {
    NtxItem& item = page.items[slot];
    item.child = child(slot);
    item.record = record(slot);
    item.key.assign(key(slot));
  }
  page.lastChild = child(n);
  return page;
}

void NtxPageEdit::setCount(std::size_t count) {
  edit_[0] = static_cast<std::byte>(count & 0xFF);
  edit_[1] = static_cast<std::byte>(count >> 8);
}

void NtxPageEdit::store32(std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i, value >>= 8)
    edit_[at + i] = static_cast<std::byte>(value & 0xFF);
}

// Items slot..n-1 and the child after them move up one item; the slot
// after that was all zero and keeps zero past its child.
void NtxPageEdit::makeRoom(std::size_t slot) {
  const std::size_t n = count();
  std::memmove(edit_ + at(slot + 1), edit_ + at(slot), at(n) + 4 - at(slot));
  setCount(n + 1);
}

void NtxPageEdit::insert(std::size_t slot, std::uint32_t child, std::uint32_t record,
                         std::string_view key) {
  makeRoom(slot);
  store32(at(slot), child);
  setEntry(slot, record, key);
}

void NtxPageEdit::insertItem(std::size_t slot, const std::byte* item) {
  makeRoom(slot);
  std::memcpy(edit_ + at(slot), item, static_cast<std::size_t>(layout_->itemSize));
}

// Items slot+1..n-1 and the last child move down one item; what they leave
// behind becomes zero again.
void NtxPageEdit::erase(std::size_t slot) {
  const std::size_t n = count();
  std::memmove(edit_ + at(slot), edit_ + at(slot + 1), at(n) + 4 - at(slot + 1));
  std::memset(edit_ + at(n - 1) + 4, 0, at(n) - at(n - 1));
  setCount(n - 1);
}

void NtxPageEdit::setEntry(std::size_t slot, std::uint32_t record, std::string_view key) {
  store32(at(slot) + 4, record);
  const auto length = static_cast<std::size_t>(layout_->keyLength);
  const std::size_t copied = std::min(key.size(), length);
  std::memcpy(edit_ + at(slot) + 8, key.data(), copied);
  std::memset(edit_ + at(slot) + 8 + copied, 0, length - copied);
}

void NtxPageEdit::assign(const std::byte* items, std::size_t count, std::uint32_t lastChild) {
  std::memset(edit_, 0, kNtxPageSize);
  setCount(count);
  // Locals, as a store through a byte pointer may change any member.
  std::byte* offsets = edit_ + 2;
  const auto maxKeys = static_cast<std::size_t>(layout_->maxKeys);
  const auto itemSize = static_cast<std::size_t>(layout_->itemSize);
  std::size_t offset = at(0);
  for (std::size_t slot = 0; slot <= maxKeys; ++slot, offset += itemSize) {
    offsets[2 * slot] = static_cast<std::byte>(offset & 0xFF);
    offsets[2 * slot + 1] = static_cast<std::byte>(offset >> 8);
  }
  std::memcpy(edit_ + at(0), items, at(count) - at(0));
  store32(at(count), lastChild);
}

namespace {

std::uint16_t read16(const std::byte* bytes) {
  return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[0]) |
                                    (std::to_integer<unsigned>(bytes[1]) << 8));
}

std::uint32_t read32(const std::byte* bytes) {
  return static_cast<std::uint32_t>(read16(bytes)) |
         (static_cast<std::uint32_t>(read16(bytes + 2)) << 16);
}

constexpr std::array<std::byte, kNtxPageSize> kZeroPage{};

}  // namespace

bool laidOutAsWritten(const NtxLayout& layout, std::span<const std::byte, kNtxPageSize> bytes,
                      std::uint64_t fileSize) {
  const std::byte* page = bytes.data();
  const std::size_t count = read16(page);
  const auto maxKeys = static_cast<std::size_t>(layout.maxKeys);
  if (count > maxKeys) return false;
  for (std::size_t slot = 0; slot <= maxKeys; ++slot)
    if (read16(page + 2 + 2 * slot) != layout.slotOffset(slot)) return false;
  for (std::size_t slot = 0; slot <= count; ++slot) {
    const std::uint32_t child = read32(page + layout.slotOffset(slot));
    if (child != 0 && !isPageOffset(child, fileSize)) return false;
  }
  const std::size_t end = layout.slotOffset(count) + 4;
  return std::memcmp(page + end, kZeroPage.data(), kNtxPageSize - end) == 0;
}

}  // namespace converte::storage
