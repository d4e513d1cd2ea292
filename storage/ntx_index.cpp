// NTX index files as the storage layer uses them: creating and opening
// them, and every search and change under the right index lock.

#include "storage/ntx_index.h"

#include <algorithm>
#include <stdexcept>

#include "errors/gen_codes.h"
#include "storage/driver_error.h"
#include "storage/ntx_build.h"
#include "storage/ntx_pager.h"
#include "storage/ntx_tree.h"

namespace converte::storage {
namespace {

constexpr int kSubIndexOpen = 1003;
constexpr int kSubIndexCreate = 1006;

std::unique_ptr<platform::File> createFile(StorageEnv& env, const std::string& path) {
  for (;;) {
    auto created = env.fs.create(path);
    if (created) return std::move(*created);
    // Only retry is offered: any other answer throws.
    raiseDriverError(env, {errors::kGenCreate, kSubIndexCreate, path, "", created.error().osCode,
                           kOfferRetry});
  }
}

// Null when the handler answers default.
std::unique_ptr<platform::File> openFile(StorageEnv& env, const std::string& path,
                                         platform::Access access, platform::ShareMode share) {
  for (;;) {
    auto opened = env.fs.open(path, access, share);
    if (opened) return std::move(*opened);
    const errors::Answer answer =
        raiseDriverError(env, {errors::kGenOpen, kSubIndexOpen, path, "", opened.error().osCode,
                               kOfferRetry | kOfferDefault});
    if (answer == errors::Answer::Default) return nullptr;
  }
}

void checkDefinition(const IndexDefinition& definition) {
  if (definition.keyLength < 1 || definition.keyLength > 256 || definition.keyDecimals < 0)
    throw std::invalid_argument("NtxIndex: key length must be 1 to 256");
}

class NtxFile final : public NtxIndex {
 public:
  explicit NtxFile(std::unique_ptr<NtxPager> pager)
      : pager_(std::move(pager)),
        tree_(*pager_, KeyOrder{pager_->header().definition.descending}) {}
  ~NtxFile() override {
    try {
      pager_->close();
    } catch (...) {
      // The quiet fallback while unwinding: an explicit close reports errors.
    }
  }

  const std::string& path() const override { return pager_->path(); }
  const IndexDefinition& definition() const override { return pager_->header().definition; }
  bool hasForCondition() const override { return storage::hasForCondition(pager_->header()); }

  void rebuild(const std::vector<IndexEntry>& sorted) override {
    NtxWriteSection section(live());
    std::vector<IndexEntry> copy;
    const BuiltTree tree = buildTree(*pager_, inOrder(sorted, tree_.order(), copy));
    pager_->replaceTree(tree.root, tree.end);
    section.commit();
  }

  void insert(std::string_view key, std::uint32_t record) override {
    const std::string full = fitted(key);
    NtxWriteSection section(live());
    if (!definition().unique || !holdsKey(full)) tree_.insert(full, record);
    section.commit();
  }

  bool remove(std::string_view key, std::uint32_t record) override {
    const std::string full = fitted(key);
    NtxWriteSection section(live());
    const bool removed = tree_.remove(full, record);
    section.commit();
    return removed;
  }

  std::optional<IndexEntry> first() override {
    NtxReadSection section(live());
    return tree_.firstWhere([](const NtxItem&) { return true; });
  }

  std::optional<IndexEntry> last() override {
    NtxReadSection section(live());
    return tree_.lastBefore([](const NtxItem&) { return false; });
  }

  std::optional<IndexEntry> next(std::string_view key, std::uint32_t record) override {
    const std::string full = fitted(key);
    NtxReadSection section(live());
    const KeyOrder& order = tree_.order();
    return tree_.firstWhere([&](const NtxItem& item) {
      return order.less(full, record, item.key, item.record);
    });
  }

