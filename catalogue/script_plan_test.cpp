// The script's rows: every catalogue step run once in catalogue order, the
// fix-ups in their places with their version gates, and the gate rule.

#include "catalogue/script_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/steps.h"

namespace converte::catalogue {
namespace {

TEST(ScriptPlan, RunsEveryCatalogueStepOnceInCatalogueOrder) {
  std::vector<std::string_view> ran;
  for (const ScriptRow& row : scriptPlan()) {
    if (row.kind != RowKind::Steps) continue;
    auto range = stepRange(row.text, row.lastStep);
    EXPECT_FALSE(range.empty()) << row.text << ".." << row.lastStep;
    for (const CatalogueStep& step : range) ran.push_back(step.id);
  }
  std::vector<std::string_view> all;
  for (const CatalogueStep& step : catalogueSteps()) all.push_back(step.id);
  EXPECT_EQ(ran, all);
}

// Each fix-up, the step it follows, its gate and whether all tables are
// closed after it.
TEST(ScriptPlan, FixUpsFollowTheirStepsBehindTheirGates) {
  struct Expected {
    const char* name;
    const char* after;  // the last catalogue step before it
    int gateBelow;
    bool closeAll;
  };
  const Expected expected[] = {
      {"F1", "C12", 0, false},  {"F2", "C13", 0, false},   {"F3", "C19", 112, false},
      {"F4", "C29", 10, true},  {"F5", "C45", 0, false},   {"F6", "C51", 0, false},
      {"F7", "C59", 10, true},  {"F8", "C66", 0, false},   {"F9", "C92", 10, false},
      {"F10", "C96", 10, true}, {"F11", "C96", 0, false},  {"version", "C96", 0, false},
  };
  std::vector<Expected> found;
  std::string lastStep;
  for (const ScriptRow& row : scriptPlan()) {
    if (row.kind == RowKind::Steps) lastStep = row.lastStep;
    if (row.kind != RowKind::Action) continue;
    EXPECT_NE(row.action, nullptr) << row.text;
    found.push_back({row.text.data(), nullptr, row.gateBelow, row.closeAllAfter});
    ASSERT_LT(found.size() - 1, std::size(expected));
    const Expected& e = expected[found.size() - 1];
    EXPECT_EQ(row.text, e.name);
    EXPECT_EQ(lastStep, e.after) << e.name;
    EXPECT_EQ(row.gateBelow, e.gateBelow) << e.name;
    EXPECT_EQ(row.closeAllAfter, e.closeAll) << e.name;
  }
  EXPECT_EQ(found.size(), std::size(expected));
}

TEST(ScriptPlan, SectionLinesPrecedeTheirFirstSteps) {
  struct Expected {
    const char* line;
    const char* nextStep;
  };
  const Expected expected[] = {{"=== Modulo Ponto ===", "C5"},
                               {"=== Modulo Contabilidade ===", "C9"},
                               {"=== Modulo Folha ===", "C30"},
                               {"=== Modulo Livros Fiscais ===", "C67"}};
  auto rows = scriptPlan();
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.line);
    auto at = std::find_if(rows.begin(), rows.end(), [&](const ScriptRow& row) {
      return row.kind == RowKind::LogLine && row.text == e.line;
    });
    ASSERT_NE(at, rows.end());
    auto next = std::find_if(at, rows.end(),
                             [](const ScriptRow& row) { return row.kind == RowKind::Steps; });
    ASSERT_NE(next, rows.end());
    EXPECT_EQ(next->text, e.nextStep);
  }
}

TEST(ScriptPlan, AGateBelowNPassesOnlyVersionsBelowN) {
  EXPECT_TRUE(passesGate(0, 999));
  EXPECT_TRUE(passesGate(10, 0));
  EXPECT_TRUE(passesGate(10, 9));
  EXPECT_FALSE(passesGate(10, 10));
  EXPECT_TRUE(passesGate(112, 111));
  EXPECT_FALSE(passesGate(112, 112));
  EXPECT_FALSE(passesGate(112, 195));
}

}  // namespace
}  // namespace converte::catalogue
