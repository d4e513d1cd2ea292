// Runs that end in an error: a type conflict and a failed rename end the run
// through the error exit, a data-width error during a refill ends it at the
// outermost guard with its error log file, and the next run stops there.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "platform/child_process.h"
#include "storage/storage_env.h"
#include "tests/e2e/driver_run.h"

namespace converte::testing {
namespace {

using Lines = std::vector<std::string>;
using storage::FieldValue;
using storage::Number;
using storage::Structure;

// One row of a table written by writeTable; deleted rows are marked so.
struct Row {
  std::vector<FieldValue> values;
  bool deleted = false;
};

// Writes a table of these rows into directory through the storage layer, as
// the suite would have left it, and closes it again.
void writeTable(const std::string& directory, const std::string& name, const Structure& structure,
                const std::vector<Row>& rows) {
  std::filesystem::create_directories(directory);
  auto fs = platform::newSystemFileSystem();
  FixedClock clock;
  errors::AbandonAll handler;
  storage::StorageEnv env(*fs, clock, handler);
  env.defaultDir = directory;
  storage::WorkAreaList areas(env);
  ASSERT_TRUE(areas.createTable(name, structure, {}, true));
  for (const Row& row : rows) {
    ASSERT_TRUE(areas.current().append());
    for (std::size_t i = 0; i < row.values.size(); ++i)
      areas.current().putField(static_cast<int>(i) + 1, row.values[i]);
    if (row.deleted) areas.current().deleteRecord();
  }
  areas.closeAll();
}

// The record count of a DBF file: bytes 4 to 7 of its header, low byte first.
std::uint32_t recordCountOf(const std::string& bytes) {
  if (bytes.size() < 8) return 0;
  std::uint32_t count = 0;
  for (int i = 7; i >= 4; --i)
    count = count * 256 + static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
  return count;
}

// The names of the files of a directory, in upper case.
std::set<std::string> upperFileNames(const std::string& directory) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    if (!entry.is_regular_file()) continue;
    std::string name = entry.path().filename().string();
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    names.insert(name);
  }
  return names;
}

