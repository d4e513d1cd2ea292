// The company-range form: one row of rules per field, the focus moves that
// leave a field only when its check holds, and the two buttons.

#include "ui/company_range_form.h"

#include <cctype>
#include <utility>

namespace converte::ui {
namespace {

enum class InputRule { UpperLetter, FreeText, ThreeDigits };
enum class LeaveCheck { None, YesOrNo, NotBelowFirst };

struct FieldRule {
  InputRule input;
  LeaveCheck check;
};

constexpr std::array<FieldRule, kRangeFieldCount> kFieldRules{{
    {InputRule::UpperLetter, LeaveCheck::YesOrNo},    // Reindexa
    {InputRule::FreeText, LeaveCheck::None},          // Diretório
    {InputRule::ThreeDigits, LeaveCheck::None},       // Empresa Inicial
    {InputRule::ThreeDigits, LeaveCheck::NotBelowFirst},  // Empresa Final
    {InputRule::UpperLetter, LeaveCheck::YesOrNo},    // Checa Campos Duplicados
}};

constexpr int kControlCount = 7;
constexpr std::size_t kDigitPlaces = 3;

const FieldRule& ruleOf(RangeControl field) { return kFieldRules[static_cast<std::size_t>(field)]; }

// The length in bytes of the UTF-8 character that starts with lead.
std::size_t characterLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

std::size_t characterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); at += characterLength(static_cast<unsigned char>(text[at])))
    ++count;
  return count;
}

// The byte offset where the last character of text starts.
std::size_t lastCharacterStart(std::string_view text) {
  std::size_t at = text.size() - 1;
  while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) --at;
  return at;
}

std::string digitsOf(std::string_view text) {
  std::string digits;
  for (char c : text)
    if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
  return digits;
}

std::string rightAligned(std::string digits) {
  if (digits.size() >= kDigitPlaces) return digits;
  return std::string(kDigitPlaces - digits.size(), ' ') + digits;
}

int numberOf(std::string_view text) {
  int value = 0;
  for (char c : digitsOf(text)) value = value * 10 + (c - '0');
  return value;
}

bool isYesOrNo(const std::string& value) { return value == "S" || value == "N"; }

RangeControl controlAt(int position) {
  return static_cast<RangeControl>(((position % kControlCount) + kControlCount) % kControlCount);
}

}  // namespace

CompanyRangeForm::CompanyRangeForm(CompanyRangeValues values)
    : values_(std::move(values)), directoryCapacity_(characterCount(values_.XDIR)) {
  texts_[index(RangeControl::Reindexa)] = values_.VREINDEIXA;
  texts_[index(RangeControl::Diretorio)] = values_.XDIR;
  texts_[index(RangeControl::EmpresaInicial)] = rightAligned(std::to_string(values_.VEMPINI));
  texts_[index(RangeControl::EmpresaFinal)] = rightAligned(std::to_string(values_.VEMPFIM));
  texts_[index(RangeControl::ChecaBD)] = values_.VCHECABD;
}

bool CompanyRangeForm::isField(RangeControl control) const {
  return index(control) < static_cast<std::size_t>(kRangeFieldCount);
}

const std::string& CompanyRangeForm::text(RangeControl field) const { return texts_.at(index(field)); }

std::size_t CompanyRangeForm::capacity(RangeControl field) const {
  switch (ruleOf(field).input) {
    case InputRule::UpperLetter: return 1;
    case InputRule::ThreeDigits: return kDigitPlaces;
    case InputRule::FreeText: return directoryCapacity_;
  }
  return 0;
}

bool CompanyRangeForm::type(std::string_view utf8Character) {
  if (outcome_ != RangeOutcome::Open || !isField(focus_) || utf8Character.empty()) return false;
  std::string& text = texts_[index(focus_)];
  const unsigned char first = static_cast<unsigned char>(utf8Character[0]);
  switch (ruleOf(focus_).input) {
    case InputRule::UpperLetter:
      if (utf8Character.size() != 1 || !std::isalpha(first)) return false;
      text = std::string(1, static_cast<char>(std::toupper(first)));
      return true;
    case InputRule::ThreeDigits: {
      std::string digits = digitsOf(text);
      if (utf8Character.size() != 1 || !std::isdigit(first) || digits.size() >= kDigitPlaces) return false;
      text = rightAligned(digits + utf8Character[0]);
      return true;
    }
    case InputRule::FreeText:
      if (first < 0x20 || first == 0x7F || characterCount(text) >= directoryCapacity_) return false;
      text += utf8Character;
      return true;
  }
  return false;
}

