// Record I/O of an open table in large blocks: a read-ahead window for
// sequential reading and a write-behind run for records written one after
// the other, so that bulk work costs memory copies, not a system call per
// record. A window is read only for a sequential pass (each record right
// after the one read before, the window growing as the pass goes on) or a
// bulk read; a record read out of sequence is read alone. In shared use
// nothing is held back: every write goes to the file at once and reads see
// the file, unless a bulk read asked for read-ahead.

#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/file_system.h"

namespace converte::storage {

class RecordIo {
 public:
  RecordIo(platform::File& file, std::uint64_t headerLength, std::uint32_t recordLength,
           bool holdBack);

  // Reads record n (1-based) into out (record length bytes). Returns the
  // bytes read: fewer than the record length at the end of the file.
  platform::Result<std::size_t> read(std::uint32_t n, std::span<char> out);
  // Writes record n; held back when allowed, written at once otherwise.
  platform::Status write(std::uint32_t n, std::span<const char> record);
  // Writes every held-back record to the file.
  platform::Status flush();
  // Forgets the read-ahead window (the file may have changed under it).
  void dropReadAhead();
  // A bulk read: full windows from the first record on, even in shared use.
  void setReadAhead(bool on);

  // Bytes past the last record the caller must treat as the file's end.
  platform::Result<std::uint64_t> fileSize();

 private:
  std::uint64_t offsetOf(std::uint32_t n) const {
    return headerLength_ + static_cast<std::uint64_t>(n - 1) * recordLength_;
  }
  bool inWriteRun(std::uint32_t n) const { return n >= runFirst_ && n < runFirst_ + runCount_; }
  bool inWindow(std::uint32_t n) const {
    return windowCount_ > 0 && n >= windowFirst_ && n < windowFirst_ + windowCount_;
  }
  std::size_t windowRecords(bool sequential);
  platform::Result<std::size_t> readWindow(std::uint32_t n, std::size_t records,
                                           std::span<char> out);
  void patchReadAhead(std::uint32_t n, std::span<const char> record);

  platform::File& file_;
  const std::uint64_t headerLength_;
  const std::uint32_t recordLength_;
  const bool holdBack_;
  bool bulk_ = false;

  std::uint32_t lastRead_ = 0;  // the record read last, 0 before the first
  std::size_t growth_ = 0;      // records of the last window of a sequential pass

  std::vector<char> window_;  // read-ahead bytes of records windowFirst_...
  std::uint32_t windowFirst_ = 0;
  std::uint32_t windowCount_ = 0;

  std::vector<char> run_;  // held-back records runFirst_...
  std::uint32_t runFirst_ = 0;
  std::uint32_t runCount_ = 0;
};

}  // namespace converte::storage
