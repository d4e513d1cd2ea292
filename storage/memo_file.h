// Memo files: the texts of a table's memo fields, kept beside the table in
// blocks. DBT files (512-byte blocks, texts ended by 0x1A 0x1A) are what the
// suite's tables use; FPT files (block headers, big-endian numbers) are
// opened when a table announces one.
//
// Errors are raised as error records through the environment's handler:
// create 20/1005, open 21/1002, read 23/1010, write 24/1011, naming the memo
// file. Ownership: the table that opened a memo file owns it.

#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "storage/storage_env.h"

namespace converte::storage {

enum class MemoFormat { Dbt, Fpt };

// How an exclusive memo file writes a memo: at once, the header with its new
// next free block right after it; or held back in memory, memos and header
// written by flush and close and before anything is read from the file (a
// table open exclusively). In shared use every memo is written at once.
enum class MemoWrites { Immediate, HeldBack };

class MemoFile {
 public:
  virtual ~MemoFile() = default;

  virtual MemoFormat format() const = 0;
  virtual const std::string& path() const = 0;

  // Fills out with the text of the memo starting at block (block > 0). A
  // block beyond the end of the file reads as the empty text.
  virtual void read(std::uint32_t block, std::string& out) = 0;
  // Writes text as a new memo at the next free block and returns that block;
  // an empty text writes nothing and returns 0. In shared use the memo write
  // lock is held around the header read and write.
  virtual std::uint32_t write(std::string_view text) = 0;
  // Empties the file: a fresh header and nothing else.
  virtual void empty() = 0;

  // Memo compaction for pack: beginCompaction opens a temporary memo file
  // with a fresh header in the same directory; copyToCompaction copies one
  // memo (by block of this file) into it and returns its new block;
  // finishCompaction sets the temporary file's next free block, copies it
  // over this file, truncates this file to its size and removes it.
  virtual void beginCompaction() = 0;
  virtual std::uint32_t copyToCompaction(std::uint32_t block) = 0;
  virtual void finishCompaction() = 0;

  // Writes what is held back, then asks for the file on disk.
  virtual void flush() = 0;
  // Writes what is held back and closes the file.
  virtual void close() = 0;
};

// Creates (truncating) the memo file at path, exclusive read-write, and
// writes its empty header. Raises 20/1005 offering retry.
std::unique_ptr<MemoFile> createMemoFile(StorageEnv& env, const std::string& path,
                                         MemoFormat format);

// Opens the memo file at path with the table's modes. Raises 21/1002
// offering retry and default; returns nullptr when the handler answers
// default (the table open then fails as a whole).
std::unique_ptr<MemoFile> openMemoFile(StorageEnv& env, const std::string& path, MemoFormat format,
                                       platform::Access access, platform::ShareMode share,
                                       MemoWrites writes = MemoWrites::Immediate);

}  // namespace converte::storage
