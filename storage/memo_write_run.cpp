// The write-behind run of a memo file: memos placed one after the other
// into memory, and written with one call per megabyte.

#include "storage/memo_write_run.h"

#include <algorithm>
#include <cstring>

namespace converte::storage {
namespace {

constexpr std::size_t kRunBytes = 1024 * 1024;

}  // namespace

platform::Status MemoWriteRun::place(std::uint64_t offset, std::span<const std::byte> data) {
  if (!bytes_.empty() && (offset < start_ || offset > end() + kRunBytes)) {
    if (auto status = flush(); !status) return status;
  }
  if (bytes_.empty()) start_ = offset;
  if (offset > end()) {
    if (auto status = fillGapTo(offset); !status) return status;
  }
  const auto at = static_cast<std::size_t>(offset - start_);
  if (at + data.size() > bytes_.size()) bytes_.resize(at + data.size());
  std::memcpy(bytes_.data() + at, data.data(), data.size());
  if (bytes_.size() >= kRunBytes) return flush();
  return {};
}

platform::Status MemoWriteRun::flush() {
  if (bytes_.empty()) return {};
  auto status = file_.writeAt(start_, bytes_);
  if (!status) {
    fileSize_.reset();
  } else if (fileSize_) {
    fileSize_ = std::max(*fileSize_, end());
  }
  bytes_.clear();
  return status;
}

void MemoWriteRun::discard() {
  bytes_.clear();
  fileSize_.reset();
}

// Extends the run up to offset with the bytes the file holds there: what an
// earlier writer left, and zeros past the end of the file.
platform::Status MemoWriteRun::fillGapTo(std::uint64_t offset) {
  const std::uint64_t from = end();
  const std::size_t at = bytes_.size();
  bytes_.resize(at + static_cast<std::size_t>(offset - from));
  if (!fileSize_) {
    auto size = file_.size();
    if (!size) return size.error();
    fileSize_ = *size;
  }
  if (from >= *fileSize_) return {};
  const auto held = static_cast<std::size_t>(std::min(offset, *fileSize_) - from);
  auto got = file_.readAt(from, std::span(bytes_).subspan(at, held));
  if (!got) return got.error();
  return {};
}

}  // namespace converte::storage
