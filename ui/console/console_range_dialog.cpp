// The company-range dialog on the console: each field asked on a line of
// its own with its current text (an empty answer keeps it), each answer
// passed through the form as typed text and Enter, so the form's rules and
// checks decide; then Confirma or Sair. The end of input is the close box.

#include <istream>
#include <ostream>
#include <string>

#include "ui/company_range_form.h"
#include "ui/console/console_texts.h"
#include "ui/console/console_ui.h"
#include "ui/console/status_line.h"

namespace converte::ui {
namespace {

std::string trimmed(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

// What to tell the operator when a field's check kept the focus.
std::string_view hintFor(RangeControl field) {
  return field == RangeControl::EmpresaFinal ? console_texts::kFinalBelowFirstHint
                                             : console_texts::kYesOrNoHint;
}

std::string labelOf(const CompanyRangeDialogSpec& spec, RangeControl field) {
  auto at = static_cast<std::size_t>(field);
  return at < spec.labels.size() ? spec.labels[at].text : std::string();
}

}  // namespace

bool ConsoleUi::runCompanyRangeDialog(const CompanyRangeDialogSpec& spec, CompanyRangeForm& form) {
  status_->breakLine();
  if (!io_.inIsTerminal) {
    io_.err << console_texts::kNoTerminalForRange << '\n' << std::flush;
    return false;
  }
  io_.err << spec.title << '\n';
  std::string answer;
  while (form.outcome() == RangeOutcome::Open) {
    const RangeControl focus = form.focus();
    if (form.isField(focus)) {
      io_.err << labelOf(spec, focus) << " [" << trimmed(form.text(focus)) << "] " << std::flush;
      if (!readLine(answer)) {
        form.closeBox();
        break;
      }
      if (!answer.empty()) form.setText(focus, answer);
      if (!form.enter()) io_.err << hintFor(focus) << '\n';
    } else {
      io_.err << console_texts::kButtonsPrompt << std::flush;
      if (!readLine(answer)) {
        form.closeBox();
        break;
      }
      std::string choice = trimmed(answer);
      if (choice.empty()) form.enter();
      else if (choice.size() == 1) form.mnemonic(choice[0]);
    }
  }
  io_.err << std::flush;
  return form.outcome() == RangeOutcome::Confirmed;
}

}  // namespace converte::ui
