// The engine's table opener: one guarded attempt at opening a table file,
// its last record locked, and the operator told in a message box when the
// table could not be had.

#include "migration/table_opener.h"

#include <string>

#include "driver/context/guarded.h"
#include "driver/context/run_context.h"
#include "errors/call_levels.h"
#include "migration/messages.h"

namespace converte::migration {
namespace {

std::string notExclusiveBox(std::string_view fileName) {
  std::string box(text::kNotExclusive1);
  box += text::kBoxLineBreak;
  box += text::kNotExclusive2;
  box += fileName;
  box += text::kBoxLineBreak;
  box += text::kNotExclusive3;
  return box;
}

// Exclusive when asked for, and also when the run is for a single user.
bool opensShared(const driver::RunContext& run, const OpenFlags& flags) {
  if (flags.exclusive) return false;
  return run.M_NO_USERS > 0;
}

}  // namespace

bool ABRE_ARQ(driver::RunContext& run, const OpenFlags& flags, std::string_view fileName) {
  errors::CallFrame frame("MIGRATION", "ABRE_ARQ");
  bool opened = false;
  driver::guardedStep(run, [&] { opened = XXABRE_ARQ(run, flags, fileName); });
  if (!opened) run.services.ui.messageBox("", notExclusiveBox(fileName));
  return opened;
}

bool XXABRE_ARQ(driver::RunContext& run, const OpenFlags& flags, std::string_view fileName) {
  errors::CallFrame frame("MIGRATION", "XXABRE_ARQ");
  storage::WorkAreaList& areas = run.services.areas;
  if (!storage::fileExists(run.services.storage, fileName)) {
    run.services.ui.messageBox("", std::string(text::kTableNotFound) + std::string(fileName));
    return false;
  }
  // A refused open that the error handler answered with its default leaves
  // the area empty and comes back as false.
  if (!areas.useArea(!flags.sameArea, run.MDRIVER, fileName, {}, opensShared(run, flags),
                     flags.readOnly))
    return false;
  if (flags.readOnly || flags.noLock) return true;
  areas.current().goBottom();
  if (!BLOQ_REGISTRO(run)) {
    areas.closeAll();
    return false;
  }
  return true;
}

bool BLOQ_REGISTRO(driver::RunContext& run) {
  errors::CallFrame frame("MIGRATION", "BLOQ_REGISTRO");
  return run.services.areas.current().lockRecord();
}

}  // namespace converte::migration
