// Building an NTX tree bottom-up from entries sorted by key, then record:
// pages are filled to the maximum from the left and written in the order
// they are completed, starting at the first page after the header, through
// one large sequential buffer.

#pragma once

#include <cstdint>
#include <vector>

#include "storage/ntx_index.h"
#include "storage/ntx_pager.h"

namespace converte::storage {

struct BuiltTree {
  std::uint32_t root = 0;
  std::uint64_t end = 0;  // the file size after the last page
};

// Writes the pages of a tree holding sorted (in a unique index only the
// first entry of each key) from offset 1024 on. The header is not touched.
BuiltTree buildTree(NtxPager& pager, const std::vector<IndexEntry>& sorted);

}  // namespace converte::storage
