// FOESTRU over whole company directories: companies recorded at various
// versions, the code lengths the company record gives the catalogue, the
// payroll-only directory, and the log lines of a company byte for byte.

#include "catalogue/script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "catalogue/steps.h"
#include "catalogue/testing/company_fixture.h"
#include "errors/gen_codes.h"
#include "storage/text_util.h"

namespace converte::catalogue {
namespace {

using storage::FieldSpec;
using storage::FieldValue;
using storage::Structure;
using testing::number;
using testing::text;

const std::string kRule51(51, '=');

FieldSpec spec(const char* name, const char* type, int length, int decimals = 0) {
  return FieldSpec{name, type, length, decimals, {}};
}

class Script : public ::testing::Test, public testing::CompanyFixture {
 protected:
  // A company record; version absent: no GARVIN_VER field.
  void makeCompany(std::optional<int> version, const char* mask = "", long long maskLength = 0,
                   bool withMask = true) {
    Structure structure{spec("EMPRESA", "C", 60), spec("TAMMASC", "N", 2),
                        spec("ARQ_PAR", "C", 1), spec("EXONERACAO", "C", 1)};
    testing::Row row{text("ACME"), number(maskLength, 2), text(" "), text("N")};
    if (withMask) {
      structure.push_back(spec("MASC_FIL", "C", 20));
      row.push_back(text(mask));
    }
    if (version) {
      structure.push_back(spec("GARVIN_VER", "N", 3));
      row.push_back(number(*version, 3));
    }
    createTable("DADOS", structure, {row});
  }

  // A union table that already has every field the catalogue gives it.
  void makeUnions() {
    Structure structure{spec("CODIGO_SID", "C", 5)};
    for (const FieldRow& row : findStep("C35")->newFields) {
      structure.push_back(spec(std::string(row.name).c_str(), std::string(1, row.type).c_str(),
                               row.length, row.decimals));
    }
    createTable("SINDICAT", structure, {});
  }

  // Tables whose new fields take the company's code lengths.
  void makeCodeLengthTables() {
    createTable("CTDLPA", {spec("CONTA", "C", 10)}, {{text("1")}});
    createTable("CTTPLCC", {spec("CODIGO", "C", 5)}, {{text("1")}});
  }

  // A table the referential-account fix-up converts below version 112.
  void makeAccounts() {
    createTable("CTCONTAS", {spec("COD_SPED", "C", 19), spec("COD_FCONT", "C", 19)},
                {{text("1.01"), text("")}});
  }

  // The errors raised besides the failed open of a missing entries table,
  // which the compaction counts on.
  std::vector<errors::ErrorRecord> unexpectedErrors() const {
    std::vector<errors::ErrorRecord> records = raised();
    std::erase_if(records, [](const errors::ErrorRecord& r) {
      return r.genCode == errors::kGenOpen && r.fileName.ends_with("CTLANCAM.dbf");
    });
    return records;
  }

  // A fresh run log and no raised errors, for the next case of a table.
  void startAgain() {
    run.log.open(work.file("converte.txt"));
    handler.records.clear();
  }

  std::map<std::string, std::string> directoryBytes() const {
    std::map<std::string, std::string> bytes;
    for (const std::string& name : files()) bytes[name] = bytesOf(name);
    return bytes;
  }

  // The field as "NAME T(length,decimals)", or "absent".
  std::string field(const char* table, const char* name) {
    return testing::specText(fieldOf(table, name));
  }
  static std::string charField(const char* name, int length) {
    return testing::specText(spec(name, "C", length));
  }

  bool logged(const std::string& line) const {
    auto lines = logLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
};

TEST_F(Script, ACompanyRecordedByANewerConverterIsLeftUntouched) {
  makeCompany(196);
  makeAccounts();
  auto before = directoryBytes();
  EXPECT_TRUE(FOESTRU(run));
  EXPECT_EQ(directoryBytes(), before);
  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            kRule51, "+  Firma:" + dir.path(), "Checando Tabelas:",
                            "A empresa ja foi convertida pelo converte 196",
                            "Você tem que utilizar um converte mais novo que a versão:196"}));
}

