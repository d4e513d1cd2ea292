// Buffered record reads and writes of one open table.

#include "storage/record_io.h"

#include <algorithm>
#include <cstring>

namespace converte::storage {
namespace {

constexpr std::size_t kReadAheadBytes = 256 * 1024;
// The first window of a sequential pass; each next one is twice as large.
constexpr std::size_t kFirstWindowBytes = 16 * 1024;
constexpr std::size_t kWriteRunBytes = 1024 * 1024;

std::span<std::byte> asBytes(std::span<char> s) { return std::as_writable_bytes(s); }

}  // namespace

RecordIo::RecordIo(platform::File& file, std::uint64_t headerLength, std::uint32_t recordLength,
                   bool holdBack)
    : file_(file),
      headerLength_(headerLength),
      recordLength_(std::max<std::uint32_t>(recordLength, 1)),
      holdBack_(holdBack) {}

void RecordIo::setReadAhead(bool on) {
  bulk_ = on;
  if (!on && !holdBack_) dropReadAhead();
}

platform::Result<std::size_t> RecordIo::read(std::uint32_t n, std::span<char> out) {
  const std::size_t rl = recordLength_;
  const bool again = n == lastRead_;
  const bool sequential = n == lastRead_ + 1;
  lastRead_ = n;
  if (inWriteRun(n)) {
    std::memcpy(out.data(), run_.data() + (n - runFirst_) * rl, rl);
    return rl;
  }
  if (inWindow(n)) {
    std::memcpy(out.data(), window_.data() + (n - windowFirst_) * rl, rl);
    return rl;
  }
  const std::size_t records = again ? 1 : windowRecords(sequential);
  if (records <= 1) return file_.readAt(offsetOf(n), asBytes(out.first(rl)));
  return readWindow(n, records, out);
}

// Records to read from a record not in memory: a full window for a bulk
// read; in exclusive use a window that doubles along a sequential pass;
// otherwise the record alone.
std::size_t RecordIo::windowRecords(bool sequential) {
  const std::size_t most = std::max<std::size_t>(1, kReadAheadBytes / recordLength_);
  if (bulk_) return most;
  if (!holdBack_ || !sequential) {
    growth_ = 0;
    return 1;
  }
  const std::size_t first = std::max<std::size_t>(1, kFirstWindowBytes / recordLength_);
  growth_ = growth_ == 0 ? first : std::min(most, growth_ * 2);
  return growth_;
}

platform::Result<std::size_t> RecordIo::readWindow(std::uint32_t n, std::size_t records,
                                                   std::span<char> out) {
  const std::size_t rl = recordLength_;
  if (runCount_ > 0 && runFirst_ < n + records && n < runFirst_ + runCount_ + records) {
    if (auto status = flush(); !status) return status.error();
  }
  window_.resize(records * rl);
  auto got = file_.readAt(offsetOf(n), std::as_writable_bytes(std::span<char>(window_)));
  if (!got) {
    windowCount_ = 0;
    return got.error();
  }
  windowFirst_ = n;
  windowCount_ = static_cast<std::uint32_t>(*got / rl);
  std::size_t available = std::min(*got, rl);
  std::memcpy(out.data(), window_.data(), available);
  return available;
}

platform::Status RecordIo::write(std::uint32_t n, std::span<const char> record) {
  const std::size_t rl = recordLength_;
  patchReadAhead(n, record);
  if (!holdBack_) return file_.writeAt(offsetOf(n), std::as_bytes(record.first(rl)));
  if (inWriteRun(n)) {
    std::memcpy(run_.data() + (n - runFirst_) * rl, record.data(), rl);
    return {};
  }
  bool extends = runCount_ > 0 && n == runFirst_ + runCount_ && run_.size() + rl <= kWriteRunBytes;
  if (!extends) {
    if (auto status = flush(); !status) return status;
    runFirst_ = n;
  }
  run_.insert(run_.end(), record.begin(), record.begin() + static_cast<std::ptrdiff_t>(rl));
  ++runCount_;
  if (run_.size() + rl > kWriteRunBytes) return flush();
  return {};
}

platform::Status RecordIo::flush() {
  if (runCount_ == 0) return {};
  auto status = file_.writeAt(offsetOf(runFirst_), std::as_bytes(std::span<const char>(run_)));
  run_.clear();
  runCount_ = 0;
  return status;
}

void RecordIo::dropReadAhead() { windowCount_ = 0; }

void RecordIo::patchReadAhead(std::uint32_t n, std::span<const char> record) {
  if (windowCount_ == 0 || n < windowFirst_ || n >= windowFirst_ + windowCount_) return;
  std::memcpy(window_.data() + static_cast<std::size_t>(n - windowFirst_) * recordLength_,
              record.data(), recordLength_);
}

platform::Result<std::uint64_t> RecordIo::fileSize() {
  if (auto status = flush(); !status) return status.error();
  return file_.size();
}

}  // namespace converte::storage
