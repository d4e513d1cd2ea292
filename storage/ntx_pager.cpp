// Page I/O, the free-page chain, the header start and the index locks of an
// open NTX file.

#include "storage/ntx_pager.h"

#include <utility>

#include "errors/gen_codes.h"
#include "storage/driver_error.h"

namespace converte::storage {
namespace {

// Pages kept in memory; the cache is emptied when it grows past this.
constexpr std::size_t kCachedPages = 256;

}  // namespace

NtxPager::NtxPager(StorageEnv& env, std::unique_ptr<platform::File> file, std::string path,
                   const NtxHeader& header, bool shared)
    : env_(env),
      file_(std::move(file)),
      path_(std::move(path)),
      header_(header),
      layout_(NtxLayout::of(header)),
      shared_(shared) {
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
      writeHeaderStart();
    } catch (...) {
      abandonWrite();
      throw;
    }
  }
  if (--writeDepth_ == 0 && readDepth_ == 0) releaseOsLock();
}

void NtxPager::abandonWrite() {
  if (writeDepth_ == 0) return;
  if (--writeDepth_ > 0) return;
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
  if (fileSize_ < kNtxPageSize) fileSize_ = kNtxPageSize;
}

void NtxPager::remember(const NtxPage& page) {
  if (cache_.size() >= kCachedPages && cache_.find(page.offset) == cache_.end()) cache_.clear();
  cache_[page.offset] = page;
}

const NtxPage& NtxPager::page(std::uint32_t offset) {
  if (auto found = cache_.find(offset); found != cache_.end()) return found->second;
  if (!isPageOffset(offset, fileSize_)) corrupt();
  NtxPageBytes bytes{};
  auto got = file_->readAt(offset, bytes);
  if (!got) failRead(got.error().osCode);
  if (*got != bytes.size()) corrupt();
  NtxPage decoded;
  if (decodePage(layout_, bytes, offset, fileSize_, decoded) != PageFault::None) corrupt();
  remember(decoded);
  return cache_.find(offset)->second;
}

void NtxPager::writePage(const NtxPage& page) {
  NtxPageBytes bytes{};
  encodePage(layout_, page, bytes);
  auto status = file_->writeAt(page.offset, bytes);
  if (!status) failWrite(status.error().osCode);
  if (page.offset + kNtxPageSize > fileSize_) fileSize_ = page.offset + kNtxPageSize;
  headerDirty_ = true;
  remember(page);
}

std::uint32_t NtxPager::allocatePage() {
  headerDirty_ = true;
  if (header_.freePage != 0) {
    const std::uint32_t offset = header_.freePage;
    const NtxPage& free = page(offset);
    // A page in use, or one that names itself, cannot be on the chain.
    if (free.count() != 0 || free.lastChild == offset) corrupt();
    header_.freePage = free.lastChild;
    cache_.erase(offset);
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

void NtxPager::flush() {
  if (!file_) return;
  auto status = file_->flush();
  if (!status) failWrite(status.error().osCode);
}

void NtxPager::close() {
  if (!file_) return;
  (void)file_->close();
  file_.reset();
  cache_.clear();
}

}  // namespace converte::storage
