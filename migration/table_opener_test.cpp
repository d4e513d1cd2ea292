// The opener on real tables: a successful open and its position, each way
// an open fails and what the operator is shown, and the option flags.

#include "migration/table_opener.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "migration/migration_test_fixture.h"

namespace converte::migration {
namespace {

using storage::Structure;

const Structure kCodes = {{"COD", "C", 4, 0, {}}, {"VALOR", "N", 6, 0, {}}};
const std::string kHeldBox =
    "Não foi possivel abrir em modo Exclusivo o\rArquivo: CODIGOS.DBF\r"
    "Este arquivo esta aberto por outro usuário";

class TableOpenerTest : public testing::MigrationTest {
 protected:
  void makeCodes(int records) {
    std::vector<testing::Row> rows;
    for (int i = 1; i <= records; ++i) rows.push_back({"C" + std::to_string(i)});
    makeTable("CODIGOS", kCodes, rows);
  }
};

TEST_F(TableOpenerTest, OpensExclusivelyInANewAreaOnTheLastRecord) {
  makeTable("OUTRA", kCodes);
  ASSERT_TRUE(areas.useArea(true, "", "OUTRA"));
  makeCodes(3);
  ASSERT_TRUE(ABRE_ARQ(run, OpenFlags{.exclusive = true}, "CODIGOS.DBF"));
  storage::WorkArea& area = areas.current();
  EXPECT_EQ(areas.currentNumber(), 2);
  EXPECT_EQ(area.alias(), "CODIGOS");
  EXPECT_FALSE(area.isShared());
  EXPECT_FALSE(area.isReadOnly());
  EXPECT_EQ(area.recNo(), 3u);
  EXPECT_TRUE(areas.area(1).isUsed());
  EXPECT_TRUE(ui.messageBoxes.empty());
}

TEST_F(TableOpenerTest, EmptyTableOpens) {
  makeCodes(0);
  EXPECT_TRUE(ABRE_ARQ(run, OpenFlags{.exclusive = true}, "CODIGOS.dbf"));
  EXPECT_TRUE(areas.current().isUsed());
  EXPECT_TRUE(ui.messageBoxes.empty());
}

TEST_F(TableOpenerTest, MissingTableShowsBothBoxes) {
  EXPECT_FALSE(ABRE_ARQ(run, OpenFlags{.exclusive = true}, "CODIGOS.DBF"));
  EXPECT_EQ(ui.boxTexts(), (std::vector<std::string>{"Tabela não encontrada CODIGOS.DBF", kHeldBox}));
  for (const auto& box : ui.messageBoxes) EXPECT_EQ(box.title, "");
  EXPECT_FALSE(areas.current().isUsed());
  EXPECT_TRUE(errorLogs().empty());
}

TEST_F(TableOpenerTest, TableHeldByAnotherProgramShowsOnlyTheOpenersBox) {
  makeCodes(2);
  auto held = realFs->open(company.file("CODIGOS.dbf"), platform::Access::ReadOnly,
                           platform::ShareMode::Exclusive);
  ASSERT_TRUE(held.ok());
  EXPECT_FALSE(ABRE_ARQ(run, OpenFlags{.exclusive = true}, "CODIGOS.DBF"));
  EXPECT_EQ(ui.boxTexts(), (std::vector<std::string>{kHeldBox}));
  EXPECT_TRUE(ui.errorDialogs.empty());
  EXPECT_TRUE(errorLogs().empty());
  EXPECT_FALSE(areas.current().isUsed());
  ASSERT_EQ(handler.records.size(), 1u);
  EXPECT_EQ(handler.records[0].osCode, platform::kOsSharingViolation);
}

TEST_F(TableOpenerTest, DamagedTableIsReportedThenShowsTheOpenersBox) {
  makeCodes(1);
  std::string bytes = testing::readFileBytes(company.file("CODIGOS.dbf"));
  bytes[32 + 11] = 'X';  // the first field's type letter
  testing::writeFileBytes(company.file("CODIGOS.dbf"), bytes);
  EXPECT_FALSE(ABRE_ARQ(run, OpenFlags{.exclusive = true}, "CODIGOS.DBF"));
  EXPECT_EQ(ui.errorDialogs.size(), 1u);
  EXPECT_EQ(errorLogs().size(), 1u);
  EXPECT_EQ(ui.boxTexts(), (std::vector<std::string>{kHeldBox}));
  EXPECT_FALSE(areas.current().isUsed());
}

struct FlagCase {
  const char* name;
  OpenFlags flags;
  int users;
  bool shared;
  bool readOnly;
  int area;             // the area the table opens in (area 1 holds OUTRA)
  std::uint32_t recNo;  // last record, or the first when nothing is locked
};

TEST_F(TableOpenerTest, FlagsChooseAreaModeAndLock) {
  const std::vector<FlagCase> cases = {
      {"exclusive", {.exclusive = true}, 2, false, false, 2, 3},
      {"shared by default", {}, 2, true, false, 2, 3},
      {"exclusive for one user", {}, 0, false, false, 2, 3},
      {"read-only takes no lock", {.exclusive = true, .readOnly = true}, 2, false, true, 2, 1},
      {"no lock", {.exclusive = true, .noLock = true}, 2, false, false, 2, 1},
      {"same area", {.sameArea = true, .exclusive = true}, 2, false, false, 1, 3},
  };
  makeCodes(3);
  makeTable("OUTRA", kCodes);
  for (const FlagCase& c : cases) {
    SCOPED_TRACE(c.name);
    areas.closeAll();
    ASSERT_TRUE(areas.useArea(true, "", "OUTRA"));
    run.M_NO_USERS = c.users;
    ASSERT_TRUE(ABRE_ARQ(run, c.flags, "CODIGOS.DBF"));
    storage::WorkArea& area = areas.current();
    EXPECT_EQ(area.alias(), "CODIGOS");
    EXPECT_EQ(area.isShared(), c.shared);
    EXPECT_EQ(area.isReadOnly(), c.readOnly);
    EXPECT_EQ(areas.currentNumber(), c.area);
    EXPECT_EQ(area.recNo(), c.recNo);
    if (c.shared) {
      EXPECT_EQ(area.lockedRecords(), (std::vector<std::uint32_t>{3}));
    }
  }
  EXPECT_TRUE(ui.messageBoxes.empty());
}

}  // namespace
}  // namespace converte::migration
