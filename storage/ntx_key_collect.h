// Collecting the keys of every record of a table to build an index: keys of
// one fixed length gathered side by side in one buffer and sorted through a
// permutation, and keys taken straight from a field's stored bytes wherever
// that gives the bytes the encoding of the field's value would give.

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/field_spec.h"
#include "storage/index_key.h"
#include "storage/ntx_index.h"

namespace converte::storage {

// The key of an index on one field, made from the field's bytes in the
// record. Character fields give their bytes; numeric fields whose text is
// written as a put writes it (and blank ones) give that text with the key
// mapping; dates and logicals give what their value would.
class StoredFieldKey {
 public:
  // nullopt when keys of that field and shape are not made from bytes.
  static std::optional<StoredFieldKey> of(const Field& field, const KeyShape& shape);

  // Writes the key (the shape's length) of the record's bytes at out; false
  // when this record's key must come from its value instead.
  bool encode(const char* record, char* out) const;

 private:
  StoredFieldKey(const Field& field, const KeyShape& shape)
      : kind_(shape.kind),
        offset_(field.offset),
        length_(field.length),
        keyLength_(shape.length),
        decimals_(field.decimals) {}
  bool numeric(const char* text, char* out) const;

  KeyShape::Kind kind_;
  int offset_;
  int length_;
  int keyLength_;
  int decimals_;
};

// Keys of records 1, 2, ... in the order they are added.
class KeyCollector {
 public:
  KeyCollector(std::size_t keyLength, std::size_t expected);

  // The key made by stored from the record's bytes; false (nothing added)
  // when it cannot be made that way.
  bool add(const StoredFieldKey& stored, const char* record);
  // A key of the key length (cut or padded with blanks otherwise).
  void add(std::string_view key);
  std::uint32_t count() const { return count_; }

  // The entries sorted by key (bytes as unsigned, reversed when descending),
  // then by record.
  std::vector<IndexEntry> sorted(bool descending) const;

 private:
  std::vector<std::uint32_t> sortedOrder(bool descending) const;

  std::size_t length_;
  std::string keys_;
  std::uint32_t count_ = 0;
};

}  // namespace converte::storage
