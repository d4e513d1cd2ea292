// The B-tree of an NTX file: searches that descend from the root, key
// insertion with page splits, and key removal that keeps every page in use
// (borrowing from or merging with a neighbour, freeing emptied pages).
// Callers hold the index lock; every page comes from the pager.

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
  std::size_t firstHolding(const NtxPage& page, const Predicate& holds) const;
  void checkDepth(std::size_t depth);
  void splitUpward(std::vector<Step>& path, NtxPage page);
  void rebalanceUpward(std::vector<Step>& path, std::uint32_t offset);
  bool fixUnderflow(const Step& parentStep, std::uint32_t offset);
  void walk(std::uint32_t offset, std::size_t depth, std::vector<IndexEntry>& out,
            std::unordered_set<std::uint32_t>& seen);
  void descend(std::vector<Step>& path, std::uint32_t from, std::size_t slot, std::uint32_t to);

  NtxPager& pager_;
  KeyOrder order_;
};

}  // namespace converte::storage
