// Searching and changing the B-tree of an NTX file.

#include "storage/ntx_tree.h"

#include <algorithm>
#include <cstring>

namespace converte::storage {
namespace {

// No tree of 2^32 keys is deeper than this, even with one key per page; a
// longer descent can only follow a cycle of pages.
constexpr std::size_t kMaxDepth = 64;

IndexEntry entryOf(const NtxItem& item) { return IndexEntry{item.key, item.record}; }

}  // namespace

int KeyOrder::compareKeys(std::string_view a, std::string_view b) const {
  const std::size_t n = std::min(a.size(), b.size());
  const int c = n == 0 ? 0 : std::memcmp(a.data(), b.data(), n);
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

std::size_t NtxTree::firstHolding(const NtxPage& page, const Predicate& holds) const {
  auto at = std::partition_point(page.items.begin(), page.items.end(),
                                 [&](const NtxItem& item) { return !holds(item); });
  return static_cast<std::size_t>(at - page.items.begin());
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
    const NtxPage& page = pager_.page(offset);
    const std::size_t slot = firstHolding(page, holds);
    if (slot < page.count()) found = entryOf(page.items[slot]);
    offset = page.child(slot);
    if (offset == 0) return found;
  }
}

std::optional<IndexEntry> NtxTree::lastBefore(const Predicate& holds) {
  std::optional<IndexEntry> found;
  std::uint32_t offset = pager_.header().root;
  for (std::size_t depth = 0;; ++depth) {
    checkDepth(depth);
    const NtxPage& page = pager_.page(offset);
    const std::size_t slot = firstHolding(page, holds);
    if (slot > 0) found = entryOf(page.items[slot - 1]);
    offset = page.child(slot);
    if (offset == 0) return found;
  }
}

void NtxTree::insert(std::string_view key, std::uint32_t record) {
  std::vector<Step> path;
  std::uint32_t offset = pager_.header().root;
  for (;;) {
    NtxPage page = pager_.page(offset);
    const std::size_t slot = firstHolding(page, [&](const NtxItem& item) {
      return order_.less(key, record, item.key, item.record);
    });
    const std::uint32_t child = page.child(slot);
    if (child == 0) {
      page.items.insert(page.items.begin() + static_cast<std::ptrdiff_t>(slot),
                        NtxItem{0, record, std::string(key)});
      if (page.count() <= static_cast<std::size_t>(pager_.layout().maxKeys)) {
        pager_.writePage(page);
      } else {
        splitUpward(path, std::move(page));
      }
      return;
    }
    descend(path, offset, slot, child);
    offset = child;
  }
}

// page holds one key more than a page may: its lower half moves to a new
// page and the middle key goes up into the parent, which may overflow in
// turn. A full root gets a new root above it.
void NtxTree::splitUpward(std::vector<Step>& path, NtxPage page) {
  for (;;) {
    const std::size_t middle = page.count() / 2;
    NtxPage left;
    left.offset = pager_.allocatePage();
    left.items.assign(std::make_move_iterator(page.items.begin()),
                      std::make_move_iterator(page.items.begin() + static_cast<std::ptrdiff_t>(middle)));
    NtxItem separator = std::move(page.items[middle]);
    left.lastChild = separator.child;
    page.items.erase(page.items.begin(), page.items.begin() + static_cast<std::ptrdiff_t>(middle) + 1);
    pager_.writePage(left);
    pager_.writePage(page);
    separator.child = left.offset;
    if (path.empty()) {
      NtxPage root;
      root.offset = pager_.allocatePage();
      root.items.push_back(std::move(separator));
      root.lastChild = page.offset;
      pager_.writePage(root);
      pager_.setRoot(root.offset);
      return;
    }
    const Step step = path.back();
    path.pop_back();
    NtxPage parent = pager_.page(step.page);
    parent.items.insert(parent.items.begin() + static_cast<std::ptrdiff_t>(step.slot),
                        std::move(separator));
    if (parent.count() <= static_cast<std::size_t>(pager_.layout().maxKeys)) {
      pager_.writePage(parent);
      return;
    }
    page = std::move(parent);
  }
}

bool NtxTree::remove(std::string_view key, std::uint32_t record) {
  std::vector<Step> path;
  std::uint32_t offset = pager_.header().root;
  std::size_t slot = 0;
  for (;;) {
    const NtxPage& page = pager_.page(offset);
    slot = firstHolding(page, [&](const NtxItem& item) {
      return !order_.less(item.key, item.record, key, record);
    });
    if (slot < page.count() && page.items[slot].record == record &&
        order_.compareKeys(page.items[slot].key, key) == 0)
      break;
    const std::uint32_t child = page.child(slot);
    if (child == 0) return false;
    descend(path, offset, slot, child);
    offset = child;
  }
  NtxPage page = pager_.page(offset);
  if (page.child(slot) == 0) {
    page.items.erase(page.items.begin() + static_cast<std::ptrdiff_t>(slot));
    pager_.writePage(page);
    rebalanceUpward(path, offset);
    return true;
  }
  // A key with keys before it in a subtree is replaced by the greatest of
  // them, which is taken from the last page of that subtree.
  std::uint32_t leafOffset = page.child(slot);
  descend(path, offset, slot, leafOffset);
  for (;;) {
    const NtxPage& leaf = pager_.page(leafOffset);
    if (leaf.lastChild == 0) break;
    const std::uint32_t next = leaf.lastChild;
    descend(path, leafOffset, leaf.count(), next);
    leafOffset = next;
  }
  NtxPage leaf = pager_.page(leafOffset);
  if (leaf.count() == 0) pager_.corrupt();
  NtxItem greatest = std::move(leaf.items.back());
  leaf.items.pop_back();
  pager_.writePage(leaf);
  page = pager_.page(offset);
  page.items[slot].key = std::move(greatest.key);
  page.items[slot].record = greatest.record;
  pager_.writePage(page);
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
      const NtxPage& root = pager_.page(offset);
      if (root.count() == 0 && root.lastChild != 0) {
        pager_.setRoot(root.lastChild);
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
  NtxPage parent = pager_.page(parentStep.page);
  if (parent.child(parentStep.slot) != offset) pager_.corrupt();
  if (parent.count() == 0) return true;
  const std::size_t at = parentStep.slot > 0 ? parentStep.slot - 1 : 0;
  NtxPage left = pager_.page(parent.child(at));
  NtxPage right = pager_.page(parent.child(at + 1));
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
  const NtxPage page = pager_.page(offset);
  for (std::size_t slot = 0; slot <= page.count(); ++slot) {
    if (std::uint32_t child = page.child(slot); child != 0) walk(child, depth + 1, out, seen);
    if (slot < page.count()) out.push_back(entryOf(page.items[slot]));
  }
}

}  // namespace converte::storage
