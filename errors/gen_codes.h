// The generic error classes and their short English descriptions, and the
// table driver's mapping from its own sub-codes to generic classes.

#pragma once

#include <optional>
#include <string_view>

namespace converte::errors {

enum GenCode : int {
  kGenArgument = 1,
  kGenZeroDivision = 5,
  kGenNoAlias = 15,
  kGenAliasChars = 17,
  kGenAliasInUse = 18,
  kGenCreate = 20,
  kGenOpen = 21,
  kGenClose = 22,
  kGenRead = 23,
  kGenWrite = 24,
  kGenUnsupported = 30,
  kGenLimit = 31,
  kGenCorruption = 32,
  kGenDataType = 33,
  kGenDataWidth = 34,
  kGenNoTable = 35,
  kGenUnindexed = 36,
  kGenShared = 37,
  kGenUnlocked = 38,
  kGenReadOnly = 39,
  kGenAppendLock = 40,
  kGenLock = 41,
};

// "Open error" for 21 and so on; nullopt for a class without a description.
std::optional<std::string_view> describe(int genCode);

// The generic class of a table-driver sub-code (1001 -> 21, ..., others 30).
int genCodeOfDriverSubCode(int subCode);

}  // namespace converte::errors
