// The run log and the counted progress line: every logged text goes to the
// file at once and, numbered per company, to the progress window.

#include "driver/context/run_log.h"

#include <cstddef>
#include <source_location>

#include "driver/context/run_context.h"
#include "errors/call_levels.h"
#include "errors/error_handler.h"
#include "errors/gen_codes.h"
#include "platform/windows1252.h"

namespace converte::driver {
namespace {

// A run-time error of the program's own file handling.
[[noreturn]] void raiseFileError(int genCode, const platform::OsError& error, const std::string& path,
                                 const std::source_location& where = std::source_location::current()) {
  errors::ErrorRecord record;
  record.genCode = genCode;
  record.subSystem = "BASE";
  record.subCode = genCode == errors::kGenCreate ? 2011 : 2013;
  record.osCode = error.osCode;
  if (auto text = errors::describe(genCode)) record.description = std::string(*text);
  record.fileName = path;
  record.callStack.push_back(errors::CallLevel::from(where));
  errors::appendActiveCallLevels(record);
  throw errors::ErrorAbandoned(std::move(record));
}

std::span<const std::byte> bytesOf(const std::string& text) {
  return std::as_bytes(std::span<const char>(text.data(), text.size()));
}

// Three digits with leading zeros; *** above 999.
std::string counter(int value) {
  if (value > 999 || value < 0) return "***";
  std::string digits = std::to_string(value);
  return std::string(3 - digits.size(), '0') + digits;
}

}  // namespace

RunLog::~RunLog() { close(); }

void RunLog::open(const std::string& path) {
  close();
  auto created = fs_.create(path);
  if (!created) raiseFileError(errors::kGenCreate, created.error(), path);
  file_ = std::move(*created);
  end_ = 0;
}

void RunLog::write(std::string_view text) {
  if (!file_) return;
  std::string line = "\r\n" + platform::toWindows1252(text);
  if (file_->writeAt(end_, bytesOf(line))) end_ += line.size();  // a failed write goes unnoticed
}

void RunLog::close() {
  if (!file_) return;
  std::string end = "\x1A";
  (void)file_->writeAt(end_, bytesOf(end));
  (void)file_->close();
  file_.reset();
}

void MGLIGAMSG(RunContext& run, std::string_view text) {
  errors::CallFrame frame("CONVERTE", "MGLIGAMSG");
  run.log.write(text);
  HW_BARRAPROGRESSO(run, 100, text, true);
}

bool HW_BARRAPROGRESSO(RunContext& run, int /*limit*/, std::string_view text, bool counted) {
  errors::CallFrame frame("CONVERTE", "HW_BARRAPROGRESSO");
  if (!counted) return ATUALIZA_REG_BARRA_PROG_TITULO(run, text);
  run.M_OINDICES += 1;
  std::string line = counter(run.M_OINDICES) + "/" + counter(run.M_ONOINDICES) + " " +
                     run.services.areas.current().alias() + " :";
  line += text;
  if (run.M_ODLG_PROG) run.M_ODLG_PROG->setLine(ui::ProgressLine::Progress, line);
  return true;
}

bool ATUALIZA_REG_BARRA_PROG_TITULO(RunContext& run, std::string_view text) {
  errors::CallFrame frame("CONVERTE", "ATUALIZA_REG_BARRA_PROG_TITULO");
  if (run.M_ODLG_PROG) run.M_ODLG_PROG->setLine(ui::ProgressLine::Progress, text);
  return true;
}

void ALERT(RunContext& run, std::string_view text) { MGLIGAMSG(run, text); }
void M_AVISO(RunContext& run, std::string_view text) { ALERT(run, text); }
void MOSTRA_MSG(RunContext& run, std::string_view text) { M_AVISO(run, text); }

}  // namespace converte::driver
