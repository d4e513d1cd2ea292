// Record I/O of an open table in large blocks: a read-ahead window for
// sequential reading and a write-behind run for records written one after
// the other, so that bulk work costs memory copies, not a system call per
// record. In shared use nothing is held back: every write goes to the file at
// once and reads see the file, unless a bulk read asked for read-ahead.

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
  // Read-ahead for a sequential pass even in shared use (a bulk read).
  void setReadAhead(bool on) { readAhead_ = on || holdBack_; if (!readAhead_) dropReadAhead(); }

  // Bytes past the last record the caller must treat as the file's end.
  platform::Result<std::uint64_t> fileSize();

 private:
  std::uint64_t offsetOf(std::uint32_t n) const {
    return headerLength_ + static_cast<std::uint64_t>(n - 1) * recordLength_;
  }
  bool inWriteRun(std::uint32_t n) const { return n >= runFirst_ && n < runFirst_ + runCount_; }
  void patchReadAhead(std::uint32_t n, std::span<const char> record);

  platform::File& file_;
  const std::uint64_t headerLength_;
  const std::uint32_t recordLength_;
  const bool holdBack_;
  bool readAhead_;

  std::vector<char> window_;  // read-ahead bytes of records windowFirst_...
  std::uint32_t windowFirst_ = 0;
  std::uint32_t windowCount_ = 0;

  std::vector<char> run_;  // held-back records runFirst_...
  std::uint32_t runFirst_ = 0;
  std::uint32_t runCount_ = 0;
};

}  // namespace converte::storage
