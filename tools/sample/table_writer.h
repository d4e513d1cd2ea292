// Writing one planned table through the storage layer: created in the
// default directory, its records appended and filled field by field, the
// chosen records marked deleted, closed.

#pragma once

#include "storage/work_areas.h"
#include "tools/sample/column_values.h"
#include "tools/sample/table_plan.h"

namespace converte::sample {

// Throws std::runtime_error when the table cannot be created or filled.
void writeTable(storage::WorkAreaList& areas, const TablePlan& plan, const ValueContext& context);

}  // namespace converte::sample
