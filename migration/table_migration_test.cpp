// The table migration on real tables in a company directory: what a step
// leaves unchanged, a full rebuild with its log lines and records, and every
// failure that ends the run.

#include "migration/table_migration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "errors/gen_codes.h"
#include "migration/migration_test_fixture.h"

namespace converte::migration {
namespace {

using storage::Date;
using storage::FieldSpec;
using storage::Number;
using storage::Structure;
using storage::StructureRow;
using testing::endsProgram;

const Structure kDados = {{"NOME", "C", 10, 0, {}},
                          {"VALOR", "N", 10, 2, {}},
                          {"DATA", "D", 8, 0, {}},
                          {"ATIVO", "L", 1, 0, {}},
                          {"OBS", "M", 10, 0, {}}};

const std::vector<testing::Row> kDadosRows = {
    {"ANA", Number::ofReal(1234.5, 10, 2), Date{2024, 1, 15}, true, "memo um"},
    {"BRUNO", Number::ofReal(-2.25, 10, 2), Date{}, false, "memo dois"},
    {"CARLA", Number::ofInteger(7), Date{2023, 12, 31}, true, "memo tres\r\nsegunda linha"}};

class TableMigrationTest : public testing::MigrationTest {
 protected:
  void makeDados() { makeTable("DADOS", kDados, kDadosRows, {2}); }
  std::string copyOf(const std::string& name) const { return inCompany("CP" + name.substr(0, 6)); }
};

TEST_F(TableMigrationTest, MissingTableIsLeftAloneWithoutALogLine) {
  makeTable("OUTRA", {{"A", "C", 1, 0, {}}});
  MGCONVERTE(run, " CLIENTES ", Structure{{"NOVO", "C", 3, 0, {}}}, Structure{{"A", "C", 5, 0, {}}});
  EXPECT_TRUE(logLines().empty());
  EXPECT_EQ(companyFiles(), (std::vector<std::string>{"OUTRA.dbf"}));
  EXPECT_EQ(run.VERROS, 0);
  EXPECT_TRUE(ui.messageBoxes.empty());
}

// Names written in lower case or with trailing blanks match the present
// fields; an altered entry with the same length changes nothing whatever its
// decimals, and one for a field the table lacks is ignored.
TEST_F(TableMigrationTest, StepWithNothingToChangeOnlyOpensAndClosesTheTable) {
  makeDados();
  std::string before = testing::readFileBytes(company.file("DADOS.dbf"));
  MGCONVERTE(run, "DADOS",
             Structure{{"nome", "C", 10, 0, {}}, {"VALOR   ", "N", 10, 2, {}}, {" ativo", "L", 1, 0, {}}},
             Structure{{"valor ", "N", 10, 4, {}}, {"FALTA", "C", 3, 0, {}}, {"DATA", "D", 8, 0, {}}});
  EXPECT_TRUE(logLines().empty());
  EXPECT_EQ(testing::readFileBytes(company.file("DADOS.dbf")), before);  // not packed
  EXPECT_EQ(areas.areaOf("DADOS"), 0);
  EXPECT_EQ(run.VERROS, 0);
}

TEST_F(TableMigrationTest, RebuildAddsAndWidensFieldsAndCarriesEveryLiveRecordWithItsMemos) {
  makeDados();
  makeTable("OUTRA", {{"A", "C", 1, 0, {}}});
  ASSERT_TRUE(areas.useArea(true, "", "OUTRA"));  // opened by the caller before the step
  MGCONVERTE(run, "DADOS  ",
             Structure{{"dt_atu_cad", "D", 8, 0, {}}, {"CST_SIMP   ", "C", 3, 0, {}}, {"NOME", "C", 10, 0, {}}},
             Structure{{"valor", "N", 12, 4, {}}, {"NAOTEM", "C", 5, 0, {}}, {"CST_SIMP", "C", 9, 0, {}}});

  const std::string copy = copyOf("DADOS");
  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            " -> ->Campo novo: dt_atu_cad",
                            " -> ->Campo novo: CST_SIMP   ",
                            "-  Convertendo Arquivo DADOS",
                            " -> ->Campo alterado: valor",
                            "   Convertendo Arquivo DADOS",
                            "   Renomeando Arquivo DADOS",
                            "   Campo Novo dt_atu_cad",
                            "   Campo Novo CST_SIMP   ",
                            "   Criando arquivo DADOS",
                            "   Iniciando append da copia do arquivo   " + copy,
                            "   Finalizando append da copia do arquivo " + copy,
                            "   Excluindo a copia do arquivo" + copy,
                        }));
  EXPECT_EQ(structureOf("DADOS"), (std::vector<StructureRow>{{"NOME", 'C', 10, 0, 0},
                                                             {"VALOR", 'N', 12, 4, 0},
                                                             {"DATA", 'D', 8, 0, 0},
                                                             {"ATIVO", 'L', 1, 0, 0},
                                                             {"OBS", 'M', 10, 0, 0},
                                                             {"DT_ATU_CAD", 'D', 8, 0, 0},
                                                             {"CST_SIMP", 'C', 3, 0, 0}}));
  EXPECT_EQ(recordsOf("DADOS"),
            (std::vector<std::string>{
                " |ANA       |   1234.5000|20240115|T|memo um|        |   ",
                " |CARLA     |      7.0000|20231231|T|memo tres\r\nsegunda linha|        |   "}));
  EXPECT_EQ(companyFiles(), (std::vector<std::string>{"DADOS.dbf", "DADOS.dbt", "OUTRA.dbf"}));
  EXPECT_EQ(areas.areaOf("OUTRA"), 0);  // every table closed after a rebuild
  EXPECT_EQ(run.VERROS, 0);
}

