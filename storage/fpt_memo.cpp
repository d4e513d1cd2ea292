// FPT memo files: big-endian numbers, the block size in the header, and every
// memo starting with an 8-byte block header (type, data length) followed by
// exactly that many bytes. This layer pads each memo to its last block.

#include <algorithm>
#include <cstring>
#include <limits>

#include "errors/gen_codes.h"
#include "storage/block_memo_file.h"
#include "storage/driver_error.h"

namespace converte::storage {
namespace {

std::uint32_t loadBe32(const std::byte* p) {
  return (std::to_integer<std::uint32_t>(p[0]) << 24) |
         (std::to_integer<std::uint32_t>(p[1]) << 16) |
         (std::to_integer<std::uint32_t>(p[2]) << 8) | std::to_integer<std::uint32_t>(p[3]);
}

void storeBe32(std::byte* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = std::byte((v >> (8 * (3 - i))) & 0xFF);
}

class FptMemoFile final : public BlockMemoFile {
 public:
  FptMemoFile(StorageEnv& env, std::unique_ptr<platform::File> file, std::string path, bool shared,
              MemoWrites writes)
      : BlockMemoFile(env, std::move(file), std::move(path), shared, writes) {}

  MemoFormat format() const override { return MemoFormat::Fpt; }
  void read(std::uint32_t block, std::string& out) override;
  // Takes the block size from the file's header; a header too short to hold
  // one leaves the default.
  void loadBlockSize();

 protected:
  std::uint32_t blockSize() const override { return blockSize_; }
  void encodeFreshHeader(MemoHeaderBytes out) const override {
    FptHeader::fresh(blockSize_).encode(out);
  }
  std::uint32_t nextFreeOf(ConstMemoHeaderBytes header) const override {
    return FptHeader::decode(header).nextFree;
  }
  void setNextFree(MemoHeaderBytes header, std::uint32_t next) const override {
    FptHeader decoded = FptHeader::decode(header);
    decoded.nextFree = next;
    decoded.encode(header);
  }
  void encodeMemo(std::string_view text, std::vector<std::byte>& out) override;
  std::uint64_t blocksOf(std::size_t length) const override {
    return (kFptBlockHeaderSize + std::uint64_t{length} + blockSize_ - 1) / blockSize_;
  }

 private:
  std::uint32_t blockSize_ = kFptDefaultBlockSize;
};

// A block inside the header, or beyond the end of the file, reads as the
// empty text. A length reaching beyond the end of the file is cut there.
void FptMemoFile::read(std::uint32_t block, std::string& out) {
  out.clear();
  if (block < firstDataBlock()) return;
  const std::uint64_t offset = std::uint64_t{block} * blockSize_;
  std::array<std::byte, kFptBlockHeaderSize> blockHeader{};
  if (readBytes(offset, blockHeader) < blockHeader.size()) return;
  const std::uint64_t dataStart = offset + kFptBlockHeaderSize;
  const std::uint64_t size = fileSize();
  const std::uint64_t available = size > dataStart ? size - dataStart : 0;
  out.resize(static_cast<std::size_t>(
      std::min<std::uint64_t>(loadBe32(blockHeader.data() + 4), available)));
  out.resize(readBytes(dataStart, std::as_writable_bytes(std::span(out))));
}

// Block header, text, and zeros up to the end of the memo's last block.
void FptMemoFile::encodeMemo(std::string_view text, std::vector<std::byte>& out) {
  if (text.size() > std::numeric_limits<std::uint32_t>::max() - kFptBlockHeaderSize)
    fail(errors::kGenWrite, kSubWrite, 0);
  out.assign(static_cast<std::size_t>(blocksOf(text.size()) * blockSize_), std::byte{0});
  storeBe32(out.data(), kFptTextType);
  storeBe32(out.data() + 4, static_cast<std::uint32_t>(text.size()));
  std::memcpy(out.data() + kFptBlockHeaderSize, text.data(), text.size());
}

void FptMemoFile::loadBlockSize() {
  std::array<std::byte, kMemoHeaderSize> header{};
  if (readBytes(0, header) >= 8) blockSize_ = FptHeader::decode(header).blockSize();
}

}  // namespace

FptHeader FptHeader::fresh(std::uint32_t blockSize) {
  FptHeader header;
  header.blockSizeWord = blockSize;
  header.nextFree = static_cast<std::uint32_t>((kMemoHeaderSize + blockSize - 1) / blockSize);
  std::memcpy(header.rest.data(), kMemoSignature.data(), kMemoSignature.size());
  return header;
}

std::uint32_t FptHeader::blockSize() const {
  // The low half of the word is the 16-bit number at offset 6.
  const std::uint32_t low = blockSizeWord & 0xFFFF;
  return low != 0 ? low : kFptDefaultBlockSize;
}

void FptHeader::encode(MemoHeaderBytes out) const {
  storeBe32(out.data(), nextFree);
  storeBe32(out.data() + 4, blockSizeWord);
  std::copy(rest.begin(), rest.end(), out.begin() + 8);
}

FptHeader FptHeader::decode(ConstMemoHeaderBytes in) {
  FptHeader header;
  header.nextFree = loadBe32(in.data());
  header.blockSizeWord = loadBe32(in.data() + 4);
  std::copy(in.begin() + 8, in.end(), header.rest.begin());
  return header;
}

std::unique_ptr<BlockMemoFile> openedFptMemoFile(StorageEnv& env,
                                                 std::unique_ptr<platform::File> file,
                                                 std::string path, bool shared, MemoWrites writes) {
  auto memo = std::make_unique<FptMemoFile>(env, std::move(file), std::move(path), shared, writes);
  memo->loadBlockSize();
  return memo;
}

std::unique_ptr<BlockMemoFile> createdFptMemoFile(StorageEnv& env,
                                                  std::unique_ptr<platform::File> file,
                                                  std::string path) {
  return std::make_unique<FptMemoFile>(env, std::move(file), std::move(path), false,
                                       MemoWrites::Immediate);
}

}  // namespace converte::storage
