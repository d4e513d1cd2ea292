// F6: the vacation records of FOFERFUN numbered in file order, the last
// number kept in GVCHAVES, and their day counts filled in. The fix-up
// reports its own run-time errors and leaves what it changed before one.

#include <cstdint>
#include <string_view>

#include "catalogue/fixups.h"
#include "catalogue/messages.h"
#include "catalogue/script_tables.h"
#include "driver/context/guarded.h"
#include "driver/context/run_context.h"
#include "errors/call_levels.h"

namespace converte::catalogue {
namespace {

constexpr std::string_view kKeysFile = "GVCHAVES.DBF";
constexpr std::string_view kKeys = "GVCHAVES";
constexpr std::string_view kLastVacationNumber = "U_FERIAS";
constexpr std::string_view kVacations = "FOFERFUN";
constexpr std::string_view kRecordNumber = "NO_REG";
constexpr std::string_view kVacationDays = "DIA_FER";
constexpr std::string_view kFirstDay = "DTG1";
constexpr std::string_view kLastDay = "DTG2";

constexpr int kRecordNumberWidth = 15;
constexpr int kLastNumberWidth = 10;
constexpr int kDaysWidth = 2;

// Julian day number of 1 January 1970; the empty date is day 0, so that a
// day count with an empty end date does not fit any day-count field.
constexpr std::int64_t kJulianDayOfEpoch = 2440588;

// The work areas the fix-up opened, 0 for none: they are closed whatever
// happens inside.
struct VacationAreas {
  int keys = 0;
  int vacations = 0;
};

// Opens the table for exclusive use in a new work area and notes the area.
// nullptr when it could not be opened and the error was passed over.
storage::WorkArea* openNoted(driver::RunContext& run, std::string_view table, int& noted) {
  storage::WorkAreaList& areas = run.services.areas;
  if (!areas.useArea(true, "", table, "", false)) return nullptr;
  noted = areas.currentNumber();
  return &areas.current();
}

void closeNoted(driver::RunContext& run, int& noted) {
  if (noted == 0) return;
  run.services.areas.selectArea(noted);
  noted = 0;
  run.services.areas.closeArea();
}

std::int64_t dayNumber(const storage::FieldValue& value) {
  if (!value.isDate() || value.date().isEmpty()) return 0;
  const storage::Date& date = value.date();
  // Days from the civil date, counted in 400-year eras from 1 March 0000.
  const std::int64_t year = date.year - (date.month <= 2 ? 1 : 0);
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t month = date.month + (date.month > 2 ? -3 : 9);
  const std::int64_t dayOfYear = (153 * month + 2) / 5 + date.day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468 + kJulianDayOfEpoch;
}

storage::FieldValue integer(std::int64_t value, int width) {
  return storage::FieldValue(storage::Number::ofInteger(value, width));
}

// Numbers every record 1, 2, 3 ... while the first record's number or the
// last number given is 0, and keeps the last number in GVCHAVES.
void numberVacations(driver::RunContext& run, storage::WorkArea& keys,
                     storage::WorkArea& vacations) {
  if (vacations.recCount() == 0) return;
  int number = requireField(vacations, kRecordNumber);
  if (wholeNumber(vacations, number) != 0 &&
      wholeNumber(keys, requireField(keys, kLastVacationNumber)) != 0) {
    return;
  }
  driver::MGLIGAMSG(run, kConvertingVacationNumbers);
  std::int64_t given = 0;
  forEachRecord(vacations,
                [&] { vacations.putField(number, integer(++given, kRecordNumberWidth)); });
  keys.putField(requireField(keys, kLastVacationNumber), integer(given, kLastNumberWidth));
}

// Fills every record's day count, both days included, while the first
// record's count is 0. A count that does not fit the field raises the
// storage layer's width error.
void countVacationDays(driver::RunContext& run, storage::WorkArea& vacations) {
  toFirstRecord(vacations);
  if (vacations.recCount() == 0) return;
  int days = requireField(vacations, kVacationDays);
  if (wholeNumber(vacations, days) != 0) return;
  int firstDay = requireField(vacations, kFirstDay);
  int lastDay = requireField(vacations, kLastDay);
  driver::MGLIGAMSG(run, kConvertingVacationDays);
  storage::FieldValue date;
  forEachRecord(vacations, [&] {
    vacations.readField(firstDay, date);
    std::int64_t from = dayNumber(date);
    vacations.readField(lastDay, date);
    vacations.putField(days, integer(dayNumber(date) - from + 1, kDaysWidth));
  });
}

void convertVacations(driver::RunContext& run, VacationAreas& opened) {
  storage::WorkArea* keys = openNoted(run, kKeys, opened.keys);
  if (keys == nullptr) return;
  storage::WorkArea* vacations = openNoted(run, kVacations, opened.vacations);
  if (vacations == nullptr) return;
  toFirstRecord(*keys);
  toFirstRecord(*vacations);
  numberVacations(run, *keys, *vacations);
  countVacationDays(run, *vacations);
}

}  // namespace

bool MGFERFUN(driver::RunContext& run) {
  errors::CallFrame frame("CATALOGUE", "MGFERFUN");
  if (!tableFileExists(run, kKeysFile)) return true;
  VacationAreas opened;
  driver::guardedStep(run, [&] { convertVacations(run, opened); });
  // Closed also after an error, so that the next steps find the tables
  // free; the records already changed are written as they stand.
  driver::guardedStep(run, [&] {
    closeNoted(run, opened.vacations);
    closeNoted(run, opened.keys);
  });
  return true;
}

}  // namespace converte::catalogue