TEST_F(TableMigrationTest, TablesSharingTheirFirstSixCharactersReuseOneCopyName) {
  const Structure memoTable = {{"COD", "C", 4, 0, {}}, {"TEXTO", "M", 10, 0, {}}};
  makeTable("LFENTRA", memoTable, {{"A001", "entrada a"}});
  makeTable("LFENTRB", memoTable, {{"B001", "entrada b"}});
  MGCONVERTE(run, "LFENTRA", Structure{{"NOVO", "N", 3, 0, {}}}, std::nullopt);
  MGCONVERTE(run, "LFENTRB", Structure{{"NOVO", "N", 3, 0, {}}}, std::nullopt);
  EXPECT_EQ(recordsOf("LFENTRA"), (std::vector<std::string>{" |A001|entrada a|   "}));
  EXPECT_EQ(recordsOf("LFENTRB"), (std::vector<std::string>{" |B001|entrada b|   "}));
  EXPECT_EQ(companyFiles(),
            (std::vector<std::string>{"LFENTRA.dbf", "LFENTRA.dbt", "LFENTRB.dbf", "LFENTRB.dbt"}));
  std::vector<std::string> lines = logLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "   Excluindo a copia do arquivo" + inCompany("CPLFENTR")), 2);
  EXPECT_EQ(run.VERROS, 0);
}

TEST_F(TableMigrationTest, TypeConflictEndsTheRunWithTheTableUntouched) {
  makeDados();
  std::string before = testing::readFileBytes(company.file("DADOS.dbf"));
  EXPECT_TRUE(endsProgram([&] {
    MGCONVERTE(run, "DADOS", std::nullopt, Structure{{"Valor", "C", 12, 0, {}}});
  }));
  EXPECT_EQ(stepLines(), (std::vector<std::string>{
                             " -- Arquivo DADOS",
                             " -- Arquivo DADOS",
                             " ** Campo: Valor com tipo diferente ",
                             " ** Campo: Valor = N",
                             " ** Campo: Valor = C",
                             " converter manualmente",
                         }));
  std::vector<std::string> lines = logLines();
  ASSERT_GT(lines.size(), 6u);
  EXPECT_EQ(lines[6], "************** Ocorreram erros na conversão********");
  EXPECT_EQ(testing::readFileBytes(company.file("DADOS.dbf")), before);
  EXPECT_EQ(companyFiles(), (std::vector<std::string>{"DADOS.dbf", "DADOS.dbt"}));
  EXPECT_EQ(run.VERROS, 0);
}

