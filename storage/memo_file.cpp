// Creating and opening memo files, and what both formats share: error records
// naming the memo file, the memo write lock, appending after the header's next
// free block (at once, or held back in exclusive use), emptying, and
// compaction through a temporary file beside it.

#include "storage/memo_file.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>

#include "errors/error_handler.h"
#include "errors/gen_codes.h"
#include "storage/block_memo_file.h"
#include "storage/driver_error.h"

namespace converte::storage {
namespace {

constexpr std::string_view kTemporaryPrefix = "memo";
// The temporary file of a compaction is copied over the memo file in pieces
// of this size.
constexpr std::size_t kCopyPieceSize = std::size_t{1} << 20;

// The memo write lock: the single byte at offset 0, exclusive, requested
// blocking and requested again after a pause whenever the request fails. It
// is held for the life of the object. With no file (exclusive use) nothing is
// locked.
class MemoWriteLock {
 public:
  MemoWriteLock(platform::FileSystem& fs, platform::File* file) : file_(file) {
    if (file_ == nullptr) return;
    while (!file_->lockWait(0, 1, platform::LockKind::Exclusive).ok()) fs.pause();
  }
  // A failed unlock leaves nothing to do: the lock goes with the open file
  // when it is closed.
  ~MemoWriteLock() {
    if (file_ != nullptr) (void)file_->unlock(0, 1);
  }
  MemoWriteLock(const MemoWriteLock&) = delete;
  MemoWriteLock& operator=(const MemoWriteLock&) = delete;

