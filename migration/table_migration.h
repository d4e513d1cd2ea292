// Bringing one table of the company directory to a new structure: compare
// its fields with the catalogue step's lists and, when something changes,
// pack, rename to its table copy, re-create and refill from the copy.

#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "storage/field_spec.h"

namespace converte::driver {
struct RunContext;
}

namespace converte::migration {

// MGCONVERTE: table is the base name (blanks around it ignored).
void MGCONVERTE(driver::RunContext& run, std::string_view table,
                const std::optional<storage::Structure>& newFields,
                const std::optional<storage::Structure>& alteredFields);
// VALID_ESTRU: false (after reporting them) when a name occurs twice.
bool VALID_ESTRU(driver::RunContext& run, std::string_view tableFile,
                 const storage::Structure& newFields);

}  // namespace converte::migration
