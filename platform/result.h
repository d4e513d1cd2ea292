// The value-or-error result of every platform call. A failing call hands back
// an OsError carrying the Windows-style code the suite's error records use.

#pragma once

#include <string>
#include <utility>
#include <variant>

namespace converte::platform {

// Windows-style operating-system codes, the only ones the program reports.
enum OsCode : int {
  kOsNone = 0,
  kOsFileNotFound = 2,
  kOsPathNotFound = 3,
  kOsTooManyOpenFiles = 4,
  kOsAccessDenied = 5,
  kOsInvalidHandle = 6,
  kOsNotEnoughMemory = 8,
  kOsNotSameDevice = 17,
  kOsGeneralFailure = 31,  // any failure without a closer code
  kOsSharingViolation = 32,
  kOsLockViolation = 33,
  kOsFileExists = 80,
  kOsInvalidParameter = 87,
  kOsDiskFull = 112,
  kOsNameTooLong = 206,
};

struct OsError {
  int osCode = kOsNone;
  std::string operation;  // "open", "rename", ...
  std::string path;
};

// Result<T>: either a T or an OsError. Never throws on its own.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}
  Result(OsError error) : v_(std::move(error)) {}

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() { return std::get<0>(v_); }
  const T& value() const { return std::get<0>(v_); }
  T& operator*() { return value(); }
  T* operator->() { return &value(); }
  const OsError& error() const { return std::get<1>(v_); }

 private:
  std::variant<T, OsError> v_;
};

// Result of a call that gives back nothing but success or an error.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(OsError error) : failed_(true), error_(std::move(error)) {}
  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const OsError& error() const { return error_; }

 private:
  bool failed_ = false;
  OsError error_;
};

}  // namespace converte::platform
