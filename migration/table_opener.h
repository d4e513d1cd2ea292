// Opening a table for the migration: exclusively, in a fresh work area, its
// last record locked; a failure is shown to the operator and turns into a
// false result.

#pragma once

#include <string_view>

namespace converte::driver {
struct RunContext;
}

namespace converte::migration {

// The opener's flags act by presence: a flag given at all takes effect.
struct OpenFlags {
  bool sameArea = false;
  bool exclusive = false;
  bool readOnly = false;
  bool noLock = false;
};

bool ABRE_ARQ(driver::RunContext& run, const OpenFlags& flags, std::string_view fileName);
bool XXABRE_ARQ(driver::RunContext& run, const OpenFlags& flags, std::string_view fileName);
bool BLOQ_REGISTRO(driver::RunContext& run);

}  // namespace converte::migration
