// Running an action over a scope of records, the way every pass over a
// table picks its records.

#include "storage/open_table.h"
#include "storage/work_area.h"

namespace converte::storage {

void WorkArea::eval(const std::function<void()>& action, const Scope& scope) {
  table();
  if (scope.record) {
    goTo(*scope.record);
  } else if (!scope.next && !scope.whileCondition && !scope.rest) {
    goTop();
  }
  std::int64_t handled = 0;
  while (!eof()) {
    if (scope.next && handled >= *scope.next) break;
    if (scope.whileCondition && !scope.whileCondition()) break;
    if (!scope.forCondition || scope.forCondition()) action();
    ++handled;
    if (scope.record) break;
    skip(1);
  }
}

}  // namespace converte::storage
