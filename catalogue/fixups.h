// The script's larger data fix-ups: the payroll's dependants, vacation
// records, termination table and union codes with the eSocial history
// tables, and the fiscal books' ICMS rates and assessment months. The
// script tests the preconditions named below before it calls them.

#pragma once

namespace converte::driver {
struct RunContext;
}

namespace converte::catalogue {

// F4: moves the dependants out of the employee table into FODEPEND. Called
// when FUNCIONA.DBF exists. Returns true.
bool MGFUNCIONARIO(driver::RunContext& run);
// F6: numbers the vacation records and fills their day counts; tests for
// GVCHAVES.DBF itself and reports its own run-time errors. Returns true.
bool MGFERFUN(driver::RunContext& run);
// F7: rebuilds the termination table when it holds more than one field
// whose name begins with DT_DEM. Called when FORECISA.DBF exists. Returns
// true.
bool C_FORECI(driver::RunContext& run);
// F7's rebuild, called by C_FORECI once FORECISA.DBF has been copied to
// COPREC.DBF: FORECISA re-created with its fixed structure and filled from
// the copy, each record's DT_DEM taken from the copy through the index
// FOTMPREC (left in the directory), and the copy erased. Returns true.
bool GERA_REC(driver::RunContext& run);
// F9: the ICMS rate of every entry-book record from its rate code. False
// when LFENTRA.DBF does not exist, true otherwise.
bool MGENTRADA(driver::RunContext& run);
// F10: widens MES_ICM of LFAPICM and rewrites it as month and year. Called
// with LFAPICM open in the current work area and its MES_ICM 2 wide.
// Returns true.
bool MGAPICM(driver::RunContext& run);
// F11: union codes in five digits and the employee history tables. Called
// when SINDICAT.DBF exists, under a guard.
void MGESOCIAL(driver::RunContext& run);

}  // namespace converte::catalogue
