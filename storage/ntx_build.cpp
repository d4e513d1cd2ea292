// Bottom-up tree building. Each subtree is planned from the number of keys
// it must hold: its children are full subtrees from the left, and when the
// last child would be less than half full it shares the keys of the one
// before it, so that no page of the finished tree is nearly empty.

#include "storage/ntx_build.h"

#include <algorithm>
#include <cstring>

namespace converte::storage {
namespace {

// Pages gathered before one sequential write.
constexpr std::size_t kBlockPages = 256;
constexpr std::uint64_t kSaturated = std::uint64_t{1} << 62;

// Pages written one after another from the first page after the header.
class BlockWriter {
 public:
  explicit BlockWriter(NtxPager& pager) : pager_(pager), buffer_(kBlockPages * kNtxPageSize) {}

  std::uint32_t append(const NtxPageBytes& page) {
    const std::uint64_t offset = start_ + used_;
    if (offset + kNtxPageSize > 0xFFFFFFFFu) pager_.failWrite(platform::kOsDiskFull);
    std::memcpy(buffer_.data() + used_, page.data(), kNtxPageSize);
    used_ += kNtxPageSize;
    if (used_ == buffer_.size()) write();
    return static_cast<std::uint32_t>(offset);
  }
  std::uint64_t finish() {
    write();
    return start_;
  }

 private:
  void write() {
    if (used_ == 0) return;
    auto status = pager_.file().writeAt(start_, std::span(buffer_).first(used_));
    if (!status) pager_.failWrite(status.error().osCode);
    start_ += used_;
    used_ = 0;
  }

  NtxPager& pager_;
  std::vector<std::byte> buffer_;
  std::uint64_t start_ = kNtxPageSize;
  std::size_t used_ = 0;
};

// The entries in order; a unique index takes only the first of equal keys.
class EntryStream {
 public:
  EntryStream(const std::vector<IndexEntry>& entries, bool unique)
      : entries_(entries), unique_(unique) {}

  std::uint64_t count() const {
    if (!unique_) return entries_.size();
    std::uint64_t n = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i)
      if (i == 0 || entries_[i].key != entries_[i - 1].key) ++n;
    return n;
  }
  const IndexEntry& next() {
    const IndexEntry& entry = entries_[at_++];
    if (unique_)
      while (at_ < entries_.size() && entries_[at_].key == entry.key) ++at_;
    return entry;
  }

 private:
  const std::vector<IndexEntry>& entries_;
  bool unique_;
  std::size_t at_ = 0;
};

class TreeBuilder {
 public:
  TreeBuilder(NtxPager& pager, const std::vector<IndexEntry>& sorted)
      : layout_(pager.layout()),
        writer_(pager),
        stream_(sorted, pager.header().definition.unique) {}

  BuiltTree build() {
    const std::uint64_t keys = stream_.count();
    int height = 0;
    while (capacity(height) < keys) ++height;
    BuiltTree tree;
    tree.root = subtree(height, keys);
    tree.end = writer_.finish();
    return tree;
  }

 private:
  // The most keys a subtree of that height holds: (max + 1)^(height+1) - 1.
  std::uint64_t capacity(int height) const {
    std::uint64_t fanOut = static_cast<std::uint64_t>(layout_.maxKeys) + 1;
    std::uint64_t product = 1;
    for (int i = 0; i <= height && product < kSaturated; ++i) product *= fanOut;
    return product - 1;
  }
  // The fewest keys a subtree of that height is planned with: half a page
  // for a leaf, more than a subtree one level lower holds otherwise.
  std::uint64_t minimum(int height) const {
    if (height == 0) return static_cast<std::uint64_t>(layout_.maxKeys / 2);
    return capacity(height - 1) + 1;
  }

  void startPage(NtxPageBytes& page) const {
    page.fill(std::byte{0});
    for (std::size_t slot = 0; slot <= static_cast<std::size_t>(layout_.maxKeys); ++slot)
      putU16(page, 2 + 2 * slot, static_cast<std::uint16_t>(layout_.slotOffset(slot)));
  }
  void putItem(NtxPageBytes& page, std::size_t slot, std::uint32_t child, const IndexEntry& entry) {
    const std::size_t at = layout_.slotOffset(slot);
    putU32(page, at, child);
    putU32(page, at + 4, entry.record);
    const auto length = static_cast<std::size_t>(layout_.keyLength);
    const std::size_t copied = std::min(entry.key.size(), length);
    std::memcpy(page.data() + at + 8, entry.key.data(), copied);
    std::memset(page.data() + at + 8 + copied, ' ', length - copied);
  }

  std::uint32_t subtree(int height, std::uint64_t keys) {
    NtxPageBytes page;
    startPage(page);
    if (height == 0) {
      for (std::uint64_t i = 0; i < keys; ++i) putItem(page, i, 0, stream_.next());
      putU16(page, 0, static_cast<std::uint16_t>(keys));
      return writer_.append(page);
    }
    const std::uint64_t full = capacity(height - 1);
    // The fewest separating keys m such that m + 1 subtrees hold the rest.
    const std::uint64_t m = std::max<std::uint64_t>(1, (keys - full + full) / (full + 1));
    const std::uint64_t last = keys - m - m * full;
    std::uint64_t beforeLast = full;
    std::uint64_t lastKeys = last;
    if (last < minimum(height - 1)) {
      const std::uint64_t shared = full + last;
      beforeLast = shared - shared / 2;
      lastKeys = shared / 2;
    }
    for (std::uint64_t i = 0; i <= m; ++i) {
      const std::uint64_t size = i == m ? lastKeys : i + 1 == m ? beforeLast : full;
      const std::uint32_t child = subtree(height - 1, size);
      if (i == m) {
        putU32(page, layout_.slotOffset(i), child);
      } else {
        putItem(page, i, child, stream_.next());
      }
    }
    putU16(page, 0, static_cast<std::uint16_t>(m));
    return writer_.append(page);
  }

  const NtxLayout& layout_;
  BlockWriter writer_;
  EntryStream stream_;
};

}  // namespace

BuiltTree buildTree(NtxPager& pager, const std::vector<IndexEntry>& sorted) {
  // Pages held back go out first, so that the new tree is written over them.
  pager.writeHeld();
  return TreeBuilder(pager, sorted).build();
}

}  // namespace converte::storage
