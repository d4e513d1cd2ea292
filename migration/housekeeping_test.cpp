// Company housekeeping on real directories: pattern deletion, erasing one
// table, compaction by the count of deleted entries, the duplicate-field
// test and the payroll history tables.

#include "migration/housekeeping.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "migration/migration_test_fixture.h"

namespace converte::migration {
namespace {

using storage::Structure;
using storage::StructureRow;
using testing::endsProgram;

const Structure kEntries = {{"LANC", "N", 6, 0, {}}, {"HIST", "C", 20, 0, {}}};

class HousekeepingTest : public testing::MigrationTest {
 protected:
  HousekeepingTest() { run.M_ODLG_PROG = ui.openProgressWindow({}); }

  // A table of records records, the first `deleted` of them marked deleted.
  void makeEntries(const std::string& name, int records, int deleted) {
    std::vector<testing::Row> rows;
    std::vector<std::uint32_t> marked;
    for (int i = 1; i <= records; ++i) rows.push_back({storage::Number::ofInteger(i, 6), "h"});
    for (int i = 1; i <= deleted; ++i) marked.push_back(static_cast<std::uint32_t>(i));
    makeTable(name, kEntries, rows, marked);
  }
  // Record count of a table as stored, deleted records included.
  std::uint32_t storedRecords(const std::string& name) {
    env.setDeleted = false;
    std::uint32_t count = static_cast<std::uint32_t>(recordsOf(name).size());
    env.setDeleted = true;
    return count;
  }
  void touch(const std::string& name) { testing::writeFileBytes(company.file(name), "x"); }
};

TEST_F(HousekeepingTest, PatternDeletionRemovesTheCopiesAndPassesOverHeldFiles) {
  for (const char* name : {"CPDADOS.DBF", "CPDADOS.DBT", "cplfent.dbf", "CPHELD.DBF", "DADOS.DBF", "XCP.DBF"})
    touch(name);
  auto held = realFs->open(company.file("CPHELD.DBF"), platform::Access::ReadOnly,
                           platform::ShareMode::Exclusive);
  ASSERT_TRUE(held.ok());
  ENOVOAPAGAARQ(run, run.M_PAT + "\\CP*.*");
  EXPECT_EQ(companyFiles(), (std::vector<std::string>{"CPHELD.DBF", "DADOS.DBF", "XCP.DBF"}));
  EXPECT_TRUE(logLines().empty());
  EXPECT_TRUE(ui.messageBoxes.empty());
}

TEST_F(HousekeepingTest, ErasingATableTakesItsIndexAndTextFilesOnly) {
  for (const char* name : {"COPREC.DBF", "COPREC.NTX", "COPREC.DBT", "COPRECX.DBF"}) touch(name);
  APAGA_ARQ(run, "COPREC");
  EXPECT_EQ(companyFiles(), (std::vector<std::string>{"COPREC.DBT", "COPRECX.DBF"}));
}

struct CompactionCase {
  const char* name;
  int deletedEntries;  // -1: the company has no CTLANCAM
  std::vector<std::string> lines;
  bool packed;
};

TEST_F(HousekeepingTest, CompactionPacksEveryTableOnlyAboveOneHundredDeletedEntries) {
  const std::vector<CompactionCase> cases = {
      {"100 deleted", 100, {"Compactando não necessaria  registro deletados:       100"}, false},
      {"101 deleted", 101, {"Compactando tabelas"}, true},
      {"no entries table", -1, {"Compactando tabelas"}, true},
  };
  for (const CompactionCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir fresh;
    env.defaultDir = fresh.path();
    env.searchPath = {fresh.path()};
    run.M_PAT = run.M_PTDIRET3 = fresh.path();
    env.setDeleted = false;
    ui.progress->titles.clear();
    ui.progress->lines.clear();
    ui.errorDialogs.clear();
    run.log.open(work.file("converte.txt"));
    if (c.deletedEntries >= 0) makeEntries("CTLANCAM", 150, c.deletedEntries);
    makeEntries("OUTRA", 5, 2);

    COMPACTADADOS(run);

    EXPECT_EQ(logLines(), c.lines);
    EXPECT_TRUE(env.setDeleted);
    EXPECT_EQ(storedRecords("OUTRA"), c.packed ? 3u : 5u);
    if (c.deletedEntries >= 0) {
      EXPECT_EQ(storedRecords("CTLANCAM"), c.packed ? 150u - c.deletedEntries : 150u);
    }
    std::vector<std::string> titles = {"Checando registros deletados", "Checando tabelas"};
    if (c.deletedEntries < 0) titles = {"Checando tabelas"};
    EXPECT_EQ(ui.progress->titles, titles);
    std::vector<std::string> progress = ui.progress->all(ui::ProgressLine::Progress);
    std::vector<std::string> packing;
    for (const std::string& line : progress)
      if (line.rfind("Compactando Tabela...", 0) == 0) packing.push_back(line);
    std::vector<std::string> packed;
    if (c.packed) packed = {"Compactando Tabela...CTLANCAM.dbf", "Compactando Tabela...OUTRA.dbf"};
    if (c.packed && c.deletedEntries < 0) packed = {"Compactando Tabela...OUTRA.dbf"};
    EXPECT_EQ(packing, packed);
    // The missing entries table is a run-time error of the count: reported,
    // then counted as 1000.
    EXPECT_EQ(ui.errorDialogs.size(), c.deletedEntries < 0 ? 1u : 0u);
    EXPECT_FALSE(areas.current().isUsed());
    EXPECT_EQ(run.VERROS, 0);
  }
}

TEST_F(HousekeepingTest, AfterCompactionDeletedRecordsStayHidden) {
  makeEntries("CTLANCAM", 10, 3);
  COMPACTADADOS(run);
  ASSERT_TRUE(areas.useArea(true, "", "CTLANCAM"));
  int seen = 0;
  for (areas.current().goTop(); !areas.current().eof(); areas.current().skip()) ++seen;
  EXPECT_EQ(seen, 7);
}

TEST_F(HousekeepingTest, CompactionPassesOverATableItCannotOpen) {
  makeEntries("CTLANCAM", 120, 110);
  makeEntries("OUTRA", 4, 1);
  auto held = realFs->open(company.file("OUTRA.dbf"), platform::Access::ReadOnly,
                           platform::ShareMode::Exclusive);
  ASSERT_TRUE(held.ok());
  COMPACTADADOS(run);
  held->reset();
  EXPECT_EQ(storedRecords("CTLANCAM"), 10u);
  EXPECT_EQ(storedRecords("OUTRA"), 4u);
  EXPECT_TRUE(ui.errorDialogs.empty());
  EXPECT_TRUE(errorLogs().empty());
  EXPECT_EQ(logLines(), (std::vector<std::string>{"Compactando tabelas"}));
}

// The files passed over are not tables at all: opening one would end the run.
TEST_F(HousekeepingTest, DuplicateFieldTestPassesOverNamesOutsideSixToTwelveCharacters) {
  for (const char* name : {"N.DBF", "ABCDEFGHIJKL.DBF", "AB~1.DBF"}) touch(name);
  EXPECT_TRUE(CH_DUP(run, "N.DBF"));
  EXPECT_TRUE(CH_DUP(run, "ABCDEFGHIJKL.DBF"));
  EXPECT_TRUE(CH_DUP(run, "AB~1.DBF"));
  EXPECT_TRUE(logLines().empty());
  EXPECT_TRUE(ui.messageBoxes.empty());
  EXPECT_EQ(run.VERROS, 0);
}

TEST_F(HousekeepingTest, DuplicateFieldNameIsLoggedPerOccurrenceWithOneBox) {
  makeTable("AB", {{"COD", "C", 2, 0, {}}, {"NOME", "C", 5, 0, {}}, {"COD", "N", 3, 0, {}}});
  makeTable("CLEAN", {{"COD", "C", 2, 0, {}}});
  EXPECT_FALSE(CH_DUP(run, "AB.DBF"));
  EXPECT_TRUE(CH_DUP(run, "CLEAN.DBF"));
  EXPECT_EQ(logLines(), (std::vector<std::string>{"** Arquivo AB.DBF = Campo Duplicado COD",
                                                  "** Arquivo AB.DBF = Campo Duplicado COD"}));
  EXPECT_EQ(ui.boxTexts(),
            (std::vector<std::string>{
                "Atenção o arquivo AB.DBF possui campos duplicados ERRO NA ESTRUTURA/DESENVOLVIMENTO"}));
  EXPECT_EQ(run.VERROS, 0);
  EXPECT_FALSE(areas.current().isUsed());
}

TEST_F(HousekeepingTest, DuplicateFieldTestEndsTheRunOnATableItCannotOpen) {
  makeTable("HELD", {{"COD", "C", 2, 0, {}}});
  auto held = realFs->open(company.file("HELD.dbf"), platform::Access::ReadOnly,
                           platform::ShareMode::Exclusive);
  ASSERT_TRUE(held.ok());
  EXPECT_TRUE(endsProgram([&] { CH_DUP(run, "HELD.dbf"); }));
  EXPECT_EQ(stepLines(), (std::vector<std::string>{"** Erro Abrindo o arquivo HELD.dbf"}));
  EXPECT_EQ(run.VERROS, 1);
}

TEST_F(HousekeepingTest, DuplicateFieldRunShowsEveryTableOnTheProgressLine) {
  makeTable("DADOS", {{"COD", "C", 2, 0, {}}});
  makeTable("FOLHA1", {{"COD", "C", 2, 0, {}}});
  ARQ_CH_DUPL(run);
  EXPECT_EQ(ui.progress->all(ui::ProgressLine::Progress),
            (std::vector<std::string>{"Verificando arquivos com campos duplicados",
                                      "Verificando arquivos com campos duplicados   DADOS.dbf   ",
                                      "Verificando arquivos com campos duplicados  FOLHA1.dbf   "}));
  EXPECT_TRUE(logLines().empty());
}

TEST_F(HousekeepingTest, HistoryTablesAreCreatedOnlyWhereMissing) {
  makeTable("FUNSAL", {{"OUTRO", "C", 1, 0, {}}}, {{"x"}});
  FONOVOS(run);
  EXPECT_EQ(structureOf("FUNSAL"), (std::vector<StructureRow>{{"OUTRO", 'C', 1, 0, 0}}));
  EXPECT_EQ(recordsOf("FUNSAL").size(), 1u);
  EXPECT_EQ(structureOf("FUNCARGO"), (std::vector<StructureRow>{{"CODIGO_FUN", 'C', 5, 0, 0},
                                                                {"VIG_INI", 'D', 8, 0, 0},
                                                                {"CD_CARGO", 'C', 3, 0, 0},
                                                                {"ST_ES", 'C', 1, 0, 0},
                                                                {"USUARIO", 'C', 10, 0, 0}}));
  for (const char* name : {"FUNCARGO", "FUNLOTA", "FUNSIND", "FUNHORAR"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(recordsOf(name).empty());
    EXPECT_EQ(structureOf(name)[2].name.substr(0, 3), "CD_");
  }
  EXPECT_EQ(structureOf("FUNHORAR")[2], (StructureRow{"CD_HORAR", 'C', 3, 0, 0}));
  EXPECT_EQ(structureOf("FUNSIND")[2], (StructureRow{"CD_SIND", 'C', 5, 0, 0}));
}

TEST_F(HousekeepingTest, SalaryHistoryTableHasItsNineFields) {
  FONOVOS(run);
  EXPECT_EQ(structureOf("FUNSAL"), (std::vector<StructureRow>{{"CODIGO_FUN", 'C', 5, 0, 0},
                                                              {"VIG_INI", 'D', 8, 0, 0},
                                                              {"VIG_FIM", 'D', 8, 0, 0},
                                                              {"NO_SAL_FUN", 'N', 18, 8, 0},
                                                              {"TP_SAL_F", 'C', 1, 0, 0},
                                                              {"VR_SAL_VAR", 'N', 14, 2, 0},
                                                              {"TP_SAL_V", 'C', 1, 0, 0},
                                                              {"ST_ES", 'C', 1, 0, 0},
                                                              {"USUARIO", 'C', 10, 0, 0}}));
  EXPECT_EQ(companyFiles().size(), 5u);
}

}  // namespace
}  // namespace converte::migration
