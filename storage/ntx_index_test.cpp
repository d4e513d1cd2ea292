// NTX index files: header and page bytes, bottom-up builds, a model test of
// insertions and removals, seeks and walks, numeric keys, and the index
// locks with their nesting.

#include "storage/ntx_index.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "errors/error_handler.h"
#include "storage/index_key.h"
#include "storage/ntx_test_support.h"

namespace converte::storage {
namespace {

using testing::NtxFixture;
using testing::NtxImage;
using testing::numberedEntries;
using testing::rawU16;
using testing::rawU32;

class NtxIndexTest : public ::testing::Test, public NtxFixture {};

TEST(NtxMaxKeys, FollowsTheFormulaWithOddCountsMadeEven) {
  const std::pair<int, int> cases[] = {{5, 66}, {8, 54}, {10, 50}, {1, 90}, {30, 24}, {100, 8}, {256, 2}};
  for (auto [length, keys] : cases) EXPECT_EQ(maxKeysPerPage(length), keys) << length;
}

TEST_F(NtxIndexTest, HeaderPageIsWrittenWholeThenOnlyItsStartChanges) {
  IndexDefinition d = definition(5);
  d.expression = "CODFUN_REC";
  auto index = create("a.ntx", d, numberedEntries(3, 5));
  const std::string bytes = testing::readFileBytes(dir.file("a.ntx"));
  ASSERT_EQ(bytes.size(), 2 * kNtxPageSize);
  std::string expected(kNtxPageSize, '\0');
  const unsigned char start[] = {0x06, 0, 1, 0, 0x00, 0x04, 0, 0, 0, 0, 0, 0,
                                 13,   0, 5, 0, 0,    0,    66, 0, 33, 0};
  expected.replace(0, sizeof start, reinterpret_cast<const char*>(start), sizeof start);
  expected.replace(22, 10, "CODFUN_REC");
  EXPECT_EQ(bytes.substr(0, kNtxPageSize), expected);

  index->insert("00009", 9);
  index->flush();  // an exclusive index holds its changes back until then
  const std::string after = testing::readFileBytes(dir.file("a.ntx"));
  EXPECT_EQ(rawU16(after, 2), 2) << "version counter";
  EXPECT_EQ(after.substr(12, kNtxPageSize - 12), expected.substr(12));
}

TEST_F(NtxIndexTest, HeaderCarriesConditionUniqueAndDescendingBytes) {
  IndexDefinition d = definition(8, true, true);
  d.forCondition = "!DELETED()";
  d.keyDecimals = 2;
  create("b.ntx", d, {});
  const std::string bytes = testing::readFileBytes(dir.file("b.ntx"));
  EXPECT_EQ(rawU16(bytes, 0), 0x0007);
  EXPECT_EQ(rawU16(bytes, 12), 16);
  EXPECT_EQ(rawU16(bytes, 16), 2);
  EXPECT_EQ(rawU16(bytes, 18), 54);
  EXPECT_EQ(rawU16(bytes, 20), 27);
  EXPECT_EQ(bytes.substr(278, 4), std::string("\1\0\1\0", 4));
  EXPECT_EQ(bytes.substr(282, 11), std::string("!DELETED()\0", 11));
  EXPECT_EQ(bytes.substr(538, kNtxPageSize - 538), std::string(kNtxPageSize - 538, '\0'));

  auto reopened = NtxIndex::open(env, dir.file("b.ntx"), platform::Access::ReadWrite,
                                 platform::ShareMode::Exclusive);
  EXPECT_EQ(reopened->definition().forCondition, "!DELETED()");
  EXPECT_TRUE(reopened->definition().unique);
  EXPECT_TRUE(reopened->definition().descending);
  EXPECT_EQ(reopened->definition().keyDecimals, 2);
}

TEST_F(NtxIndexTest, PageLayoutPutsItemsAtTheirInitialOffsets) {
  create("p.ntx", definition(5), {{"AAAAA", 7}, {"BBBBB", 3}, {"CCCCC", 12}});
  const std::string bytes = testing::readFileBytes(dir.file("p.ntx"));
  const std::size_t page = kNtxPageSize;
  EXPECT_EQ(rawU32(bytes, 4), page) << "root";
  EXPECT_EQ(rawU16(bytes, page), 3);
  for (std::size_t slot = 0; slot <= 66; ++slot)
    EXPECT_EQ(rawU16(bytes, page + 2 + 2 * slot), 136 + slot * 13) << slot;
  const std::pair<const char*, std::uint32_t> items[] = {{"AAAAA", 7}, {"BBBBB", 3}, {"CCCCC", 12}};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::size_t at = page + 136 + i * 13;
    EXPECT_EQ(rawU32(bytes, at), 0u);
    EXPECT_EQ(rawU32(bytes, at + 4), items[i].second);
    EXPECT_EQ(bytes.substr(at + 8, 5), items[i].first);
  }
  EXPECT_EQ(rawU32(bytes, page + 136 + 3 * 13), 0u) << "child after the last key";
}

struct BuildCase {
  std::size_t keys;
  std::size_t levels;
};

class NtxBuildTest : public NtxIndexTest, public ::testing::WithParamInterface<BuildCase> {};

TEST_P(NtxBuildTest, BuildsAValidTreeOfTheExpectedHeight) {
  const auto entries = numberedEntries(GetParam().keys, 5);
  auto index = create("t.ntx", definition(5), entries);
  NtxImage image(dir.file("t.ntx"));
  std::set<std::size_t> depths;
  std::map<std::size_t, std::vector<std::size_t>> counts;
  EXPECT_EQ(image.check(&depths, &counts), entries);
  ASSERT_EQ(depths.size(), 1u);
  EXPECT_EQ(*depths.begin() + 1, GetParam().levels);
  const std::vector<std::size_t>& leaves = counts[GetParam().levels - 1];
  // Leaves are full from the left; the last ones of a subtree may share
  // what is left, but none is less than half full.
  for (std::size_t keys : leaves) EXPECT_TRUE(leaves.size() == 1 || (keys >= 33 && keys <= 66)) << keys;
  if (GetParam().levels == 2) {
    for (std::size_t i = 0; i + 2 < leaves.size(); ++i) EXPECT_EQ(leaves[i], 66u) << i;
  }
  EXPECT_EQ(index->entries(), entries);
  EXPECT_EQ(index->first(), entries.empty() ? std::nullopt : std::optional(entries.front()));
  EXPECT_EQ(index->last(), entries.empty() ? std::nullopt : std::optional(entries.back()));
}

INSTANTIATE_TEST_SUITE_P(Sizes, NtxBuildTest,
                         ::testing::Values(BuildCase{0, 1}, BuildCase{1, 1}, BuildCase{66, 1},
                                           BuildCase{67, 2}, BuildCase{1000, 2},
                                           BuildCase{4488, 2}, BuildCase{4489, 3},
                                           BuildCase{100000, 3}));

TEST_F(NtxIndexTest, ThousandKeysGiveFullLeavesExceptTheLast) {
  create("k.ntx", definition(5), numberedEntries(1000, 5));
  std::map<std::size_t, std::vector<std::size_t>> counts;
  NtxImage(dir.file("k.ntx")).check(nullptr, &counts);
  std::vector<std::size_t> expected(14, 66);
  expected.push_back(62);
  EXPECT_EQ(counts[1], expected);
  EXPECT_EQ(counts[0], std::vector<std::size_t>{14});
}

TEST_F(NtxIndexTest, SixtySevenKeysSplitIntoTwoBalancedLeaves) {
  create("s.ntx", definition(5), numberedEntries(67, 5));
  std::map<std::size_t, std::vector<std::size_t>> counts;
  NtxImage(dir.file("s.ntx")).check(nullptr, &counts);
  EXPECT_EQ(counts[0], std::vector<std::size_t>{1});
  EXPECT_EQ(counts[1], (std::vector<std::size_t>{33, 33}));
}

TEST_F(NtxIndexTest, UnsortedInputAndUniqueIndexes) {
  auto index = create("u.ntx", definition(3, false, true),
                      {{"BBB", 4}, {"AAA", 9}, {"BBB", 2}, {"AAA", 1}, {"CCC", 5}});
  const std::vector<IndexEntry> expected = {{"AAA", 1}, {"BBB", 2}, {"CCC", 5}};
  EXPECT_EQ(index->entries(), expected);
  index->insert("BBB", 1);
  index->insert("DDD", 3);
  EXPECT_EQ(index->entries(), (std::vector<IndexEntry>{{"AAA", 1}, {"BBB", 2}, {"CCC", 5}, {"DDD", 3}}));
}

// Thousands of random changes checked against a std::multiset after every
// batch: entries, B-tree shape, free chain, seeks and stateless walks.
struct ModelCase {
  int keyLength;
  bool descending;
};

class NtxModelTest : public NtxIndexTest, public ::testing::WithParamInterface<ModelCase> {
 protected:
  struct Less {
    bool descending;
    bool operator()(const IndexEntry& a, const IndexEntry& b) const {
      int c = a.key.compare(b.key);
      if (descending) c = -c;
      return c != 0 ? c < 0 : a.record < b.record;
    }
  };
  using Model = std::set<IndexEntry, Less>;

