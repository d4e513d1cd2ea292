// Preparing the run: the company range from the command line or from the
// company-range dialog, the run log opened, then the company loop and the
// end of run.

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace converte::driver {

struct RunContext;

// XDLGCONVERTE: prepares the run and runs it to its end (which throws
// ProgramEnd). False when the company-range dialog was cancelled.
bool XDLGCONVERTE(RunContext& run, const std::optional<std::string>& first,
                  const std::optional<std::string>& last);

// XCV: the company-range dialog over the run's choices; true for Confirma.
bool XCV(RunContext& run);

// The numeric value of a company number's text: leading blanks, a sign and
// the digits that follow; 0 when it does not begin with a number. Kept
// within the range of an int.
int companyNumberOf(std::string_view text);

}  // namespace converte::driver
