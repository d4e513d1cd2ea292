// Page I/O, the free-page chain, the header start and the index locks of an
// open NTX file; in exclusive use changes are held back until written.

#include "storage/ntx_pager.h"

#include <utility>

#include "errors/gen_codes.h"
#include "storage/driver_error.h"

namespace converte::storage {
namespace {

// Pages kept in memory, least recently used out first: in shared use, where
// another program's change drops them all; in exclusive use, where they
// also hold changes back (32 MiB).
constexpr std::size_t kSharedPages = 1024;
constexpr std::size_t kExclusivePages = 32768;
// Pages read in one block around a missing one in exclusive use.
constexpr std::uint64_t kBlockPages = 16;

}  // namespace

NtxCacheLimits NtxCacheLimits::standard(bool shared) {
  return NtxCacheLimits{shared ? kSharedPages : kExclusivePages};
}

NtxPager::NtxPager(StorageEnv& env, std::unique_ptr<platform::File> file, std::string path,
                   const NtxHeader& header, bool shared)
    : NtxPager(env, std::move(file), std::move(path), header, shared,
               NtxCacheLimits::standard(shared)) {}

NtxPager::NtxPager(StorageEnv& env, std::unique_ptr<platform::File> file, std::string path,
                   const NtxHeader& header, bool shared, NtxCacheLimits limits)
    : env_(env),
      file_(std::move(file)),
      path_(std::move(path)),
      header_(header),
      layout_(NtxLayout::of(header)),
      shared_(shared),
      writeBack_(!shared),
      cache_(limits.pages,
             [this](std::uint32_t offset, std::span<const std::byte> bytes) {
               writeBytes(offset, bytes);
             }) {
  fileSize_ = currentSize();
}

void NtxPager::corrupt(const std::source_location& where) {
  const DriverError error{errors::kGenCorruption, kSubCorruption, path_, "", 0, kOfferNone};
  raiseDriverError(env_, error, where);
  // A record that offers nothing is always abandoned.
  throw errors::ErrorAbandoned(makeDriverRecord(error, where));
}

void NtxPager::failWrite(int osCode, const std::source_location& where) {
  const DriverError error{errors::kGenWrite, kSubWrite, path_, "", osCode, kOfferNone};
  raiseDriverError(env_, error, where);
  throw errors::ErrorAbandoned(makeDriverRecord(error, where));
}

void NtxPager::failRead(int osCode, const std::source_location& where) {
  const DriverError error{errors::kGenRead, kSubRead, path_, "", osCode, kOfferNone};
  raiseDriverError(env_, error, where);
  throw errors::ErrorAbandoned(makeDriverRecord(error, where));
}

std::uint64_t NtxPager::currentSize() {
  auto size = file_->size();
  if (!size) failRead(size.error().osCode);
  return *size;
}

// Blocking: a request refused because another program holds the byte is
// made again after a pause; any other failure is a lock failure.
void NtxPager::takeOsLock(platform::LockKind kind) {
  if (!shared_) return;
  for (;;) {
    auto status = file_->lockWait(kNtxLockOffset, 1, kind);
    if (status) return;
    const int osCode = status.error().osCode;
    if (osCode != platform::kOsLockViolation) {
      const DriverError error{errors::kGenLock, kSubLock, path_, "", osCode, kOfferNone};
      raiseDriverError(env_, error);
      throw errors::ErrorAbandoned(makeDriverRecord(error, std::source_location::current()));
    }
    env_.fs.pause();
  }
}

// A failed unlock leaves nothing to do: the lock goes with the open file.
void NtxPager::releaseOsLock() {
  if (shared_) (void)file_->unlock(kNtxLockOffset, 1);
}

// Another program may have changed the index since the last lock: its
// header start tells, through the version counter.
void NtxPager::refreshHeader() {
  if (!shared_) return;
  std::array<std::byte, kNtxHeaderStartSize> bytes{};
  auto got = file_->readAt(0, bytes);
  if (!got) failRead(got.error().osCode);
  if (*got != bytes.size()) corrupt();
  const std::uint16_t version = header_.version;
  decodeHeaderStart(bytes, header_);
  if (header_.version != version) {
    cache_.clear();
    fileSize_ = currentSize();
  }
  if (!isPageOffset(header_.root, fileSize_)) corrupt();
  if (header_.freePage != 0 && !isPageOffset(header_.freePage, fileSize_)) corrupt();
}

void NtxPager::loadHeader() {
  takeOsLock(platform::LockKind::Shared);
  NtxPageBytes bytes{};
  auto got = file_->readAt(0, bytes);
  releaseOsLock();
  if (!got) failRead(got.error().osCode);
  if (*got != bytes.size()) corrupt();
  auto header = decodeHeader(bytes);
  if (!header) corrupt();
  fileSize_ = currentSize();
  if (!isPageOffset(header->root, fileSize_)) corrupt();
  if (header->freePage != 0 && !isPageOffset(header->freePage, fileSize_)) corrupt();
  header_ = *header;
  layout_ = NtxLayout::of(header_);
  cache_.clear();
}

void NtxPager::lockRead() {
  if (readDepth_ > 0 || writeDepth_ > 0) {
    ++readDepth_;
    return;
  }
  takeOsLock(platform::LockKind::Shared);
  try {
    refreshHeader();
  } catch (...) {
    releaseOsLock();
    throw;
  }
  ++readDepth_;
}

void NtxPager::unlockRead() {
  if (readDepth_ == 0) return;
  if (--readDepth_ == 0 && writeDepth_ == 0) releaseOsLock();
}

void NtxPager::lockWrite() {
  if (writeDepth_ > 0) {
    ++writeDepth_;
    return;
  }
  // The shared lock cannot be turned into the exclusive one in place:
  // another reader could do the same and both would wait for ever.
  if (readDepth_ > 0) {
    const DriverError error{errors::kGenLock, kSubLock, path_, "", 0, kOfferNone};
    raiseDriverError(env_, error);
    throw errors::ErrorAbandoned(makeDriverRecord(error, std::source_location::current()));
  }
  takeOsLock(platform::LockKind::Exclusive);
  try {
    refreshHeader();
  } catch (...) {
    releaseOsLock();
    throw;
  }
  ++writeDepth_;
}

void NtxPager::unlockWrite() {
  if (writeDepth_ == 0) return;
  if (writeDepth_ == 1 && headerDirty_) {
    try {
      commitHeader();
    } catch (...) {
      abandonWrite();
      throw;
    }
  }
  if (--writeDepth_ == 0 && readDepth_ == 0) releaseOsLock();
}

// In exclusive use the held pages are what the file would hold had they
// been written: they stay, and the version moves on as it would.
void NtxPager::abandonWrite() {
  if (writeDepth_ == 0) return;
  if (--writeDepth_ > 0) return;
  if (writeBack_) {
    if (headerDirty_) commitHeader();
    if (readDepth_ == 0) releaseOsLock();
    return;
  }
  if (headerDirty_) {
    // Pages may have changed: move the version on so that other programs
    // drop what they cached, as far as the file still lets us.
    ++header_.version;
    auto bytes = encodeHeaderStart(header_);
    (void)file_->writeAt(0, bytes);
    headerDirty_ = false;
  }
  cache_.clear();
  if (readDepth_ == 0) releaseOsLock();
}

void NtxPager::commitHeader() {
  if (!writeBack_) {
    writeHeaderStart();
    return;
  }
  ++header_.version;
  headerDirty_ = false;
  headerPending_ = true;
}

void NtxPager::writeHeaderStart() {
  ++header_.version;
  auto bytes = encodeHeaderStart(header_);
  auto status = file_->writeAt(0, bytes);
  if (!status) failWrite(status.error().osCode);
  headerDirty_ = false;
}

void NtxPager::writeFullHeader() {
  ++header_.version;
  auto bytes = encodeHeader(header_);
  auto status = file_->writeAt(0, bytes);
  if (!status) failWrite(status.error().osCode);
  headerDirty_ = false;
  headerPending_ = false;
  if (fileSize_ < kNtxPageSize) fileSize_ = kNtxPageSize;
}

void NtxPager::writeBytes(std::uint32_t offset, std::span<const std::byte> bytes) {
  auto status = file_->writeAt(offset, bytes);
  if (!status) failWrite(status.error().osCode);
}

NtxPageBytes& NtxPager::frameAt(std::uint32_t offset) {
  if (NtxPageBytes* bytes = cache_.find(offset)) return *bytes;
  if (!isPageOffset(offset, fileSize_)) corrupt();
  if (writeBack_ && cache_.hasRoom()) {
    readAround(offset);
    if (NtxPageBytes* bytes = cache_.find(offset)) return *bytes;
  }
  NtxPageBytes& bytes = cache_.add(offset);
  try {
    readPage(offset, bytes);
  } catch (...) {
    cache_.erase(offset);
    throw;
  }
  return bytes;
}

// A page read from the file is checked and laid out as this layer writes
// it (which changes nothing a later write of it would not change).
void NtxPager::readPage(std::uint32_t offset, NtxPageBytes& bytes) {
  auto got = file_->readAt(offset, bytes);
  if (!got) failRead(got.error().osCode);
  if (*got != bytes.size()) corrupt();
  if (laidOutAsWritten(layout_, bytes, fileSize_)) return;
  if (decodePage(layout_, bytes, offset, fileSize_, scratch_) != PageFault::None) corrupt();
  encodePage(layout_, scratch_, bytes);
}

// In exclusive use the file holds every page not in memory as it is, so
// while the cache has room the block of pages around a missing one is read
// at once, and those laid out as written come in. Any other page, the
// missing one included, is left to be read alone, which checks it.
void NtxPager::readAround(std::uint32_t offset) {
  constexpr std::uint64_t kBlock = kBlockPages * kNtxPageSize;
  const std::uint64_t start = std::max<std::uint64_t>(offset / kBlock * kBlock, kNtxPageSize);
  const std::uint64_t end = std::min(start + kBlock, fileSize_ / kNtxPageSize * kNtxPageSize);
  if (end <= start) return;
  around_.resize(end - start);
  auto got = file_->readAt(start, around_);
  if (!got) return;
  for (std::uint64_t at = 0; at + kNtxPageSize <= *got && cache_.hasRoom(); at += kNtxPageSize) {
    const auto page = static_cast<std::uint32_t>(start + at);
    const std::span<const std::byte, kNtxPageSize> bytes(around_.data() + at, kNtxPageSize);
    if (cache_.contains(page) || !laidOutAsWritten(layout_, bytes, fileSize_)) continue;
    NtxPageBytes& frame = cache_.add(page);
    std::copy(bytes.begin(), bytes.end(), frame.begin());
  }
}

void NtxPager::grownTo(std::uint32_t offset) {
  if (offset + kNtxPageSize > fileSize_) fileSize_ = offset + kNtxPageSize;
}

// The whole page is asked of the memory at once: a search then finds its
// lines arriving together rather than one after the other.
NtxPageView NtxPager::page(std::uint32_t offset) {
  const std::byte* bytes = frameAt(offset).data();
  for (std::size_t line = 0; line < kNtxPageSize; line += 64) __builtin_prefetch(bytes + line);
  return NtxPageView(bytes, layout_, offset);
}

void NtxPager::writePage(const NtxPage& page) {
  NtxPageBytes& bytes = cache_.add(page.offset);
  encodePage(layout_, page, bytes);
  grownTo(page.offset);
  pageChanged(page.offset, bytes);
}

void NtxPager::pageChanged(std::uint32_t offset, const NtxPageBytes& bytes) {
  if (writeBack_) {
    cache_.setDirty(offset);
  } else {
    writeBytes(offset, bytes);
  }
  headerDirty_ = true;
}

std::uint32_t NtxPager::allocatePage() {
  headerDirty_ = true;
  if (header_.freePage != 0) {
    const std::uint32_t offset = header_.freePage;
    const NtxPageView free = page(offset);
    // A page in use, or one that names itself, cannot be on the chain.
    if (free.count() != 0 || free.lastChild() == offset) corrupt();
    header_.freePage = free.lastChild();
    // Held back, the free page stays as the file would hold it until the
    // page that takes its place is written.
    if (!writeBack_) cache_.erase(offset);
    return offset;
  }
  const std::uint64_t end = (fileSize_ + kNtxPageSize - 1) / kNtxPageSize * kNtxPageSize;
  if (end + kNtxPageSize > 0xFFFFFFFFu) failWrite(platform::kOsDiskFull);
  fileSize_ = end + kNtxPageSize;
  return static_cast<std::uint32_t>(end);
}

void NtxPager::freePage(std::uint32_t offset) {
  NtxPage free;
  free.offset = offset;
  free.lastChild = header_.freePage;
  writePage(free);
  header_.freePage = offset;
}

void NtxPager::setRoot(std::uint32_t offset) {
  header_.root = offset;
  headerDirty_ = true;
}

void NtxPager::replaceTree(std::uint32_t root, std::uint64_t end) {
  auto status = file_->truncate(end);
  if (!status) failWrite(status.error().osCode);
  cache_.clear();
  fileSize_ = end;
  header_.root = root;
  header_.freePage = 0;
  headerDirty_ = true;
}

void NtxPager::writeHeld() {
  if (!file_) return;
  cache_.writeDirty();
  if (!headerPending_) return;
  auto bytes = encodeHeaderStart(header_);
  writeBytes(0, bytes);
  headerPending_ = false;
}

void NtxPager::flush() {
  if (!file_) return;
  writeHeld();
  auto status = file_->flush();
  if (!status) failWrite(status.error().osCode);
}

void NtxPager::close() {
  if (!file_) return;
  try {
    writeHeld();
  } catch (...) {
    closeFile();
    throw;
  }
  closeFile();
}

void NtxPager::closeFile() {
  (void)file_->close();
  file_.reset();
  cache_.clear();
  headerPending_ = false;
}

}  // namespace converte::storage
