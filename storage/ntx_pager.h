// The pages of one open NTX file: whole-page reads through a cache of page
// bytes (each page checked when read and kept in the layout this layer
// writes), page writes, the free-page chain, the header with its version
// counter, and the index read and write locks with their nesting. In shared
// use every change is written at once, the header start when the write lock
// goes; in exclusive use changed pages and the header start are held in
// memory and written on flush, on close, or when the cache pushes a page
// out, leaving the same bytes in the end. Every fault is raised through the
// environment's handler naming the file.

#pragma once

#include <cstdint>
#include <memory>
#include <source_location>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "storage/ntx_layout.h"
#include "storage/ntx_page_cache.h"
#include "storage/ntx_page_view.h"
#include "storage/storage_env.h"

namespace converte::storage {

// Pages kept in memory.
struct NtxCacheLimits {
  std::size_t pages = 0;

  static NtxCacheLimits standard(bool shared);
};

class NtxPager {
 public:
  // Takes the open file; shared selects the OS locks (none in exclusive
  // use) and write-through. header is the one of a file being created; an
  // existing file's header is read with loadHeader.
  NtxPager(StorageEnv& env, std::unique_ptr<platform::File> file, std::string path,
           const NtxHeader& header, bool shared);
  NtxPager(StorageEnv& env, std::unique_ptr<platform::File> file, std::string path,
           const NtxHeader& header, bool shared, NtxCacheLimits limits);

  // Reads and checks the whole header under the read lock. Raises
  // "Corruption detected" for a header this layer cannot use.
  void loadHeader();

  const std::string& path() const { return path_; }
  const NtxHeader& header() const { return header_; }
  const NtxLayout& layout() const { return layout_; }
  bool isOpen() const { return file_ != nullptr; }

  // Index locks. A read lock inside a write lock, or nested in another read
  // lock, only counts; the outermost request takes the OS lock (shared use)
  // and reads the header start again, dropping cached pages when the
  // version counter moved. Releasing the outermost write lock moves the
  // version counter on and writes the header start (held back in exclusive
  // use) when something changed.
  void lockRead();
  void unlockRead();
  void lockWrite();
  void unlockWrite();
  // Releases one write level after a failure inside it. When the outermost
  // level goes the version counter moves on if something changed; in shared
  // use the header start is written as far as possible and cached pages
  // are dropped, in exclusive use what is held stays, to be written later.
  void abandonWrite();
  int readDepth() const { return readDepth_; }
  int writeDepth() const { return writeDepth_; }

  // A key page, checked. Raises "Corruption detected" for an offset that is
  // not a whole page inside the file and for a page that does not decode.
  // The view lasts until another page is read into the cache.
  NtxPageView page(std::uint32_t offset);
  // Writes the page at its offset (whole page; held back in exclusive use)
  // and keeps it cached.
  void writePage(const NtxPage& page);
  // Changes the cached page at offset in place, then writes it as
  // writePage does; change gets an NtxPageEdit&.
  template <typename Change>
  void changePage(std::uint32_t offset, Change&& change) {
    NtxPageBytes& bytes = frameAt(offset);
    NtxPageEdit edit(bytes.data(), layout_, offset);
    change(edit);
    pageChanged(offset, bytes);
  }
  // Writes the page at offset (one from allocatePage) as fill lays it out
  // through an NtxPageEdit& (with assign), without reading it first.
  template <typename Fill>
  void newPage(std::uint32_t offset, Fill&& fill) {
    NtxPageBytes& bytes = cache_.add(offset);
    NtxPageEdit edit(bytes.data(), layout_, offset);
    fill(edit);
    grownTo(offset);
    pageChanged(offset, bytes);
  }
  // A page offset for a new page: the head of the free chain, else the end
  // of the file.
  std::uint32_t allocatePage();
  // Puts the page at the head of the free chain (written as writePage does).
  void freePage(std::uint32_t offset);
  void setRoot(std::uint32_t offset);
  // Writes the whole header page (only when the index is created).
  void writeFullHeader();

  // For a rebuild: the file is rewritten from the first page on; pages
  // written through the block writer end at end, the free chain is empty.
  // Cached pages are forgotten (writeHeld comes before the block writer).
  void replaceTree(std::uint32_t root, std::uint64_t end);
  platform::File& file() { return *file_; }

  // Writes the pages and header start held back in exclusive use.
  void writeHeld();
  // writeHeld, then asks the operating system to put the file on disk.
  void flush();
  // writeHeld, then closes the file (closed also when writing fails).
  void close();

  [[noreturn]] void corrupt(const std::source_location& where = std::source_location::current());
  [[noreturn]] void failWrite(int osCode,
                              const std::source_location& where = std::source_location::current());
  [[noreturn]] void failRead(int osCode,
                             const std::source_location& where = std::source_location::current());

 private:
  void takeOsLock(platform::LockKind kind);
  void releaseOsLock();
  void refreshHeader();
  void commitHeader();
  void writeHeaderStart();
  NtxPageBytes& frameAt(std::uint32_t offset);
  void readPage(std::uint32_t offset, NtxPageBytes& bytes);
  void readAround(std::uint32_t offset);
  void grownTo(std::uint32_t offset);
  void pageChanged(std::uint32_t offset, const NtxPageBytes& bytes);
  void writeBytes(std::uint32_t offset, std::span<const std::byte> bytes);
  void closeFile();
  std::uint64_t currentSize();

  StorageEnv& env_;
  std::unique_ptr<platform::File> file_;
  std::string path_;
  NtxHeader header_;
  NtxLayout layout_;
  bool shared_;
  bool writeBack_;  // exclusive use: changes are held back
  std::uint64_t fileSize_ = 0;
  int readDepth_ = 0;
  int writeDepth_ = 0;
  bool headerDirty_ = false;    // changed since the header start was last committed
  bool headerPending_ = false;  // committed but held back, not yet in the file
  NtxPageCache cache_;
  NtxPage scratch_;                 // a page being checked as it is read
  std::vector<std::byte> around_;   // a block of pages read at once
};

// Holds the read lock for a scope.
class NtxReadSection {
 public:
  explicit NtxReadSection(NtxPager& pager) : pager_(pager) { pager_.lockRead(); }
  ~NtxReadSection() { pager_.unlockRead(); }
  NtxReadSection(const NtxReadSection&) = delete;
  NtxReadSection& operator=(const NtxReadSection&) = delete;

 private:
  NtxPager& pager_;
};

// Holds the write lock for a scope. commit() releases it normally (writing
// the header); a scope left without commit, by an exception, abandons it.
class NtxWriteSection {
 public:
  explicit NtxWriteSection(NtxPager& pager) : pager_(pager) { pager_.lockWrite(); }
  ~NtxWriteSection() {
    if (!committed_) pager_.abandonWrite();
  }
  void commit() {
    committed_ = true;
    pager_.unlockWrite();
  }
  NtxWriteSection(const NtxWriteSection&) = delete;
  NtxWriteSection& operator=(const NtxWriteSection&) = delete;

 private:
  NtxPager& pager_;
  bool committed_ = false;
};

}  // namespace converte::storage
