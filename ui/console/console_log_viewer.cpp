// The log viewer on the console: the rows a page at a time on the output
// stream, with Enter for the next page, I for the print action and V to go
// back. Without a terminal on the output it shows nothing and returns.

#include <algorithm>
#include <istream>
#include <ostream>
#include <string>

#include "ui/console/console_texts.h"
#include "ui/console/console_ui.h"
#include "ui/console/status_line.h"

namespace converte::ui {
namespace {

enum class PageAnswer { Next, Print, Back };

PageAnswer answerOf(const std::string& line) {
  if (line.empty()) return PageAnswer::Next;
  switch (line[0]) {
    case 'i': case 'I': return PageAnswer::Print;
    case 'v': case 'V': case 'q': case 'Q': case '\x1b': return PageAnswer::Back;
    default: return PageAnswer::Next;
  }
}

std::string withoutTrailingBlanks(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace

void ConsoleUi::showLogViewer(const LogViewerSpec& spec, GridSource& rows,
                              const std::function<void()>& print) {
  if (!io_.outIsTerminal) return;
  status_->breakLine();
  io_.out << spec.title << '\n';
  const std::size_t count = rows.rowCount();
  const std::size_t page = static_cast<std::size_t>(std::max(1, io_.pageRows));
  std::size_t next = 0;
  std::string answer;
  bool showPage = true;
  for (;;) {
    if (showPage) {
      for (std::size_t end = std::min(count, next + page); next < end; ++next)
        io_.out << withoutTrailingBlanks(rows.row(next)) << '\n';
    }
    io_.out << (next < count ? console_texts::kMorePrompt : console_texts::kEndPrompt) << std::flush;
    if (!readLine(answer)) break;
    PageAnswer what = answerOf(answer);
    if (what == PageAnswer::Back) break;
    showPage = what == PageAnswer::Next;
    if (what == PageAnswer::Print && print) print();
    if (showPage && next >= count) break;
  }
  io_.out << '\n' << std::flush;
}

}  // namespace converte::ui