 private:
  platform::File* file_;
};

// An error record naming the memo file at path.
DriverError memoError(int genCode, int subCode, const std::string& path, int osCode,
                      unsigned offers = kOfferNone) {
  DriverError error;
  error.genCode = genCode;
  error.subCode = subCode;
  error.fileName = path;
  error.osCode = osCode;
  error.offers = offers;
  return error;
}

std::unique_ptr<platform::File> createWithRetry(StorageEnv& env, const std::string& path) {
  for (;;) {
    auto created = env.fs.create(path);
    if (created) return std::move(*created);
    // Only retry is offered: any other answer throws.
    raiseDriverError(env, memoError(errors::kGenCreate, kSubMemoCreate, path,
                                    created.error().osCode, kOfferRetry));
  }
}

// Null when the handler answers default.
std::unique_ptr<platform::File> openWithRetry(StorageEnv& env, const std::string& path,
                                              platform::Access access, platform::ShareMode share) {
  for (;;) {
    auto opened = env.fs.open(path, access, share);
    if (opened) return std::move(*opened);
    const errors::Answer answer =
        raiseDriverError(env, memoError(errors::kGenOpen, kSubNoAlias, path, opened.error().osCode,
                                        kOfferRetry | kOfferDefault));
    if (answer == errors::Answer::Default) return nullptr;
  }
}

}  // namespace

std::unique_ptr<MemoFile> createMemoFile(StorageEnv& env, const std::string& path,
                                         MemoFormat format) {
  auto file = createWithRetry(env, path);
  std::unique_ptr<BlockMemoFile> memo = format == MemoFormat::Dbt
                                            ? newDbtMemoFile(env, std::move(file), path, false)
                                            : createdFptMemoFile(env, std::move(file), path);
  memo->empty();
  return memo;
}

std::unique_ptr<MemoFile> openMemoFile(StorageEnv& env, const std::string& path, MemoFormat format,
                                       platform::Access access, platform::ShareMode share,
                                       MemoWrites writes) {
  auto file = openWithRetry(env, path, access, share);
  if (!file) return nullptr;
  const bool shared = share == platform::ShareMode::Shared;
  if (format == MemoFormat::Dbt) return newDbtMemoFile(env, std::move(file), path, shared, writes);
  return openedFptMemoFile(env, std::move(file), path, shared, writes);
}

BlockMemoFile::BlockMemoFile(StorageEnv& env, std::unique_ptr<platform::File> file,
                             std::string path, bool shared, MemoWrites writes)
    : env_(env),
      file_(std::move(file)),
      path_(std::move(path)),
      shared_(shared),
      holdBack_(!shared && writes == MemoWrites::HeldBack),
      run_(*file_) {}

// What is still held back is written quietly: nobody is left to hear of a
// failure.
BlockMemoFile::~BlockMemoFile() {
  if (!run_.flush()) headerHeldBack_ = false;
  if (headerHeldBack_) (void)file_->writeAt(0, std::span(header_).first<kMemoHeaderSize>());
  dropTemporary();
}

// Lock, read the header, append the text at the next free block, write the
// header back with the new next free block, unlock. Nothing is cached: the
// next free block always comes from the file.
std::uint32_t BlockMemoFile::write(std::string_view text) {
  if (holdBack_) return writeHeldBack(text);
  MemoWriteLock lock(env_.fs, shared_ ? file_.get() : nullptr);
  readHeader();
  if (text.empty()) return 0;
  const auto header = std::span(header_).first<kMemoHeaderSize>();
  const std::uint32_t block = nextFreeOf(header);
  const std::uint32_t next = blockAfter(block, text.size());
  encodeMemo(text, memoBytes_);
  writeBytes(*file_, std::uint64_t{block} * blockSize(), memoBytes_);
  setNextFree(header, next);
  writeBytes(*file_, 0, header);
  return block;
}

// No other open can change the file: the header is read at the first write
// and kept, and the memo joins the write-behind run.
std::uint32_t BlockMemoFile::writeHeldBack(std::string_view text) {
  if (!headerKnown_) {
    readHeader();
    headerKnown_ = true;
  }
  if (text.empty()) return 0;
  const auto header = std::span(header_).first<kMemoHeaderSize>();
  const std::uint32_t block = nextFreeOf(header);
  const std::uint32_t next = blockAfter(block, text.size());
  encodeMemo(text, memoBytes_);
  if (auto status = run_.place(std::uint64_t{block} * blockSize(), memoBytes_); !status)
    failHeldBackWrite(status.error().osCode);
  setNextFree(header, next);
  headerHeldBack_ = true;
  return block;
}

// The memos first, then the header that counts them.
void BlockMemoFile::writeHeldBackBytes() {
  if (auto status = run_.flush(); !status) failHeldBackWrite(status.error().osCode);
  if (!headerHeldBack_) return;
  headerHeldBack_ = false;
  writeBytes(*file_, 0, std::span(header_).first<kMemoHeaderSize>());
}

// What is held back would be overwritten by the fresh header and cut off.
void BlockMemoFile::empty() {
  run_.discard();
  headerHeldBack_ = false;
  headerKnown_ = false;
  writeFreshHeader(*file_);
}

void BlockMemoFile::beginCompaction() {
  dropTemporary();
  for (;;) {
    auto created = env_.fs.createTemporary(platform::dirName(path_), kTemporaryPrefix);
    if (created) {
      temp_ = std::move(*created);
      break;
    }
    raiseDriverError(env_, memoError(errors::kGenCreate, kSubMemoCreate, path_,
                                     created.error().osCode, kOfferRetry));
  }
  tempPath_ = temp_->path();
  tempRun_ = std::make_unique<MemoWriteRun>(*temp_);
  writeFreshHeader(*temp_);
  tempNext_ = firstDataBlock();
}

std::uint32_t BlockMemoFile::copyToCompaction(std::uint32_t block) {
  if (!temp_) throw std::logic_error("copyToCompaction(" + path_ + "): no compaction begun");
  if (block == 0) return 0;
  read(block, compactText_);
  if (compactText_.empty()) return 0;
  const std::uint32_t at = tempNext_;
  const std::uint32_t next = blockAfter(at, compactText_.size());
  encodeMemo(compactText_, memoBytes_);
  if (auto status = tempRun_->place(std::uint64_t{at} * blockSize(), memoBytes_); !status)
    fail(errors::kGenWrite, kSubWrite, status.error().osCode);
  tempNext_ = next;
  return at;
}

// The temporary file's next free block is the number of blocks it spans; its
// bytes then replace this file's, and it is removed.
void BlockMemoFile::finishCompaction() {
  if (!temp_) throw std::logic_error("finishCompaction(" + path_ + "): no compaction begun");
  if (auto status = tempRun_->flush(); !status)
    fail(errors::kGenWrite, kSubWrite, status.error().osCode);
  writeHeldBackBytes();
  auto size = temp_->size();
  if (!size) fail(errors::kGenRead, kSubRead, size.error().osCode);
  const std::uint64_t blocks = (*size + blockSize() - 1) / blockSize();
  std::array<std::byte, kMemoHeaderSize> header{};
  encodeFreshHeader(header);
  setNextFree(header, static_cast<std::uint32_t>(std::min<std::uint64_t>(
                          blocks, std::numeric_limits<std::uint32_t>::max())));
  writeBytes(*temp_, 0, header);
  copyTemporaryOver(*size);
  run_.discard();
  headerKnown_ = false;
  // The temporary file was only read since: nothing of it can be lost.
  (void)temp_->close();
  tempRun_.reset();
  temp_.reset();
  const std::string erased = std::exchange(tempPath_, {});
  auto status = env_.fs.erase(erased);
  if (!status) fail(errors::kGenWrite, kSubWrite, status.error().osCode);
}

void BlockMemoFile::flush() {
  writeHeldBackBytes();
  auto status = file_->flush();
  if (!status) fail(errors::kGenWrite, kSubWrite, status.error().osCode);
}

void BlockMemoFile::close() {
  writeHeldBackBytes();
  dropTemporary();
  auto status = file_->close();
  if (!status) fail(errors::kGenWrite, kSubWrite, status.error().osCode);
}

std::size_t BlockMemoFile::readBytes(std::uint64_t offset, std::span<std::byte> out) {
  writeHeldBackBytes();
  auto got = file_->readAt(offset, out);
  if (!got) fail(errors::kGenRead, kSubRead, got.error().osCode);
  return *got;
}

std::uint64_t BlockMemoFile::fileSize() {
  writeHeldBackBytes();
  auto size = file_->size();
  if (!size) fail(errors::kGenRead, kSubRead, size.error().osCode);
  return *size;
}

std::uint32_t BlockMemoFile::firstDataBlock() const {
  return static_cast<std::uint32_t>((kMemoHeaderSize + blockSize() - 1) / blockSize());
}

void BlockMemoFile::fail(int genCode, int subCode, int osCode, const std::source_location& where) {
  const DriverError error = memoError(genCode, subCode, path_, osCode);
  raiseDriverError(env_, error, where);
  // A record that offers nothing is always abandoned; this only tells the
  // compiler so.
  throw errors::ErrorAbandoned(makeDriverRecord(error, where));
}

void BlockMemoFile::writeBytes(platform::File& file, std::uint64_t offset,
                               std::span<const std::byte> data) {
  auto status = file.writeAt(offset, data);
  if (!status) fail(errors::kGenWrite, kSubWrite, status.error().osCode);
}

// As a memo write that fails at once, a failed write of held-back memos
// leaves the file's header as it was.
void BlockMemoFile::failHeldBackWrite(int osCode) {
  headerHeldBack_ = false;
  fail(errors::kGenWrite, kSubWrite, osCode);
}

// The first 1024 bytes; the header is the first 512 of them and must be
// there whole.
void BlockMemoFile::readHeader() {
  if (readBytes(0, header_) < kMemoHeaderSize) fail(errors::kGenRead, kSubRead, 0);
}

// The block after a memo of that length written at block. A next free block
// inside the header, or a memo that would end beyond the last block number,
// can only come from a damaged header: writing there would overwrite the
// header or wrap around to the start of the file.
std::uint32_t BlockMemoFile::blockAfter(std::uint32_t block, std::size_t length) {
  const std::uint64_t next = std::uint64_t{block} + blocksOf(length);
  if (block < firstDataBlock() || next > std::numeric_limits<std::uint32_t>::max())
    fail(errors::kGenCorruption, kSubCorruption, 0);
  return static_cast<std::uint32_t>(next);
}

void BlockMemoFile::writeFreshHeader(platform::File& file) {
  std::array<std::byte, kMemoHeaderSize> header{};
  encodeFreshHeader(header);
  writeBytes(file, 0, header);
  auto status = file.truncate(kMemoHeaderSize);
  if (!status) fail(errors::kGenWrite, kSubWrite, status.error().osCode);
}

void BlockMemoFile::copyTemporaryOver(std::uint64_t size) {
  std::vector<std::byte> piece(kCopyPieceSize);
  overwriting_ = true;
  for (std::uint64_t offset = 0; offset < size;) {
    auto got = temp_->readAt(offset, piece);
    if (!got) fail(errors::kGenRead, kSubRead, got.error().osCode);
    if (*got == 0) fail(errors::kGenRead, kSubRead, 0);
    writeBytes(*file_, offset, std::span(piece).first(*got));
    offset += *got;
  }
  auto status = file_->truncate(size);
  if (!status) fail(errors::kGenWrite, kSubWrite, status.error().osCode);
  overwriting_ = false;
}

// Quietly closes and removes the temporary file of a compaction that did not
// finish. Once it has begun to overwrite this file the temporary file holds
// the only whole copy of the memos, and it is left in place.
void BlockMemoFile::dropTemporary() {
  if (!temp_) return;
  tempRun_.reset();
  temp_.reset();
  if (!overwriting_) (void)env_.fs.erase(tempPath_);
  tempPath_.clear();
  overwriting_ = false;
}

}  // namespace converte::storage