void CompanyRangeForm::backspace() {
  if (outcome_ != RangeOutcome::Open || !isField(focus_)) return;
  std::string& text = texts_[index(focus_)];
  if (ruleOf(focus_).input == InputRule::ThreeDigits) {
    std::string digits = digitsOf(text);
    if (!digits.empty()) digits.pop_back();
    text = rightAligned(digits);
  } else if (!text.empty()) {
    text.erase(lastCharacterStart(text));
  }
}

void CompanyRangeForm::setText(RangeControl field, std::string_view utf8Text) {
  if (!isField(field)) return;
  const RangeControl focused = focus_;
  focus_ = field;
  texts_[index(field)] = ruleOf(field).input == InputRule::ThreeDigits ? rightAligned("") : "";
  for (std::size_t at = 0; at < utf8Text.size();) {
    std::size_t length = characterLength(static_cast<unsigned char>(utf8Text[at]));
    std::string_view character = utf8Text.substr(at, length);
    at += length;
    // A one-letter field is full after its first letter.
    if (ruleOf(field).input == InputRule::UpperLetter && !texts_[index(field)].empty()) break;
    type(character);
  }
  focus_ = focused;
}

bool CompanyRangeForm::moveFocus(RangeControl target) {
  if (outcome_ != RangeOutcome::Open) return false;
  if (target == focus_) return true;
  if (isField(focus_) && !leaveFocusedField()) return false;
  focus_ = target;
  return true;
}

bool CompanyRangeForm::enter() {
  if (outcome_ != RangeOutcome::Open) return false;
  if (!isField(focus_)) {
    press(focus_);
    return true;
  }
  return moveFocus(controlAt(static_cast<int>(focus_) + 1));
}

bool CompanyRangeForm::tab() { return moveFocus(controlAt(static_cast<int>(focus_) + 1)); }

bool CompanyRangeForm::backTab() { return moveFocus(controlAt(static_cast<int>(focus_) - 1)); }

bool CompanyRangeForm::click(RangeControl control) {
  if (!moveFocus(control)) return false;
  if (!isField(control)) press(control);
  return true;
}

bool CompanyRangeForm::mnemonic(char letter) {
  switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'C': return click(RangeControl::Confirma);
    case 'S': return click(RangeControl::Sair);
    default: return false;
  }
}

void CompanyRangeForm::escape() {
  if (outcome_ == RangeOutcome::Open) outcome_ = RangeOutcome::Cancelled;
}

void CompanyRangeForm::closeBox() { escape(); }

bool CompanyRangeForm::leaveFocusedField() {
  store(focus_);
  return check(focus_);
}

void CompanyRangeForm::store(RangeControl field) {
  const std::string& text = texts_[index(field)];
  switch (field) {
    case RangeControl::Reindexa: values_.VREINDEIXA = text.empty() ? " " : text; break;
    case RangeControl::ChecaBD: values_.VCHECABD = text.empty() ? " " : text; break;
    case RangeControl::Diretorio: {
      // The field is as wide as the value it was given: shorter text is
      // padded with blanks.
      std::size_t count = characterCount(text);
      values_.XDIR = text + std::string(count < directoryCapacity_ ? directoryCapacity_ - count : 0, ' ');
      break;
    }
    case RangeControl::EmpresaInicial: values_.VEMPINI = numberOf(text); break;
    case RangeControl::EmpresaFinal: values_.VEMPFIM = numberOf(text); break;
    default: break;
  }
}

bool CompanyRangeForm::check(RangeControl field) const {
  switch (ruleOf(field).check) {
    case LeaveCheck::None: return true;
    case LeaveCheck::YesOrNo:
      return isYesOrNo(field == RangeControl::Reindexa ? values_.VREINDEIXA : values_.VCHECABD);
    case LeaveCheck::NotBelowFirst: return values_.VEMPFIM >= values_.VEMPINI;
  }
  return true;
}

void CompanyRangeForm::press(RangeControl button) {
  if (button == RangeControl::Confirma) outcome_ = RangeOutcome::Confirmed;
  if (button == RangeControl::Sair) outcome_ = RangeOutcome::Cancelled;
}

}  // namespace converte::ui
