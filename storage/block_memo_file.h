// What the DBT and FPT memo files share, private to the storage layer: their
// 512-byte headers as value types, and the base that owns the open file and
// does the writing (at once or held back), the memo write lock, emptying and
// compaction.

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <source_location>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "storage/memo_file.h"
#include "storage/memo_write_run.h"
#include "storage/storage_env.h"

namespace converte::storage {

// Both formats keep a 512-byte header at the start of the file.
inline constexpr std::size_t kMemoHeaderSize = 512;
inline constexpr std::uint32_t kDbtBlockSize = 512;
// The block size of an FPT file this layer creates, and of one whose header
// gives none.
inline constexpr std::uint32_t kFptDefaultBlockSize = 64;
inline constexpr std::uint32_t kFptTextType = 1;
inline constexpr std::size_t kFptBlockHeaderSize = 8;

using MemoHeaderBytes = std::span<std::byte, kMemoHeaderSize>;
using ConstMemoHeaderBytes = std::span<const std::byte, kMemoHeaderSize>;

// DBT header: next free block (u32 little-endian at 0), block size (u32
// little-endian at 4, never read back), then bytes 8..511 kept as found.
struct DbtHeader {
  std::uint32_t nextFree = 1;
  std::uint32_t blockSize = kDbtBlockSize;
  std::array<std::byte, kMemoHeaderSize - 8> rest{};  // signature and zeros

  // The header of a new or emptied file: next free 1, 512, the signature.
  static DbtHeader fresh();
  void encode(MemoHeaderBytes out) const;
  static DbtHeader decode(ConstMemoHeaderBytes in);
  bool operator==(const DbtHeader&) const = default;
};

// FPT header: next free block (u32 big-endian at 0), block size (u32
// big-endian at 4; some writers keep only a u16 at 6), bytes 8..511 as found.
struct FptHeader {
  std::uint32_t nextFree = 0;
  std::uint32_t blockSizeWord = kFptDefaultBlockSize;
  std::array<std::byte, kMemoHeaderSize - 8> rest{};

  // A new or emptied file of that block size: next free is the first block
  // after the header.
  static FptHeader fresh(std::uint32_t blockSize);
  // The block size in use: the u32 at 4; the u16 at 6 when the u32 is no
  // plausible size (zero, or above 16 bits: garbage in the unused bytes 4
  // and 5); 64 when that is zero too.
  std::uint32_t blockSize() const;
  void encode(MemoHeaderBytes out) const;
  static FptHeader decode(ConstMemoHeaderBytes in);
  bool operator==(const FptHeader&) const = default;
};

// The signature written at offset 8 of a header this layer writes.
inline constexpr std::string_view kMemoSignature{"Quarvel\0", 8};

class BlockMemoFile : public MemoFile {
 public:
  // Held-back writes are taken only in exclusive use.
  BlockMemoFile(StorageEnv& env, std::unique_ptr<platform::File> file, std::string path,
                bool shared, MemoWrites writes = MemoWrites::Immediate);
  // Writes what is held back, quietly, and removes a temporary file of a
  // compaction that did not finish (unless it already began to overwrite
  // this file: then it is the only whole copy).
  ~BlockMemoFile() override;

  const std::string& path() const override { return path_; }
  std::uint32_t write(std::string_view text) override;
  void empty() override;
  void beginCompaction() override;
  std::uint32_t copyToCompaction(std::uint32_t block) override;
  void finishCompaction() override;
  void flush() override;
  void close() override;

 protected:
  // The layout of one format.
  virtual std::uint32_t blockSize() const = 0;
  virtual void encodeFreshHeader(MemoHeaderBytes out) const = 0;
  virtual std::uint32_t nextFreeOf(ConstMemoHeaderBytes header) const = 0;
  virtual void setNextFree(MemoHeaderBytes header, std::uint32_t next) const = 0;
  // The bytes of text as stored from its first block on, into out (may
  // raise "Write error" for a text the format cannot hold).
  virtual void encodeMemo(std::string_view text, std::vector<std::byte>& out) = 0;
  // The number of blocks a text of that length occupies.
  virtual std::uint64_t blocksOf(std::size_t length) const = 0;

  // Positioned reads of this file, after what is held back is written; a
  // failure raises "Read error".
  std::size_t readBytes(std::uint64_t offset, std::span<std::byte> out);
  std::uint64_t fileSize();
  // The first block after the header.
  std::uint32_t firstDataBlock() const;

  // Raises an error record naming this memo file that offers nothing, so
  // that the handler's answer always abandons.
  [[noreturn]] void fail(int genCode, int subCode, int osCode,
                         const std::source_location& where = std::source_location::current());

 private:
  std::uint32_t writeHeldBack(std::string_view text);
  void writeHeldBackBytes();
  void writeBytes(platform::File& file, std::uint64_t offset, std::span<const std::byte> data);
  [[noreturn]] void failHeldBackWrite(int osCode);
  void readHeader();
  std::uint32_t blockAfter(std::uint32_t block, std::size_t length);
  void writeFreshHeader(platform::File& file);
  void copyTemporaryOver(std::uint64_t size);
  void dropTemporary();

  StorageEnv& env_;
  std::unique_ptr<platform::File> file_;
  const std::string path_;
  const bool shared_;
  const bool holdBack_;

  std::array<std::byte, 2 * kMemoHeaderSize> header_{};  // first bytes of the file
  std::vector<std::byte> memoBytes_;                     // one memo as stored
  std::string compactText_;                              // one memo during compaction

  // Held-back writes: header_ is read once and then kept; its next free
  // block and the memos of run_ wait for the next flush.
  bool headerKnown_ = false;
  bool headerHeldBack_ = false;
  MemoWriteRun run_;

  std::unique_ptr<platform::File> temp_;
  std::unique_ptr<MemoWriteRun> tempRun_;  // the memos copied into temp_
  std::string tempPath_;
  std::uint32_t tempNext_ = 0;
  bool overwriting_ = false;
};

// The two formats over an open file. The FPT block size is taken from the
// file's header; createdFptMemoFile uses the default size (the header is
// written by the caller).
std::unique_ptr<BlockMemoFile> newDbtMemoFile(StorageEnv& env, std::unique_ptr<platform::File> file,
                                              std::string path, bool shared,
                                              MemoWrites writes = MemoWrites::Immediate);
std::unique_ptr<BlockMemoFile> openedFptMemoFile(StorageEnv& env,
                                                 std::unique_ptr<platform::File> file,
                                                 std::string path, bool shared,
                                                 MemoWrites writes = MemoWrites::Immediate);
std::unique_ptr<BlockMemoFile> createdFptMemoFile(StorageEnv& env,
                                                  std::unique_ptr<platform::File> file,
                                                  std::string path);

}  // namespace converte::storage
