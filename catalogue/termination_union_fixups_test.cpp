// The termination-table rebuild and the union-code and eSocial history
// fix-ups on company tables as the script finds them after the compaction
// (records marked deleted hidden): when each acts, what it writes, the
// files it leaves, its log lines, and where it stops on a failure.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/fixups.h"
#include "catalogue/testing/company_fixture.h"
#include "errors/error_handler.h"

namespace converte::catalogue {
namespace {

using storage::Date;
using storage::FieldValue;
using storage::Number;
using testing::CompanyFixture;
using testing::Row;
using testing::text;
using Values = std::vector<FieldValue>;
using Lines = std::vector<std::string>;

FieldValue date(int year, int month, int day) { return FieldValue(Date{year, month, day}); }
// Amounts compare by value: the width a number reads back with is its
// display width, not the field's.
FieldValue amount(double value) { return FieldValue(Number::ofReal(value, 0, 0)); }
FieldValue byValue(FieldValue value) {
  return value.isNumber() ? amount(value.number().asDouble()) : value;
}
std::string padded(const std::string& value, std::size_t width) {
  return (value + std::string(width, ' ')).substr(0, width);
}

// A file whose writes fail as on a full disk.
class FullDiskFile final : public platform::File {
 public:
  explicit FullDiskFile(std::unique_ptr<platform::File> file) : file_(std::move(file)) {}
  platform::Result<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> out) override {
    return file_->readAt(offset, out);
  }
  platform::Status writeAt(std::uint64_t, std::span<const std::byte>) override {
    return platform::OsError{platform::kOsDiskFull, "write", file_->path()};
  }
  platform::Result<std::uint64_t> size() override { return file_->size(); }
  platform::Status truncate(std::uint64_t size) override { return file_->truncate(size); }
  platform::Status flush() override { return file_->flush(); }
  platform::Status close() override { return file_->close(); }
  platform::Result<bool> tryLock(std::uint64_t offset, std::uint64_t length,
                                 platform::LockKind kind) override {
    return file_->tryLock(offset, length, kind);
  }
  platform::Status lockWait(std::uint64_t offset, std::uint64_t length,
                            platform::LockKind kind) override {
    return file_->lockWait(offset, length, kind);
  }
  platform::Status unlock(std::uint64_t offset, std::uint64_t length) override {
    return file_->unlock(offset, length);
  }
  const std::string& path() const override { return file_->path(); }

 private:
  std::unique_ptr<platform::File> file_;
};

// The real file system, except that files created under a name ending in
// the given suffix (any case) cannot be written.
class FullDiskFileSystem final : public platform::FileSystem {
 public:
  FullDiskFileSystem(platform::FileSystem& real, std::string suffix)
      : real_(real), suffix_(std::move(suffix)) {}

  platform::Result<std::unique_ptr<platform::File>> open(std::string_view path,
                                                         platform::Access access,
                                                         platform::ShareMode share) override {
    return real_.open(path, access, share);
  }
  platform::Result<std::unique_ptr<platform::File>> create(std::string_view path) override {
    auto file = real_.create(path);
    if (!file || !endsWithSuffix(path)) return file;
    return std::unique_ptr<platform::File>(std::make_unique<FullDiskFile>(std::move(*file)));
  }
  platform::Result<std::unique_ptr<platform::File>> createTemporary(
      std::string_view dir, std::string_view prefix) override {
    return real_.createTemporary(dir, prefix);
  }
  bool exists(std::string_view path) override { return real_.exists(path); }
  bool isDirectory(std::string_view path) override { return real_.isDirectory(path); }
  platform::Status erase(std::string_view path) override { return real_.erase(path); }
  platform::Status rename(std::string_view from, std::string_view to) override {
    return real_.rename(from, to);
  }
  platform::Result<std::vector<std::string>> list(std::string_view dir,
                                                  std::string_view pattern) override {
    return real_.list(dir, pattern);
  }
  std::string resolve(std::string_view path) override { return real_.resolve(path); }
  void pause() override { real_.pause(); }