  std::optional<IndexEntry> previous(std::string_view key, std::uint32_t record) override {
    const std::string full = fitted(key);
    NtxReadSection section(live());
    const KeyOrder& order = tree_.order();
    return tree_.lastBefore([&](const NtxItem& item) {
      return !order.less(item.key, item.record, full, record);
    });
  }

  std::optional<IndexEntry> seek(std::string_view value, bool findLast) override {
    const std::string_view partial = value.substr(0, static_cast<std::size_t>(definition().keyLength));
    NtxReadSection section(live());
    const KeyOrder& order = tree_.order();
    if (findLast)
      return tree_.lastBefore(
          [&](const NtxItem& item) { return order.compareKeys(item.key, partial) > 0; });
    return tree_.firstWhere(
        [&](const NtxItem& item) { return order.compareKeys(item.key, partial) >= 0; });
  }

  std::vector<IndexEntry> entries() override {
    NtxReadSection section(live());
    return tree_.entries();
  }

  void lockRead() override { live().lockRead(); }
  void unlockRead() override { live().unlockRead(); }
  void lockWrite() override { live().lockWrite(); }
  void unlockWrite() override { live().unlockWrite(); }

  void flush() override { live().flush(); }
  void close() override { pager_->close(); }

  // Entries in index order: sorted itself, or a sorted copy of it.
  static const std::vector<IndexEntry>& inOrder(const std::vector<IndexEntry>& entries,
                                                const KeyOrder& order,
                                                std::vector<IndexEntry>& copy) {
    auto less = [&](const IndexEntry& a, const IndexEntry& b) {
      return order.less(a.key, a.record, b.key, b.record);
    };
    if (std::is_sorted(entries.begin(), entries.end(), less)) return entries;
    copy = entries;
    std::sort(copy.begin(), copy.end(), less);
    return copy;
  }

 private:
  NtxPager& live() {
    if (!pager_->isOpen()) throw std::logic_error("NtxIndex: the index file is closed");
    return *pager_;
  }
  // A key of exactly the key length: cut, or padded with blanks.
  std::string fitted(std::string_view key) const {
    std::string full(key.substr(0, static_cast<std::size_t>(definition().keyLength)));
    full.resize(static_cast<std::size_t>(definition().keyLength), ' ');
    return full;
  }
  bool holdsKey(const std::string& key) {
    const KeyOrder& order = tree_.order();
    auto found = tree_.firstWhere(
        [&](const NtxItem& item) { return order.compareKeys(item.key, key) >= 0; });
    return found && order.compareKeys(found->key, key) == 0;
  }

  std::unique_ptr<NtxPager> pager_;
  NtxTree tree_;
};

}  // namespace

std::unique_ptr<NtxIndex> NtxIndex::create(StorageEnv& env, const std::string& path,
                                           const IndexDefinition& definition,
                                           const std::vector<IndexEntry>& sorted, bool shared) {
  checkDefinition(definition);
  const NtxHeader header = newHeader(definition);
  auto pager = std::make_unique<NtxPager>(env, createFile(env, path), path, header, false);
  std::vector<IndexEntry> copy;
  const auto& entries = NtxFile::inOrder(sorted, KeyOrder{definition.descending}, copy);
  const BuiltTree tree = buildTree(*pager, entries);
  pager->replaceTree(tree.root, tree.end);
  pager->writeFullHeader();
  if (!shared) return std::make_unique<NtxFile>(std::move(pager));
  pager->close();
  return open(env, path, platform::Access::ReadWrite, platform::ShareMode::Shared);
}

std::unique_ptr<NtxIndex> NtxIndex::open(StorageEnv& env, const std::string& path,
                                         platform::Access access, platform::ShareMode share) {
  auto file = openFile(env, path, access, share);
  if (!file) return nullptr;
  auto pager = std::make_unique<NtxPager>(env, std::move(file), path, NtxHeader{},
                                          share == platform::ShareMode::Shared);
  pager->loadHeader();
  return std::make_unique<NtxFile>(std::move(pager));
}

}  // namespace converte::storage
