// NTX index files: one order over a table as a B-tree of fixed-length keys,
// each with its record number, in 1024-byte pages. This file builds an index
// bottom-up from sorted keys, opens one and checks it, searches it, walks it
// in key order and keeps it up to date as keys are inserted and removed.
//
// Positions are stateless: the walk operations take the entry the caller is
// on (key and record) and find its neighbour, so the tree may change between
// two steps. In shared use every read happens under the index read lock and
// every change under the write lock (the byte at 1,000,000,000 of the file),
// with nesting counted so that only the outermost request touches the file;
// the header is read again under a lock when its version counter changed.
// Errors are raised through the environment's handler naming the index file.

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "storage/storage_env.h"

namespace converte::storage {

inline constexpr std::size_t kNtxPageSize = 1024;

struct IndexEntry {
  std::string key;
  std::uint32_t record = 0;
  bool operator==(const IndexEntry&) const = default;
};

// What the header says of the order.
struct IndexDefinition {
  std::string expression;    // key expression text, at most 255 bytes
  std::string forCondition;  // empty when none
  int keyLength = 0;         // 1..256
  int keyDecimals = 0;
  bool unique = false;
  bool descending = false;
};

// The maximum keys per page for a key length: 1022 / (length + 10) - 1,
// one less when that is odd and greater than 2.
int maxKeysPerPage(int keyLength);

class NtxIndex {
 public:
  // Creates (replacing) the file at path and builds the tree from entries,
  // which must be sorted by key, then record. Exclusive unless shared.
  // Raises "Create error" 20/1006 offering retry, "Write error" 24/1011.
  static std::unique_ptr<NtxIndex> create(StorageEnv& env, const std::string& path,
                                          const IndexDefinition& definition,
                                          const std::vector<IndexEntry>& sorted, bool shared);
  // Opens an existing index file with the table's modes. Raises "Open
  // error" 21/1003 offering retry and default (nullptr on default), and
  // "Corruption detected" 32/1012 for an unacceptable header.
  static std::unique_ptr<NtxIndex> open(StorageEnv& env, const std::string& path,
                                        platform::Access access, platform::ShareMode share);

  virtual ~NtxIndex() = default;

  virtual const std::string& path() const = 0;
  virtual const IndexDefinition& definition() const = 0;
  // True when the index holds keys only for the records that pass a
  // for-condition: a condition text, or the flag bit in the current form of
  // the header (in the old 0x0003 form that bit means nothing).
  virtual bool hasForCondition() const = 0;

  // Rebuilds the whole tree from sorted entries (the header keeps its
  // definition; the file is rewritten from the first page on).
  virtual void rebuild(const std::vector<IndexEntry>& sorted) = 0;
  // Adds an entry; a full page is split. The key has the key length.
  virtual void insert(std::string_view key, std::uint32_t record) = 0;
  // Removes that entry; false when it is not in the index.
  virtual bool remove(std::string_view key, std::uint32_t record) = 0;

  virtual std::optional<IndexEntry> first() = 0;
  virtual std::optional<IndexEntry> last() = 0;
  // The entry after / before (key, record) in key order, record order
  // within equal keys; (key, record) itself need not be in the index.
  virtual std::optional<IndexEntry> next(std::string_view key, std::uint32_t record) = 0;
  virtual std::optional<IndexEntry> previous(std::string_view key, std::uint32_t record) = 0;
  // The first entry whose key is not less than value compared over
  // value's length (a shorter value is a partial key); with findLast, the
  // last entry whose key is not greater than value over that length.
  virtual std::optional<IndexEntry> seek(std::string_view value, bool findLast) = 0;

  // Every entry in key order (for checks and tests).
  virtual std::vector<IndexEntry> entries() = 0;

  // The index locks, for a caller that makes several calls under one lock
  // (the removal and insertion of a changed key). Every call above takes
  // the lock it needs itself; nested requests only count, and a write lock
  // cannot be requested while a read lock is held ("Lock Failure").
  virtual void lockRead() = 0;
  virtual void unlockRead() = 0;
  virtual void lockWrite() = 0;
  virtual void unlockWrite() = 0;

  // Asks the operating system to put the index on disk.
  virtual void flush() = 0;
  virtual void close() = 0;
};

}  // namespace converte::storage