 private:
  bool endsWithSuffix(std::string_view path) const {
    if (path.size() < suffix_.size()) return false;
    return std::equal(suffix_.begin(), suffix_.end(), path.end() - suffix_.size(),
                      [](char a, char b) { return std::toupper(a) == std::toupper(b); });
  }
  platform::FileSystem& real_;
  std::string suffix_;
};

class PayrollFixUps : public ::testing::Test, public CompanyFixture {
 protected:
  PayrollFixUps() { env.setDeleted = true; }

  // The names in the company directory, upper case.
  std::vector<std::string> upperFiles() const {
    std::vector<std::string> names = files();
    for (std::string& name : names) {
      for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return names;
  }
  // The fields of every record, in file order.
  std::vector<Row> fieldRows(const std::string& table, const std::vector<std::string>& names) {
    std::vector<Values> columns;
    for (const std::string& name : names) columns.push_back(column(table, name));
    for (Values& values : columns) {
      for (FieldValue& value : values) value = byValue(value);
    }
    std::vector<Row> rows(columns.empty() ? 0 : columns[0].size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
      for (const Values& values : columns) rows[r].push_back(values[r]);
    }
    return rows;
  }
  // The termination table's file, found without regard to letter case.
  std::string tableBytes() {
    return converte::testing::readFileBytes(fs->resolve(path("FORECISA.DBF")));
  }
  std::uint32_t recordCount(const std::string& table) {
    std::uint32_t count = open(table).recCount();
    areas.closeArea();
    return count;
  }
  bool allAreasClosed() {
    for (int number = 1; number <= 8; ++number) {
      if (areas.area(number).isUsed()) return false;
    }
    return true;
  }
};

// ---------------------------------------------------------------------------
// F7: the termination table.

class TerminationRebuild : public PayrollFixUps {
 protected:
  // An older termination table: a field the new structure lacks, a text
  // narrower than the new one, amounts in another position, and the date
  // of dismissal in the given fields.
  storage::Structure oldStructure(const std::vector<std::string>& dateFields, bool memo = false) {
    storage::Structure structure = {{"CODFUN_REC", "C", 5, 0, {}},
                                    {"NOME", "C", 30, 0, {}},
                                    {"CAUSA_AFAS", "C", 40, 0, {}}};
    for (const std::string& name : dateFields) structure.push_back({name, "D", 8, 0, {}});
    structure.push_back({"MAI_REN", "N", 10, 2, {}});
    structure.push_back({"CAM41_1", "C", 13, 0, {}});
    if (memo) structure.push_back({"OBS", "M", 10, 0, {}});
    return structure;
  }
  // Two records with the fields of oldStructure: code, name, cause, the
  // dates given, amount, text.
  void makeTerminations(const std::vector<std::string>& dateFields, bool memo = false) {
    auto row = [&](const char* code, const char* cause, Values dates, double value) {
      Row r{text(code), text("Nome"), text(cause)};
      r.insert(r.end(), dates.begin(), dates.end());
      r.push_back(FieldValue(Number::ofReal(value, 10, 2)));
      r.push_back(text("TEXTO"));
      if (memo) r.push_back(text("observacao longa"));
      return r;
    };
    Values first{date(2020, 1, 10), date(1999, 9, 9), date(1998, 8, 8)};
    Values second{date(2021, 2, 11), date(1999, 9, 9), date(1998, 8, 8)};
    first.resize(dateFields.size());
    second.resize(dateFields.size());
    createTable("FORECISA", oldStructure(dateFields, memo),
                {row("00001", "Pedido", first, 1234.5), row("00002", "Justa causa", second, 7.25)});
  }
};

TEST_F(TerminationRebuild, TwoDismissalDatesRebuildTheTableWithItsFixedStructure) {
  makeTerminations({"DT_DEM", "DT_DEM"});
  EXPECT_TRUE(C_FORECI(run));

  const std::vector<std::string> expected = {
      "CODFUN_REC C(5,0)", "DT_DEM D(8,0)", "CAUSA_AFAS C(60,0)", "MAI_REN N(10,2)",
      "MREN_13 N(18,2)", "COD_SAQUE C(10,0)", "DTAVISO D(8,0)", "ADINSAL N(10,2)",
      "ADNOTUR N(10,2)", "VRHOREXTRA N(10,2)", "TIPODEM C(1,0)", "AVISOTRAB C(1,0)",
      "TPSALARIO C(1,0)", "CAM25_1 N(12,2)", "CAM25_2 N(14,2)", "CAM26_1 N(12,2)",
      "CAM26_2 N(14,2)", "CAM27_1 N(12,2)", "CAM27_2 N(14,2)", "CAM28_1 N(12,2)", "CAM28_2 N(14,2)",
      "CAM29_1 N(12,2)", "CAM29_2 N(14,2)", "CAM30_1 N(12,2)", "CAM30_2 N(14,2)", "CAM31_1 N(12,2)",
      "CAM31_2 N(14,2)", "CAM32_1 N(12,2)", "CAM32_2 N(14,2)", "CAM33_1 N(12,2)", "CAM33_2 N(14,2)",
      "CAM34_1 N(12,2)", "CAM34_2 N(14,2)", "CAM35_1 N(12,2)", "CAM35_2 N(14,2)", "CAM36_1 N(12,2)",
      "CAM36_2 N(14,2)", "CAM37_1 N(12,2)", "CAM37_2 N(14,2)", "CAM38_1 N(12,2)", "CAM38_2 N(14,2)",
      "CAM39_1 N(12,2)", "CAM39_2 N(14,2)", "CAM40_1 N(12,2)", "CAM40_2 N(14,2)", "CAM41_1 C(13,0)",
      "CAM41_2 N(14,2)", "CAM42_1 N(12,2)", "CAM42_2 N(14,2)", "CAM43_1 C(13,0)", "CAM43_2 N(14,2)",
      "CAM44_1 C(13,0)", "CAM44_2 N(14,2)", "CAM45_1 N(12,2)", "CAM45_2 N(14,2)", "CAM46_1 C(13,0)",
      "CAM46_2 N(14,2)", "CAM47_1 C(13,0)", "CAM47_2 N(14,2)", "CAM48_1 N(12,2)", "CAM48_2 N(14,2)",
      "CAM49_1 N(12,2)", "CAM49_2 N(14,2)", "CAM50_1 N(12,2)", "CAM50_2 N(14,2)", "CA44_1 C(13,0)",
      "CA44_2 N(12,2)", "CA52_1 C(13,0)", "CA52_2 N(12,2)", "MULT_RES N(18,2)", "TIPO_DEM C(2,0)",
  };
  EXPECT_EQ(testing::specTexts(structureOf("FORECISA")), expected);
  // Values arrive by name, widths re-formatted; the date is the first DT_DEM.
  EXPECT_EQ(fieldRows("FORECISA", {"CODFUN_REC", "DT_DEM", "CAUSA_AFAS", "MAI_REN", "CAM41_1",
                                "CAM25_1", "TIPO_DEM"}),
            (std::vector<Row>{
                {text("00001"), date(2020, 1, 10), FieldValue(padded("Pedido", 60)),
                 amount(1234.5), FieldValue(padded("TEXTO", 13)), amount(0), text("  ")},
                {text("00002"), date(2021, 2, 11), FieldValue(padded("Justa causa", 60)),
                 amount(7.25), FieldValue(padded("TEXTO", 13)), amount(0), text("  ")}}));
  EXPECT_EQ(logLines(), Lines{" Convertendo Rescisao"});
  // The copy is gone; the index on the employee code is left, and usable.
  EXPECT_EQ(upperFiles(), (std::vector<std::string>{"FORECISA.DBF", "FOTMPREC.NTX"}));
  storage::WorkArea& terminations = open("FORECISA");
  terminations.addOrders("FOTMPREC");
  EXPECT_TRUE(terminations.seek(text("00002")));
  EXPECT_EQ(terminations.recNo(), 2u);
  areas.closeArea();
  EXPECT_TRUE(allAreasClosed());
  EXPECT_TRUE(handler.records.empty());
}

TEST_F(TerminationRebuild, AnyFieldBeginningWithTheDismissalDateCounts) {
  struct Case {
    std::vector<std::string> dateFields;
    bool rebuilt;
  };
  const Case cases[] = {
      {{"DT_DEM"}, false},
      {{}, false},
      {{"DT_DEMISS"}, false},
      {{"DT_DEM", "DT_DEMISS"}, true},
      {{"DT_DEM", "DT_DEM", "DT_DEM"}, true},
  };
  for (const Case& c : cases) {
    std::string fields;
    for (const std::string& name : c.dateFields) fields += name + " ";
    SCOPED_TRACE(fields);
    for (const std::string& name : files()) (void)fs->erase(path(name));
    run.log.open(work.file("converte.txt"));
    makeTerminations(c.dateFields);
    std::string before = tableBytes();
    EXPECT_TRUE(C_FORECI(run));
    if (c.rebuilt) {
      EXPECT_EQ(structureOf("FORECISA").size(), 71u);
      EXPECT_EQ(column("FORECISA", "DT_DEM"), (Values{date(2020, 1, 10), date(2021, 2, 11)}));
      EXPECT_EQ(logLines(), Lines{" Convertendo Rescisao"});
    } else {
      EXPECT_EQ(tableBytes(), before);
      EXPECT_EQ(upperFiles(), std::vector<std::string>{"FORECISA.DBF"});
      EXPECT_TRUE(logLines().empty());
    }
    EXPECT_TRUE(allAreasClosed());
  }
}

TEST_F(TerminationRebuild, TheFirstRecordOfACodeTakesTheDateOfTheLastRecordWithIt) {
  // Records 1, 3 and 4 share a code. Record 1 is the one the index finds, so
  // it ends with the date of record 4; records 3 and 4 keep their own. The
  // deleted record 5 is neither carried over nor looked up.
  const Row rows[] = {
      {text("00007"), date(2020, 1, 1), date(1990, 1, 1)},
      {text("00008"), date(2020, 2, 2), date(1990, 1, 1)},
      {text("00007"), date(2020, 3, 3), date(1990, 1, 1)},
      {text("00007"), date(2020, 4, 4), date(1990, 1, 1)},
      {text("00007"), date(2020, 5, 5), date(1990, 1, 1)},
  };
  createTable("FORECISA",
              {{"CODFUN_REC", "C", 5, 0, {}}, {"DT_DEM", "D", 8, 0, {}}, {"DT_DEM", "D", 8, 0, {}}},
              {std::begin(rows), std::end(rows)}, {5});
  EXPECT_TRUE(C_FORECI(run));
  EXPECT_EQ(fieldRows("FORECISA", {"CODFUN_REC", "DT_DEM"}),
            (std::vector<Row>{{text("00007"), date(2020, 4, 4)},
                              {text("00008"), date(2020, 2, 2)},
                              {text("00007"), date(2020, 3, 3)},
                              {text("00007"), date(2020, 4, 4)}}));
}

TEST_F(TerminationRebuild, ATableWithMemoFieldsIsCopiedWithItsMemoFile) {
  // The copy opens only beside its memo file; both copies are erased after.
  makeTerminations({"DT_DEM", "DT_DEM"}, true);
  EXPECT_TRUE(C_FORECI(run));
  EXPECT_TRUE(handler.records.empty());
  EXPECT_EQ(fieldRows("FORECISA", {"CODFUN_REC", "DT_DEM"}),
            (std::vector<Row>{{text("00001"), date(2020, 1, 10)},
                              {text("00002"), date(2021, 2, 11)}}));
  std::vector<std::string> names = upperFiles();
  EXPECT_EQ(std::count_if(names.begin(), names.end(),
                          [](const std::string& n) { return n.rfind("COPREC", 0) == 0; }),
            0);
}

TEST_F(TerminationRebuild, AFailedCopyIsLoggedAndLeavesTheTableAsItWas) {
  // A full disk while the table file or the memo file is copied: no part of
  // the copy stays behind.
  for (const char* failing : {"COPREC.DBF", "COPREC.DBT"}) {
    SCOPED_TRACE(failing);
    for (const std::string& name : files()) (void)fs->erase(path(name));
    makeTerminations({"DT_DEM", "DT_DEM"}, true);
    std::string before = tableBytes();
    FullDiskFileSystem fullDisk(*fs, failing);
    driver::RunContext faulty(driver::RunServices{fullDisk, clock, ui, env, areas, work.path()});
    faulty.M_PAT = faulty.M_PTDIRET3 = dir.path();
    run.log.close();
    faulty.log.open(work.file("converte.txt"));

    EXPECT_TRUE(C_FORECI(faulty));
    EXPECT_EQ(logLines(), (Lines{" Convertendo Rescisao", "Erro na copia do FORECISA.DBF"}));
    EXPECT_EQ(tableBytes(), before);
    EXPECT_EQ(upperFiles(), (std::vector<std::string>{"FORECISA.DBF", "FORECISA.DBT"}));
    EXPECT_TRUE(handler.records.empty());
    EXPECT_TRUE(allAreasClosed());
  }
}

TEST_F(TerminationRebuild, ACopyTargetHeldByAnotherUserIsACopyFailure) {
  makeTerminations({"DT_DEM", "DT_DEM"});
  std::string before = tableBytes();
  auto holder = fs->create(path("COPREC.DBF"));
  ASSERT_TRUE(holder);
  EXPECT_TRUE(C_FORECI(run));
  EXPECT_EQ(logLines(), (Lines{" Convertendo Rescisao", "Erro na copia do FORECISA.DBF"}));
  EXPECT_EQ(tableBytes(), before);
  EXPECT_TRUE(handler.records.empty());
}

// ---------------------------------------------------------------------------
// F11: union codes and the employee history tables.

const storage::Structure kEmployeeFields = {
    {"CODIGO_FUN", "C", 5, 0, {}}, {"SINDIC_FUN", "C", 5, 0, {}}, {"DT_ADM_FUN", "D", 8, 0, {}},
    {"HORARIO", "C", 3, 0, {}},    {"FUNCAO_FUN", "C", 3, 0, {}}, {"SECAO_FUN", "C", 3, 0, {}},
};
const char* const kHistoryTables[] = {"FUNSAL", "FUNCARGO", "FUNLOTA", "FUNSIND", "FUNHORAR"};

class UnionCodes : public PayrollFixUps {
 protected:
  void makeCodes(const std::string& table, const std::string& field,
                 const std::vector<const char*>& codes, const std::vector<std::uint32_t>& deleted = {}) {
    std::vector<Row> rows;
    for (const char* code : codes) rows.push_back({text(code)});
    createTable(table, {{field, "C", 5, 0, {}}}, rows, deleted);
  }
  Values codes(const std::vector<const char*>& texts) {
    Values values;
    for (const char* t : texts) values.push_back(FieldValue(padded(t, 5)));
    return values;
  }
  // Employees 1 and 3; employee 2 is marked deleted.
  void makeEmployees(const char* firstUnion, const char* otherUnion) {
    createTable("FUNCIONA", kEmployeeFields,
                {{text("00001"), text(firstUnion), date(2010, 3, 1), text("H01"), text("C01"), text("S01")},
                 {text("00002"), text(otherUnion), date(2012, 1, 1), text("H09"), text("C09"), text("S09")},
                 {text("00003"), text(otherUnion), date(2015, 6, 15), text("H02"), text("C02"), text("S02")}},
                {2});
  }
  std::vector<Row> history(const std::string& table, const std::string& codeField) {
    return fieldRows(table, {"CODIGO_FUN", "VIG_INI", codeField});
  }
};

TEST_F(UnionCodes, ShortCodesAreWidenedEverywhereAndTheHistoryStartsFromTheEmployees) {
  makeCodes("SINDICAT", "CODIGO_SID", {"12   ", "7", "00003", "ABC"});
  makeEmployees("12", "7");
  // The deleted first record does not decide, and keeps its code.
  makeCodes("SINDSAL", "CODIGO_SAL", {"00005", "12", "3"}, {1});
  MGESOCIAL(run);

  EXPECT_EQ(column("SINDICAT", "CODIGO_SID"), codes({"00012", "00007", "00003", "00000"}));
  EXPECT_EQ(column("FUNCIONA", "SINDIC_FUN"), codes({"00012", "7", "00007"}));
  EXPECT_EQ(column("SINDSAL", "CODIGO_SAL"), codes({"00005", "00012", "00003"}));
  EXPECT_EQ(history("FUNSIND", "CD_SIND"),
            (std::vector<Row>{{text("00001"), date(2010, 3, 1), text("00012")},
                              {text("00003"), date(2015, 6, 15), text("00007")}}));
  EXPECT_EQ(history("FUNHORAR", "CD_HORAR"),
            (std::vector<Row>{{text("00001"), date(2010, 3, 1), text("H01")},
                              {text("00003"), date(2015, 6, 15), text("H02")}}));
  EXPECT_EQ(history("FUNCARGO", "CD_CARGO"),
            (std::vector<Row>{{text("00001"), date(2010, 3, 1), text("C01")},
                              {text("00003"), date(2015, 6, 15), text("C02")}}));
  EXPECT_EQ(history("FUNLOTA", "CD_LOTA"),
            (std::vector<Row>{{text("00001"), date(2010, 3, 1), text("S01")},
                              {text("00003"), date(2015, 6, 15), text("S02")}}));
  EXPECT_EQ(recordCount("FUNSAL"), 0u);
  const Lines lines = {"Convertendo Sindicato para 5 digitos",
                       "Convertendo Sindicato/Funcionario para 5 digitos",
                       "Convertendo Sindicato/SINDSAL para 5 digitos",
                       "Convertendo Funcionarios para novos campos eSocial",
                       "Convertendo Funcionario novas Tabelas Cargo/Lotacao/etc"};
  EXPECT_EQ(logLines(), lines);
  EXPECT_TRUE(allAreasClosed());

  // A second run finds everything converted and the union history filled.
  MGESOCIAL(run);
  EXPECT_EQ(logLines(), lines);
  EXPECT_EQ(recordCount("FUNSIND"), 2u);
  EXPECT_EQ(recordCount("FUNLOTA"), 2u);
  EXPECT_TRUE(handler.records.empty());
}

TEST_F(UnionCodes, EachTableIsLeftWhenItsFirstCodeHasFiveDigits) {
  makeCodes("SINDICAT", "CODIGO_SID", {"00012", "7"});
  makeEmployees("12", "7");
  makeCodes("SINDSAL", "CODIGO_SAL", {"00001", "3"});
  MGESOCIAL(run);
  EXPECT_EQ(column("SINDICAT", "CODIGO_SID"), codes({"00012", "7"}));
  EXPECT_EQ(column("FUNCIONA", "SINDIC_FUN"), codes({"00012", "7", "00007"}));
  EXPECT_EQ(column("SINDSAL", "CODIGO_SAL"), codes({"00001", "3"}));
  EXPECT_EQ(logLines(), (Lines{"Convertendo Sindicato/Funcionario para 5 digitos",
                               "Convertendo Funcionarios para novos campos eSocial",
                               "Convertendo Funcionario novas Tabelas Cargo/Lotacao/etc"}));
}

TEST_F(UnionCodes, AnEmptyUnionTableStopsAfterTheHistoryTablesAreCreated) {
  makeCodes("SINDICAT", "CODIGO_SID", {});
  makeEmployees("12", "7");
  MGESOCIAL(run);
  for (const char* table : kHistoryTables) {
    SCOPED_TRACE(table);
    EXPECT_EQ(recordCount(table), 0u);
  }
  EXPECT_EQ(column("FUNCIONA", "SINDIC_FUN"), codes({"12", "7", "7"}));
  EXPECT_TRUE(logLines().empty());
  EXPECT_TRUE(allAreasClosed());
}

TEST_F(UnionCodes, ACompanyWithoutUnionSalariesHasItsEmployeesConvertedAllTheSame) {
  makeCodes("SINDICAT", "CODIGO_SID", {"1"});
  makeEmployees("1", "2");
  MGESOCIAL(run);
  EXPECT_EQ(column("FUNCIONA", "SINDIC_FUN"), codes({"00001", "2", "00002"}));
  EXPECT_EQ(recordCount("FUNSIND"), 2u);
  EXPECT_EQ(recordCount("FUNHORAR"), 2u);
  EXPECT_FALSE(fs->exists(path("SINDSAL.DBF")));
  EXPECT_EQ(logLines(), (Lines{"Convertendo Sindicato para 5 digitos",
                               "Convertendo Sindicato/Funcionario para 5 digitos",
                               "Convertendo Funcionarios para novos campos eSocial",
                               "Convertendo Funcionario novas Tabelas Cargo/Lotacao/etc"}));
}

TEST_F(UnionCodes, WithoutEmployeeRecordsNothingIsAppendedButTheLineIsLogged) {
  makeCodes("SINDICAT", "CODIGO_SID", {"00001"});
  createTable("FUNCIONA", kEmployeeFields);
  MGESOCIAL(run);
  for (const char* table : {"FUNSIND", "FUNHORAR", "FUNCARGO", "FUNLOTA"}) {
    SCOPED_TRACE(table);
    EXPECT_EQ(recordCount(table), 0u);
  }
  EXPECT_EQ(logLines(), Lines{"Convertendo Funcionario novas Tabelas Cargo/Lotacao/etc"});
}

TEST_F(UnionCodes, AUnionHistoryWithRecordsLeavesEveryHistoryTableAlone) {
  makeCodes("SINDICAT", "CODIGO_SID", {"00001"});
  makeEmployees("00001", "00001");
  createTable("FUNSIND",
              {{"CODIGO_FUN", "C", 5, 0, {}}, {"VIG_INI", "D", 8, 0, {}}, {"CD_SIND", "C", 5, 0, {}}},
              {{text("00009"), date(2001, 1, 1), text("00004")}});
  MGESOCIAL(run);
  EXPECT_EQ(history("FUNSIND", "CD_SIND"),
            (std::vector<Row>{{text("00009"), date(2001, 1, 1), text("00004")}}));
  for (const char* table : {"FUNHORAR", "FUNCARGO", "FUNLOTA"}) {
    SCOPED_TRACE(table);
    EXPECT_EQ(recordCount(table), 0u);
  }
  EXPECT_TRUE(logLines().empty());
}

TEST_F(UnionCodes, ARunTimeErrorStopsTheHistoryWhereItOccurredAndClosesTheTables) {
  // A job history whose code field holds numbers: the first employee's job
  // code cannot be put, after the union and work-schedule records were
  // appended and the job record was begun.
  makeCodes("SINDICAT", "CODIGO_SID", {"00001"});
  makeEmployees("00001", "00001");
  createTable("FUNCARGO",
              {{"CODIGO_FUN", "C", 5, 0, {}}, {"VIG_INI", "D", 8, 0, {}}, {"CD_CARGO", "N", 3, 0, {}}});
  EXPECT_THROW(MGESOCIAL(run), errors::ErrorAbandoned);
  ASSERT_EQ(handler.records.size(), 1u);
  EXPECT_EQ(handler.records[0].genCode, 33);
  EXPECT_TRUE(allAreasClosed());
  EXPECT_EQ(recordCount("FUNSIND"), 1u);
  EXPECT_EQ(recordCount("FUNHORAR"), 1u);
  EXPECT_EQ(fieldRows("FUNCARGO", {"CODIGO_FUN", "VIG_INI"}),
            (std::vector<Row>{{text("00001"), date(2010, 3, 1)}}));
  EXPECT_EQ(recordCount("FUNLOTA"), 0u);
}

}  // namespace
}  // namespace converte::catalogue