// Duplicates are names written exactly alike: "ABC " is another name.
TEST_F(TableMigrationTest, DuplicateNewFieldNamesSkipTheStepAndTheRunGoesOn) {
  makeDados();
  std::string before = testing::readFileBytes(company.file("DADOS.dbf"));
  MGCONVERTE(run, "DADOS",
             Structure{{"ABC", "C", 1, 0, {}}, {"ABC ", "C", 1, 0, {}}, {"ABC", "N", 2, 0, {}}},
             std::nullopt);
  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            "?? Estrutura de conversão para o arquivo DADOS.dbf = Campo Duplicado ABC",
                            "?? Estrutura de conversão para o arquivo DADOS.dbf = Campo Duplicado ABC",
                            "??? Atenção a Estrutura p/o arquivo DADOS.dbf esta com campos duplicados",
                        }));
  EXPECT_EQ(run.VERROS, 2);
  EXPECT_EQ(testing::readFileBytes(company.file("DADOS.dbf")), before);
}

TEST_F(TableMigrationTest, NewFieldListClosesTheTableOfTheCurrentArea) {
  makeTable("OUTRA", {{"A", "C", 1, 0, {}}});
  ASSERT_TRUE(areas.useArea(true, "", "OUTRA"));
  EXPECT_TRUE(VALID_ESTRU(run, "NADA.dbf", Structure{{"A", "C", 1, 0, {}}, {"B", "C", 1, 0, {}}}));
  EXPECT_FALSE(areas.current().isUsed());
  EXPECT_TRUE(logLines().empty());
}

TEST_F(TableMigrationTest, TableHeldByAnotherProgramEndsTheRunAfterTheOpenersBox) {
  makeDados();
  auto held = realFs->open(company.file("DADOS.dbf"), platform::Access::ReadWrite,
                           platform::ShareMode::Exclusive);
  ASSERT_TRUE(held.ok());
  EXPECT_TRUE(endsProgram([&] {
    MGCONVERTE(run, "DADOS", Structure{{"NOVO", "C", 2, 0, {}}}, std::nullopt);
  }));
  EXPECT_EQ(stepLines(), (std::vector<std::string>{"** Erro Abrindo o arquivo DADOS"}));
  EXPECT_EQ(run.VERROS, 1);
  EXPECT_EQ(ui.boxTexts(), (std::vector<std::string>{
                               "Não foi possivel abrir em modo Exclusivo o\rArquivo: DADOS.dbf\r"
                               "Este arquivo esta aberto por outro usuário"}));
  EXPECT_TRUE(ui.errorDialogs.empty());
  EXPECT_TRUE(errorLogs().empty());
}

TEST_F(TableMigrationTest, RenameRefusedBecauseTheCopyExistsEndsTheRunWithTheTablePacked) {
  makeDados();
  makeTable("CPDADOS", {{"X", "C", 1, 0, {}}});
  EXPECT_TRUE(endsProgram([&] {
    MGCONVERTE(run, "DADOS", Structure{{"NOVO", "C", 2, 0, {}}}, std::nullopt);
  }));
  EXPECT_EQ(stepLines(), (std::vector<std::string>{
                             " -> ->Campo novo: NOVO",
                             "-  Convertendo Arquivo DADOS",
                             "   Convertendo Arquivo DADOS",
                             "   Renomeando Arquivo DADOS",
                             "** Erro renomenado o arquivo DADOS erro dos    5",
                         }));
  EXPECT_EQ(run.VERROS, 1);
  EXPECT_EQ(recordsOf("DADOS").size(), 2u);  // packed, under its own name
  EXPECT_EQ(structureOf("DADOS").size(), kDados.size());
}

TEST_F(TableMigrationTest, MemoRenameRefusedLeavesTheCopyAndTheTablesMemoFile) {
  makeDados();
  testing::writeFileBytes(company.file("CPDADOS.DBT"), "x");
  EXPECT_TRUE(endsProgram([&] {
    MGCONVERTE(run, "DADOS", std::nullopt, Structure{{"NOME", "C", 20, 0, {}}});
  }));
  std::vector<std::string> lines = stepLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "** Erro renomenado o arquivo(DBT) DADOS erro dos    5");
  EXPECT_EQ(run.VERROS, 1);
  EXPECT_EQ(companyFiles(), (std::vector<std::string>{"CPDADOS.DBF", "CPDADOS.DBT", "DADOS.dbt"}));
}

