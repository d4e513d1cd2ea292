// Building and raising the table driver's error records: every record names
// the driver as subsystem, carries the generic code of its sub-code and that
// code's description, and the call level that raised it.

#pragma once

#include <source_location>
#include <string>
#include <string_view>

#include "errors/error_handler.h"
#include "errors/gen_codes.h"
#include "storage/storage_env.h"

namespace converte::storage {

enum Offer : unsigned { kOfferNone = 0, kOfferRetry = 1, kOfferDefault = 2 };

struct DriverError {
  int genCode = 0;  // 0: the generic code of the sub-code
  int subCode = 0;
  std::string fileName;
  std::string operation;
  int osCode = 0;
  unsigned offers = kOfferNone;
};

errors::ErrorRecord makeDriverRecord(const DriverError& error,
                                     const std::source_location& where);

// Raises the error through env.handler. Returns Retry or Default when the
// record offers that answer and the handler chose it; otherwise throws
// errors::ErrorAbandoned.
errors::Answer raiseDriverError(StorageEnv& env, const DriverError& error,
                                const std::source_location& where = std::source_location::current());

// Sub-codes of the table driver.
enum DriverSubCode : int {
  kSubOpen = 1001,
  kSubNoAlias = 1002,        // work-area command; memo file open
  kSubCreate = 1004,
  kSubMemoCreate = 1005,     // memo file create; missing file name
  kSubRead = 1010,
  kSubWrite = 1011,
  kSubCorruption = 1012,
  kSubDataType = 1020,
  kSubDataWidth = 1021,
  kSubUnlocked = 1022,
  kSubShared = 1023,
  kSubAppendLock = 1024,
  kSubReadOnly = 1025,
  kSubLock = 1038,
  kSubArgument = 1014,
  kSubDriver = 1015,
  kSubCreateLimit = 1021,
  kSubCreateType = 1020,
  kSubNoTable = 2001,
  kSubEvalArgument = 2019,
};

}  // namespace converte::storage
