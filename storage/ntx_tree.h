// The B-tree of an NTX file: searches that descend from the root, key
// insertion with page splits, and key removal that keeps every page in use
// (borrowing from or merging with a neighbour, freeing emptied pages).
// Callers hold the index lock; every page comes from the pager. Searches
// read the pager's page bytes in place; a change touches the bytes of the
// one page it changes, and only splits and merges work on decoded pages.

#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "storage/ntx_index.h"
#include "storage/ntx_pager.h"

namespace converte::storage {

// Key order: bytes compared as unsigned over the shorter length, reversed
// in a descending index; records ascending within equal keys.
struct KeyOrder {
  bool descending = false;

  int compareKeys(std::string_view a, std::string_view b) const;
  bool less(std::string_view keyA, std::uint32_t recordA, std::string_view keyB,
            std::uint32_t recordB) const;
};

class NtxTree {
 public:
  NtxTree(NtxPager& pager, KeyOrder order) : pager_(pager), order_(order) {}

  // For a predicate that is false and then true along key order: the first
  // entry for which it holds, and the last for which it does not.
  using Predicate = std::function<bool(const NtxItem&)>;
  std::optional<IndexEntry> firstWhere(const Predicate& holds);
  std::optional<IndexEntry> lastBefore(const Predicate& holds);

  void insert(std::string_view key, std::uint32_t record);
  bool remove(std::string_view key, std::uint32_t record);
  // Every entry in order; a page reached twice is corruption.
  std::vector<IndexEntry> entries();

  const KeyOrder& order() const { return order_; }

 private:
  struct Step {
    std::uint32_t page;
    std::size_t slot;
  };
  // A page's items with one more added, as item bytes one after another.
  struct Overflow {
    std::uint32_t offset = 0;
    std::uint32_t lastChild = 0;
    std::size_t count = 0;
    std::vector<std::byte> items;

    void gather(const NtxPageView& page, std::size_t at, const std::byte* added,
                std::size_t itemSize);
  };
  std::size_t firstHolding(const NtxPageView& page, const Predicate& holds);
  template <bool kBranchless, typename Before>
  static std::size_t firstNotBefore(const NtxPageView& page, Before before);
  std::size_t insertSlot(const NtxPageView& page, std::string_view key, std::uint32_t record) const;
  std::size_t removeSlot(const NtxPageView& page, std::string_view key, std::uint32_t record) const;
  void checkDepth(std::size_t depth);
  void splitUpward(std::vector<Step>& path, const NtxPageView& full, std::size_t slot,
                   const std::byte* item);
  void rebalanceUpward(std::vector<Step>& path, std::uint32_t offset);
  bool fixUnderflow(const Step& parentStep, std::uint32_t offset);
  void walk(std::uint32_t offset, std::size_t depth, std::vector<IndexEntry>& out,
            std::unordered_set<std::uint32_t>& seen);
  void descend(std::vector<Step>& path, std::uint32_t from, std::size_t slot, std::uint32_t to);

  NtxPager& pager_;
  KeyOrder order_;
  NtxItem probe_;            // the item a predicate is asked about
  std::vector<Step> path_;   // the pages above the one being changed
};

}  // namespace converte::storage