struct EraseFault {
  const char* suffix;
  int osCode;
  const char* line;  // the failure line after the copy's path
  std::vector<std::string> leftOver;
};

TEST_F(TableMigrationTest, ErasingTheCopyFailsAndEndsTheRunWithTheNewTableComplete) {
  const std::vector<EraseFault> cases = {
      {"CPDADOS.dbf", 32, "** Erro excluindo a copia do arquivo ", {"CPDADOS.DBF", "CPDADOS.DBT"}},
      {"CPDADOS.DBT", 5, "** Erro excluindo a copia do arquivo(DBT) ", {"CPDADOS.DBT"}},
  };
  for (const EraseFault& c : cases) {
    SCOPED_TRACE(c.suffix);
    testing::TempDir fresh;
    env.defaultDir = fresh.path();
    env.searchPath = {fresh.path()};
    run.M_PAT = run.M_PTDIRET3 = fresh.path();
    run.VERROS = 0;
    makeDados();
    fs.faults = {{"erase", c.suffix, c.osCode}};
    EXPECT_TRUE(endsProgram([&] {
      MGCONVERTE(run, "DADOS", Structure{{"NOVO", "C", 2, 0, {}}}, std::nullopt);
    }));
    std::vector<std::string> lines = stepLines();
    ASSERT_FALSE(lines.empty());
    std::string code = c.osCode == 32 ? "  32" : "   5";
    EXPECT_EQ(lines.back(), c.line + fresh.path() + "\\CPDADOS erro dos " + code);
    EXPECT_EQ(run.VERROS, 1);
    auto names = realFs->list(fresh.path(), "CP*");
    ASSERT_TRUE(names.ok());
    EXPECT_EQ(*names, c.leftOver);
    EXPECT_EQ(recordsOf("DADOS").size(), 2u);
    run.log.open(work.file("converte.txt"));
  }
}

// A refill whose put is refused keeps the table copy: the new table lacks
// the records from the refused one on, and only the copy still holds them.
TEST_F(TableMigrationTest, RefillStoppedByADataWidthErrorKeepsTheCopyAndPassesTheErrorOn) {
  makeDados();
  // The error goes on to the guarded step around the script, which
  // reports it; the copy stays for the manual conversion.
  EXPECT_THROW(MGCONVERTE(run, "DADOS", std::nullopt, Structure{{"VALOR", "N", 3, 0, {}}}),
               errors::ErrorAbandoned);
  const std::string copy = copyOf("DADOS");
  std::vector<std::string> lines = stepLines();
  ASSERT_GE(lines.size(), 1u);
  EXPECT_EQ(lines.back(), "   Iniciando append da copia do arquivo   " + copy);
  EXPECT_EQ(run.VERROS, 0);
  ASSERT_FALSE(handler.records.empty());
  EXPECT_EQ(handler.records.back().genCode, errors::kGenDataWidth);
  // The report names the migration's level below the raiser's own.
  const auto& levels = handler.records.back().callStack;
  const auto migration = std::find_if(levels.begin(), levels.end(), [](const auto& level) {
    return level.function == "MGCONVERTE";
  });
  ASSERT_NE(migration, levels.end());
  EXPECT_NE(migration, levels.begin());
  EXPECT_EQ(companyFiles(),
            (std::vector<std::string>{"CPDADOS.DBF", "CPDADOS.DBT", "DADOS.dbf", "DADOS.dbt"}));
  EXPECT_EQ(recordsOf("CPDADOS").size(), 2u);
}

TEST_F(TableMigrationTest, LowerCaseTableNameIsRebuiltThroughItsCopyName) {
  makeTable("dados", kDados, {{"ANA"}});
  MGCONVERTE(run, "dados", Structure{{"NOVO", "C", 2, 0, {}}}, std::nullopt);
  EXPECT_EQ(structureOf("dados").back(), (StructureRow{"NOVO", 'C', 2, 0, 0}));
  EXPECT_EQ(logLines().back(), "   Excluindo a copia do arquivo" + inCompany("CPdados"));
  EXPECT_EQ(recordsOf("dados").size(), 1u);
  EXPECT_EQ(run.VERROS, 0);
}

}  // namespace
}  // namespace converte::migration
