// The state of one open table inside its work area: the files, the header
// and fields as read, the cursor, the record buffer and the locks held.

#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "storage/dbf_header.h"
#include "storage/field_spec.h"
#include "storage/field_types.h"
#include "storage/index_key.h"
#include "storage/memo_file.h"
#include "storage/ntx_index.h"
#include "storage/record_io.h"

namespace converte::storage {

struct OpenTable {
  std::string alias;
  std::string fileName;
  bool shared = false;
  bool readOnly = false;

  std::unique_ptr<platform::File> file;
  std::unique_ptr<MemoFile> memo;
  std::unique_ptr<RecordIo> io;

  DbfHeader header;
  TableStyle style = TableStyle::Standard;
  std::vector<Field> fields;
  std::uint16_t headerLength = 0;
  std::uint32_t recordLength = 0;
  std::uint32_t recordCount = 0;

  // Cursor.
  std::uint32_t recNo = 1;
  bool bof = false;
  bool eof = false;
  bool found = false;
  bool positioned = false;

  // Record buffer and pending writes.
  std::vector<char> buffer;
  bool bufferValid = false;
  bool changed = false;
  bool appended = false;
  bool headerDirty = false;
  // An appended record before its counters are numbered; made by the first
  // append.
  std::vector<char> blankRecord;
  bool hasCounters = false;

  // Locks (shared use only).
  std::vector<std::uint32_t> lockedRecords;
  bool fileLocked = false;

  // Index orders, in the order they were added; controlling is 1-based,
  // 0 for none.
  struct Order {
    std::unique_ptr<NtxIndex> index;
    std::string name;
    std::vector<int> keyFields;           // positions of the key expression's fields
    std::function<FieldValue()> callback; // when the creator gave one
    KeyShape shape;
    std::string keyAtRead;                // the record's key before its first change
  };
  std::vector<Order> orders;
  std::size_t controlling = 0;

  bool deletedFlag() const { return !buffer.empty() && buffer[0] == '*'; }
};

// Lock positions of the suite's lock scheme.
inline constexpr std::uint64_t kLockBase = 1'000'000'000;
inline constexpr std::uint64_t kFileLockLength = 1'000'000'000;

}  // namespace converte::storage
