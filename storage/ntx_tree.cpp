// Searching and changing the B-tree of an NTX file.

#include "storage/ntx_tree.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace converte::storage {
namespace {

// No tree of 2^32 keys is deeper than this, even with one key per page; a
// longer descent can only follow a cycle of pages.
constexpr std::size_t kMaxDepth = 64;

IndexEntry entryOf(const NtxPageView& page, std::size_t slot) {
  return IndexEntry{std::string(page.key(slot)), page.record(slot)};
}

// Bytes compared as unsigned, as memcmp does; short keys, the usual ones,
// byte by byte without a call.
int compareBytes(const char* a, const char* b, std::size_t n) {
  if (n > 16) return std::memcmp(a, b, n);
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

// Keys of up to 8 bytes read as big-endian numbers, which compare as the
// bytes do. A page key is read as 8 bytes: the bytes after a shorter key
// (the next item's, still inside the page) are masked off.
class ShortKeys {
 public:
  static constexpr std::size_t kMost = 8;

  explicit ShortKeys(std::size_t length)
      : mask_(length >= kMost ? ~std::uint64_t{0} : ~(~std::uint64_t{0} >> (8 * length))) {}
  std::uint64_t read(const char* bytes) const {
    std::uint64_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    if constexpr (std::endian::native == std::endian::little) value = __builtin_bswap64(value);
    return value & mask_;
  }
  std::uint64_t readKey(std::string_view key) const {
    char bytes[kMost] = {};
    std::memcpy(bytes, key.data(), std::min(key.size(), kMost));
    return read(bytes);
  }

 private:
  std::uint64_t mask_;
};

}  // namespace

int KeyOrder::compareKeys(std::string_view a, std::string_view b) const {
  const int c = compareBytes(a.data(), b.data(), std::min(a.size(), b.size()));
  const int sign = (c > 0) - (c < 0);
  return descending ? -sign : sign;
}

bool KeyOrder::less(std::string_view keyA, std::uint32_t recordA, std::string_view keyB,
                    std::uint32_t recordB) const {
  if (int c = compareKeys(keyA, keyB); c != 0) return c < 0;
  return recordA < recordB;
}

void NtxTree::checkDepth(std::size_t depth) {
  if (depth > kMaxDepth) pager_.corrupt();
}

// The first slot whose item is not before: a binary search halving the
// range as std::partition_point does. Without branches it waits for each
// item before the next (best for a page in the processor's cache); with
// them the processor runs ahead on a guess (best for a page it must fetch).
template <bool kBranchless, typename Before>
std::size_t NtxTree::firstNotBefore(const NtxPageView& page, Before before) {
  std::size_t first = 0;
  std::size_t length = page.count();
  while (length > 0) {
    const std::size_t half = length / 2;
    const bool after = before(first + half);
    if constexpr (kBranchless) {
      first = after ? first + half + 1 : first;
      length = after ? length - half - 1 : half;
    } else if (after) {
      first += half + 1;
      length -= half + 1;
    } else {
      length = half;
    }
  }
  return first;
}

std::size_t NtxTree::firstHolding(const NtxPageView& page, const Predicate& holds) {
  return firstNotBefore<false>(page, [&](std::size_t slot) {
    probe_.child = page.child(slot);
    probe_.record = page.record(slot);
    probe_.key.assign(page.key(slot));
    return !holds(probe_);
  });
}

// Where (key, record) goes: before the first item it sorts before. A key
// of the key length up to 8 bytes is compared as a number.
std::size_t NtxTree::insertSlot(const NtxPageView& page, std::string_view key,
                                std::uint32_t record) const {
  const auto length = static_cast<std::size_t>(pager_.layout().keyLength);
  if (length > ShortKeys::kMost || key.size() != length) {
    return firstNotBefore<false>(page, [&](std::size_t slot) {
      return !order_.less(key, record, page.key(slot), page.record(slot));
    });
  }
  const ShortKeys keys(length);
  const std::uint64_t mine = keys.readKey(key);
  const bool descending = order_.descending;
  auto before = [&](std::size_t slot) {
    const std::uint64_t theirs = keys.read(page.key(slot).data());
    const bool keyBefore = descending ? mine < theirs : theirs < mine;
    return keyBefore | ((mine == theirs) & (page.record(slot) <= record));
  };
  // Leaves are many and mostly fetched; the pages above them stay cached.
  if (page.child(0) == 0) return firstNotBefore<false>(page, before);
  return firstNotBefore<true>(page, before);
}

// The first item that does not sort before (key, record).
std::size_t NtxTree::removeSlot(const NtxPageView& page, std::string_view key,
                                std::uint32_t record) const {
  return firstNotBefore<false>(page, [&](std::size_t slot) {
    return order_.less(page.key(slot), page.record(slot), key, record);
  });
}

// Steps from page `from` down its slot to page `to`; a page already on the
// path means the pages form a cycle.
void NtxTree::descend(std::vector<Step>& path, std::uint32_t from, std::size_t slot,
                      std::uint32_t to) {
  path.push_back({from, slot});
  checkDepth(path.size());
  for (const Step& step : path)
    if (step.page == to) pager_.corrupt();
}

std::optional<IndexEntry> NtxTree::firstWhere(const Predicate& holds) {
  std::optional<IndexEntry> found;
  std::uint32_t offset = pager_.header().root;
  for (std::size_t depth = 0;; ++depth) {
    checkDepth(depth);
    const NtxPageView page = pager_.page(offset);
    const std::size_t slot = firstHolding(page, holds);
    if (slot < page.count()) found = entryOf(page, slot);
    offset = page.child(slot);
    if (offset == 0) return found;
  }
}

std::optional<IndexEntry> NtxTree::lastBefore(const Predicate& holds) {
  std::optional<IndexEntry> found;
  std::uint32_t offset = pager_.header().root;
  for (std::size_t depth = 0;; ++depth) {
    checkDepth(depth);
    const NtxPageView page = pager_.page(offset);
    const std::size_t slot = firstHolding(page, holds);
    if (slot > 0) found = entryOf(page, slot - 1);
    offset = page.child(slot);
    if (offset == 0) return found;
  }
}

// A leaf with room takes the key in place; a full one splits.
void NtxTree::insert(std::string_view key, std::uint32_t record) {
  std::vector<Step>& path = path_;
  path.clear();
  std::uint32_t offset = pager_.header().root;
  for (;;) {
    const NtxPageView page = pager_.page(offset);
    const std::size_t slot = insertSlot(page, key, record);
    const std::uint32_t child = page.child(slot);
    if (child == 0) {
      if (page.count() < static_cast<std::size_t>(pager_.layout().maxKeys)) {
        pager_.changePage(offset, [&](NtxPageEdit& leaf) { leaf.insert(slot, 0, record, key); });
        return;
      }
      std::vector<std::byte> item(static_cast<std::size_t>(pager_.layout().itemSize));
      putU32(item, 4, record);
      std::memcpy(item.data() + 8, key.data(), std::min(key.size(), item.size() - 8));
      splitUpward(path, page, slot, item.data());
      return;
    }
    descend(path, offset, slot, child);
    offset = child;
  }
}

void NtxTree::Overflow::gather(const NtxPageView& page, std::size_t at, const std::byte* added,
                               std::size_t itemSize) {
  offset = page.offset();
  lastChild = page.lastChild();
  count = page.count() + 1;
  items.resize(count * itemSize);
  std::memcpy(items.data(), page.items(), at * itemSize);
  std::memcpy(items.data() + at * itemSize, added, itemSize);
  std::memcpy(items.data() + (at + 1) * itemSize, page.items(at), (count - 1 - at) * itemSize);
}

// The full page with item added at slot holds one key more than a page
// may: its lower half moves to a new page and the middle key goes up into
// the parent, which may overflow in turn. A full root gets a new root above
// it. Pages are handled as their item bytes.
void NtxTree::splitUpward(std::vector<Step>& path, const NtxPageView& full, std::size_t slot,
                          const std::byte* item) {
  const auto itemSize = static_cast<std::size_t>(pager_.layout().itemSize);
  Overflow page;
  page.gather(full, slot, item, itemSize);
  std::vector<std::byte> separator(itemSize);
  for (;;) {
    const std::size_t middle = page.count / 2;
    const std::byte* lifted = page.items.data() + middle * itemSize;
    const std::uint32_t left = pager_.allocatePage();
    pager_.newPage(left, [&](NtxPageEdit& edit) {
      edit.assign(page.items.data(), middle, getU32(std::span(lifted, 4), 0));
    });
    pager_.changePage(page.offset, [&](NtxPageEdit& edit) {
      edit.assign(lifted + itemSize, page.count - middle - 1, page.lastChild);
    });
    std::memcpy(separator.data(), lifted, itemSize);
    putU32(separator, 0, left);
    if (path.empty()) {
      const std::uint32_t root = pager_.allocatePage();
      pager_.newPage(root,
                     [&](NtxPageEdit& edit) { edit.assign(separator.data(), 1, page.offset); });
      pager_.setRoot(root);
      return;
    }
    const Step step = path.back();
    path.pop_back();
    const NtxPageView parent = pager_.page(step.page);
    if (parent.count() < static_cast<std::size_t>(pager_.layout().maxKeys)) {
      pager_.changePage(step.page,
                        [&](NtxPageEdit& edit) { edit.insertItem(step.slot, separator.data()); });
      return;
    }
    page.gather(parent, step.slot, separator.data(), itemSize);
  }
}

bool NtxTree::remove(std::string_view key, std::uint32_t record) {
  std::vector<Step>& path = path_;
  path.clear();
  std::uint32_t offset = pager_.header().root;
  std::size_t slot = 0;
  for (;;) {
    const NtxPageView page = pager_.page(offset);
    slot = removeSlot(page, key, record);
    if (slot < page.count() && page.record(slot) == record &&
        order_.compareKeys(page.key(slot), key) == 0)
      break;
    const std::uint32_t child = page.child(slot);
    if (child == 0) return false;
    descend(path, offset, slot, child);
    offset = child;
  }
  const std::uint32_t below = pager_.page(offset).child(slot);
  if (below == 0) {
    pager_.changePage(offset, [slot](NtxPageEdit& page) { page.erase(slot); });
    rebalanceUpward(path, offset);
    return true;
  }
  // A key with keys before it in a subtree is replaced by the greatest of
  // them, which is taken from the last page of that subtree.
  std::uint32_t leafOffset = below;
  descend(path, offset, slot, leafOffset);
  for (;;) {
    const NtxPageView leaf = pager_.page(leafOffset);
    if (leaf.lastChild() == 0) break;
    const std::uint32_t next = leaf.lastChild();
    descend(path, leafOffset, leaf.count(), next);
    leafOffset = next;
  }
  if (pager_.page(leafOffset).count() == 0) pager_.corrupt();
  std::string greatestKey;
  std::uint32_t greatestRecord = 0;
  pager_.changePage(leafOffset, [&](NtxPageEdit& leaf) {
    const std::size_t last = leaf.count() - 1;
    greatestKey.assign(leaf.key(last));
    greatestRecord = leaf.record(last);
    leaf.erase(last);
  });
  pager_.changePage(offset, [&](NtxPageEdit& page) {
    page.setEntry(slot, greatestRecord, greatestKey);
  });
  rebalanceUpward(path, leafOffset);
  return true;
}

// After a removal from the page at offset: while a page holds fewer than
// half a page of keys it borrows a key from a neighbour or, when both fit
// in one page, merges with it, which takes a key from the parent. A root
// left without keys gives way to its only child.
void NtxTree::rebalanceUpward(std::vector<Step>& path, std::uint32_t offset) {
  const std::size_t half = static_cast<std::size_t>(pager_.layout().maxKeys) / 2;
  for (;;) {
    if (path.empty()) {
      const NtxPageView root = pager_.page(offset);
      if (root.count() == 0 && root.lastChild() != 0) {
        pager_.setRoot(root.lastChild());
        pager_.freePage(offset);
      }
      return;
    }
    if (pager_.page(offset).count() >= half) return;
    const Step step = path.back();
    path.pop_back();
    if (!fixUnderflow(step, offset)) return;
    offset = step.page;
  }
}

// True when the parent lost a key (a merge) and may be short in turn.
bool NtxTree::fixUnderflow(const Step& parentStep, std::uint32_t offset) {
  NtxPage parent = pager_.page(parentStep.page).decoded();
  if (parent.child(parentStep.slot) != offset) pager_.corrupt();
  if (parent.count() == 0) return true;
  const std::size_t at = parentStep.slot > 0 ? parentStep.slot - 1 : 0;
  NtxPage left = pager_.page(parent.child(at)).decoded();
  NtxPage right = pager_.page(parent.child(at + 1)).decoded();
  if (left.offset == right.offset || left.offset == parent.offset || right.offset == parent.offset)
    pager_.corrupt();
  NtxItem& separator = parent.items[at];
  const auto maxKeys = static_cast<std::size_t>(pager_.layout().maxKeys);
  if (left.count() + right.count() + 1 <= maxKeys) {
    std::vector<NtxItem> items = std::move(left.items);
    items.push_back(NtxItem{left.lastChild, separator.record, std::move(separator.key)});
    std::move(right.items.begin(), right.items.end(), std::back_inserter(items));
    right.items = std::move(items);
    pager_.writePage(right);
    parent.items.erase(parent.items.begin() + static_cast<std::ptrdiff_t>(at));
    pager_.writePage(parent);
    pager_.freePage(left.offset);
    return true;
  }
  if (offset == left.offset) {
    left.items.push_back(NtxItem{left.lastChild, separator.record, std::move(separator.key)});
    NtxItem& lifted = right.items.front();
    left.lastChild = lifted.child;
    separator.key = std::move(lifted.key);
    separator.record = lifted.record;
    right.items.erase(right.items.begin());
  } else {
    right.items.insert(right.items.begin(),
                       NtxItem{left.lastChild, separator.record, std::move(separator.key)});
    NtxItem& lifted = left.items.back();
    left.lastChild = lifted.child;
    separator.key = std::move(lifted.key);
    separator.record = lifted.record;
    left.items.pop_back();
  }
  pager_.writePage(left);
  pager_.writePage(right);
  pager_.writePage(parent);
  return false;
}

std::vector<IndexEntry> NtxTree::entries() {
  std::vector<IndexEntry> out;
  std::unordered_set<std::uint32_t> seen;
  walk(pager_.header().root, 0, out, seen);
  return out;
}

void NtxTree::walk(std::uint32_t offset, std::size_t depth, std::vector<IndexEntry>& out,
                   std::unordered_set<std::uint32_t>& seen) {
  checkDepth(depth);
  if (!seen.insert(offset).second) pager_.corrupt();
  const NtxPage page = pager_.page(offset).decoded();
  for (std::size_t slot = 0; slot <= page.count(); ++slot) {
    if (std::uint32_t child = page.child(slot); child != 0) walk(child, depth + 1, out, seen);
    if (slot < page.count()) out.push_back({page.items[slot].key, page.items[slot].record});
  }
}

}  // namespace converte::storage
