// The program's windows, as the core sees them: a progress window, message
// boxes, the company-range dialog, the log viewer, the error dialog and its
// text viewer, and the message pump. Backends (console, GUI toolkits) draw
// them; the core never includes a toolkit header.
//
// Texts are UTF-8 here; a backend converts them for its display.

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ui/window_spec.h"

namespace converte::ui {

class CompanyRangeForm;

// The three text lines of the progress window.
enum class ProgressLine { Company, Progress, Banner };

// A non-modal window that stays on the screen while the run works. After
// the operator closed it, updates have no visible effect.
class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;
  virtual void setTitle(std::string_view title) = 0;
  virtual void setLine(ProgressLine line, std::string_view text) = 0;
  virtual void close() = 0;
};

// The rows a grid shows, read on demand (the log viewer's table).
class GridSource {
 public:
  virtual ~GridSource() = default;
  virtual std::size_t rowCount() = 0;
  virtual std::string row(std::size_t index) = 0;
};

class Ui {
 public:
  virtual ~Ui() = default;

  // Backend name for the version line of error reports ("console", ...).
  virtual std::string name() const = 0;

  // Opens the progress window (shown at once, the program goes on).
  virtual std::unique_ptr<ProgressWindow> openProgressWindow(const ProgressWindowSpec& spec) = 0;

  // A message box with the information icon and one OK button; returns
  // when it is closed. title may be empty. Lines of text are separated by
  // carriage returns.
  virtual void messageBox(std::string_view title, std::string_view text) = 0;

  // The company-range dialog over its form model: true for Confirma,
  // false for Sair, Esc or the close box.
  virtual bool runCompanyRangeDialog(const CompanyRangeDialogSpec& spec, CompanyRangeForm& form) = 0;

  // The modal log viewer over the rows; print is the Imprime action.
  virtual void showLogViewer(const LogViewerSpec& spec, GridSource& rows,
                             const std::function<void()>& print) = 0;

  // The modal error dialog; openLog is the Log button (it shows the text
  // viewer). Returns when the dialog is closed.
  virtual void showErrorDialog(const ErrorDialogSpec& spec, const std::function<void()>& openLog) = 0;
  virtual void showTextViewer(const TextViewerSpec& spec) = 0;

  // Processes at most one pending window message, then pauses 1 ms.
  virtual void pumpOnce() = 0;
};

}  // namespace converte::ui
