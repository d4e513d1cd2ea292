// The records a company's tables must hold after one run of the migration
// script, worked out from the tables before it and the structure model:
// every record carried into its table's new structure by the storage
// layer's put rules, then what each data fix-up writes, in script order.

#pragma once

#include <string>
#include <string_view>

#include "tests/e2e/company_image.h"
#include "tests/e2e/expected_structure.h"

namespace converte::testing::expected {

// The tables after the run. recordedVersion is the company's version when
// the run starts (it decides the gated fix-ups).
CompanyImage recordsAfterRun(const CompanyImage& before, const CompanyAfter& after,
                             int recordedVersion);

// A decimal number text ("-12.345") as a put stores it in a numeric field:
// rounded half away from zero to the decimals, right-aligned in the width;
// asterisks throughout when it does not fit.
std::string storedNumber(std::string_view text, int width, int decimals);

// The numeric value of a text as the script reads one: leading blanks, an
// optional sign, the digits up to the first other character; 0 without
// digits. Only the integer part.
long long integerValue(std::string_view text);

}  // namespace converte::testing::expected
