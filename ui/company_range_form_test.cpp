// The company-range form: input rules, the checks that keep the focus, the
// lost clicks, Enter through the tab order and the ways the dialog ends.

#include "ui/company_range_form.h"

#include <gtest/gtest.h>

namespace converte::ui {
namespace {

using C = RangeControl;

CompanyRangeValues startValues() {
  CompanyRangeValues v;
  v.XDIR = "\\GARV" + std::string(15, ' ');
  return v;
}

class RangeFormTest : public ::testing::Test {
 protected:
  CompanyRangeForm form{startValues()};

  void typeText(std::string_view text) {
    for (char c : text) form.type(std::string(1, c));
  }
  // Replaces the focused field's text by keystrokes.
  void retype(std::string_view text) {
    for (std::size_t i = 0; i < 300; ++i) form.backspace();
    typeText(text);
  }
};

TEST_F(RangeFormTest, FieldsShowTheValuesTheyWereGiven) {
  EXPECT_EQ(form.focus(), C::Reindexa);
  EXPECT_EQ(form.text(C::Reindexa), "S");
  EXPECT_EQ(form.text(C::Diretorio), "\\GARV" + std::string(15, ' '));
  EXPECT_EQ(form.text(C::EmpresaInicial), "  1");
  EXPECT_EQ(form.text(C::EmpresaFinal), "  1");
  EXPECT_EQ(form.text(C::ChecaBD), "N");
  EXPECT_EQ(form.capacity(C::Diretorio), 20u);
  EXPECT_EQ(form.outcome(), RangeOutcome::Open);
}

TEST_F(RangeFormTest, LetterTypedIntoReindexaIsUpperCasedAndAFailedCheckKeepsTheFocus) {
  EXPECT_TRUE(form.type("x"));
  EXPECT_EQ(form.text(C::Reindexa), "X");
  EXPECT_FALSE(form.type("1"));
  EXPECT_EQ(form.text(C::Reindexa), "X");
  EXPECT_FALSE(form.enter());
  EXPECT_EQ(form.focus(), C::Reindexa);
  EXPECT_EQ(form.values().VREINDEIXA, "X");  // stored, then checked
  form.type("n");
  EXPECT_TRUE(form.enter());
  EXPECT_EQ(form.focus(), C::Diretorio);
  EXPECT_EQ(form.values().VREINDEIXA, "N");
}

TEST_F(RangeFormTest, AnEmptiedLetterFieldFailsItsCheck) {
  form.backspace();
  EXPECT_EQ(form.text(C::Reindexa), "");
  EXPECT_FALSE(form.tab());
  EXPECT_EQ(form.values().VREINDEIXA, " ");
}

TEST_F(RangeFormTest, NumberFieldsTakeUpToThreeDigitsRightAligned) {
  form.moveFocus(C::EmpresaInicial);
  retype("");
  EXPECT_EQ(form.text(C::EmpresaInicial), "   ");
  EXPECT_TRUE(form.type("4"));
  EXPECT_FALSE(form.type("a"));
  EXPECT_FALSE(form.type("-"));
  EXPECT_TRUE(form.type("2"));
  EXPECT_EQ(form.text(C::EmpresaInicial), " 42");
  EXPECT_TRUE(form.type("7"));
  EXPECT_FALSE(form.type("9"));
  EXPECT_EQ(form.text(C::EmpresaInicial), "427");
  form.backspace();
  EXPECT_EQ(form.text(C::EmpresaInicial), " 42");
  EXPECT_TRUE(form.enter());
  EXPECT_EQ(form.values().VEMPINI, 42);
  // An emptied number is 0.
  CompanyRangeForm fresh(startValues());
  fresh.moveFocus(C::EmpresaInicial);
  fresh.backspace();
  EXPECT_TRUE(fresh.moveFocus(C::Diretorio));
  EXPECT_EQ(fresh.values().VEMPINI, 0);
}

TEST_F(RangeFormTest, FinalBelowInitialKeepsTheFocusInTheFinalField) {
  form.moveFocus(C::EmpresaInicial);
  retype("5");
  ASSERT_TRUE(form.enter());
  EXPECT_EQ(form.focus(), C::EmpresaFinal);
  retype("2");
  EXPECT_FALSE(form.enter());
  EXPECT_FALSE(form.click(C::Confirma));  // the click is lost
  EXPECT_FALSE(form.mnemonic('c'));
  EXPECT_FALSE(form.click(C::Sair));
  EXPECT_FALSE(form.moveFocus(C::EmpresaInicial));
  EXPECT_EQ(form.focus(), C::EmpresaFinal);
  EXPECT_EQ(form.outcome(), RangeOutcome::Open);
  retype("5");
  EXPECT_TRUE(form.enter());
  EXPECT_EQ(form.values().VEMPFIM, 5);
}

TEST_F(RangeFormTest, ChangingTheInitialNumberAfterTheFinalWasLeftIsNotCheckedAgain) {
  form.moveFocus(C::EmpresaFinal);
  retype("3");
  ASSERT_TRUE(form.enter());
  form.moveFocus(C::EmpresaInicial);
  retype("5");
  EXPECT_TRUE(form.click(C::Confirma));
  EXPECT_EQ(form.outcome(), RangeOutcome::Confirmed);
  EXPECT_EQ(form.values().VEMPINI, 5);
  EXPECT_EQ(form.values().VEMPFIM, 3);
}

TEST_F(RangeFormTest, EnterWalksTheFieldsToConfirmaWhichItPresses) {
  const C order[] = {C::Diretorio, C::EmpresaInicial, C::EmpresaFinal, C::ChecaBD, C::Confirma};
  for (C next : order) {
    ASSERT_TRUE(form.enter());
    EXPECT_EQ(form.focus(), next);
  }
  EXPECT_EQ(form.outcome(), RangeOutcome::Open);
  EXPECT_TRUE(form.enter());
  EXPECT_EQ(form.outcome(), RangeOutcome::Confirmed);
  EXPECT_FALSE(form.enter());  // nothing happens after the end
}

TEST_F(RangeFormTest, TabWrapsAroundAndBackTabGoesBack) {
  EXPECT_TRUE(form.backTab());
  EXPECT_EQ(form.focus(), C::Sair);
  EXPECT_TRUE(form.tab());
  EXPECT_EQ(form.focus(), C::Reindexa);
}

TEST_F(RangeFormTest, WaysTheDialogEnds) {
  struct Case {
    const char* name;
    void (*act)(CompanyRangeForm&);
    RangeOutcome outcome;
  };
  const Case cases[] = {
      {"Confirma", [](CompanyRangeForm& f) { f.click(C::Confirma); }, RangeOutcome::Confirmed},
      {"Alt+C", [](CompanyRangeForm& f) { f.mnemonic('C'); }, RangeOutcome::Confirmed},
      {"Sair", [](CompanyRangeForm& f) { f.click(C::Sair); }, RangeOutcome::Cancelled},
      {"Alt+S", [](CompanyRangeForm& f) { f.mnemonic('s'); }, RangeOutcome::Cancelled},
      {"Esc", [](CompanyRangeForm& f) { f.escape(); }, RangeOutcome::Cancelled},
      {"close box", [](CompanyRangeForm& f) { f.closeBox(); }, RangeOutcome::Cancelled},
      {"Alt+X", [](CompanyRangeForm& f) { f.mnemonic('X'); }, RangeOutcome::Open},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CompanyRangeForm f(startValues());
    c.act(f);
    EXPECT_EQ(f.outcome(), c.outcome);
  }
}

TEST_F(RangeFormTest, EscCancelsEvenWhenAFieldFailsItsCheck) {
  form.type("x");
  form.escape();
  EXPECT_EQ(form.outcome(), RangeOutcome::Cancelled);
}

TEST_F(RangeFormTest, DirectoryIsFreeTextWithinItsWidthAndStoredPadded) {
  form.moveFocus(C::Diretorio);
  retype("/dados/Usuários");
  EXPECT_EQ(form.text(C::Diretorio), "/dados/Usuários");
  typeText("/abcdefghij");  // 15 + 11 characters: only 5 more fit
  EXPECT_EQ(form.text(C::Diretorio), "/dados/Usuários/abcd");
  form.backspace();
  form.backspace();
  form.setText(C::Diretorio, "D:\\DADOS");
  EXPECT_TRUE(form.enter());
  EXPECT_EQ(form.values().XDIR, "D:\\DADOS" + std::string(12, ' '));
}

TEST_F(RangeFormTest, SetTextAppliesTheRulesToAWholeLine) {
  struct Case {
    C field;
    const char* typed;
    const char* shown;
  };
  const Case cases[] = {
      {C::Reindexa, "sim", "S"}, {C::Reindexa, " n", "N"}, {C::Reindexa, "12", ""},
      {C::ChecaBD, "x", "X"},    {C::EmpresaFinal, " 12", " 12"}, {C::EmpresaFinal, "1234", "123"},
      {C::EmpresaInicial, "7a", "  7"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    CompanyRangeForm f(startValues());
    f.setText(c.field, c.typed);
    EXPECT_EQ(f.text(c.field), c.shown);
    EXPECT_EQ(f.focus(), C::Reindexa);
  }
}

}  // namespace
}  // namespace converte::ui