// The lines of an error log file as UTF-8: its text split at CR LF, after
// checking that it ends with the end-of-file byte, which is then dropped.
Lines reportLines(const std::string& bytes) {
  EXPECT_TRUE(bytes.ends_with("\x1A")) << "no end-of-file byte";
  const std::string text =
      platform::fromWindows1252(bytes.substr(0, bytes.empty() ? 0 : bytes.size() - 1));
  Lines lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

// Accounting entries without deleted records: the compaction counts them
// and packs nothing.
void writeAccountingEntries(const std::string& directory) {
  writeTable(directory, "CTLANCAM", {{"NO_LOTE", "N", 10, 0, {}}}, {{{Number::ofInteger(1, 10)}}});
}

// The company record with the fields of the first catalogue steps at their
// catalogue widths, so that those steps change nothing; extra fields follow.
Structure companyRecord(const Structure& extra = {}) {
  Structure structure{{"EMPRESA", "C", 60, 0, {}},
                      {"PATRO_CNPJ", "C", 18, 0, {}},
                      {"PATRO_COD", "C", 15, 0, {}},
                      {"UFCRCCONT", "C", 2, 0, {}},
                      {"CRCCONT", "C", 15, 0, {}}};
  structure.insert(structure.end(), extra.begin(), extra.end());
  return structure;
}

std::vector<FieldValue> companyValues(const std::vector<FieldValue>& extra = {}) {
  std::vector<FieldValue> values{FieldValue("EMPRESA TESTE"), FieldValue("12.345.678/0001-90"),
                                 FieldValue("77"), FieldValue("SP"), FieldValue("1SP123456")};
  values.insert(values.end(), extra.begin(), extra.end());
  return values;
}

class ErrorEndingsTest : public DriverRun {
 protected:
  // The lines of a company up to the accounting section: the script's start,
  // the compaction line given, and the two section lines.
  Lines untilAccounting(int n, const std::string& compaction) const {
    return concat(
        {scriptStart(n), {"", compaction, "=== Modulo Ponto ===", "=== Modulo Contabilidade ==="}});
  }

  // The text of the first error log file, for the failure messages.
  std::string firstReport() {
    const Lines names = errorLogs();
    return names.empty() ? std::string()
                         : platform::fromWindows1252(readFileBytes(work.file(names[0])));
  }

  static inline const std::string kNoPacking =
      "Compactando não necessaria  registro deletados:         0";
  static inline const std::string kErrorLog = "LOGSITUACAO__120924_143005.log";
};

// An altered-field entry whose type differs from the company's field: the
// lines that ask for a manual conversion, the error summary without a count
// (nothing was counted), no reindex request, and the table as it was.
TEST_F(ErrorEndingsTest, ATypeConflictEndsTheRunWithTheErrorSummaryAndLeavesTheTableAsItWas) {
  struct Case {
    std::string table;
    storage::FieldSpec field;
    FieldValue value;
    Structure others;  // fields that keep the table's earlier steps quiet
    std::string catalogueType;
    bool inAccounting;  // the step runs after the two section lines
  };
  const Structure vigFields{{"PATRO_CNPJ", "C", 18, 0, {}},
                            {"PATRO_COD", "C", 15, 0, {}},
                            {"UFCRCCONT", "C", 2, 0, {}},
                            {"CRCCONT", "C", 15, 0, {}}};
  const Case cases[] = {
      // C12: CODIGO_DUP of the duplicates becomes C(6).
      {"LFDUPLIC", {"CODIGO_DUP", "N", 6, 0, {}}, Number::ofInteger(12, 6), {}, "C", true},
      {"LFDUPLIC", {"CODIGO_DUP", "D", 8, 0, {}}, storage::Date{2024, 3, 15}, {}, "C", true},
      // C4: EMPRESA of the dated company records becomes C(60).
      {"DADOSVIG", {"EMPRESA", "L", 1, 0, {}}, FieldValue(true), vigFields, "C", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table + " " + c.field.name + " " + c.field.type);
    std::filesystem::remove_all(company(1));
    ui.logViewers.clear();
    ui.errorDialogs.clear();
    automation.calls.clear();
    writeBase();
    writeTable(company(1), "DADOS", companyRecord(), {{companyValues()}});
    writeAccountingEntries(company(1));
    Structure structure{c.field};
    structure.insert(structure.end(), c.others.begin(), c.others.end());
    std::vector<FieldValue> values{c.value};
    for (std::size_t i = 0; i < c.others.size(); ++i) values.emplace_back("X");
    writeTable(company(1), c.table, structure, {{values}, {values}});
    const std::string tableFile = company(1) + "/" + c.table + ".dbf";
    const std::string before = readFileBytes(tableFile);
    ASSERT_GT(before.size(), 32u);

    EXPECT_TRUE(runMain("1", "1"));

    Lines lines = concat({{kRunStart}, scriptStart(1), {"", kNoPacking}});
    if (c.inAccounting)
      lines.insert(lines.end(), {"=== Modulo Ponto ===", "=== Modulo Contabilidade ==="});
    const std::string field = " ** Campo: " + c.field.name;
    lines.insert(lines.end(), {" -- Arquivo " + c.table, " -- Arquivo " + c.table,
                               field + " com tipo diferente ", field + " = " + c.field.type,
                               field + " = " + c.catalogueType, " converter manualmente"});
    EXPECT_EQ(logBytes(), logOf(concat({lines, summaryLines(true, 0)})));
    EXPECT_EQ(run.VERROS, 0);
    // No reindex request, and the log was shown at the end of the run.
    EXPECT_TRUE(automation.calls.empty());
    EXPECT_EQ(ui.logViewers.size(), 1u);
    EXPECT_TRUE(ui.errorDialogs.empty());
    EXPECT_TRUE(errorLogs().empty()) << firstReport();
    // The table is untouched and no table copy was made.
    EXPECT_TRUE(readFileBytes(tableFile) == before) << "the table changed";
    EXPECT_EQ(upperFileNames(company(1)),
              (std::set<std::string>{"CTLANCAM.DBF", "DADOS.DBF", c.table + ".DBF"}));
  }
}

// The table copy's name is taken by a directory, so the rename aside fails
// with access denied: one error counted, its line, the error summary with
// the count, and the table packed but otherwise where it was.
TEST_F(ErrorEndingsTest, ARenameThatFailsEndsTheRunWithItsLineAndTheCountedErrorSummary) {
  struct Case {
    std::string blockedName;  // the directory in the way
    std::string errorLine;
    std::set<std::string> filesAfter;
  };
  const Case cases[] = {
      {"CPLFDUPL.DBF",
       "** Erro renomenado o arquivo LFDUPLIC erro dos    5",
       {"CTLANCAM.DBF", "DADOS.DBF", "LFDUPLIC.DBF", "LFDUPLIC.DBT"}},
      // The table file went aside; its memo file could not follow.
      {"CPLFDUPL.DBT",
       "** Erro renomenado o arquivo(DBT) LFDUPLIC erro dos    5",
       {"CTLANCAM.DBF", "DADOS.DBF", "CPLFDUPL.DBF", "LFDUPLIC.DBT"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.blockedName);
    std::filesystem::remove_all(company(1));
    ui.logViewers.clear();
    ui.errorDialogs.clear();
    automation.calls.clear();
    writeBase();
    writeTable(company(1), "DADOS", companyRecord(), {{companyValues()}});
    writeAccountingEntries(company(1));
    // C12 widens CODIGO_DUP from 4 to 6 characters; the second record is deleted.
    writeTable(company(1), "LFDUPLIC",
               {{"CODIGO_DUP", "C", 4, 0, {}}, {"HISTORICO", "M", 10, 0, {}}},
               {{{FieldValue("0001"), FieldValue("primeira")}},
                {{FieldValue("0002"), FieldValue("segunda")}, true},
                {{FieldValue("0003"), FieldValue("terceira")}}});
    std::filesystem::create_directories(company(1) + "/" + c.blockedName);

    EXPECT_TRUE(runMain("1", "1"));

    EXPECT_EQ(logBytes(),
              logOf(concat({{kRunStart},
                            untilAccounting(1, kNoPacking),
                            {" -> ->Campo alterado: CODIGO_DUP", "   Convertendo Arquivo LFDUPLIC",
                             "   Renomeando Arquivo LFDUPLIC", c.errorLine},
                            summaryLines(true, 1)})));
    EXPECT_EQ(run.VERROS, 1);
    EXPECT_TRUE(automation.calls.empty());
    EXPECT_EQ(ui.logViewers.size(), 1u);
    EXPECT_TRUE(errorLogs().empty());
    EXPECT_EQ(upperFileNames(company(1)), c.filesAfter);
    EXPECT_TRUE(std::filesystem::is_directory(company(1) + "/" + c.blockedName));
    // The table file, under whichever name it now has, was packed: two
    // records, without the deleted one.
    const std::string tableFile =
        company(1) + "/" +
        (c.filesAfter.contains("LFDUPLIC.DBF") ? "LFDUPLIC.dbf" : "CPLFDUPL.DBF");
    const std::string bytes = readFileBytes(tableFile);
    EXPECT_EQ(recordCountOf(bytes), 2u);
    EXPECT_NE(bytes.find("0003"), std::string::npos);
    EXPECT_EQ(bytes.find("0002"), std::string::npos);
  }
}

// C9 narrows TIPO_REG of the company record to N(2); a company whose field
// is N(5) and holds 12345 makes the refill raise the data-width error, which
// no step catches before the outermost guard: the error log file and the
// error dialog, a run log that simply stops, the table copy left behind.
// The next run stops at that company and asks for a manual conversion.
TEST_F(ErrorEndingsTest,
       ADataWidthErrorInARefillEndsTheRunAtTheOutermostGuardAndTheNextRunStopsThere) {
  writeBase();
  writeTable(
      company(1), "DADOS", companyRecord({{"TIPO_REG", "N", 5, 0, {}}}),
      {{companyValues({Number::ofInteger(7, 5)})}, {companyValues({Number::ofInteger(12345, 5)})}});
  writeAccountingEntries(company(1));
  const std::string original = readFileBytes(company(1) + "/DADOS.dbf");
  ASSERT_GT(original.size(), 32u);

  EXPECT_FALSE(runMain("1", "1"));

  EXPECT_EQ(
      logBytes(),
      logOf(concat({{kRunStart},
                    untilAccounting(1, kNoPacking),
                    {" -> ->Campo alterado: TIPO_REG", "   Convertendo Arquivo DADOS",
                     "   Renomeando Arquivo DADOS", "   Criando arquivo DADOS",
                     "   Iniciando append da copia do arquivo   " + company(1) + "\\CPDADOS"}})));
  // The report: its file in the working directory and the dialog titled
  // with the file's name.
  EXPECT_EQ(errorLogs(), Lines{kErrorLog});
  ASSERT_EQ(ui.errorDialogs.size(), 1u) << firstReport();
  EXPECT_EQ(ui.errorDialogs[0].title, kErrorLog);
  const Lines report = reportLines(readFileBytes(work.file(kErrorLog)));
  ASSERT_GE(report.size(), 7u);
  EXPECT_EQ(report[0],
            "Situação: " + std::string(storage::kDriverName) + "/1021  Data width error: TIPO_REG");
  EXPECT_EQ(report[1], "");  // no operating-system code
  const std::size_t calls = report.size() - 6;
  EXPECT_GE(calls, 1u);
  bool migrationLevel = false;
  for (std::size_t i = 2; i < 2 + calls; ++i) {
    EXPECT_TRUE(std::regex_match(report[i], std::regex("Called from .*->.+\\(-?[0-9]+\\)")))
        << report[i];
    if (report[i].find("->MGCONVERTE(") != std::string::npos) migrationLevel = true;
  }
  EXPECT_TRUE(migrationLevel);
  EXPECT_EQ(report[2 + calls], "");
  EXPECT_FALSE(report[3 + calls].empty());  // the version line
  EXPECT_EQ(report[4 + calls], "Date:12/09/24");
  EXPECT_EQ(report[5 + calls], "Time:14:30:05");
  // No end-of-run summary, no viewer, no reindex request.
  EXPECT_TRUE(ui.logViewers.empty());
  EXPECT_TRUE(automation.calls.empty());
  // The complete table copy is left beside the new, partly filled table.
  EXPECT_EQ(upperFileNames(company(1)),
            (std::set<std::string>{"CPDADOS.DBF", "CTLANCAM.DBF", "DADOS.DBF"}));
  EXPECT_TRUE(readFileBytes(company(1) + "/CPDADOS.DBF") == original) << "the table copy differs";

  areas.closeAll();
  // The next start of the program: fresh services over the same working
  // directory, the fixture's tables closed as at the end of its process.
  ProgramRun next(work.path());
  EXPECT_TRUE(next.main("1", "1"));
  EXPECT_EQ(logBytes(),
            logOf(concat({{kRunStart},
                          {"Ha arquivos de copia da Conversão Anterior",
                           "Provavelmente o converte anterior deu erro",
                           "Os Arquivos abaixo tem que ser convertidos MANUALMENTE", "CPDADOS.DBF"},
                          reindexLines("  1", "  1"),
                          summaryLines()})));
  ASSERT_EQ(next.ui.messageBoxes.size(), 1u);
  EXPECT_EQ(next.ui.messageBoxes[0].title, "ATENÇÃO ERRO NA CONVERSÃO");
  EXPECT_EQ(
      next.ui.messageBoxes[0].text,
      "Ha arquivos de copia da Conversão Anterior\rProvavelmente o converte anterior deu erro\r"
      "Os arquivos CP*.dbf não podem ser apagados\rTem que converter manulamente\r");
  EXPECT_EQ(next.automation.calls.size(), 1u);
  // Nothing was touched: the copy stays for the manual conversion.
  EXPECT_TRUE(readFileBytes(company(1) + "/CPDADOS.DBF") == original) << "the table copy changed";
  EXPECT_EQ(upperFileNames(company(1)),
            (std::set<std::string>{"CPDADOS.DBF", "CTLANCAM.DBF", "DADOS.DBF"}));
  EXPECT_EQ(errorLogs(), Lines{kErrorLog});
}

// The same data-width error in a run of the program itself: the program
// still ends with status 0, and the error log file, named by the date and
// time of the report that it holds, lies in the working directory.
TEST(ErrorEndingsProgramTest, TheProgramEndsWithStatusZeroAndLeavesTheReportAndTheCopy) {
  TempDir work;
  TempDir outputs;
  const std::string firma = work.file("GARV") + "/FIRMA1";
  writeFileBytes(work.file("GARVIN.INI"), "DIRETORIO=" + work.file("GARV") + "\r\n");
  writeTable(firma, "DADOS", companyRecord({{"TIPO_REG", "N", 5, 0, {}}}),
             {{companyValues({Number::ofInteger(12345, 5)})}});
  writeAccountingEntries(firma);

  const std::string command = "cd '" + work.path() + "' && exec '" + CONVERTE_PROGRAM +
                              "' 1 1 </dev/null >'" + outputs.file("out") + "' 2>'" +
                              outputs.file("err") + "'";
  auto child = platform::startChildProcess("/bin/sh", {"-c", command});
  ASSERT_TRUE(child);
  auto status = (*child)->wait();
  ASSERT_TRUE(status);
  EXPECT_EQ(*status, 0);

  const std::string log = readFileBytes(work.file("converte.txt"));
  EXPECT_TRUE(
      log.ends_with("\r\n   Iniciando append da copia do arquivo   " + firma + "\\CPDADOS\x1A"))
      << log;
  std::vector<std::string> reports;
  for (const auto& entry : std::filesystem::directory_iterator(work.path())) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("LOGSITUACAO")) reports.push_back(name);
  }
  ASSERT_EQ(reports.size(), 1u);
  std::smatch parts;
  ASSERT_TRUE(std::regex_match(
      reports[0], parts,
      std::regex("LOGSITUACAO__(\\d\\d)(\\d\\d)(\\d\\d)_(\\d\\d)(\\d\\d)(\\d\\d)\\.log")))
      << reports[0];
  const std::string report = readFileBytes(work.file(reports[0]));
  EXPECT_EQ(report.rfind(platform::toWindows1252("Situação: " + std::string(storage::kDriverName) +
                                                 "/1021  Data width error: TIPO_REG\r\n"),
                         0),
            0u)
      << report;
  EXPECT_TRUE(report.ends_with("\r\nDate:" + parts.str(1) + "/" + parts.str(2) + "/" +
                               parts.str(3) + "\r\nTime:" + parts.str(4) + ":" + parts.str(5) +
                               ":" + parts.str(6) + "\x1A"))
      << report;
  EXPECT_EQ(upperFileNames(firma),
            (std::set<std::string>{"CPDADOS.DBF", "CTLANCAM.DBF", "DADOS.DBF"}));
}

}  // namespace
}  // namespace converte::testing
