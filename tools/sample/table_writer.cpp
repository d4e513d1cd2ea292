// The generator's hot loop: append, put every field that is not blank,
// delete the chosen records. The values are made in place, column by column.

#include "tools/sample/table_writer.h"

#include <stdexcept>
#include <vector>

namespace converte::sample {

void writeTable(storage::WorkAreaList& areas, const TablePlan& plan, const ValueContext& context) {
  storage::Structure structure;
  structure.reserve(plan.columns.size());
  for (const Column& column : plan.columns) structure.push_back(column.spec);
  if (!areas.createTable(plan.table, structure, {}, true))
    throw std::runtime_error("sample: cannot create " + plan.table);
  std::vector<ColumnValues> columns;
  columns.reserve(plan.columns.size());
  for (std::size_t i = 0; i < plan.columns.size(); ++i)
    columns.emplace_back(plan.columns[i], plan.table, static_cast<int>(i), context);
  storage::WorkArea& area = areas.current();
  for (std::uint64_t record = 0; record < plan.records; ++record) {
    if (!area.append()) throw std::runtime_error("sample: cannot append to " + plan.table);
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (const storage::FieldValue* value = columns[i].at(record))
        area.putField(static_cast<int>(i) + 1, *value);
    }
    if (isDeleted(plan, record)) area.deleteRecord();
  }
  areas.closeArea();
}

}  // namespace converte::sample