TEST_F(Script, ADirectoryWithoutCompanyRecordOrUnionsStopsTheRun) {
  makeAccounts();
  auto before = directoryBytes();
  EXPECT_FALSE(FOESTRU(run));
  EXPECT_EQ(directoryBytes(), before);
  EXPECT_EQ(logLines(),
            (std::vector<std::string>{kRule51, "+  Firma:" + dir.path(), "Checando Tabelas:"}));
}

// The recorded version decides the gated fix-ups; every migrated company
// ends recorded at 195.
TEST_F(Script, RecordsTheVersionAndGatesTheFixUpsOnTheRecordedOne) {
  struct Case {
    std::optional<int> recorded;
    bool referentialAccountsConverted;
  };
  const Case cases[] = {{std::nullopt, true}, {0, true},    {111, true},
                        {112, false},         {194, false}, {195, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.recorded ? std::to_string(*c.recorded) : "no GARVIN_VER");
    startAgain();
    makeCompany(c.recorded);
    makeAccounts();
    EXPECT_TRUE(FOESTRU(run));
    EXPECT_EQ(column("DADOS", "GARVIN_VER"), std::vector<FieldValue>{number(195, 3)});
    EXPECT_EQ(column("CTCONTAS", "COD_FCONT")[0],
              text(c.referentialAccountsConverted ? "1.01               " : "                   "));
    EXPECT_EQ(logged("Convertendo contas referencial FCONT"), c.referentialAccountsConverted);
    EXPECT_EQ(logLines().back(), "");
    EXPECT_EQ(logLines()[logLines().size() - 2], "=======Fim da Conversao==========");
    EXPECT_EQ(unexpectedErrors(), std::vector<errors::ErrorRecord>{});
  }
}

TEST_F(Script, CodeLengthsOfTheCatalogueComeFromTheCompanyRecord) {
  struct Case {
    bool withMask;
    const char* mask;
    long long maskLength;
    int branchCode, accountCode;
  };
  const Case cases[] = {{true, "", 0, 3, 14},
                        {true, "99.999", 18, 6, 18},
                        {true, "  9   ", 1, 3, 1},
                        {false, "", 12, 3, 12}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("mask '") + c.mask + "'");
    makeCompany(0, c.mask, c.maskLength, c.withMask);
    makeCodeLengthTables();
    EXPECT_TRUE(FOESTRU(run));
    EXPECT_EQ(field("CTTPLCC", "FILIAL_LC"), charField("FILIAL_LC", c.branchCode));
    EXPECT_EQ(field("CTDLPA", "CODIGO_CT"), charField("CODIGO_CT", c.accountCode));
  }
}

TEST_F(Script, APayrollOnlyDirectoryIsMigratedWithTheDefaultCodeLengths) {
  makeUnions();
  makeCodeLengthTables();
  createTable("SECAO", {spec("CODIGO", "C", 3)}, {{text("001")}});
  EXPECT_TRUE(FOESTRU(run));
  EXPECT_EQ(unexpectedErrors(), std::vector<errors::ErrorRecord>{});
  EXPECT_FALSE(fs->exists(path("DADOS.DBF")));
  EXPECT_EQ(field("CTTPLCC", "FILIAL_LC"), charField("FILIAL_LC", 3));
  EXPECT_EQ(field("CTDLPA", "CODIGO_CT"), charField("CODIGO_CT", 14));
  EXPECT_EQ(field("SECAO", "EXONER_SEC"), charField("EXONER_SEC", 1));
  EXPECT_EQ(logLines().back(), "");
}

TEST_F(Script, LogOfACompanyWithNothingToChange) {
  makeUnions();
  EXPECT_TRUE(FOESTRU(run));
  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            kRule51,
                            "+  Firma:" + dir.path(),
                            "Checando Tabelas:",
                            "",
                            "Compactando tabelas",
                            "=== Modulo Ponto ===",
                            "=== Modulo Contabilidade ===",
                            "",
                            "=== Modulo Folha ===",
                            "",
                            "",
                            "=== Modulo Livros Fiscais ===",
                            std::string(33, '='),
                            "=======Fim da Conversao==========",
                            "",
                        }));
}

