// The field type letters: how a structure entry becomes a stored field when a
// table is created, which descriptors an opened table may hold, and what a
// blank value of each type looks like in a record.

#pragma once

#include <optional>
#include <span>
#include <string>

#include "storage/dbf_header.h"
#include "storage/field_spec.h"

namespace converte::storage {

// The layout family a table's version byte announces.
enum class TableStyle { Standard, DbaseIv, VisualFox };

// The stored field for a structure entry (name already normalised), by the
// create rules of each type letter; nullopt for a letter the driver does not
// know.
std::optional<Field> fieldForCreate(const std::string& name, char letter, int length,
                                    int decimals, std::optional<int> flags);

// The descriptor written for a stored field.
FieldDescriptor descriptorOf(const Field& field);

// The in-memory field for a descriptor of an opened table; nullopt when the
// letter is unknown or its length rule is broken.
std::optional<Field> fieldFromDescriptor(const FieldDescriptor& descriptor, TableStyle style);

// True for fields whose record bytes are a block reference into the memo
// file (M, and the memo-like P, W, G and 10-byte B).
bool isMemoField(const Field& field);

// Fills a field's bytes in a blank record: blanks for the text-stored types,
// zeros for the binary ones.
void blankFieldBytes(const Field& field, std::span<char> bytes);

}  // namespace converte::storage
