// NTX index files written by the storage layer, walked by Perl's XBase
// module: it must find every key, in the layer's order, with its record —
// for freshly built trees of one to three levels, long keys, numeric keys
// with negatives, and a tree grown by insertions with page splits.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/system.h"
#include "storage/index_key.h"
#include "storage/ntx_index.h"
#include "tests/interop/peer.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/scripted_handler.h"
#include "tests/support/temp_dir.h"

namespace converte::testing {
namespace {

using storage::IndexEntry;

class NtxInteropTest : public ::testing::Test {
 protected:
  NtxInteropTest() : fs(platform::newSystemFileSystem()), env(*fs, clock, handler) {}

  std::unique_ptr<storage::NtxIndex> create(int keyLength, const std::vector<IndexEntry>& sorted) {
    storage::IndexDefinition d;
    d.expression = "CODIGO";
    d.keyLength = keyLength;
    return storage::NtxIndex::create(env, dir.file("codigo.ntx"), d, sorted, false);
  }

  // What the peer prints for the index, one "key<TAB>record" per line.
  std::string peerDump(const char* type) {
    PeerResult result = runPeer(peerScript("xbase_ntx_dump.pl"), {dir.file("codigo.ntx"), type});
    EXPECT_EQ(result.status, 0) << describe(result);
    return result.out;
  }

  static std::string characterDump(const std::vector<IndexEntry>& entries) {
    std::string text;
    for (const auto& e : entries) text += e.key + "\t" + std::to_string(e.record) + "\n";
    return text;
  }

  TempDir dir;
  std::unique_ptr<platform::FileSystem> fs;
  FixedClock clock;
  ScriptedHandler handler;
  storage::StorageEnv env;
};

std::vector<IndexEntry> digitKeys(std::size_t count, int keyLength) {
  std::vector<IndexEntry> entries;
  for (std::size_t i = 0; i < count; ++i) {
    std::string digits = std::to_string(i * 3);
    std::string key = std::string(static_cast<std::size_t>(keyLength) - digits.size(), '0') + digits;
    entries.push_back({key, static_cast<std::uint32_t>(count - i)});
  }
  return entries;
}

struct BuildCase {
  const char* name;
  std::size_t keys;
  int keyLength;
};

class NtxInteropBuildTest : public NtxInteropTest, public ::testing::WithParamInterface<BuildCase> {};

TEST_P(NtxInteropBuildTest, XBaseWalksABuiltIndexInTheSameOrder) {
  const auto entries = digitKeys(GetParam().keys, GetParam().keyLength);
  auto index = create(GetParam().keyLength, entries);
  ASSERT_EQ(index->entries(), entries);
  EXPECT_EQ(peerDump("C"), characterDump(entries));
}

INSTANTIATE_TEST_SUITE_P(Sizes, NtxInteropBuildTest,
                         ::testing::Values(BuildCase{"OneKey", 1, 5}, BuildCase{"OnePage", 66, 5},
                                           BuildCase{"TwoLeaves", 67, 5},
                                           BuildCase{"ThreeLevels", 100000, 6},
                                           BuildCase{"LongKeys", 3000, 30}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(NtxInteropTest, XBaseDecodesNegativeNumericKeysInNumericOrder) {
  const storage::KeyShape shape{storage::KeyShape::Numeric, 5, 0};
  std::vector<std::int64_t> values;
  for (std::int64_t v = -600; v <= 600; v += 7) values.push_back(v);
  std::mt19937 random(7);
  std::shuffle(values.begin(), values.end(), random);
  std::vector<IndexEntry> entries;
  for (std::size_t i = 0; i < values.size(); ++i)
    entries.push_back({storage::encodeKey(storage::Number::ofInteger(values[i], 5), shape),
                       static_cast<std::uint32_t>(i + 1)});
  auto index = create(5, entries);
  std::vector<std::pair<std::int64_t, std::uint32_t>> expected;
  for (std::size_t i = 0; i < values.size(); ++i) expected.push_back({values[i], static_cast<std::uint32_t>(i + 1)});
  std::sort(expected.begin(), expected.end());
  std::string text;
  for (auto [v, r] : expected) text += std::to_string(v) + "\t" + std::to_string(r) + "\n";
  EXPECT_EQ(peerDump("N"), text);
}

TEST_F(NtxInteropTest, XBaseWalksAnIndexGrownByInsertionsWithSplits) {
  auto index = create(8, {});
  std::mt19937 random(11);
  for (std::uint32_t r = 1; r <= 4000; ++r) {
    std::string key(8, ' ');
    for (int i = 0; i < 5; ++i) key[static_cast<std::size_t>(i)] = static_cast<char>('A' + random() % 26);
    index->insert(key, r);
    if (r % 5 == 0) {
      auto first = index->first();
      ASSERT_TRUE(first.has_value());
      ASSERT_TRUE(index->remove(first->key, first->record));
    }
  }
  const auto entries = index->entries();
  ASSERT_EQ(entries.size(), 3200u);
  index->flush();  // an exclusive index holds its changes back until then
  EXPECT_EQ(peerDump("C"), characterDump(entries));
}

}  // namespace
}  // namespace converte::testing
