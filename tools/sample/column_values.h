// The values of one column, record by record: a pure function of the seed,
// the table, the record number and the column, made into one reused value
// so that the hot loop allocates nothing once its strings have grown.

#pragma once

#include <cstdint>
#include <string>

#include "storage/field_value.h"
#include "tools/sample/table_plan.h"

namespace converte::sample {

// What the values of a company's columns depend on beyond the column.
struct ValueContext {
  const CompanyChoices& company;
  std::uint64_t employees = 1;  // records of the employee table
  std::uint64_t unions = 1;     // records of the union table
};

class ColumnValues {
 public:
  ColumnValues(const Column& column, std::string_view table, int position, const ValueContext& context);

  // The value for record (0-based); nothing to put when the field stays blank.
  const storage::FieldValue* at(std::uint64_t record);

 private:
  std::uint64_t draw(std::uint64_t record) const;
  std::uint64_t recordDraw(std::uint64_t record, std::uint64_t purpose) const;
  const storage::FieldValue* text(std::string_view piece);
  // The string value cut to the field's length; nothing when it is empty.
  const storage::FieldValue* fit();
  const storage::FieldValue* words(std::uint64_t draw, std::size_t pieces);
  const storage::FieldValue* digits(std::uint64_t value, bool padded);
  const storage::FieldValue* number(std::uint64_t draw);
  const storage::FieldValue* day(storage::Date date);
  const storage::FieldValue* integer(std::int64_t value);
  const storage::FieldValue* dependant(std::uint64_t record);
  const storage::FieldValue* vacation(std::uint64_t record, bool end);

  Values values_;
  char type_;
  int length_;
  int decimals_;
  int arg_;
  std::uint64_t tableKey_;
  std::uint64_t columnKey_;
  const ValueContext& context_;
  storage::FieldValue value_;
};

}  // namespace converte::sample
