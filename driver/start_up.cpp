// Start-up: the run context's first values, the base directory, the check
// that it does not end in a separator, the progress window, and the
// guarded run.

#include "driver/start_up.h"

#include <string>

#include "driver/context/guarded.h"
#include "driver/context/progress_window.h"
#include "driver/context/run_context.h"
#include "driver/context/time_text.h"
#include "driver/run_preparation.h"
#include "driver/settings.h"
#include "driver/texts.h"
#include "errors/call_levels.h"
#include "platform/file_system.h"

namespace converte::driver {
namespace {

std::string trimBlanks(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The version right-aligned in three characters.
std::string bannerOf(int version) {
  std::string digits = std::to_string(version);
  if (digits.size() > 3) digits = "***";
  return std::string(texts::kBannerPrefix) + std::string(3 - digits.size(), ' ') + digits;
}

bool endsWithSeparator(const std::string& directory) {
  return !directory.empty() && (directory.back() == '\\' || directory.back() == '/');
}

}  // namespace

void startRunContext(RunContext& run) {
  const platform::LocalTime now = run.services.clock.now();
  run.STEMPOINI = secondsSinceMidnight(now);
  run.NTINI = timeText(now);
  run.VREINDEIXA = "S";
  run.VCHECABD = "N";
  run.XVERGARVIN = 195;
  run.VTXMSG = bannerOf(run.XVERGARVIN);
  run.VEMPINI = 1;
  run.VEMPFIM = 1;
  run.VERROS = 0;
  run.D_TAM_ITEM = 5;
  run.M_NO_USERS = 2;
  run.M_AMB_GRAF = "3";
  run.M_OINDICES = 0;
  run.M_ONOINDICES = 750;
  run.resources = ui::Resources{};
  run.XRES = 800;
  run.MRESVERT = 600;
  run.MRESHORIZBRW = 790;
  run.MRESVERTBRW = 570;
}

void MAIN(RunContext& run, const std::optional<std::string>& first,
          const std::optional<std::string>& last) {
  errors::CallFrame frame("CONVERTE", "MAIN");
  startRunContext(run);
  const std::string settings = platform::joinPath(run.services.workDir, texts::kSettingsFile);
  run.XDIR = trimBlanks(BUSCADIRETORIOINI(run.services.fs, settings));
  if (endsWithSeparator(run.XDIR)) {
    run.services.ui.messageBox(texts::kInvalidDirectoryTitle,
                               std::string(texts::kInvalidDirectory) + "\r" + run.XDIR);
    return;
  }
  run.XDIR += std::string(texts::kBaseEditRoom, ' ');
  run.M_AMB_GRAF = "3";
  run.M_ONOINDICES = 750;
  HW_INIBARRAPROGRESSO(run);
  frame.at();
  guardedStep(run, [&] { XDLGCONVERTE(run, first, last); });
  HW_FIMBARRAPROGRESSO(run);
}

}  // namespace converte::driver
