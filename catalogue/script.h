// The migration script of this release for one company directory: the
// company record checks, the catalogue steps in their fixed order with their
// version gates, the data fix-ups, and the recording of the version.

#pragma once

namespace converte::driver {
struct RunContext;
}

namespace converte::catalogue {

// FOESTRU: true when the company is finished (or was left to a newer
// converter); false when it holds neither DADOS.DBF nor SINDICAT.DBF.
bool FOESTRU(driver::RunContext& run);

}  // namespace converte::catalogue
