// Record reads of an open table: in exclusive use a record read out of
// sequence costs that record alone, a sequential pass reads growing
// windows, and held-back writes are read back; in shared use every read
// goes to the file unless a bulk read asked for windows.

#include "storage/record_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace converte::storage {
namespace {

constexpr std::uint64_t kHeader = 66;
constexpr std::uint32_t kLength = 100;
constexpr std::uint32_t kRecords = 6000;

// A file in memory that counts what is read from it.
class MemoryFile final : public platform::File {
 public:
  platform::Result<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> out) override {
    ++reads;
    const std::size_t n = offset >= bytes.size() ? 0 : std::min(out.size(), bytes.size() - offset);
    std::memcpy(out.data(), bytes.data() + offset, n);
    bytesRead += n;
    return n;
  }
  platform::Status writeAt(std::uint64_t offset, std::span<const std::byte> data) override {
    if (bytes.size() < offset + data.size()) bytes.resize(offset + data.size());
    std::memcpy(bytes.data() + offset, data.data(), data.size());
    return {};
  }
  platform::Result<std::uint64_t> size() override { return bytes.size(); }
  platform::Status truncate(std::uint64_t size) override {
    bytes.resize(size);
    return {};
  }
  platform::Status flush() override { return {}; }
  platform::Status close() override { return {}; }
  platform::Result<bool> tryLock(std::uint64_t, std::uint64_t, platform::LockKind) override {
    return true;
  }
  platform::Status lockWait(std::uint64_t, std::uint64_t, platform::LockKind) override {
    return {};
  }
  platform::Status unlock(std::uint64_t, std::uint64_t) override { return {}; }
  const std::string& path() const override { return name; }

  std::vector<std::byte> bytes;
  std::string name = "T.dbf";
  std::size_t reads = 0;
  std::size_t bytesRead = 0;
};

std::string recordText(std::uint32_t n, char mark = 'R') {
  std::string text(kLength, ' ');
  const std::string number = mark + std::to_string(n);
  std::copy(number.begin(), number.end(), text.begin());
  return text;
}

class RecordIoTest : public ::testing::Test {
 protected:
  RecordIoTest() {
    file.bytes.assign(kHeader, std::byte{0});
    for (std::uint32_t n = 1; n <= kRecords; ++n) {
      const std::string text = recordText(n);
      const auto* start = reinterpret_cast<const std::byte*>(text.data());
      file.bytes.insert(file.bytes.end(), start, start + text.size());
    }
  }

  std::string read(RecordIo& io, std::uint32_t n) {
    std::string out(kLength, '\0');
    auto got = io.read(n, std::span<char>(out.data(), out.size()));
    EXPECT_TRUE(got.ok());
    EXPECT_EQ(got.ok() ? *got : 0, kLength) << n;
    return out;
  }

  MemoryFile file;
};

TEST_F(RecordIoTest, ExclusiveReadsOutOfSequenceReadOneRecordAndPassesReadWindows) {
  RecordIo io(file, kHeader, kLength, true);
  std::mt19937 random(3);
  std::uint32_t previous = 0;
  for (int i = 0; i < 300; ++i) {
    std::uint32_t n = 2 + random() % (kRecords - 1);
    if (n == previous + 1) n = n > 3 ? n - 2 : n + 2;
    EXPECT_EQ(read(io, n), recordText(n));
    previous = n;
  }
  EXPECT_EQ(file.reads, 300u);
  EXPECT_EQ(file.bytesRead, 300u * kLength);

  file.reads = 0;
  for (std::uint32_t n = 1; n <= kRecords; ++n) ASSERT_EQ(read(io, n), recordText(n)) << n;
  EXPECT_LE(file.reads, 12u) << "windows grow along the pass";
  EXPECT_LT(file.bytesRead, 300u * kLength + 2 * kRecords * kLength);
}

TEST_F(RecordIoTest, HeldBackWritesAreReadBackAndReachTheFileOnFlush) {
  RecordIo io(file, kHeader, kLength, true);
  for (std::uint32_t n = 1; n <= 50; ++n) EXPECT_EQ(read(io, n), recordText(n));  // a window
  for (std::uint32_t n = 10; n <= 5000; n += 7) {
    const std::string text = recordText(n, 'W');
    ASSERT_TRUE(io.write(n, std::span<const char>(text.data(), text.size())).ok());
  }
  std::mt19937 random(5);
  for (int i = 0; i < 2000; ++i) {
    const std::uint32_t n = 1 + random() % kRecords;
    const bool written = n >= 10 && n <= 5000 && (n - 10) % 7 == 0;
    ASSERT_EQ(read(io, n), recordText(n, written ? 'W' : 'R')) << n;
  }
  ASSERT_TRUE(io.flush().ok());
  const std::string text(reinterpret_cast<const char*>(file.bytes.data()) + kHeader + 16 * kLength,
                         kLength);
  EXPECT_EQ(text, recordText(17, 'W'));
}

TEST_F(RecordIoTest, SharedReadsGoToTheFileUnlessABulkReadAskedForWindows) {
  RecordIo io(file, kHeader, kLength, false);
  for (std::uint32_t n = 1; n <= 500; ++n) ASSERT_EQ(read(io, n), recordText(n));
  EXPECT_EQ(file.reads, 500u);
  const std::string changed = recordText(300, 'X');
  std::memcpy(file.bytes.data() + kHeader + 299 * kLength, changed.data(), kLength);
  EXPECT_EQ(read(io, 300), changed) << "another program's change is seen";

  file.reads = 0;
  io.setReadAhead(true);
  for (std::uint32_t n = 1; n <= kRecords; ++n)
    ASSERT_EQ(read(io, n), n == 300 ? changed : recordText(n));
  EXPECT_LE(file.reads, 4u);
  io.setReadAhead(false);
  file.reads = 0;
  for (std::uint32_t n = 1; n <= 100; ++n)
    ASSERT_EQ(read(io, n), n == 300 ? changed : recordText(n));
  EXPECT_EQ(file.reads, 100u);
}

}  // namespace
}  // namespace converte::storage
