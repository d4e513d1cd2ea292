// The run context: the run-wide values every step of the run reads and
// writes, created at start-up and alive until the program ends, with the
// services the run works through (files, clock, windows, tables).

#pragma once

#include <memory>
#include <string>

#include "driver/context/run_log.h"
#include "errors/report/error_report.h"
#include "platform/automation.h"
#include "platform/clock.h"
#include "platform/command.h"
#include "platform/file_system.h"
#include "storage/field_spec.h"
#include "storage/storage_env.h"
#include "storage/work_areas.h"
#include "ui/ui.h"
#include "ui/window_spec.h"

namespace converte::driver {

// What the run works through; owned by the entry point.
struct RunServices {
  platform::FileSystem& fs;
  platform::Clock& clock;
  ui::Ui& ui;
  storage::StorageEnv& storage;
  storage::WorkAreaList& areas;
  // The program's working directory: the run log, the error log files and
  // the log viewer's table live there.
  std::string workDir;
  // The command interpreter of the viewer's print action and the suite's
  // automation server of the reindex request; absent, those actions fail
  // as when the system has none.
  platform::Shell* shell = nullptr;
  platform::Automation* automation = nullptr;
};

struct RunContext {
  explicit RunContext(RunServices s) : services(s), log(s.fs) {}
  RunContext(const RunContext&) = delete;
  RunContext& operator=(const RunContext&) = delete;

  RunServices services;
  RunLog log;  // converte.txt

  // Choices of the company-range dialog.
  std::string VREINDEIXA = "S";
  std::string VCHECABD = "N";
  // This release's migration version and the banner built from it.
  int XVERGARVIN = 195;
  std::string VTXMSG;
  // Base directory followed by 15 blanks while the dialog may edit it.
  std::string XDIR;
  int VEMPINI = 1;
  int VEMPFIM = 1;
  int EMPRESA = 0;
  std::string M_PAT;
  std::string M_PTDIRET3;
  std::string NTINI;      // "hh:mm:ss" at start-up
  double STEMPOINI = 0;   // seconds since midnight at start-up
  int VERROS = 0;
  int D_TAM_ITEM = 5;
  std::string MDRIVER;
  std::string MDRIVERBD;
  int M_NO_USERS = 2;
  std::string M_AMB_GRAF = "3";

  // Progress window and its line counter.
  std::unique_ptr<ui::ProgressWindow> M_ODLG_PROG;
  int M_OINDICES = 0;
  int M_ONOINDICES = 750;

  // Window resources and the log viewer's geometry.
  ui::Resources resources;
  int XRES = 800;
  int MRESVERT = 600;
  int MRESHORIZBRW = 790;
  int MRESVERTBRW = 570;

  // The command text of the print action.
  std::string VCOMANDO;

  // The migration script's values for the company being migrated.
  int XVERSAOATUAL = 0;
  storage::Structure VNCAMPOS;
  storage::Structure VALTCAMPOS;
  int D_TMASFIL = 0;
  int D_TAMMASC = 0;

  // The error reporter's view of this run, made on first use (reportEnv).
  std::unique_ptr<errors::ReportEnv> report;
};

}  // namespace converte::driver
