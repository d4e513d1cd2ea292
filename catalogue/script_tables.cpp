// The script's table helpers over the run's work areas.

#include "catalogue/script_tables.h"

#include "driver/context/run_context.h"
#include "migration/text_format.h"
#include "storage/storage_env.h"
#include "storage/work_areas.h"

namespace converte::catalogue {

bool tableFileExists(driver::RunContext& run, std::string_view fileName) {
  return storage::fileExists(run.services.storage, fileName);
}

storage::WorkArea& openExclusive(driver::RunContext& run, std::string_view table) {
  storage::WorkAreaList& areas = run.services.areas;
  areas.useArea(true, "", table, "", false);
  return areas.current();
}

int requireField(storage::WorkArea& area, std::string_view name) {
  int position = area.fieldPos(name);
  // Position 0 is no field: reading it raises the storage layer's argument
  // error, the run-time error of a missing field.
  if (position == 0) (void)area.getField(position);
  return position;
}

std::string trimmedText(storage::WorkArea& area, int position) {
  storage::FieldValue value = area.getField(position);
  return value.isString() ? migration::trimmedBlanks(value.string()) : std::string();
}

long long wholeNumber(storage::WorkArea& area, int position) {
  storage::FieldValue value = area.getField(position);
  if (!value.isNumber()) return 0;
  const storage::Number& number = value.number();
  return number.isInteger ? number.integer : static_cast<long long>(number.real);
}

bool toFirstRecord(storage::WorkArea& area) {
  area.goTop();
  return !area.eof();
}

void forEachRecord(storage::WorkArea& area, const std::function<void()>& action) {
  for (area.goTop(); !area.eof(); area.skip()) action();
}

void putText(storage::WorkArea& area, int position, std::string_view text) {
  area.putField(position, storage::FieldValue(std::string(text)));
}

}  // namespace converte::catalogue
