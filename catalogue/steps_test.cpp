// The catalogue walked for what a typo would break: ids in order, table
// names, field names, types, lengths and decimals, repeated names, and the
// filling in of the company's code lengths.

#include "catalogue/steps.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "storage/text_util.h"

namespace converte::catalogue {
namespace {

std::string rowText(const FieldRow& row) {
  return std::string(row.name) + " " + row.type + "(" + std::to_string(row.length) + "," +
         std::to_string(row.decimals) + ")";
}

// Length and decimals a table file can hold for the type.
bool validForType(const FieldRow& row) {
  if (row.lengthFrom != LengthFrom::Row) return row.type == 'C' && row.length == 0;
  switch (row.type) {
    case 'C':
      return row.length >= 1 && row.length <= 65535 && row.decimals == 0;
    case 'N':
      return row.length >= 1 && row.length <= 20 && row.decimals >= 0 &&
             (row.decimals == 0 || row.decimals <= row.length - 2);
    case 'D':  // three date fields are listed 10 wide; the table stores 8
      return (row.length == 8 || row.length == 10) && row.decimals == 0;
    case 'L':
      return row.length == 1 && row.decimals == 0;
    case 'M':
      return row.length == 10 && row.decimals == 0;
    default:
      return false;
  }
}

TEST(CatalogueSteps, IdsRunFromC1ToC105InOrder) {
  auto steps = catalogueSteps();
  ASSERT_EQ(steps.size(), 105u);
  for (std::size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(steps[i].id, "C" + std::to_string(i + 1));
  }
}

TEST(CatalogueSteps, EveryStepNamesATableAndExactlyOneList) {
  for (const CatalogueStep& step : catalogueSteps()) {
    SCOPED_TRACE(std::string(step.id));
    std::string table(step.table);
    EXPECT_FALSE(table.empty());
    EXPECT_LE(table.size(), 8u);
    EXPECT_EQ(storage::upperTrimmed(table), table);
    EXPECT_NE(step.newFields.empty(), step.alteredFields.empty());
    EXPECT_EQ(step.gateBelow, 0) << "no catalogue step of this release is gated";
  }
}

TEST(CatalogueSteps, EveryRowIsAFieldATableCanHold) {
  for (const CatalogueStep& step : catalogueSteps()) {
    for (auto list : {step.newFields, step.alteredFields}) {
      for (const FieldRow& row : list) {
        SCOPED_TRACE(std::string(step.id) + " " + rowText(row));
        std::string name = storage::upperTrimmed(row.name);
        EXPECT_EQ(std::string(row.name).find(' '), std::string::npos);
        EXPECT_FALSE(name.empty());
        EXPECT_LE(name.size(), 10u);
        for (char c : name) {
          EXPECT_TRUE((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_') << c;
        }
        EXPECT_TRUE(name[0] >= 'A' && name[0] <= 'Z');
        EXPECT_TRUE(validForType(row));
      }
    }
  }
}

TEST(CatalogueSteps, NoListNamesAFieldTwice) {
  for (const CatalogueStep& step : catalogueSteps()) {
    for (auto list : {step.newFields, step.alteredFields}) {
      std::set<std::string> seen;
      for (const FieldRow& row : list) {
        EXPECT_TRUE(seen.insert(storage::upperTrimmed(row.name)).second)
            << step.id << " names " << row.name << " twice";
      }
    }
  }
}

// The totals per section of the script, and the tables each touches.
TEST(CatalogueSteps, SectionTotalsMatchTheRelease) {
  struct Section {
    const char* first;
    const char* last;
    std::size_t tables, newEntries, alteredEntries;
  };
  const Section sections[] = {
      {"C1", "C4", 2, 8, 6},       {"C5", "C8", 4, 14, 0},      {"C9", "C29", 14, 184, 24},
      {"C30", "C66", 31, 485, 13}, {"C67", "C105", 26, 527, 30}, {"C1", "C105", 73, 1218, 73},
  };
  for (const Section& s : sections) {
    SCOPED_TRACE(std::string(s.first) + ".." + s.last);
    std::set<std::string_view> tables;
    std::size_t added = 0, altered = 0;
    for (const CatalogueStep& step : stepRange(s.first, s.last)) {
      tables.insert(step.table);
      added += step.newFields.size();
      altered += step.alteredFields.size();
    }
    EXPECT_EQ(tables.size(), s.tables);
    EXPECT_EQ(added, s.newEntries);
    EXPECT_EQ(altered, s.alteredEntries);
  }
}

// Spot checks of lists that are easy to get wrong: shared lists, lists built
// by number, the variable lengths, names in mixed case.
TEST(CatalogueSteps, ListsThatAreEasyToGetWrong) {
  struct Case {
    const char* id;
    std::size_t index;
    const char* name;
    char type;
    int length, decimals;
    LengthFrom from;
  };
  const Case cases[] = {
      {"C2", 3, "CRCCONT", 'C', 15, 0, LengthFrom::Row},
      {"C4", 0, "EMPRESA", 'C', 60, 0, LengthFrom::Row},
      {"C13", 32, "TAXAJUROS", 'N', 10, 3, LengthFrom::Row},
      {"C13", 135, "TIPO", 'C', 1, 0, LengthFrom::Row},
      {"C15", 3, "DEMONSTRA", 'C', 600, 0, LengthFrom::Row},
      {"C19", 0, "CODIGO_CT", 'C', 0, 0, LengthFrom::AccountCode},
      {"C37", 31, "REF_30_MOV", 'C', 20, 0, LengthFrom::Row},
      {"C41", 2, "REF_01_MOV", 'C', 20, 0, LengthFrom::Row},
      {"C50", 8, "EVE_01_MOV", 'C', 3, 0, LengthFrom::Row},
      {"C50", 82, "REF_15_MOV", 'C', 20, 0, LengthFrom::Row},
      {"C50", 84, "DIA_ABO", 'N', 2, 0, LengthFrom::Row},
      {"C55", 5, "NO_SAL_FUN", 'N', 18, 8, LengthFrom::Row},
      {"C78", 0, "FILIAL_LC", 'C', 0, 0, LengthFrom::BranchCode},
      {"C83", 0, "USUARIO", 'C', 10, 0, LengthFrom::Row},
      {"C93", 4, "CD_P_TRANS", 'C', 0, 0, LengthFrom::ItemCode},
      {"C100", 18, "UN_UNPro", 'C', 2, 0, LengthFrom::Row},
      {"C100", 61, "PRODAG_ITM", 'C', 0, 0, LengthFrom::ItemCode},
      {"C100", 72, "BALANCO", 'L', 1, 0, LengthFrom::Row},
      {"C103", 4, "dt_atu_cad", 'D', 8, 0, LengthFrom::Row},
      {"C103", 42, "DT_SERASA", 'D', 10, 0, LengthFrom::Row},
      {"C105", 31, "CELULAR", 'C', 14, 0, LengthFrom::Row},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.id) + " " + c.name);
    const CatalogueStep* step = findStep(c.id);
    ASSERT_NE(step, nullptr);
    auto list = step->newFields.empty() ? step->alteredFields : step->newFields;
    ASSERT_LT(c.index, list.size());
    const FieldRow& row = list[c.index];
    EXPECT_EQ(row.name, c.name);
    EXPECT_EQ(row.type, c.type);
    EXPECT_EQ(row.length, c.length);
    EXPECT_EQ(row.decimals, c.decimals);
    EXPECT_EQ(row.lengthFrom, c.from);
  }
}

TEST(CatalogueSteps, StepRangeIsEmptyForUnknownOrReversedIds) {
  EXPECT_EQ(findStep("C106"), nullptr);
  EXPECT_TRUE(stepRange("C5", "C4").empty());
  EXPECT_TRUE(stepRange("C1", "C0").empty());
  ASSERT_EQ(stepRange("C13", "C13").size(), 1u);
  EXPECT_EQ(stepRange("C13", "C13")[0].table, "DADOS");
}

// Structures as text, so that a failed check shows both sides.
std::vector<std::string> texts(const storage::Structure& structure) {
  std::vector<std::string> out;
  for (const storage::FieldSpec& f : structure) {
    out.push_back(f.name + " " + f.type + "(" + std::to_string(f.length) + "," +
                  std::to_string(f.decimals) + ")");
  }
  return out;
}

TEST(CatalogueSteps, ToStructureFillsInTheCompanysCodeLengths) {
  const CodeLengths lengths{18, 6, 5};
  using Texts = std::vector<std::string>;
  EXPECT_EQ(texts(toStructure(findStep("C19")->newFields, lengths)),
            (Texts{"CODIGO_CT C(18,0)", "USUARIO C(10,0)"}));
  EXPECT_EQ(texts(toStructure(findStep("C77")->newFields, lengths)),
            (Texts{"FILIAL_LC C(6,0)", "UF_LC C(2,0)"}));
  EXPECT_EQ(texts(toStructure(findStep("C93")->newFields, lengths))[4], "CD_P_TRANS C(5,0)");
  EXPECT_EQ(texts(toStructure(findStep("C53")->newFields, lengths))[8], "TX_FG_SOC N(5,2)");
  EXPECT_EQ(texts(toStructure(findStep("C100")->newFields, lengths))[18], "UN_UNPro C(2,0)");
}

}  // namespace
}  // namespace converte::catalogue