TEST_F(Script, CompanyRecordReceivesTheNewFieldsAfterItsOwnInCatalogueOrder) {
  makeCompany(std::nullopt, "99.999", 10);
  EXPECT_TRUE(FOESTRU(run));
  Structure dados = structureOf("DADOS");
  // Own fields first, then C2's four, then C13's without those already present.
  std::vector<std::string> expected{"EMPRESA", "TAMMASC", "ARQ_PAR", "EXONERACAO", "MASC_FIL"};
  for (const FieldRow& row : findStep("C2")->newFields) expected.emplace_back(row.name);
  for (const FieldRow& row : findStep("C13")->newFields) {
    std::string name = storage::upperTrimmed(row.name);
    if (std::find(expected.begin(), expected.end(), name) == expected.end()) {
      expected.push_back(name);
    }
  }
  std::vector<std::string> names;
  for (const FieldSpec& field : dados) names.push_back(field.name);
  EXPECT_EQ(names, expected);
  EXPECT_EQ(expected.size(), 5u + 4u + 136u - 4u);
  EXPECT_EQ(column("DADOS", "EMPRESA")[0], text(("ACME" + std::string(56, ' ')).c_str()));
  EXPECT_EQ(column("DADOS", "ARQ_PAR")[0], text("S"));
  EXPECT_EQ(column("DADOS", "MASC_FIL")[0], text(("99.999" + std::string(14, ' ')).c_str()));
}

TEST_F(Script, ASecondRunOverAMigratedCompanyChangesNoTable) {
  makeCompany(std::nullopt);
  makeAccounts();
  makeCodeLengthTables();
  ASSERT_TRUE(FOESTRU(run));
  std::size_t firstRun = logLines().size();
  ASSERT_TRUE(FOESTRU(run));
  std::vector<std::string> lines = logLines();
  std::vector<std::string> second(lines.begin() + static_cast<std::ptrdiff_t>(firstRun),
                                  lines.end());
  for (const std::string& line : second) {
    EXPECT_EQ(line.find("Campo"), std::string::npos) << line;
    EXPECT_EQ(line.find("Convertendo"), std::string::npos) << line;
  }
  EXPECT_EQ(second.back(), "");
}

TEST_F(Script, LeftoverTableCopiesAreDeletedWhenTheCompanyStarts) {
  makeUnions();
  converte::testing::writeFileBytes(path("CPDADOS.DBF"), "left over");
  converte::testing::writeFileBytes(path("CPDADOS.DBT"), "left over");
  EXPECT_TRUE(FOESTRU(run));
  EXPECT_FALSE(fs->exists(path("CPDADOS.DBF")));
  EXPECT_FALSE(fs->exists(path("CPDADOS.DBT")));
}

TEST_F(Script, ProgressWindowShowsTheCompanyAndTheBanner) {
  makeCompany(196);
  run.M_ODLG_PROG = ui.openProgressWindow(ui::ProgressWindowSpec{});
  run.VTXMSG = "  GARVIN Converte Versão: 195  ";
  EXPECT_TRUE(FOESTRU(run));
  EXPECT_EQ(ui.progress->all(ui::ProgressLine::Banner),
            std::vector<std::string>{"GARVIN Converte Versão: 195"});
  EXPECT_EQ(ui.progress->all(ui::ProgressLine::Company),
            std::vector<std::string>{"Diretorio:" + dir.path()});
}

TEST_F(Script, DuplicateFieldCheckRunsOnlyWhenTheOperatorAskedForIt) {
  makeCompany(196);
  run.M_ODLG_PROG = ui.openProgressWindow(ui::ProgressWindowSpec{});
  for (const char* answer : {"N", "S"}) {
    SCOPED_TRACE(answer);
    ui.progress->lines.clear();
    run.VCHECABD = answer;
    EXPECT_TRUE(FOESTRU(run));
    auto progress = ui.progress->all(ui::ProgressLine::Progress);
    bool checked = std::find(progress.begin(), progress.end(),
                             "Verificando arquivos com campos duplicados") != progress.end();
    EXPECT_EQ(checked, std::string(answer) == "S");
  }
}

}  // namespace
}  // namespace converte::catalogue
