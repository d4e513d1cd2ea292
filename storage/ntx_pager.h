// The pages of one open NTX file: whole-page reads through a small cache,
// write-through page writes, the free-page chain, the header with its
// version counter, and the index read and write locks with their nesting.
// Every fault is raised through the environment's handler naming the file.

#pragma once

#include <cstdint>
#include <memory>
#include <source_location>
#include <string>
#include <unordered_map>

#include "platform/file_system.h"
#include "storage/ntx_layout.h"
#include "storage/storage_env.h"

namespace converte::storage {

class NtxPager {
 public:
  // Takes the open file; shared selects the OS locks (none in exclusive
  // use). header is the one of a file being created; an existing file's
  // header is read with loadHeader.
  NtxPager(StorageEnv& env, std::unique_ptr<platform::File> file, std::string path,
           const NtxHeader& header, bool shared);

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
  // version counter moved. Releasing the outermost write lock writes the
  // header start when something changed.
  void lockRead();
  void unlockRead();
  void lockWrite();
  void unlockWrite();
  // Releases one write level after a failure inside it: nothing more is
  // written, and cached pages are dropped when the outermost level goes.
  void abandonWrite();
  int readDepth() const { return readDepth_; }
  int writeDepth() const { return writeDepth_; }

  // A key page, checked. Raises "Corruption detected" for an offset that is
  // not a whole page inside the file and for a page that does not decode.
  const NtxPage& page(std::uint32_t offset);
  // Writes the page at its offset (whole page) and keeps it cached.
  void writePage(const NtxPage& page);
  // A page offset for a new page: the head of the free chain, else the end
  // of the file.
  std::uint32_t allocatePage();
  // Puts the page at the head of the free chain (written at once).
  void freePage(std::uint32_t offset);
  void setRoot(std::uint32_t offset);
  // Writes the whole header page (only when the index is created).
  void writeFullHeader();

  // For a rebuild: the file is rewritten from the first page on; pages
  // written through the block writer end at end, the free chain is empty.
  void replaceTree(std::uint32_t root, std::uint64_t end);
  platform::File& file() { return *file_; }

  void flush();
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
  void writeHeaderStart();
  void remember(const NtxPage& page);
  std::uint64_t currentSize();

  StorageEnv& env_;
  std::unique_ptr<platform::File> file_;
  std::string path_;
  NtxHeader header_;
  NtxLayout layout_;
  bool shared_;
  std::uint64_t fileSize_ = 0;
  int readDepth_ = 0;
  int writeDepth_ = 0;
  bool headerDirty_ = false;
  std::unordered_map<std::uint32_t, NtxPage> cache_;
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
