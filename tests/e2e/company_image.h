// A company directory's tables as the whole-run tests compare them: each
// table's structure and its records in file order, every field as its
// stored bytes (memo fields as their text), read through the storage layer.

#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "storage/field_spec.h"

namespace converte::testing {

struct ImageRecord {
  bool deleted = false;
  std::vector<std::string> cells;  // by field position

  bool operator==(const ImageRecord&) const = default;
};

struct TableImage {
  storage::Structure structure;
  std::vector<ImageRecord> records;

  // The position of the first field of that (stored) name; -1 when none.
  int position(std::string_view name) const;
  bool has(std::string_view name) const { return position(name) >= 0; }
  const storage::FieldSpec& field(std::string_view name) const;
  // The first record not marked deleted; nullptr when there is none.
  const ImageRecord* firstLive() const;
  ImageRecord* firstLive();
};

// Tables by upper-case base name.
using CompanyImage = std::map<std::string, TableImage>;

// Every *.DBF table of the directory, opened read-only.
CompanyImage readCompanyImage(const std::string& directory);

// The upper-case base name of a file name ("dados.dbf" gives DADOS).
std::string tableNameOf(std::string_view fileName);

}  // namespace converte::testing
