// DBT memo files: 512-byte blocks, block 0 the header; a memo at block n starts
// at n * 512, ends with 0x1A 0x1A and occupies ceil((length + 1) / 512) blocks,
// so its second 0x1A may lie in the next memo's first byte. No padding.

#include <algorithm>
#include <cstring>

#include "storage/block_memo_file.h"
#include "storage/dbf_header.h"

namespace converte::storage {
namespace {

constexpr std::byte kMemoEnd{0x1A};

class DbtMemoFile final : public BlockMemoFile {
 public:
  using BlockMemoFile::BlockMemoFile;

  MemoFormat format() const override { return MemoFormat::Dbt; }
  void read(std::uint32_t block, std::string& out) override;

 protected:
  // Whatever the header says.
  std::uint32_t blockSize() const override { return kDbtBlockSize; }
  void encodeFreshHeader(MemoHeaderBytes out) const override { DbtHeader::fresh().encode(out); }
  std::uint32_t nextFreeOf(ConstMemoHeaderBytes header) const override {
    return DbtHeader::decode(header).nextFree;
  }
  void setNextFree(MemoHeaderBytes header, std::uint32_t next) const override {
    DbtHeader decoded = DbtHeader::decode(header);
    decoded.nextFree = next;
    decoded.encode(header);
  }
  void encodeMemo(std::string_view text, std::vector<std::byte>& out) override;
  std::uint64_t blocksOf(std::size_t length) const override {
    return (std::uint64_t{length} + 1 + kDbtBlockSize - 1) / kDbtBlockSize;
  }
};

// Reads 512-byte pieces straight into out until one holds 0x1A or the file
// ends; out keeps its capacity from call to call.
void DbtMemoFile::read(std::uint32_t block, std::string& out) {
  out.clear();
  if (block == 0) return;
  std::uint64_t offset = std::uint64_t{block} * kDbtBlockSize;
  for (;;) {
    const std::size_t start = out.size();
    out.resize(start + kDbtBlockSize);
    const std::size_t got =
        readBytes(offset, std::as_writable_bytes(std::span(out).subspan(start)));
    const auto piece = std::as_bytes(std::span(out).subspan(start, got));
    const auto end = std::find(piece.begin(), piece.end(), kMemoEnd);
    const auto kept = static_cast<std::size_t>(end - piece.begin());
    if (end != piece.end() || got < kDbtBlockSize) {
      out.resize(start + kept);
      return;
    }
    offset += got;
  }
}

// The text and both end bytes, for one write call.
void DbtMemoFile::encodeMemo(std::string_view text, std::vector<std::byte>& out) {
  out.resize(text.size() + 2);
  std::memcpy(out.data(), text.data(), text.size());
  out[text.size()] = kMemoEnd;
  out[text.size() + 1] = kMemoEnd;
}

}  // namespace

DbtHeader DbtHeader::fresh() {
  DbtHeader header;
  std::memcpy(header.rest.data(), kMemoSignature.data(), kMemoSignature.size());
  return header;
}

void DbtHeader::encode(MemoHeaderBytes out) const {
  storeU32(out.data(), nextFree);
  storeU32(out.data() + 4, blockSize);
  std::copy(rest.begin(), rest.end(), out.begin() + 8);
}

DbtHeader DbtHeader::decode(ConstMemoHeaderBytes in) {
  DbtHeader header;
  header.nextFree = loadU32(in.data());
  header.blockSize = loadU32(in.data() + 4);
  std::copy(in.begin() + 8, in.end(), header.rest.begin());
  return header;
}

std::unique_ptr<BlockMemoFile> newDbtMemoFile(StorageEnv& env, std::unique_ptr<platform::File> file,
                                              std::string path, bool shared, MemoWrites writes) {
  return std::make_unique<DbtMemoFile>(env, std::move(file), std::move(path), shared, writes);
}

}  // namespace converte::storage
