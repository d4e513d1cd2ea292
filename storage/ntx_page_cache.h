// The pages of one NTX file kept in memory as their bytes, in frames found
// by page number, up to a limit; when it is reached the least recently used
// page makes room. A changed page not yet in the file is dirty: it goes to
// the writer when it leaves memory, or when every dirty page is written.

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "storage/ntx_layout.h"

namespace converte::storage {

class NtxPageCache {
 public:
  // Writes bytes (whole pages) at offset; raises on failure.
  using Writer = std::function<void(std::uint32_t offset, std::span<const std::byte> bytes)>;

  NtxPageCache(std::size_t limit, Writer writer);

  // The bytes of the page at offset, made the most recently used; null
  // when it is not in memory.
  NtxPageBytes* find(std::uint32_t offset);
  bool contains(std::uint32_t offset) const;
  // True while a page can come in without another going out.
  bool hasRoom() const { return frames_ < limit_ || !spare_.empty(); }
  // The bytes of the page at offset, made the most recently used: those it
  // has, or a new clean frame the caller fills. Making room writes the
  // least recently used page first when it is dirty; when that fails
  // nothing has changed.
  NtxPageBytes& add(std::uint32_t offset);
  // Marks the page at offset (in memory) changed and not yet written.
  void setDirty(std::uint32_t offset);
  // Forgets the page at offset, dirty or not.
  void erase(std::uint32_t offset);
  // Writes every dirty page in offset order; they stay, clean.
  void writeDirty();
  // Forgets everything, dirty pages included.
  void clear();

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  struct Link {
    std::uint32_t prev = kNone;
    std::uint32_t next = kNone;
  };
  // Page bytes fill whole cache lines of their own.
  struct alignas(64) Frame {
    NtxPageBytes bytes;
  };

  NtxPageBytes& bytesOf(std::uint32_t index);
  std::uint32_t& slotOf(std::uint32_t offset);
  std::uint32_t takeFrame();
  void linkFirst(std::uint32_t index);
  void unlink(std::uint32_t index);

  std::size_t limit_;
  Writer writer_;
  std::vector<std::unique_ptr<Frame[]>> chunks_;
  std::uint32_t frames_ = 0;  // frames made so far
  // By frame: the page's offset, whether it is dirty, and the chain of
  // frames, most recently used first.
  std::vector<std::uint32_t> offsets_;
  std::vector<std::uint8_t> dirty_;
  std::vector<Link> links_;
  std::uint32_t first_ = kNone;
  std::uint32_t last_ = kNone;
  std::vector<std::uint32_t> frameOf_;  // by page number
  std::vector<std::uint32_t> spare_;    // frames of erased pages
};

}  // namespace converte::storage
