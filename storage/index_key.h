// Index keys: the key expressions the layer evaluates (a field by name,
// optionally as FIELD->name or alias->name, or fields joined with `+`), and
// the conversion of a value to the key bytes an NTX file compares.

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/field_spec.h"
#include "storage/field_value.h"

namespace converte::storage {

class KeyExpression {
 public:
  // The expression's field names in order; nullopt when the text is not a
  // field name or names joined with `+`.
  static std::optional<KeyExpression> parse(std::string_view text);

  const std::vector<std::string>& fieldNames() const { return names_; }
  // The 1-based positions of the named fields in fields; nullopt when one
  // is not a field of the table.
  std::optional<std::vector<int>> resolve(const std::vector<Field>& fields) const;

 private:
  std::vector<std::string> names_;
};

// The kind of key a value gives, with its length and decimals; nullopt for
// a value that cannot be a key (nothing, or a character value of length 0
// is reported by the caller).
struct KeyShape {
  enum Kind { Character, Numeric, DateKey, Logical } kind = Character;
  int length = 0;
  int decimals = 0;
};
std::optional<KeyShape> keyShapeOf(const FieldValue& blankValue);

// The key bytes of value for an index of that shape: characters cut or
// padded with blanks; numbers as numeric text with leading zeros and the
// digits of negatives mapped so that they sort first; dates YYYYMMDD;
// logicals T or F. With partial, a character value shorter than the key is
// kept at its own length.
std::string encodeKey(const FieldValue& value, const KeyShape& shape, bool partial = false);

}  // namespace converte::storage
