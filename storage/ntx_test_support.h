// Test helpers for NTX files: an environment over a temporary directory,
// entry generators, and an independent reader of the raw file that checks
// the tree's shape (page bounds, key order, leaf depth, free chain, no page
// lost or shared).

#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/system.h"
#include "storage/ntx_index.h"
#include "storage/storage_env.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/scripted_handler.h"
#include "tests/support/temp_dir.h"

namespace converte::testing {

struct NtxFixture {
  NtxFixture() : fs(platform::newSystemFileSystem()), env(*fs, clock, handler) {
    env.defaultDir = dir.path();
  }

  static storage::IndexDefinition definition(int keyLength, bool descending = false,
                                             bool unique = false) {
    storage::IndexDefinition d;
    d.expression = "CODE";
    d.keyLength = keyLength;
    d.unique = unique;
    d.descending = descending;
    return d;
  }

  std::unique_ptr<storage::NtxIndex> create(const std::string& name,
                                            const storage::IndexDefinition& d,
                                            const std::vector<storage::IndexEntry>& sorted,
                                            bool shared = false) {
    return storage::NtxIndex::create(env, dir.file(name), d, sorted, shared);
  }

  TempDir dir;
  std::unique_ptr<platform::FileSystem> fs;
  FixedClock clock;
  ScriptedHandler handler;
  storage::StorageEnv env;
};

// count entries with keys of the zero-padded entry number (length
// keyLength), record numbers 1.., already sorted.
inline std::vector<storage::IndexEntry> numberedEntries(std::size_t count, int keyLength) {
  std::vector<storage::IndexEntry> entries;
  entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::string digits = std::to_string(i);
    std::string key = std::string(static_cast<std::size_t>(keyLength) - digits.size(), '0') + digits;
    entries.push_back({key, static_cast<std::uint32_t>(i + 1)});
  }
  return entries;
}

inline std::uint32_t rawU32(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return v;
}
inline std::uint16_t rawU16(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

// The whole file read back page by page without the engine.
struct NtxImage {
  struct Page {
    std::uint32_t offset = 0;
    std::vector<std::uint32_t> children;  // count + 1
    std::vector<std::uint32_t> records;
    std::vector<std::string> keys;
  };

  explicit NtxImage(const std::string& path) : bytes(readFileBytes(path)) {
    root = rawU32(bytes, 4);
    freePage = rawU32(bytes, 8);
    keyLength = rawU16(bytes, 14);
    maxKeys = rawU16(bytes, 18);
    descending = bytes[280] != 0;
  }

  Page page(std::uint32_t offset) const {
    Page p;
    p.offset = offset;
    const std::size_t count = rawU16(bytes, offset);
    for (std::size_t slot = 0; slot <= count; ++slot) {
      const std::size_t at = offset + rawU16(bytes, offset + 2 + 2 * slot);
      p.children.push_back(rawU32(bytes, at));
      if (slot == count) break;
      p.records.push_back(rawU32(bytes, at + 4));
      p.keys.push_back(bytes.substr(at + 8, keyLength));
    }
    return p;
  }

  bool less(const std::string& ka, std::uint32_t ra, const std::string& kb, std::uint32_t rb) const {
    int c = std::memcmp(ka.data(), kb.data(), keyLength);
    if (descending) c = -c;
    return c != 0 ? c < 0 : ra < rb;
  }

  // Checks the tree and the free chain; returns the entries in order and
  // the depth of every leaf in leafDepths.
  std::vector<storage::IndexEntry> check(std::set<std::size_t>* leafDepths = nullptr,
                                         std::map<std::size_t, std::vector<std::size_t>>* countsByLevel = nullptr) const {
    std::vector<storage::IndexEntry> out;
    std::set<std::uint32_t> seen;
    std::set<std::size_t> depths;
    walk(root, 0, out, seen, depths, countsByLevel);
    EXPECT_LE(depths.size(), 1u) << "leaves at different depths";
    if (leafDepths) *leafDepths = depths;
    for (std::size_t i = 1; i < out.size(); ++i)
      EXPECT_TRUE(less(out[i - 1].key, out[i - 1].record, out[i].key, out[i].record))
          << "order broken at " << i;
    std::set<std::uint32_t> free;
    for (std::uint32_t f = freePage; f != 0; f = page(f).children.at(0)) {
      EXPECT_TRUE(free.insert(f).second) << "free chain loops";
      EXPECT_FALSE(seen.count(f)) << "free page " << f << " is in the tree";
      EXPECT_EQ(rawU16(bytes, f), 0) << "free page with keys";
      if (free.size() > bytes.size() / storage::kNtxPageSize) break;
    }
    EXPECT_EQ(bytes.size() % storage::kNtxPageSize, 0u);
    EXPECT_EQ(seen.size() + free.size() + 1, bytes.size() / storage::kNtxPageSize)
        << "pages neither in the tree nor free";
    return out;
  }

  void walk(std::uint32_t offset, std::size_t depth, std::vector<storage::IndexEntry>& out,
            std::set<std::uint32_t>& seen, std::set<std::size_t>& depths,
            std::map<std::size_t, std::vector<std::size_t>>* counts) const {
    ASSERT_TRUE(offset % storage::kNtxPageSize == 0 && offset >= storage::kNtxPageSize &&
                offset + storage::kNtxPageSize <= bytes.size())
        << offset;
    ASSERT_TRUE(seen.insert(offset).second) << "page " << offset << " reached twice";
    Page p = page(offset);
    ASSERT_LE(p.keys.size(), maxKeys);
    if (offset != root) {
      EXPECT_GE(p.keys.size(), 1u) << "empty page below the root";
    }
    if (counts) (*counts)[depth].push_back(p.keys.size());
    const bool leaf = std::all_of(p.children.begin(), p.children.end(), [](std::uint32_t c) { return c == 0; });
    const bool inner = std::none_of(p.children.begin(), p.children.end(), [](std::uint32_t c) { return c == 0; });
    EXPECT_TRUE(leaf || inner) << "page " << offset << " mixes leaf and inner slots";
    if (leaf) depths.insert(depth);
    for (std::size_t slot = 0; slot < p.children.size(); ++slot) {
      if (p.children[slot] != 0) walk(p.children[slot], depth + 1, out, seen, depths, counts);
      if (slot < p.keys.size()) out.push_back({p.keys[slot], p.records[slot]});
    }
  }

  std::string bytes;
  std::uint32_t root = 0;
  std::uint32_t freePage = 0;
  std::size_t keyLength = 0;
  std::size_t maxKeys = 0;
  bool descending = false;
};

}  // namespace converte::testing
