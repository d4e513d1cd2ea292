// Changes held back in exclusive use: the same random inserts, removals and
// key changes made through a shared pager (every change written at once)
// and an exclusive one (changes held in memory, pushed out by a small or a
// large cache) leave the same file bytes once closed; close and the
// destructor write everything held; the page cache itself.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "storage/ntx_page_cache.h"
#include "storage/ntx_page_view.h"
#include "storage/ntx_pager.h"
#include "storage/ntx_test_support.h"
#include "storage/ntx_tree.h"

namespace converte::storage {
namespace {

using testing::NtxFixture;
using testing::NtxImage;

struct Less {
  bool descending = false;
  bool operator()(const IndexEntry& a, const IndexEntry& b) const {
    int c = a.key.compare(b.key);
    if (descending) c = -c;
    return c != 0 ? c < 0 : a.record < b.record;
  }
};

// One step of a script: kind i inserts, r removes an entry that is there,
// m removes one that is not, u changes a key (removal and insertion under
// one write lock), b inserts three keys under an outer write lock, f
// flushes.
struct Step {
  char kind;
  IndexEntry entry;
  IndexEntry other;
};

struct WriteBackCase {
  int keyLength;
  bool descending;
  std::size_t cachePages;  // 0: the standard cache of exclusive use
};

class NtxWriteBackTest : public ::testing::Test,
                         public NtxFixture,
                         public ::testing::WithParamInterface<WriteBackCase> {
 protected:
  // A pager and a tree on one copy of the file.
  struct Open {
    std::unique_ptr<NtxPager> pager;
    std::unique_ptr<NtxTree> tree;
  };

  Open openCopy(const std::string& name, bool shared) {
    const std::string path = dir.file(name);
    auto file = fs->open(path, platform::Access::ReadWrite,
                         shared ? platform::ShareMode::Shared : platform::ShareMode::Exclusive);
    EXPECT_TRUE(file.ok()) << name;
    NtxCacheLimits limits = NtxCacheLimits::standard(shared);
    if (!shared && GetParam().cachePages != 0) limits.pages = GetParam().cachePages;
    Open open;
    open.pager =
        std::make_unique<NtxPager>(env, std::move(*file), path, NtxHeader{}, shared, limits);
    open.pager->loadHeader();
    open.tree = std::make_unique<NtxTree>(*open.pager, KeyOrder{GetParam().descending});
    return open;
  }

  std::string randomKey(std::mt19937& random) const {
    std::string key(static_cast<std::size_t>(GetParam().keyLength), ' ');
    const char letters[] = "ABCDEFGHIJ";
    for (std::size_t i = 0; i < key.size() && i < 3; ++i) key[i] = letters[random() % 10];
    return key;
  }

  // The script, played against the model so that removals find entries.
  std::vector<Step> script(std::mt19937& random, std::vector<IndexEntry>& live,
                           std::uint32_t& nextRecord) const {
    std::vector<Step> steps;
    auto take = [&] {
      const std::size_t at = random() % live.size();
      IndexEntry taken = live[at];
      live[at] = live.back();
      live.pop_back();
      return taken;
    };
    for (int i = 0; i < 3000; ++i) {
      const unsigned dice = random() % 100;
      if (i % 1000 == 999) {
        steps.push_back({'f', {}, {}});
      } else if (live.empty() || dice < 45) {
        steps.push_back({'i', {randomKey(random), nextRecord++}, {}});
        live.push_back(steps.back().entry);
      } else if (dice < 75) {
        steps.push_back({'r', take(), {}});
      } else if (dice < 80) {
        steps.push_back({'m', {randomKey(random), nextRecord + 7}, {}});
      } else if (dice < 92) {
        steps.push_back({'u', take(), {randomKey(random), 0}});
        steps.back().other.record = steps.back().entry.record;
        live.push_back(steps.back().other);
      } else {
        steps.push_back(
            {'b', {randomKey(random), nextRecord++}, {randomKey(random), nextRecord++}});
        live.push_back(steps.back().entry);
        live.push_back(steps.back().other);
      }
    }
    steps.push_back({'i', {randomKey(random), nextRecord++}, {}});  // ends with a change
    live.push_back(steps.back().entry);
    return steps;
  }

  static void play(Open& open, const std::vector<Step>& steps) {
    NtxPager& pager = *open.pager;
    NtxTree& tree = *open.tree;
    for (const Step& step : steps) {
      NtxWriteSection section(pager);
      switch (step.kind) {
        case 'i':
          tree.insert(step.entry.key, step.entry.record);
          break;
        case 'r':
          ASSERT_TRUE(tree.remove(step.entry.key, step.entry.record));
          break;
        case 'm':
          ASSERT_FALSE(tree.remove(step.entry.key, step.entry.record));
          break;
        case 'u':
          ASSERT_TRUE(tree.remove(step.entry.key, step.entry.record));
          tree.insert(step.other.key, step.other.record);
          break;
        case 'b':
          for (const IndexEntry* e : {&step.entry, &step.other}) {
            NtxWriteSection inner(pager);
            tree.insert(e->key, e->record);
            inner.commit();
          }
          break;
        case 'f':
          pager.flush();
          break;
      }
      section.commit();
    }
  }
};

TEST_P(NtxWriteBackTest, ExclusiveUseLeavesTheBytesWriteThroughLeaves) {
  std::mt19937 random(7001u + static_cast<unsigned>(GetParam().keyLength));
  const Less less{GetParam().descending};
  std::vector<IndexEntry> initial;
  std::uint32_t nextRecord = 1;
  for (; nextRecord <= 1200; ++nextRecord) initial.push_back({randomKey(random), nextRecord});
  std::sort(initial.begin(), initial.end(), less);
  create("start.ntx", definition(GetParam().keyLength, GetParam().descending), initial)->close();
  const std::string start = testing::readFileBytes(dir.file("start.ntx"));
  for (const char* name : {"through.ntx", "back.ntx"}) {
    auto copy = fs->create(dir.file(name));
    ASSERT_TRUE(copy.ok());
    ASSERT_TRUE((*copy)->writeAt(0, std::as_bytes(std::span(start.data(), start.size()))).ok());
    ASSERT_TRUE((*copy)->close().ok());
  }
  std::vector<IndexEntry> live = initial;
  const std::vector<Step> steps = script(random, live, nextRecord);

  Open through = openCopy("through.ntx", true);
  Open back = openCopy("back.ntx", false);
  play(through, steps);
  play(back, steps);
  if (HasFatalFailure()) return;
  const std::string throughOpen = testing::readFileBytes(dir.file("through.ntx"));
  const std::string backOpen = testing::readFileBytes(dir.file("back.ntx"));
  through.pager->close();
  back.pager->close();
  const std::string throughClosed = testing::readFileBytes(dir.file("through.ntx"));
  const std::string backClosed = testing::readFileBytes(dir.file("back.ntx"));

  EXPECT_EQ(throughOpen, throughClosed) << "shared use writes every change at once";
  EXPECT_NE(backOpen, backClosed) << "exclusive use holds the last changes until close";
  ASSERT_EQ(backClosed.size(), throughClosed.size());
  EXPECT_TRUE(backClosed == throughClosed) << "the closed files differ";

  std::sort(live.begin(), live.end(), less);
  const NtxImage image(dir.file("back.ntx"));
  EXPECT_EQ(image.check(), live);
  // Every page is what encoding its items writes, as when pages were
  // decoded, changed and encoded again.
  const NtxLayout layout{GetParam().keyLength, GetParam().keyLength + 8,
                         maxKeysPerPage(GetParam().keyLength)};
  for (std::size_t at = kNtxPageSize; at < image.bytes.size(); at += kNtxPageSize) {
    const auto* page = reinterpret_cast<const std::byte*>(image.bytes.data() + at);
    EXPECT_TRUE(laidOutAsWritten(
        layout, std::span<const std::byte, kNtxPageSize>(page, kNtxPageSize), image.bytes.size()))
        << "page at " << at;
  }
  auto reopened = NtxIndex::open(env, dir.file("back.ntx"), platform::Access::ReadWrite,
                                 platform::ShareMode::Exclusive);
  ASSERT_TRUE(reopened);
  EXPECT_EQ(reopened->entries(), live);
}

INSTANTIATE_TEST_SUITE_P(Shapes, NtxWriteBackTest,
                         ::testing::Values(WriteBackCase{100, false, 64},
                                           WriteBackCase{100, true, 64},
                                           WriteBackCase{5, false, 64},
                                           WriteBackCase{256, false, 64},
                                           WriteBackCase{5, false, 0}, WriteBackCase{20, true, 0}));

class NtxCloseTest : public ::testing::Test, public NtxFixture {};

// Through the index interface: a flush writes everything so far, and the
// destructor (without close) everything after it; the version counter has
// moved once per call that changed the tree, as write-through moves it.
TEST_F(NtxCloseTest, FlushAndTheDestructorWriteEverythingHeldBack) {
  std::mt19937 random(4242);
  std::set<IndexEntry, Less> model;
  auto index = create("c.ntx", definition(8), {});
  int changes = 0;
  std::uint32_t record = 0;
  auto change = [&](int count) {
    for (int i = 0; i < count; ++i) {
      IndexEntry e{std::to_string(10000000 + random() % 90000000), ++record};
      if (!model.empty() && random() % 4 == 0) {
        auto victim =
            std::next(model.begin(), static_cast<std::ptrdiff_t>(random() % model.size()));
        ASSERT_TRUE(index->remove(victim->key, victim->record));
        model.erase(victim);
      } else {
        index->insert(e.key, e.record);
        model.insert(e);
      }
      ++changes;
      EXPECT_FALSE(index->remove("00000000", 999999));
    }
  };
  change(3000);
  index->flush();
  const std::vector<IndexEntry> flushed(model.begin(), model.end());
  EXPECT_EQ(NtxImage(dir.file("c.ntx")).check(), flushed);
  change(2000);
  index.reset();

  const std::vector<IndexEntry> expected(model.begin(), model.end());
  const NtxImage image(dir.file("c.ntx"));
  EXPECT_EQ(image.check(), expected);
  EXPECT_EQ(testing::rawU16(image.bytes, 2), static_cast<std::uint16_t>(1 + changes));
  auto reopened = NtxIndex::open(env, dir.file("c.ntx"), platform::Access::ReadWrite,
                                 platform::ShareMode::Exclusive);
  ASSERT_TRUE(reopened);
  EXPECT_EQ(reopened->entries(), expected);
}

// The least recently used page goes first, written only when dirty; what
// stays dirty goes out in offset order, pages next to each other in one
// write.
TEST(NtxPageCacheTest, PushesOutTheLeastRecentlyUsedAndWritesDirtyPagesOnce) {
  std::map<std::uint32_t, std::vector<std::byte>> written;
  std::vector<std::pair<std::uint32_t, std::size_t>> writes;
  NtxPageCache cache(64, [&](std::uint32_t offset, std::span<const std::byte> bytes) {
    writes.emplace_back(offset, bytes.size());
    for (std::size_t at = 0; at < bytes.size(); at += kNtxPageSize) {
      auto& page = written[offset + static_cast<std::uint32_t>(at)];
      EXPECT_TRUE(page.empty()) << "page " << offset + at << " written twice";
      page.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                  bytes.begin() + static_cast<std::ptrdiff_t>(at + kNtxPageSize));
    }
  });
  auto offsetOf = [](std::uint32_t page) {
    return page * static_cast<std::uint32_t>(kNtxPageSize);
  };
  for (std::uint32_t page = 1; page <= 64; ++page) {
    NtxPageBytes& bytes = cache.add(offsetOf(page));
    bytes.fill(std::byte{0});
    bytes[0] = static_cast<std::byte>(page);
    if (page % 2 == 0 || (page >= 10 && page <= 20)) cache.setDirty(offsetOf(page));
  }
  ASSERT_NE(cache.find(offsetOf(1)), nullptr);  // page 2 is now the least recently used
  cache.add(offsetOf(65)).fill(std::byte{65});
  cache.add(offsetOf(66)).fill(std::byte{66});
  cache.add(offsetOf(67)).fill(std::byte{67});
  EXPECT_TRUE(cache.contains(offsetOf(1)));
  EXPECT_FALSE(cache.contains(offsetOf(2)));
  EXPECT_FALSE(cache.contains(offsetOf(3)));
  EXPECT_FALSE(cache.contains(offsetOf(4)));
  EXPECT_EQ(writes, (std::vector<std::pair<std::uint32_t, std::size_t>>{
                        {offsetOf(2), kNtxPageSize}, {offsetOf(4), kNtxPageSize}}));
  cache.erase(offsetOf(64));  // dirty, but forgotten
  writes.clear();
  cache.writeDirty();
  std::vector<std::uint32_t> dirtyPages;
  for (std::uint32_t page = 5; page <= 63; ++page)
    if (page % 2 == 0 || (page >= 10 && page <= 20)) dirtyPages.push_back(page);
  ASSERT_EQ(written.size(), 2 + dirtyPages.size());
  for (std::uint32_t page : dirtyPages) {
    ASSERT_EQ(written.count(offsetOf(page)), 1u) << page;
    EXPECT_EQ(written[offsetOf(page)][0], static_cast<std::byte>(page));
  }
  EXPECT_TRUE(std::is_sorted(writes.begin(), writes.end()));
  EXPECT_NE(std::find(writes.begin(), writes.end(), std::pair{offsetOf(10), 11 * kNtxPageSize}),
            writes.end())
      << "pages 10 to 20 in one write";
  writes.clear();
  cache.writeDirty();
  EXPECT_TRUE(writes.empty()) << "written pages are clean";
}

}  // namespace
}  // namespace converte::storage