  std::string randomKey(std::mt19937& random) const {
    std::string key(static_cast<std::size_t>(GetParam().keyLength), ' ');
    const char letters[] = "ABCDEFGH";
    key[0] = letters[random() % 8];
    key[1] = letters[random() % 8];
    if (key.size() > 2) key[2] = letters[random() % 4];
    return key;
  }

  void checkAgainst(NtxIndex& index, const Model& model, std::mt19937& random) {
    const std::vector<IndexEntry> expected(model.begin(), model.end());
    ASSERT_EQ(index.entries(), expected);
    index.flush();
    ASSERT_EQ(NtxImage(index.path()).check(), expected);
    Less less = model.key_comp();
    for (int probe = 0; probe < 40; ++probe) {
      IndexEntry at{randomKey(random), static_cast<std::uint32_t>(random() % 3000)};
      auto after = model.upper_bound(at);
      EXPECT_EQ(index.next(at.key, at.record), after == model.end() ? std::nullopt : std::optional(*after));
      auto before = model.lower_bound(at);
      EXPECT_EQ(index.previous(at.key, at.record),
                before == model.begin() ? std::nullopt : std::optional(*std::prev(before)));
      const std::string partial = at.key.substr(0, 1 + random() % 2);
      std::optional<IndexEntry> firstAtLeast, lastAtMost;
      for (const IndexEntry& e : expected) {
        const int c = e.key.compare(0, partial.size(), partial) * (less.descending ? -1 : 1);
        if (c >= 0 && !firstAtLeast) firstAtLeast = e;
        if (c <= 0) lastAtMost = e;
      }
      EXPECT_EQ(index.seek(partial, false), firstAtLeast) << partial;
      EXPECT_EQ(index.seek(partial, true), lastAtMost) << partial;
    }
  }
};

TEST_P(NtxModelTest, RandomInsertsAndRemovesKeepAValidTree) {
  std::mt19937 random(20240611u + static_cast<unsigned>(GetParam().keyLength));
  Model model(Less{GetParam().descending});
  std::vector<IndexEntry> initial;
  for (std::uint32_t r = 1; r <= 300; ++r) initial.push_back({randomKey(random), r});
  for (const auto& e : initial) model.insert(e);
  auto index = create("m.ntx", definition(GetParam().keyLength, GetParam().descending), initial);
  std::uint32_t nextRecord = 301;
  for (int batch = 0; batch < 30; ++batch) {
    // Batches lean to growing, then to shrinking, so pages split and merge.
    const bool growing = batch % 10 < 6;
    for (int step = 0; step < 150; ++step) {
      if (model.empty() || random() % 100 < (growing ? 70u : 25u)) {
        IndexEntry e{randomKey(random), nextRecord++};
        index->insert(e.key, e.record);
        model.insert(e);
      } else {
        auto victim = std::next(model.begin(), static_cast<std::ptrdiff_t>(random() % model.size()));
        ASSERT_TRUE(index->remove(victim->key, victim->record));
        model.erase(victim);
      }
    }
    EXPECT_FALSE(index->remove(randomKey(random), nextRecord + 5));
    checkAgainst(*index, model, random);
    if (HasFatalFailure()) return;
  }
  while (!model.empty()) {
    ASSERT_TRUE(index->remove(model.begin()->key, model.begin()->record));
    model.erase(model.begin());
  }
  checkAgainst(*index, model, random);
  index->close();
  auto reopened = NtxIndex::open(env, dir.file("m.ntx"), platform::Access::ReadWrite,
                                 platform::ShareMode::Exclusive);
  EXPECT_TRUE(reopened->entries().empty());
  reopened->insert(randomKey(random), 1);
  EXPECT_EQ(reopened->entries().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Shapes, NtxModelTest,
                         ::testing::Values(ModelCase{100, false}, ModelCase{100, true},
                                           ModelCase{5, false}, ModelCase{256, false}));

TEST_F(NtxIndexTest, FreedPagesAreReusedBeforeTheFileGrows) {
  auto index = create("f.ntx", definition(100), numberedEntries(200, 100));
  for (std::uint32_t r = 1; r <= 150; ++r) ASSERT_TRUE(index->remove(numberedEntries(r, 100).back().key, r));
  index->flush();
  NtxImage shrunk(dir.file("f.ntx"));
  shrunk.check();
  ASSERT_NE(shrunk.freePage, 0u);
  const std::size_t size = shrunk.bytes.size();
  for (std::uint32_t r = 1; r <= 40; ++r) index->insert(numberedEntries(r, 100).back().key, r);
  index->flush();
  NtxImage grown(dir.file("f.ntx"));
  EXPECT_EQ(grown.check().size(), 90u);
  EXPECT_EQ(grown.bytes.size(), size);
}

TEST_F(NtxIndexTest, RebuildRewritesTheTreeFromTheFirstPage) {
  auto index = create("r.ntx", definition(5), numberedEntries(5000, 5));
  const auto fewer = numberedEntries(70, 5);
  index->rebuild(fewer);
  index->flush();
  NtxImage image(dir.file("r.ntx"));
  EXPECT_EQ(image.check(), fewer);
  EXPECT_EQ(image.bytes.size(), 4 * kNtxPageSize);
  EXPECT_EQ(image.freePage, 0u);
  EXPECT_EQ(index->definition().expression, "CODE");
}

TEST_F(NtxIndexTest, SeekFindsPartialKeysAndTheLastOfEqualKeys) {
  auto index = create("q.ntx", definition(5),
                      {{"AB001", 4}, {"AB001", 8}, {"AB002", 1}, {"AC001", 2}, {"B0000", 3}});
  const struct {
    const char* value;
    bool last;
    std::optional<IndexEntry> expected;
  } cases[] = {
      {"AB001", false, IndexEntry{"AB001", 4}}, {"AB001", true, IndexEntry{"AB001", 8}},
      {"AB", false, IndexEntry{"AB001", 4}},    {"AB", true, IndexEntry{"AB002", 1}},
      {"AA", false, IndexEntry{"AB001", 4}},    {"AA", true, std::nullopt},
      {"ZZ", false, std::nullopt},              {"ZZ", true, IndexEntry{"B0000", 3}},
      {"", false, IndexEntry{"AB001", 4}},      {"AB0015", false, IndexEntry{"AB001", 4}},
  };
  for (const auto& c : cases) EXPECT_EQ(index->seek(c.value, c.last), c.expected) << c.value << c.last;
  EXPECT_EQ(index->next("AB001", 4), (IndexEntry{"AB001", 8}));
  EXPECT_EQ(index->previous("AB002", 1), (IndexEntry{"AB001", 8}));
  EXPECT_EQ(index->next("B0000", 3), std::nullopt);
  EXPECT_EQ(index->previous("AB001", 4), std::nullopt);
}

TEST(NtxNumericKeys, NegativesMapTheirDigitsAndSortFirst) {
  const KeyShape shape{KeyShape::Numeric, 5, 0};
  EXPECT_EQ(encodeKey(Number::ofInteger(-5, 5), shape), ",,,,'");
  EXPECT_EQ(encodeKey(Number::ofInteger(5, 5), shape), "00005");
  EXPECT_EQ(encodeKey(Number::ofInteger(-9, 5), shape), ",,,,#");
  EXPECT_EQ(encodeKey(Number::ofInteger(-1234, 5), shape), ",+*)(");
  const KeyShape decimals{KeyShape::Numeric, 7, 2};
  const double values[] = {-999.99, -100.25, -9.5, -1.5, -1.25, -0.5, 0, 0.01, 0.5, 1.25, 99.99, 9999.99};
  std::string previous;
  for (double v : values) {
    std::string key = encodeKey(Number::ofReal(v, 4, 2), decimals);
    ASSERT_EQ(key.size(), 7u);
    if (!previous.empty()) {
      EXPECT_LT(previous, key) << v;
    }
    previous = key;
  }
}

TEST_F(NtxIndexTest, NumericKeysWithNegativesComeOutInNumericOrder) {
  const KeyShape shape{KeyShape::Numeric, 5, 0};
  const std::int64_t values[] = {5, -9, 0, 1234, -5, -1234, 42, -1};
  std::vector<IndexEntry> entries;
  std::uint32_t record = 1;
  for (auto v : values) entries.push_back({encodeKey(Number::ofInteger(v, 5), shape), record++});
  auto index = create("n.ntx", definition(5), entries);
  std::vector<std::uint32_t> order;
  for (const auto& e : index->entries()) order.push_back(e.record);
  EXPECT_EQ(order, (std::vector<std::uint32_t>{6, 2, 5, 8, 3, 1, 7, 4}));
}

// The calls the index makes on its file, for counting OS lock requests.
struct LockLog {
  std::vector<std::string> calls;
};

class LoggingFile final : public platform::File {
 public:
  LoggingFile(std::unique_ptr<platform::File> file, LockLog& log) : file_(std::move(file)), log_(log) {}
  platform::Result<std::size_t> readAt(std::uint64_t o, std::span<std::byte> out) override { return file_->readAt(o, out); }
  platform::Status writeAt(std::uint64_t o, std::span<const std::byte> d) override { return file_->writeAt(o, d); }
  platform::Result<std::uint64_t> size() override { return file_->size(); }
  platform::Status truncate(std::uint64_t s) override { return file_->truncate(s); }
  platform::Status flush() override { return file_->flush(); }
  platform::Status close() override { return file_->close(); }
  platform::Result<bool> tryLock(std::uint64_t o, std::uint64_t l, platform::LockKind k) override {
    log_.calls.push_back("tryLock " + std::to_string(o));
    return file_->tryLock(o, l, k);
  }
  platform::Status lockWait(std::uint64_t o, std::uint64_t l, platform::LockKind k) override {
    log_.calls.push_back(std::string(k == platform::LockKind::Shared ? "shared " : "exclusive ") +
                         std::to_string(o) + " " + std::to_string(l));
    return file_->lockWait(o, l, k);
  }
  platform::Status unlock(std::uint64_t o, std::uint64_t l) override {
    log_.calls.push_back("unlock " + std::to_string(o) + " " + std::to_string(l));
    return file_->unlock(o, l);
  }
  const std::string& path() const override { return file_->path(); }

 private:
  std::unique_ptr<platform::File> file_;
  LockLog& log_;
};

class LoggingFileSystem final : public platform::FileSystem {
 public:
  LoggingFileSystem(platform::FileSystem& fs, LockLog& log) : fs_(fs), log_(log) {}
  platform::Result<std::unique_ptr<platform::File>> open(std::string_view p, platform::Access a,
                                                         platform::ShareMode s) override {
    return wrap(fs_.open(p, a, s));
  }
  platform::Result<std::unique_ptr<platform::File>> create(std::string_view p) override { return wrap(fs_.create(p)); }
  platform::Result<std::unique_ptr<platform::File>> createTemporary(std::string_view d, std::string_view p) override {
    return wrap(fs_.createTemporary(d, p));
  }
  bool exists(std::string_view p) override { return fs_.exists(p); }
  bool isDirectory(std::string_view p) override { return fs_.isDirectory(p); }
  platform::Status erase(std::string_view p) override { return fs_.erase(p); }
  platform::Status rename(std::string_view f, std::string_view t) override { return fs_.rename(f, t); }
  platform::Result<std::vector<std::string>> list(std::string_view d, std::string_view p) override {
    return fs_.list(d, p);
  }
  std::string resolve(std::string_view p) override { return fs_.resolve(p); }
  void pause() override { log_.calls.push_back("pause"); }

 private:
  platform::Result<std::unique_ptr<platform::File>> wrap(platform::Result<std::unique_ptr<platform::File>> opened) {
    if (!opened) return opened;
    return std::unique_ptr<platform::File>(std::make_unique<LoggingFile>(std::move(*opened), log_));
  }
  platform::FileSystem& fs_;
  LockLog& log_;
};

class NtxLockTest : public NtxIndexTest {
 protected:
  NtxLockTest() : logging(*fs, log), loggingEnv(logging, clock, handler) {}

  std::unique_ptr<NtxIndex> openLogged(platform::ShareMode share) {
    create("l.ntx", definition(5), numberedEntries(500, 5));
    auto index = NtxIndex::open(loggingEnv, dir.file("l.ntx"), platform::Access::ReadWrite, share);
    log.calls.clear();
    return index;
  }

  LockLog log;
  LoggingFileSystem logging;
  StorageEnv loggingEnv;
};

TEST_F(NtxLockTest, EachCallTakesTheLockByteSharedForReadsExclusiveForChanges) {
  auto index = openLogged(platform::ShareMode::Shared);
  index->seek("00100", false);
  index->insert("99999", 9999);
  EXPECT_EQ(log.calls, (std::vector<std::string>{"shared 1000000000 1", "unlock 1000000000 1",
                                                 "exclusive 1000000000 1", "unlock 1000000000 1"}));
}

TEST_F(NtxLockTest, NestedLocksTouchTheFileOnlyAtTheOutermostLevel) {
  auto index = openLogged(platform::ShareMode::Shared);
  index->lockWrite();
  index->remove("00100", 101);
  index->insert("00100", 700);
  index->lockRead();
  EXPECT_EQ(index->seek("00100", false), (IndexEntry{"00100", 700}));
  index->unlockRead();
  index->unlockWrite();
  index->lockRead();
  index->lockRead();
  EXPECT_TRUE(index->first().has_value());
  index->unlockRead();
  index->unlockRead();
  EXPECT_EQ(log.calls, (std::vector<std::string>{"exclusive 1000000000 1", "unlock 1000000000 1",
                                                 "shared 1000000000 1", "unlock 1000000000 1"}));
}

TEST_F(NtxLockTest, ExclusiveUseRequestsNoLock) {
  auto index = openLogged(platform::ShareMode::Exclusive);
  index->lockWrite();
  index->insert("99999", 9999);
  index->unlockWrite();
  EXPECT_TRUE(index->seek("99999", false).has_value());
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(NtxLockTest, AWriteLockInsideAReadLockIsALockFailure) {
  auto index = openLogged(platform::ShareMode::Shared);
  index->lockRead();
  EXPECT_THROW(index->insert("99999", 9999), errors::ErrorAbandoned);
  ASSERT_EQ(handler.records.size(), 1u);
  EXPECT_EQ(handler.records[0].genCode, 41);
  EXPECT_EQ(handler.records[0].subCode, 1038);
  EXPECT_EQ(handler.records[0].description, "Lock Failure");
  EXPECT_EQ(handler.records[0].fileName, dir.file("l.ntx"));
  index->unlockRead();
  index->insert("99999", 9999);
  EXPECT_EQ(index->last(), (IndexEntry{"99999", 9999}));
}

TEST_F(NtxIndexTest, ASecondOpenSeesChangesThroughTheVersionCounter) {
  auto writer = create("v.ntx", definition(5), numberedEntries(60, 5), true);
  auto reader = NtxIndex::open(env, dir.file("v.ntx"), platform::Access::ReadWrite,
                               platform::ShareMode::Shared);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->entries().size(), 60u);
  for (std::uint32_t r = 1; r <= 500; ++r) writer->insert("X" + std::to_string(10000 + r).substr(1), 1000 + r);
  EXPECT_EQ(reader->entries(), writer->entries());
  EXPECT_EQ(reader->last(), (IndexEntry{"X0500", 1500}));
  reader->remove("00000", 1);
  EXPECT_EQ(writer->first(), (IndexEntry{"00001", 2}));
}

}  // namespace
}  // namespace converte::storage
