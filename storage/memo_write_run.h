// Memo bytes appended in exclusive use, held back and written to the file in
// large pieces: the file's bytes from the run's first memo to the end of its
// last, the gaps between memos as the file holds them (zeros past its end).

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/file_system.h"

namespace converte::storage {

class MemoWriteRun {
 public:
  explicit MemoWriteRun(platform::File& file) : file_(file) {}

  // Puts data at offset. The run is written first when data does not carry
  // it on (it would start before the run, or far beyond its end), and after
  // it when the run has grown to its size.
  platform::Status place(std::uint64_t offset, std::span<const std::byte> data);
  // Writes the run to the file; the run is empty afterwards, also after a
  // failed write.
  platform::Status flush();
  // Forgets the run unwritten, and the file's size with it: for a file
  // emptied or overwritten under the run.
  void discard();

 private:
  std::uint64_t end() const { return start_ + bytes_.size(); }
  platform::Status fillGapTo(std::uint64_t offset);

  platform::File& file_;
  std::vector<std::byte> bytes_;
  std::uint64_t start_ = 0;
  std::optional<std::uint64_t> fileSize_;  // as written so far; read when first needed
};

}  // namespace converte::storage
