// The console's progress window: the company line and the counted progress
// line drawn together as one terminal line that each update redraws in
// place. Other console output first ends the line, so nothing is overdrawn.

#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "ui/ui.h"

namespace converte::ui {

class StatusLine {
 public:
  // draws: whether the stream is a terminal; otherwise nothing is written.
  StatusLine(std::ostream& err, bool draws, int width);

  void set(ProgressLine line, std::string_view text);
  // Ends a drawn line so that other output starts on a line of its own;
  // the next update draws it again.
  void breakLine();

 private:
  void draw();

  std::ostream& err_;
  bool draws_;
  int width_;
  bool drawn_ = false;
  std::string company_;
  std::string progress_;
};

// A progress window over the status line; after close() updates are lost.
std::unique_ptr<ProgressWindow> newConsoleProgressWindow(std::shared_ptr<StatusLine> status);

// text with line breaks and tabs turned into blanks, cut to width characters.
std::string fitToLine(std::string_view text, int width);

}  // namespace converte::ui
