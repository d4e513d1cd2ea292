// Whole runs of MAIN over generated companies: afterwards every table has
// the structure that the catalogue gives its older structure and every
// record the values the refill and the fix-ups give it; a second run over
// the result changes no table but the one the catalogue's own order leaves
// behind (EVENTOS), and a third changes nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/company_image.h"
#include "tests/e2e/driver_run.h"
#include "tests/e2e/expected_records.h"
#include "tests/e2e/expected_structure.h"
#include "tools/sample/sample_company.h"

namespace converte::testing {
namespace {

using Lines = std::vector<std::string>;
using FileBytes = std::map<std::string, std::string>;

Lines linesOf(const std::string& bytes) {
  const std::string text = platform::fromWindows1252(bytes);
  Lines lines;
  std::size_t at = 0;
  while ((at = text.find("\r\n", at)) != std::string::npos) {
    at += 2;
    const std::size_t end = text.find("\r\n", at);
    lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
  }
  return lines;
}

// The lines that the script logs for one company directory.
Lines companyLines(const Lines& log, const std::string& directory) {
  Lines section;
  bool inside = false;
  for (const std::string& line : log) {
    if (line.starts_with("+  Firma:")) inside = line == "+  Firma:" + directory;
    if (inside) section.push_back(line);
  }
  return section;
}

Lines containing(const Lines& lines, std::string_view part) {
  Lines found;
  for (const std::string& line : lines)
    if (line.find(part) != std::string::npos) found.push_back(line);
  return found;
}

// The lines the table migration logs when it rebuilds these tables.
Lines rebuildLines(const std::vector<expected::Rebuild>& rebuilds) {
  Lines lines;
  for (const expected::Rebuild& rebuild : rebuilds) {
    if (rebuild.addsFields) lines.push_back("-  Convertendo Arquivo " + rebuild.table);
    lines.push_back("   Convertendo Arquivo " + rebuild.table);
  }
  return lines;
}

// What the script reads of a company before it starts.
expected::CompanyBefore factsOf(const CompanyImage& company) {
  expected::CompanyBefore facts;
  for (const auto& [name, table] : company) facts.tables[name] = table.structure;
  std::optional<double> tamMasc;
  std::optional<std::string> mascFil;
  const auto record = company.find("DADOS");
  const ImageRecord* first = record == company.end() ? nullptr : record->second.firstLive();
  if (first != nullptr) {
    const TableImage& table = record->second;
    auto cellOf = [&](std::string_view name) { return first->cells.at(static_cast<std::size_t>(table.position(name))); };
    if (table.has("GARVIN_VER")) facts.recordedVersion = static_cast<int>(expected::integerValue(cellOf("GARVIN_VER")));
    if (table.has("TAMMASC")) tamMasc = static_cast<double>(expected::integerValue(cellOf("TAMMASC")));
    if (table.has("MASC_FIL")) mascFil = cellOf("MASC_FIL");
  }
  facts.lengths = expected::codeLengthsOf(tamMasc, mascFil);
  return facts;
}

FileBytes filesOf(const std::string& directory) {
  FileBytes files;
  for (const auto& entry : std::filesystem::directory_iterator(directory))
    if (entry.is_regular_file()) files[entry.path().filename().string()] = readFileBytes(entry.path().string());
  return files;
}

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Table files (DBF and DBT) of two moments compared byte for byte, except
// the tables the run rebuilt; index files are left out (the run deletes
// them, and the suite builds them again).
void expectSameFilesBut(const FileBytes& before, const FileBytes& after,
                        const std::set<std::string>& rebuilt) {
  auto tableFiles = [](const FileBytes& files) {
    std::set<std::string> names;
    for (const auto& [name, bytes] : files)
      if (!upper(name).ends_with(".NTX")) names.insert(name);
    return names;
  };
  EXPECT_EQ(tableFiles(before), tableFiles(after));
  for (const std::string& name : tableFiles(after)) {
    if (rebuilt.contains(tableNameOf(name)) || !before.contains(name)) continue;
    EXPECT_TRUE(before.at(name) == after.at(name)) << name << " changed";
  }
}

std::string cellDiff(const TableImage& table, const ImageRecord& want, const ImageRecord& got) {
  if (want.deleted != got.deleted) return "deletion flag";
  for (std::size_t i = 0; i < want.cells.size() && i < got.cells.size(); ++i)
    if (want.cells[i] != got.cells[i])
      return table.structure[i].name + " expected [" + want.cells[i] + "] got [" + got.cells[i] + "]";
  return "field count";
}

// Every table as expected: the same tables, each with the expected
// structure and the expected records in order.
void expectTables(const CompanyImage& actual, const CompanyImage& expected) {
  std::set<std::string> actualNames, expectedNames;
  for (const auto& [name, table] : actual) actualNames.insert(name);
  for (const auto& [name, table] : expected) expectedNames.insert(name);
  EXPECT_EQ(actualNames, expectedNames);
  for (const auto& [name, want] : expected) {
    if (!actual.contains(name)) continue;
    const TableImage& got = actual.at(name);
    EXPECT_EQ(got.structure, want.structure) << name;
    if (got.structure != want.structure) continue;
    EXPECT_EQ(got.records.size(), want.records.size()) << name;
    int reported = 0;
    for (std::size_t r = 0; r < std::min(got.records.size(), want.records.size()) && reported < 3; ++r) {
      if (got.records[r] == want.records[r]) continue;
      ADD_FAILURE() << name << " record " << r + 1 << ": " << cellDiff(want, want.records[r], got.records[r]);
      ++reported;
    }
  }
}

const std::string& cellOf(const TableImage& table, const ImageRecord& record, std::string_view name) {
  return record.cells.at(static_cast<std::size_t>(table.position(name)));
}

std::vector<const ImageRecord*> liveRecords(const TableImage& table) {
  std::vector<const ImageRecord*> live;
  for (const ImageRecord& record : table.records)
    if (!record.deleted) live.push_back(&record);
  return live;
}

class WholeRunTest : public ::testing::Test {
 protected:
  std::string base() const { return work.file("GARV"); }
  std::string company(int n) const { return base() + "/FIRMA" + std::to_string(n); }

