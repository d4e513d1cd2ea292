// FieldSpec: one field of a table structure as callers give it (name, type
// letter, length, decimals, optional flags), and the in-memory field record
// of an open table.

#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace converte::storage {

struct FieldSpec {
  std::string name;
  std::string type;  // its first character, upper-cased, is the type letter
  int length = 0;
  int decimals = 0;
  std::optional<int> flags;  // the optional fifth element of a structure entry

  bool operator==(const FieldSpec&) const = default;
};

using Structure = std::vector<FieldSpec>;

// Field flag bits as stored in descriptor byte 18.
enum FieldFlag : std::uint8_t {
  kFlagHidden = 1,
  kFlagNullable = 2,
  kFlagBinary = 4,
  kFlagAutoIncrement = 8,
};

// A field of an open or newly created table.
struct Field {
  std::string name;  // upper case, up to 63 characters; the file keeps 10
  char type = 'C';   // the stored type letter
  int length = 0;
  int decimals = 0;
  std::uint8_t flags = 0;
  int offset = 0;  // in the record, after the deletion flag
  // Automatic counter of `+` and `^` fields: next value and step.
  std::uint32_t counterNext = 0;
  std::uint8_t counterStep = 0;

  bool operator==(const Field&) const = default;
};

void PrintTo(const FieldSpec& spec, std::ostream* os);

}  // namespace converte::storage
