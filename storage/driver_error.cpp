// The table driver's error records.

#include "storage/driver_error.h"

#include "errors/call_levels.h"

namespace converte::storage {

errors::ErrorRecord makeDriverRecord(const DriverError& error,
                                     const std::source_location& where) {
  errors::ErrorRecord record;
  record.severity = errors::kSeverityError;
  record.genCode = error.genCode != 0 ? error.genCode : errors::genCodeOfDriverSubCode(error.subCode);
  record.subSystem = std::string(kDriverName);
  record.subCode = error.subCode;
  record.osCode = error.osCode;
  if (auto text = errors::describe(record.genCode)) record.description = std::string(*text);
  record.fileName = error.fileName;
  record.operation = error.operation;
  record.canRetry = (error.offers & kOfferRetry) != 0;
  record.canDefault = (error.offers & kOfferDefault) != 0;
  record.callStack.push_back(errors::CallLevel::from(where));
  errors::appendActiveCallLevels(record);
  return record;
}

errors::Answer raiseDriverError(StorageEnv& env, const DriverError& error,
                                const std::source_location& where) {
  return errors::raise(env.handler, makeDriverRecord(error, where));
}

}  // namespace converte::storage
