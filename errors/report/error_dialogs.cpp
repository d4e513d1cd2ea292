// The error dialog and its text viewer, through the program's windows.

#include "errors/report/error_report.h"
#include "ui/windows.h"

namespace converte::errors {

void ERRORPREVIEW(ReportEnv& env, const std::string& text, bool /*mode*/, const std::string& title) {
  env.ui.showErrorDialog(ui::errorDialogSpec(env.resources, title),
                         [&] { XLOGDIVERGENCIA(env, text, title); });
}

void XLOGDIVERGENCIA(ReportEnv& env, const std::string& text, const std::string& title) {
  env.ui.showTextViewer(ui::textViewerSpec(env.resources, title, text));
}

}  // namespace converte::errors
