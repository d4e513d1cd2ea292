// The company-range dialog as a form, without any toolkit: five fields bound
// to the run's choices, each with its input rule and its check when the
// focus leaves it, the two buttons, and the keys that move the focus or end
// the dialog. A backend forwards the operator's actions and shows text(),
// focus() and outcome().
//
// Leaving a field stores its text into its value (numbers converted) and
// then evaluates the field's check; a failed check keeps the focus in the
// field, and the action that would have moved it (Enter, Tab, a click on
// another control or a button) is lost.

#pragma once

#include <array>
#include <string>
#include <string_view>

namespace converte::ui {

// The values the form edits (the driver copies them in and out).
struct CompanyRangeValues {
  std::string VREINDEIXA = "S";
  std::string XDIR;
  int VEMPINI = 1;
  int VEMPFIM = 1;
  std::string VCHECABD = "N";
};

// Controls in tab order.
enum class RangeControl { Reindexa, Diretorio, EmpresaInicial, EmpresaFinal, ChecaBD, Confirma, Sair };
inline constexpr int kRangeFieldCount = 5;

enum class RangeOutcome { Open, Confirmed, Cancelled };

class CompanyRangeForm {
 public:
  explicit CompanyRangeForm(CompanyRangeValues values);

  const CompanyRangeValues& values() const { return values_; }
  RangeControl focus() const { return focus_; }
  RangeOutcome outcome() const { return outcome_; }
  bool isField(RangeControl control) const;

  // The text a field shows: the letter, the directory, or the number
  // right-aligned in three places.
  const std::string& text(RangeControl field) const;
  // The most characters the field holds.
  std::size_t capacity(RangeControl field) const;

  // Keystroke editing of the focused field under its input rule: a letter
  // field takes one letter, upper-cased (it overwrites); a number field
  // takes up to three digits; the directory field takes any text up to its
  // capacity. Returns false when the rule refused the character (or the
  // focus is on a button).
  bool type(std::string_view utf8Character);
  void backspace();
  // Replaces a field's whole text as typed, each character under the rule
  // (a letter field keeps the first letter). For backends that edit a line
  // at a time. The value is stored when the field is left.
  void setText(RangeControl field, std::string_view utf8Text);

  // Moves the focus to target, leaving the focused field first. False when
  // the field's check failed: the focus stays.
  bool moveFocus(RangeControl target);
  // Enter: the next control in tab order (the last field goes on to
  // Confirma); on a button it presses that button.
  bool enter();
  bool tab();
  bool backTab();
  // A mouse click: on a field it moves the focus there; on a button it moves
  // the focus there and, when that succeeded, presses it.
  bool click(RangeControl control);
  // Alt + letter: C is Confirma, S is Sair, as a click. False for others.
  bool mnemonic(char letter);
  // Esc and the close box cancel at once.
  void escape();
  void closeBox();

 private:
  static constexpr std::size_t index(RangeControl field) { return static_cast<std::size_t>(field); }
  bool leaveFocusedField();
  void store(RangeControl field);
  bool check(RangeControl field) const;
  void press(RangeControl button);

  CompanyRangeValues values_;
  std::array<std::string, kRangeFieldCount> texts_;
  std::size_t directoryCapacity_;
  RangeControl focus_ = RangeControl::Reindexa;
  RangeOutcome outcome_ = RangeOutcome::Open;
};

}  // namespace converte::ui
