// The console backend: message boxes, the error dialog and its text viewer
// as text on the error stream, the progress window as a status line, and the
// message pump as a short pause.

#include "ui/console/console_ui.h"

#include <chrono>
#include <iostream>
#include <thread>
#include <utility>

#include "platform/terminal.h"
#include "ui/console/status_line.h"

namespace converte::ui {
namespace {

void pauseOneMillisecond() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

}  // namespace

ConsoleUi::ConsoleUi(ConsoleIo io)
    : io_(std::move(io)), status_(std::make_shared<StatusLine>(io_.err, io_.errIsTerminal, io_.lineWidth)) {
  if (!io_.pause) io_.pause = pauseOneMillisecond;
}

ConsoleUi::~ConsoleUi() = default;

std::unique_ptr<ProgressWindow> ConsoleUi::openProgressWindow(const ProgressWindowSpec&) {
  return newConsoleProgressWindow(status_);
}

void ConsoleUi::messageBox(std::string_view title, std::string_view text) {
  status_->breakLine();
  if (!title.empty()) io_.err << title << '\n';
  printLines(text);
}

void ConsoleUi::showErrorDialog(const ErrorDialogSpec& spec, const std::function<void()>& openLog) {
  status_->breakLine();
  for (const auto& line : spec.texts) io_.err << line.text << '\n';
  io_.err << std::flush;
  if (openLog) openLog();
}

void ConsoleUi::showTextViewer(const TextViewerSpec& spec) {
  status_->breakLine();
  if (!spec.title.empty()) io_.err << spec.title << '\n';
  printLines(spec.content);
}

void ConsoleUi::pumpOnce() { io_.pause(); }

void ConsoleUi::printLines(std::string_view text) {
  // A break at the very end ends the last line; it adds no empty one.
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\r') {
      io_.err << '\n';
      if (at + 1 < text.size() && text[at + 1] == '\n') ++at;
    } else {
      io_.err << text[at];
    }
  }
  io_.err << '\n' << std::flush;
}

bool ConsoleUi::readLine(std::string& line) {
  if (!std::getline(io_.in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

std::unique_ptr<Ui> newConsoleUi() {
  using platform::StandardStream;
  return std::make_unique<ConsoleUi>(ConsoleIo{
      .in = std::cin,
      .out = std::cout,
      .err = std::cerr,
      .inIsTerminal = platform::isTerminal(StandardStream::Input),
      .outIsTerminal = platform::isTerminal(StandardStream::Output),
      .errIsTerminal = platform::isTerminal(StandardStream::Error),
      .pause = pauseOneMillisecond,
      .pageRows = 20,
      .lineWidth = 79,
  });
}

}  // namespace converte::ui
