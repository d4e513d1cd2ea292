// The block reference a memo field holds in the record: decimal digits
// right-aligned with leading blanks (ten blanks: no memo), or a 32-bit
// little-endian number in a 4-byte field.

#pragma once

#include <cstdint>
#include <optional>

#include "storage/field_spec.h"

namespace converte::storage {

// The block number; nullopt when the bytes are not a valid reference.
std::optional<std::uint32_t> memoBlockOf(const Field& field, const char* bytes);
void storeMemoBlock(const Field& field, std::uint32_t block, char* bytes);

}  // namespace converte::storage
