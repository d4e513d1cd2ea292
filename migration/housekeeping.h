// Housekeeping of a company directory: pattern deletion, erasing one table,
// packing every table when the entries table holds many deleted records,
// the duplicate-field test, and the payroll history tables.

#pragma once

#include <string_view>

namespace converte::driver {
struct RunContext;
}

namespace converte::migration {

void ENOVOAPAGAARQ(driver::RunContext& run, std::string_view pattern);
void APAGA_ARQ(driver::RunContext& run, std::string_view name);
void COMPACTADADOS(driver::RunContext& run);
void ARQ_CH_DUPL(driver::RunContext& run);
bool CH_DUP(driver::RunContext& run, std::string_view fileName);
void FONOVOS(driver::RunContext& run);

}  // namespace converte::migration
