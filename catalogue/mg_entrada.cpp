// F9: the ICMS rate of every entry-book record taken from its rate code.
// Runs once in a company's life: the script calls it below version 10.

#include <array>
#include <string>

#include "catalogue/fixups.h"
#include "catalogue/messages.h"
#include "catalogue/script_tables.h"
#include "driver/context/run_context.h"
#include "driver/context/run_log.h"
#include "errors/call_levels.h"

namespace converte::catalogue {
namespace {

struct RateOfCode {
  char code;
  double rate;
};

// The rate codes of the entry book and the rates they stand for.
constexpr std::array<RateOfCode, 10> kRates{{{'1', 7.0},
                                             {'2', 12.0},
                                             {'3', 18.0},
                                             {'4', 25.0},
                                             {'5', 8.4},
                                             {'6', 11.0},
                                             {'7', 13.6},
                                             {'8', 30.0},
                                             {'9', 8.8},
                                             {'A', 5.6}}};
constexpr std::string_view kRateCodes = "123456789A";
constexpr int kRateWidth = 6;
constexpr int kRateDecimals = 2;

// The rate of a code as the field holds it (blanks kept): a code that is
// part of the list of codes, chosen by its first character. An empty code
// has no rate.
const RateOfCode* rateOf(std::string_view code) {
  if (code.empty() || kRateCodes.find(code) == std::string_view::npos) return nullptr;
  for (const RateOfCode& rate : kRates) {
    if (rate.code == code.front()) return &rate;
  }
  return nullptr;
}

}  // namespace

bool MGENTRADA(driver::RunContext& run) {
  errors::CallFrame frame("CATALOGUE", "MGENTRADA");
  if (!tableFileExists(run, "LFENTRA.DBF")) return false;
  storage::WorkArea& entries = openExclusive(run, "LFENTRA");
  driver::MGLIGAMSG(run, kConvertingEntryBook);
  int code = requireField(entries, "CDESTI_ENT");
  int rate = requireField(entries, "TRIBS1_ENT");
  forEachRecord(entries, [&] {
    storage::FieldValue value = entries.getField(code);
    if (!value.isString()) return;
    if (const RateOfCode* found = rateOf(value.string())) {
      entries.putField(rate, storage::Number::ofReal(found->rate, kRateWidth, kRateDecimals));
    }
  });
  run.services.areas.closeArea();
  return true;
}

}  // namespace converte::catalogue
