// The console backend: the program's windows on a text terminal. Message
// boxes and error reports go to the error stream and return at once; the
// progress window is one status line redrawn on the error stream when it is
// a terminal; the company-range dialog is asked field by field when the
// input is a terminal; the log viewer pages its rows when the output is a
// terminal.
//
// Ownership: the streams belong to the caller and must outlive the backend
// and every progress window it opened. Thread rule: one thread.

#pragma once

#include <functional>
#include <iosfwd>
#include <memory>

#include "ui/ui.h"

namespace converte::ui {

class StatusLine;

// The streams the backend talks through and what the terminal tests said
// of them.
struct ConsoleIo {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  bool inIsTerminal = false;
  bool outIsTerminal = false;
  bool errIsTerminal = false;
  // The pause of pumpOnce (1 ms when empty).
  std::function<void()> pause;
  // Rows per page of the log viewer, characters of the status line.
  int pageRows = 20;
  int lineWidth = 79;
};

class ConsoleUi final : public Ui {
 public:
  explicit ConsoleUi(ConsoleIo io);
  ~ConsoleUi() override;

  std::string name() const override { return "console"; }
  std::unique_ptr<ProgressWindow> openProgressWindow(const ProgressWindowSpec& spec) override;
  void messageBox(std::string_view title, std::string_view text) override;
  bool runCompanyRangeDialog(const CompanyRangeDialogSpec& spec, CompanyRangeForm& form) override;
  void showLogViewer(const LogViewerSpec& spec, GridSource& rows,
                     const std::function<void()>& print) override;
  void showErrorDialog(const ErrorDialogSpec& spec, const std::function<void()>& openLog) override;
  void showTextViewer(const TextViewerSpec& spec) override;
  void pumpOnce() override;

 private:
  // Writes text to the error stream on lines of their own, CR and CR LF
  // taken as line breaks.
  void printLines(std::string_view text);
  // Reads one line of input; false at the end of input.
  bool readLine(std::string& line);

  ConsoleIo io_;
  std::shared_ptr<StatusLine> status_;
};

// The console backend over the process's standard streams.
std::unique_ptr<Ui> newConsoleUi();

}  // namespace converte::ui
