// Test helper: the real file system with every call on an opened file
// written to a log (reads, writes, locks, pauses), and faults to inject into
// lock requests and writes.

#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace converte::testing {

// The calls made on the recorded files, and faults to inject into them.
struct CallLog {
  std::vector<std::string> calls;
  int refuseLocks = 0;  // lockWait requests to fail before granting
  int failWrite = 0;    // the writeAt call (1-based) to fail with disk full
  int writes = 0;
};

class RecordingFile final : public platform::File {
 public:
  RecordingFile(std::unique_ptr<platform::File> file, CallLog& log)
      : file_(std::move(file)), log_(log) {}

  platform::Result<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> out) override {
    note("readAt", offset, out.size());
    return file_->readAt(offset, out);
  }
  platform::Status writeAt(std::uint64_t offset, std::span<const std::byte> data) override {
    note("writeAt", offset, data.size());
    if (++log_.writes == log_.failWrite)
      return platform::OsError{platform::kOsDiskFull, "write", file_->path()};
    return file_->writeAt(offset, data);
  }
  platform::Result<std::uint64_t> size() override {
    log_.calls.push_back("size");
    return file_->size();
  }
  platform::Status truncate(std::uint64_t size) override {
    log_.calls.push_back("truncate " + std::to_string(size));
    return file_->truncate(size);
  }
  platform::Status flush() override { return file_->flush(); }
  platform::Status close() override { return file_->close(); }
  platform::Result<bool> tryLock(std::uint64_t offset, std::uint64_t length,
                                 platform::LockKind kind) override {
    note("tryLock", offset, length);
    return file_->tryLock(offset, length, kind);
  }
  platform::Status lockWait(std::uint64_t offset, std::uint64_t length,
                            platform::LockKind kind) override {
    note(kind == platform::LockKind::Exclusive ? "lockWait exclusive" : "lockWait shared", offset,
         length);
    if (log_.refuseLocks > 0) {
      --log_.refuseLocks;
      return platform::OsError{platform::kOsLockViolation, "lock", file_->path()};
    }
    return file_->lockWait(offset, length, kind);
  }
  platform::Status unlock(std::uint64_t offset, std::uint64_t length) override {
    note("unlock", offset, length);
    return file_->unlock(offset, length);
  }
  const std::string& path() const override { return file_->path(); }

 private:
  void note(const std::string& call, std::uint64_t a, std::uint64_t b) {
    log_.calls.push_back(call + " " + std::to_string(a) + " " + std::to_string(b));
  }

  std::unique_ptr<platform::File> file_;
  CallLog& log_;
};

// The real file system with every opened file recorded.
class RecordingFileSystem final : public platform::FileSystem {
 public:
  RecordingFileSystem(platform::FileSystem& fs, CallLog& log) : fs_(fs), log_(log) {}

  platform::Result<std::unique_ptr<platform::File>> open(std::string_view path,
                                                         platform::Access access,
                                                         platform::ShareMode share) override {
    return wrap(fs_.open(path, access, share));
  }
  platform::Result<std::unique_ptr<platform::File>> create(std::string_view path) override {
    return wrap(fs_.create(path));
  }
  platform::Result<std::unique_ptr<platform::File>> createTemporary(
      std::string_view dir, std::string_view prefix) override {
    return wrap(fs_.createTemporary(dir, prefix));
  }
  bool exists(std::string_view path) override { return fs_.exists(path); }
  bool isDirectory(std::string_view path) override { return fs_.isDirectory(path); }
  platform::Status erase(std::string_view path) override { return fs_.erase(path); }
  platform::Status rename(std::string_view from, std::string_view to) override {
    return fs_.rename(from, to);
  }
  platform::Result<std::vector<std::string>> list(std::string_view dir,
                                                  std::string_view pattern) override {
    return fs_.list(dir, pattern);
  }
  std::string resolve(std::string_view path) override { return fs_.resolve(path); }
  void pause() override { log_.calls.push_back("pause"); }

 private:
  platform::Result<std::unique_ptr<platform::File>> wrap(
      platform::Result<std::unique_ptr<platform::File>> opened) {
    if (!opened) return opened;
    return std::unique_ptr<platform::File>(
        std::make_unique<RecordingFile>(std::move(*opened), log_));
  }

  platform::FileSystem& fs_;
  CallLog& log_;
};

}  // namespace converte::testing
