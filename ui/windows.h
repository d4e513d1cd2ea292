// The data of every window the program shows: titles, sizes, positions,
// fonts, colours, pictures, texts, tooltips and control names, built from
// the run's resources. Backends lay these specs out; nothing here draws.

#pragma once

#include <string>

#include "ui/window_spec.h"

namespace converte::ui {

// The progress window, 700 x height ("Aguarde em processamento..").
ProgressWindowSpec progressWindowSpec(const Resources& resources, int height = 400);

// The company-range dialog, titled with the banner text.
CompanyRangeDialogSpec companyRangeDialogSpec(const Resources& resources, std::string title);

// The log viewer's geometry: the window (XRES x MRESVERT) and the grid area
// (MRESHORIZBRW x MRESVERTBRW).
struct LogViewerGeometry {
  int width = 800;
  int height = 600;
  int gridWidth = 790;
  int gridHeight = 570;
};
LogViewerSpec logViewerSpec(const Resources& resources, const LogViewerGeometry& geometry = {});

// The error dialog, titled with the error log file's name.
ErrorDialogSpec errorDialogSpec(const Resources& resources, std::string title);

// The error report's text viewer.
TextViewerSpec textViewerSpec(const Resources& resources, std::string title, std::string content);

}  // namespace converte::ui