  // One run of the program over companies first to last; its log lines.
  // The run must end normally, without an error report.
  Lines runProgram(int first, int last, int day) {
    ProgramRun program(work.path(), {2024, 12, day, 14, 30, 5, 0});
    program.main(std::to_string(first), std::to_string(last));
    auto reports = program.fs->list(work.path(), "LOGSITUACAO__*");
    EXPECT_TRUE(!reports || reports->empty()) << "the run reported an error";
    EXPECT_TRUE(program.ui.messageBoxes.empty());
    const Lines log = linesOf(readFileBytes(work.file("converte.txt")));
    EXPECT_TRUE(containing(log, "** Erro").empty());
    EXPECT_FALSE(containing(log, "Fim normal da Conversão").empty());
    return log;
  }

  // The run's expectations for one company: the structures and the records
  // worked out from the company as it was, checked against what it is now,
  // with the rebuild lines of its section of the log.
  expected::CompanyAfter expectRun(int n, const CompanyImage& before, const Lines& log,
                                   std::string_view logged) {
    SCOPED_TRACE("FIRMA" + std::to_string(n));
    const expected::CompanyBefore facts = factsOf(before);
    const expected::CompanyAfter model = expected::afterRun(facts);
    const CompanyImage now = readCompanyImage(company(n));
    expectTables(now, expected::recordsAfterRun(before, model, facts.recordedVersion));
    EXPECT_EQ(containing(companyLines(log, company(n)), logged), rebuildLines(model.rebuilds));
    for (const auto& [name, bytes] : filesOf(company(n))) {
      EXPECT_FALSE(upper(name).starts_with("CP")) << name;
      EXPECT_FALSE(upper(name).starts_with("COPREC")) << name;
    }
    return model;
  }

