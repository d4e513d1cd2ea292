// Generic error classes: one table of descriptions, one of driver sub-codes.

#include "errors/gen_codes.h"

#include <array>
#include <utility>

namespace converte::errors {
namespace {

constexpr std::array<std::pair<int, std::string_view>, 22> kDescriptions{{
    {kGenArgument, "Argument error"},
    {kGenZeroDivision, "Zero divisor"},
    {kGenNoAlias, "Alias does not exist"},
    {kGenAliasChars, "Illegal characters in alias"},
    {kGenAliasInUse, "Alias already in use"},
    {kGenCreate, "Create error"},
    {kGenOpen, "Open error"},
    {kGenClose, "Close error"},
    {kGenRead, "Read error"},
    {kGenWrite, "Write error"},
    {kGenUnsupported, "Operation not supported"},
    {kGenLimit, "Limit exceeded"},
    {kGenCorruption, "Corruption detected"},
    {kGenDataType, "Data type error"},
    {kGenDataWidth, "Data width error"},
    {kGenNoTable, "Workarea not in use"},
    {kGenUnindexed, "Workarea not indexed"},
    {kGenShared, "Exclusive required"},
    {kGenUnlocked, "Lock required"},
    {kGenReadOnly, "Write not allowed"},
    {kGenAppendLock, "Append lock failed"},
    {kGenLock, "Lock Failure"},
}};

constexpr std::array<std::pair<int, int>, 12> kDriverSubCodes{{
    {1001, kGenOpen},
    {1004, kGenCreate},
    {1010, kGenRead},
    {1011, kGenWrite},
    {1012, kGenCorruption},
    {1020, kGenDataType},
    {1021, kGenDataWidth},
    {1022, kGenUnlocked},
    {1023, kGenShared},
    {1024, kGenAppendLock},
    {1025, kGenReadOnly},
    {1038, kGenLock},
}};

}  // namespace

std::optional<std::string_view> describe(int genCode) {
  for (const auto& [code, text] : kDescriptions)
    if (code == genCode) return text;
  return std::nullopt;
}

int genCodeOfDriverSubCode(int subCode) {
  for (const auto& [sub, gen] : kDriverSubCodes)
    if (sub == subCode) return gen;
  return kGenUnsupported;
}

}  // namespace converte::errors
