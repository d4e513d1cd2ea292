// The one-line progress display: carriage return, the two texts, and an
// erase to the end of the line.

#include "ui/console/status_line.h"

#include <ostream>
#include <utility>

#include "ui/console/console_texts.h"

namespace converte::ui {
namespace {

constexpr std::string_view kEraseToEndOfLine = "\x1b[K";

class ConsoleProgressWindow final : public ProgressWindow {
 public:
  explicit ConsoleProgressWindow(std::shared_ptr<StatusLine> status) : status_(std::move(status)) {}
  ~ConsoleProgressWindow() override { close(); }

  void setTitle(std::string_view) override {}
  void setLine(ProgressLine line, std::string_view text) override {
    if (status_) status_->set(line, text);
  }
  void close() override {
    if (!status_) return;
    status_->breakLine();
    status_.reset();
  }

 private:
  std::shared_ptr<StatusLine> status_;
};

bool continuesCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

}  // namespace

StatusLine::StatusLine(std::ostream& err, bool draws, int width) : err_(err), draws_(draws), width_(width) {}

void StatusLine::set(ProgressLine line, std::string_view text) {
  if (line == ProgressLine::Company) company_ = text;
  else if (line == ProgressLine::Progress) progress_ = text;
  else return;  // the banner line has no place on the console
  draw();
}

void StatusLine::breakLine() {
  if (!drawn_) return;
  err_ << '\n' << std::flush;
  drawn_ = false;
}

void StatusLine::draw() {
  if (!draws_) return;
  std::string line = company_;
  if (!company_.empty() && !progress_.empty()) line += console_texts::kStatusSeparator;
  line += progress_;
  err_ << '\r' << fitToLine(line, width_) << kEraseToEndOfLine << std::flush;
  drawn_ = true;
}

std::unique_ptr<ProgressWindow> newConsoleProgressWindow(std::shared_ptr<StatusLine> status) {
  return std::make_unique<ConsoleProgressWindow>(std::move(status));
}

std::string fitToLine(std::string_view text, int width) {
  std::string fitted;
  int characters = 0;
  for (char byte : text) {
    if (!continuesCharacter(byte)) {
      if (characters == width) break;
      ++characters;
    }
    fitted += (byte == '\r' || byte == '\n' || byte == '\t') ? ' ' : byte;
  }
  return fitted;
}

}  // namespace converte::ui
