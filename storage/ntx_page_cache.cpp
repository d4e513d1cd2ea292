// Frames of NTX pages: the page-number index, the least-recently-used
// chain, and the writing of dirty pages.

#include "storage/ntx_page_cache.h"

#include <algorithm>

namespace converte::storage {
namespace {

constexpr std::uint32_t kChunkFrames = 256;
// Fewer frames could drop a page the tree still looks at.
constexpr std::size_t kLeastFrames = 64;
// Dirty pages that follow each other go out in one write of at most this
// many pages.
constexpr std::size_t kRunPages = 256;

}  // namespace

NtxPageCache::NtxPageCache(std::size_t limit, Writer writer)
    : limit_(std::max(limit, kLeastFrames)), writer_(std::move(writer)) {}

NtxPageBytes& NtxPageCache::bytesOf(std::uint32_t index) {
  return chunks_[index / kChunkFrames][index % kChunkFrames].bytes;
}

std::uint32_t& NtxPageCache::slotOf(std::uint32_t offset) {
  const std::size_t page = offset / kNtxPageSize;
  if (page >= frameOf_.size()) frameOf_.resize(std::max(page + 1, frameOf_.size() * 2), kNone);
  return frameOf_[page];
}

void NtxPageCache::linkFirst(std::uint32_t index) {
  links_[index] = Link{kNone, first_};
  if (first_ != kNone) links_[first_].prev = index;
  first_ = index;
  if (last_ == kNone) last_ = index;
}

void NtxPageCache::unlink(std::uint32_t index) {
  const Link link = links_[index];
  (link.prev == kNone ? first_ : links_[link.prev].next) = link.next;
  (link.next == kNone ? last_ : links_[link.next].prev) = link.prev;
}

NtxPageBytes* NtxPageCache::find(std::uint32_t offset) {
  const std::size_t page = offset / kNtxPageSize;
  if (page >= frameOf_.size() || frameOf_[page] == kNone) return nullptr;
  const std::uint32_t index = frameOf_[page];
  if (index != first_) {
    unlink(index);
    linkFirst(index);
  }
  return &bytesOf(index);
}

void NtxPageCache::setDirty(std::uint32_t offset) { dirty_[frameOf_[offset / kNtxPageSize]] = 1; }

bool NtxPageCache::contains(std::uint32_t offset) const {
  const std::size_t page = offset / kNtxPageSize;
  return page < frameOf_.size() && frameOf_[page] != kNone;
}

// A frame for a page not in memory: a spare one, a new one below the
// limit, or the least recently used one.
std::uint32_t NtxPageCache::takeFrame() {
  if (!spare_.empty()) {
    const std::uint32_t index = spare_.back();
    spare_.pop_back();
    return index;
  }
  if (frames_ < limit_) {
    // Page bytes are left as they come: every frame is filled before use.
    if (frames_ % kChunkFrames == 0) chunks_.emplace_back(new Frame[kChunkFrames]);
    offsets_.push_back(0);
    dirty_.push_back(0);
    links_.emplace_back();
    return frames_++;
  }
  const std::uint32_t index = last_;
  if (dirty_[index]) writer_(offsets_[index], bytesOf(index));
  dirty_[index] = 0;
  unlink(index);
  slotOf(offsets_[index]) = kNone;
  return index;
}

NtxPageBytes& NtxPageCache::add(std::uint32_t offset) {
  if (NtxPageBytes* found = find(offset)) return *found;
  std::uint32_t& slot = slotOf(offset);
  const std::uint32_t index = takeFrame();
  offsets_[index] = offset;
  dirty_[index] = 0;
  slot = index;
  linkFirst(index);
  return bytesOf(index);
}

void NtxPageCache::erase(std::uint32_t offset) {
  const std::size_t page = offset / kNtxPageSize;
  if (page >= frameOf_.size() || frameOf_[page] == kNone) return;
  const std::uint32_t index = frameOf_[page];
  frameOf_[page] = kNone;
  dirty_[index] = 0;
  unlink(index);
  spare_.push_back(index);
}

// The page-number index gives the dirty pages in offset order. Pages that
// follow each other in the file and in memory go out in one write.
void NtxPageCache::writeDirty() {
  std::vector<std::uint32_t> dirty;
  for (std::uint32_t index : frameOf_)
    if (index != kNone && dirty_[index]) dirty.push_back(index);
  std::size_t first = 0;
  for (std::size_t i = 0; i < dirty.size(); ++i) {
    const bool runGoesOn = i + 1 < dirty.size() && i + 1 - first < kRunPages &&
                           offsets_[dirty[i + 1]] == offsets_[dirty[i]] + kNtxPageSize &&
                           bytesOf(dirty[i + 1]).data() == bytesOf(dirty[i]).data() + kNtxPageSize;
    if (runGoesOn) continue;
    writer_(offsets_[dirty[first]], std::span<const std::byte>(bytesOf(dirty[first]).data(),
                                                               (i + 1 - first) * kNtxPageSize));
    for (std::size_t j = first; j <= i; ++j) dirty_[dirty[j]] = 0;
    first = i + 1;
  }
}

void NtxPageCache::clear() {
  chunks_.clear();
  offsets_.clear();
  dirty_.clear();
  links_.clear();
  frames_ = 0;
  first_ = last_ = kNone;
  frameOf_.clear();
  spare_.clear();
}

}  // namespace converte::storage