  TempDir work;
};

TEST_F(WholeRunTest, TwoGeneratedCompaniesGetTheCatalogueStructuresKeepTheirRecordsAndASecondRunChangesNothing) {
  // Seeds 12 and 13: the first company already has FODEPEND, the second
  // keeps its dependants in the employee table.
  sample::writeBase(work.path(), 1, 2, {11, 3000});
  CompanyImage before[2] = {readCompanyImage(company(1)), readCompanyImage(company(2))};
  for (const CompanyImage& image : before) ASSERT_EQ(factsOf(image).recordedVersion, 0);

  const Lines firstLog = runProgram(1, 2, 9);
  CompanyImage migrated[2];
  FileBytes files[2];
  for (int n = 1; n <= 2; ++n) {
    const expected::CompanyAfter model = expectRun(n, before[n - 1], firstLog, "Convertendo Arquivo");
    EXPECT_FALSE(model.rebuilds.empty());
    migrated[n - 1] = readCompanyImage(company(n));
    files[n - 1] = filesOf(company(n));
    EXPECT_EQ(factsOf(migrated[n - 1]).recordedVersion, 195);
  }

  // The second run, a day later: nothing to change but the EVENTOS that
  // received FORMU2_EVE from C45, which C44 now widens.
  const Lines secondLog = runProgram(1, 2, 10);
  for (int n = 1; n <= 2; ++n) {
    const expected::CompanyAfter model = expectRun(n, migrated[n - 1], secondLog, "Convertendo");
    std::set<std::string> rebuilt;
    for (const expected::Rebuild& rebuild : model.rebuilds) {
      EXPECT_EQ(rebuild.table, "EVENTOS");
      rebuilt.insert(rebuild.table);
    }
    expectSameFilesBut(files[n - 1], filesOf(company(n)), rebuilt);
  }
}

// A few fix-up results stated outright, over the second generated company
// (no FODEPEND before the run), so that the record model is not the only
// witness of them.
TEST_F(WholeRunTest, FixupResultsOfAGeneratedCompany) {
  sample::writeBase(work.path(), 2, 2, {11, 3000});
  const CompanyImage before = readCompanyImage(company(2));
  ASSERT_FALSE(before.contains("FODEPEND"));
  runProgram(2, 2, 9);
  const CompanyImage after = readCompanyImage(company(2));

  {  // ICMS rate by rate code.
    const TableImage& entries = after.at("LFENTRA");
    const std::map<std::string, std::string> rates{{"1", "7.00"}, {"5", "8.40"}, {"A", "5.60"}};
    int seen = 0;
    ASSERT_EQ(entries.field("CDESTI_ENT").length, 1);
    for (const ImageRecord* record : liveRecords(entries)) {
      auto rate = rates.find(cellOf(entries, *record, "CDESTI_ENT"));
      if (rate == rates.end()) continue;
      EXPECT_EQ(cellOf(entries, *record, "TRIBS1_ENT"), std::string(6 - rate->second.size(), ' ') + rate->second);
      ++seen;
    }
    EXPECT_GT(seen, 0);
  }
  {  // Month and year of the ICMS assessment.
    const TableImage& company = before.at("DADOS");
    const std::string year = cellOf(company, *company.firstLive(), "PERINICIAL").substr(0, 4);
    const TableImage& assessment = after.at("LFAPICM");
    EXPECT_EQ(assessment.field("MES_ICM").length, 7);
    ASSERT_FALSE(liveRecords(assessment).empty());
    for (const ImageRecord* record : liveRecords(assessment)) {
      const std::string& month = cellOf(assessment, *record, "MES_ICM");
      EXPECT_EQ(month.substr(2), "/" + year) << month;
      EXPECT_LE(expected::integerValue(month.substr(0, 2)), 12) << month;
    }
  }
  {  // Vacation records numbered 1, 2, 3 ... with their day counts.
    const TableImage& vacations = after.at("FOFERFUN");
    const auto live = liveRecords(vacations);
    ASSERT_FALSE(live.empty());
    for (std::size_t i = 0; i < live.size(); ++i) {
      EXPECT_EQ(expected::integerValue(cellOf(vacations, *live[i], "NO_REG")), static_cast<long long>(i + 1));
      const long long days = expected::integerValue(cellOf(vacations, *live[i], "DIA_FER"));
      EXPECT_TRUE(days >= 11 && days <= 31) << days;
    }
    const TableImage& keys = after.at("GVCHAVES");
    EXPECT_EQ(expected::integerValue(cellOf(keys, *keys.firstLive(), "U_FERIAS")), static_cast<long long>(live.size()));
  }
  {  // Union codes in five digits, in the unions, the employees and the salaries.
    for (const auto& [table, field] : {std::pair{"SINDICAT", "CODIGO_SID"}, {"FUNCIONA", "SINDIC_FUN"},
                                       {"SINDSAL", "CODIGO_SAL"}})
      for (const ImageRecord* record : liveRecords(after.at(table))) {
        const std::string& code = cellOf(after.at(table), *record, field);
        EXPECT_EQ(code.find_first_not_of("0123456789"), std::string::npos) << table << " " << code;
        EXPECT_EQ(code.size(), 5u);
      }
  }
  {  // Dependants: one record per filled name column, with its entry date.
    const TableImage& employees = before.at("FUNCIONA");
    const TableImage& dependants = after.at("FODEPEND");
    std::size_t filled = 0, at = 0;
    for (const ImageRecord* employee : liveRecords(employees))
      for (int n = 1; n <= 10; ++n) {
        const std::string nn = (n < 10 ? "0" : "") + std::to_string(n);
        if (cellOf(employees, *employee, "NOME_" + nn).find_first_not_of(' ') == std::string::npos) continue;
        ++filled;
        if (at >= dependants.records.size()) continue;
        const ImageRecord& dependant = dependants.records[at++];
        EXPECT_EQ(cellOf(dependants, dependant, "CODIGO_FUN"), cellOf(employees, *employee, "CODIGO_FUN"));
        const std::string& born = cellOf(employees, *employee, "DATA_" + nn);
        EXPECT_EQ(cellOf(dependants, dependant, "DT_ENT_DEP"), born > "20000101" ? born : "20000101");
      }
    EXPECT_GT(filled, 0u);
    EXPECT_EQ(dependants.records.size(), filled);
    EXPECT_EQ(dependants.structure.size(), 17u);
  }
  {  // One union history row per employee, with the converted union code.
    const TableImage& employees = after.at("FUNCIONA");
    const TableImage& unions = after.at("FUNSIND");
    const auto live = liveRecords(employees);
    ASSERT_EQ(unions.records.size(), live.size());
    ASSERT_FALSE(live.empty());
    for (std::size_t i = 0; i < live.size(); ++i) {
      EXPECT_EQ(cellOf(unions, unions.records[i], "CD_SIND"), cellOf(employees, *live[i], "SINDIC_FUN"));
      EXPECT_EQ(cellOf(unions, unions.records[i], "VIG_INI"), cellOf(employees, *live[i], "DT_ADM_FUN"));
    }
  }
  {  // The recorded version.
    const TableImage& company = after.at("DADOS");
    EXPECT_EQ(cellOf(company, *company.firstLive(), "GARVIN_VER"), "195");
  }
}

// Leaves EVENTOS of the company without its FORMU2_EVE field, records and
// memo texts kept.
void dropFormula(const std::string& directory) {
  auto fs = platform::newSystemFileSystem();
  FixedClock clock;
  errors::AbandonAll handler;
  storage::StorageEnv env(*fs, clock, handler);
  env.defaultDir = directory;
  storage::WorkAreaList areas(env);
  ASSERT_TRUE(areas.useArea(true, {}, "EVENTOS", {}, false, true));
  std::vector<std::string> kept;
  for (const storage::StructureRow& row : areas.current().structure())
    if (row.name != "FORMU2_EVE") kept.push_back(row.name);
  ASSERT_TRUE(areas.copyTo(directory + "/EVENTNEW.DBF", kept));
  areas.closeAll();
  for (const char* extension : {".DBF", ".DBT"}) {
    for (const auto& entry : std::filesystem::directory_iterator(directory))
      if (upper(entry.path().filename().string()) == std::string("EVENTOS") + extension)
        std::filesystem::remove(entry.path());
    const std::string made = directory + "/EVENTNEW" + extension;
    if (std::filesystem::exists(made)) std::filesystem::rename(made, directory + "/EVENTOS" + extension);
  }
}

TEST_F(WholeRunTest, EventosWithoutFormu2EveGetsItAt40ThenAt90AndTheThirdRunChangesNothing) {
  sample::writeBase(work.path(), 1, 1, {4, 1500});
  dropFormula(company(1));
  const CompanyImage before = readCompanyImage(company(1));
  ASSERT_FALSE(before.at("EVENTOS").has("FORMU2_EVE"));
  ASSERT_FALSE(before.at("EVENTOS").records.empty());

  runProgram(1, 1, 9);
  const CompanyImage first = readCompanyImage(company(1));
  EXPECT_EQ(first.at("EVENTOS").field("FORMU2_EVE"), (storage::FieldSpec{"FORMU2_EVE", "C", 40, 0, {}}));
  EXPECT_EQ(first.at("EVENTOS").structure,
            expected::afterRun(factsOf(before)).tables.at("EVENTOS").structure);
  const FileBytes firstFiles = filesOf(company(1));

  const Lines second = companyLines(runProgram(1, 1, 10), company(1));
  EXPECT_EQ(containing(second, "Convertendo"), Lines{"   Convertendo Arquivo EVENTOS"});
  EXPECT_EQ(containing(second, "Campo"), Lines{" -> ->Campo alterado: FORMU2_EVE"});
  const CompanyImage secondImage = readCompanyImage(company(1));
  const TableImage& events = secondImage.at("EVENTOS");
  EXPECT_EQ(events.field("FORMU2_EVE"), (storage::FieldSpec{"FORMU2_EVE", "C", 90, 0, {}}));
  EXPECT_EQ(events.structure.size(), first.at("EVENTOS").structure.size());
  ASSERT_EQ(events.records.size(), first.at("EVENTOS").records.size());
  for (const ImageRecord& record : events.records)
    EXPECT_EQ(cellOf(events, record, "FORMU2_EVE"), std::string(90, ' '));
  expectTables(secondImage, expected::recordsAfterRun(first, expected::afterRun(factsOf(first)), 195));
  expectSameFilesBut(firstFiles, filesOf(company(1)), {"EVENTOS"});
  const FileBytes secondFiles = filesOf(company(1));

  const Lines third = companyLines(runProgram(1, 1, 11), company(1));
  EXPECT_TRUE(containing(third, "Convertendo").empty());
  EXPECT_TRUE(containing(third, "Campo").empty());
  expectSameFilesBut(secondFiles, filesOf(company(1)), {});
}

}  // namespace
}  // namespace converte::testing
