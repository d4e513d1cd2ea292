// The payroll fix-ups of the dependants (F4) and the vacation records (F6)
// on company tables as the script finds them after the compaction (records
// marked deleted hidden): what each writes and logs, when each leaves the
// data alone, and how their run-time errors end up.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/fixups.h"
#include "catalogue/testing/company_fixture.h"
#include "errors/error_handler.h"
#include "errors/gen_codes.h"

namespace converte::catalogue {
namespace {

using storage::FieldValue;
using testing::CompanyFixture;
using testing::date;
using testing::noDate;
using testing::number;
using testing::Row;
using testing::text;
using testing::usedAreas;
using Values = std::vector<FieldValue>;
using Lines = std::vector<std::string>;

std::string padded(const std::string& value, std::size_t width) {
  return (value + std::string(width, ' ')).substr(0, width);
}

class PayrollFixUps : public ::testing::Test, public CompanyFixture {
 protected:
  PayrollFixUps() { env.setDeleted = true; }

  // The error log files written in the working directory.
  std::vector<std::string> errorLogs() const {
    auto names = fs->list(work.path(), "LOGSITUACAO__*");
    return names ? *names : std::vector<std::string>{};
  }
};

// ---------------------------------------------------------------- F4

// One dependant group of an employee: name, birth date, end date, kind.
struct Dependant {
  std::string name;
  FieldValue birth = noDate();
  FieldValue end = noDate();
  std::string kind;
};

storage::Structure employeeStructure(bool withCode = true, const char* birthType = "D") {
  storage::Structure structure;
  if (withCode) structure.push_back({"CODIGO_FUN", "C", 5, 0, {}});
  structure.push_back({"NOME_FUN", "C", 30, 0, {}});
  for (int group = 1; group <= 10; ++group) {
    std::string nn = (group < 10 ? "0" : "") + std::to_string(group);
    structure.push_back({"NOME_" + nn, "C", 40, 0, {}});
    structure.push_back({"DATA_" + nn, birthType, 8, 0, {}});
    structure.push_back({"VENC_" + nn, "D", 8, 0, {}});
    structure.push_back({"TIPO_" + nn, "C", 1, 0, {}});
  }
  return structure;
}

// An employee record; the groups are filled from 01 on, a group with an
// empty name stays blank.
Row employee(const std::string& code, const std::vector<Dependant>& dependants) {
  Row row{text(code.c_str()), text("EMPREGADO")};
  for (int group = 0; group < 10; ++group) {
    if (group < static_cast<int>(dependants.size()) && !dependants[group].name.empty()) {
      const Dependant& d = dependants[static_cast<std::size_t>(group)];
      row.insert(row.end(), {FieldValue(d.name), d.birth, d.end, FieldValue(d.kind)});
    } else {
      row.insert(row.end(), {FieldValue(), FieldValue(), FieldValue(), FieldValue()});
    }
  }
  return row;
}

// A FODEPEND record as the fix-up writes it: the fields it does not fill
// are blank.
Row dependantRecord(const std::string& code, const std::string& name, FieldValue birth,
                    const std::string& kind, FieldValue entry, FieldValue end) {
  return {FieldValue(padded(code, 5)),   FieldValue(padded(name, 40)), birth,
          FieldValue(padded(kind, 1)),   FieldValue(padded("", 30)),   FieldValue(padded("", 20)),
          FieldValue(padded("", 15)),    FieldValue(padded("", 6)),    FieldValue(padded("", 6)),
          entry,                         end,                          FieldValue(padded("", 10))};
}

std::vector<std::string> dependantStructure() {
  return {"CODIGO_FUN C(5,0)", "NOME_DEP C(40,0)",   "DTNASC_DEP D(8,0)", "TIPO_DEP C(1,0)",
          "L_NAS_DEP C(30,0)", "CARTOR_DEP C(20,0)", "NO_REG_DEP C(15,0)", "NO_LIV_DEP C(6,0)",
          "NO_FOL_DEP C(6,0)", "DT_ENT_DEP D(8,0)",  "DT_BX_DEP D(8,0)",  "USUARIO C(10,0)"};
}

TEST_F(PayrollFixUps, DependantsMoveInGroupOrderWithTheirEntryDates) {
  // The second employee is marked deleted: its dependant is passed over.
  // The groups of the first employee carry the cases of the entry date:
  // the birth date when it is after 1 January 2000, that day otherwise.
  createTable("FUNCIONA", employeeStructure(),
              {employee("00001", {{"ANA", date(2005, 3, 15), date(2020, 12, 31), "F"},
                                  {"", noDate(), noDate(), ""},
                                  {"BRUNO", date(1990, 6, 1), noDate(), "M"},
                                  {"CAIO", noDate(), noDate(), "F"},
                                  {"   ", date(2010, 1, 1), noDate(), "X"},
                                  {"DIANA", date(2000, 1, 1), noDate(), "F"},
                                  {"", noDate(), noDate(), ""},
                                  {"", noDate(), noDate(), ""},
                                  {"", noDate(), noDate(), ""},
                                  {"  EVA", date(2000, 1, 2), date(2018, 1, 1), "F"}}),
               employee("00002", {{"DELETADO", date(2001, 1, 1), noDate(), "F"}}),
               employee("00003", {{"", noDate(), noDate(), ""}, {"FABIO", noDate(), noDate(), "M"}}),
               employee("00004", {})},
              {2});
  EXPECT_TRUE(MGFUNCIONARIO(run));

  EXPECT_EQ(testing::specTexts(structureOf("FODEPEND")), dependantStructure());
  storage::WorkArea& dependants = open("FODEPEND");
  EXPECT_EQ(rowsOf(dependants),
            (std::vector<Row>{
                dependantRecord("00001", "ANA", date(2005, 3, 15), "F", date(2005, 3, 15),
                                date(2020, 12, 31)),
                dependantRecord("00001", "BRUNO", date(1990, 6, 1), "M", date(2000, 1, 1), noDate()),
                dependantRecord("00001", "CAIO", noDate(), "F", date(2000, 1, 1), noDate()),
                dependantRecord("00001", "DIANA", date(2000, 1, 1), "F", date(2000, 1, 1), noDate()),
                dependantRecord("00001", "  EVA", date(2000, 1, 2), "F", date(2000, 1, 2),
                                date(2018, 1, 1)),
                dependantRecord("00003", "FABIO", noDate(), "M", date(2000, 1, 1), noDate()),
            }));
  areas.closeArea();
  EXPECT_EQ(logLines(), (Lines{"=== Convertendo Dependenetes ==", "=== Dependentes convertidos =="}));
  // The employee table keeps its dependant columns.
  EXPECT_EQ(column("FUNCIONA", "NOME_03")[0], FieldValue(padded("BRUNO", 40)));
  EXPECT_TRUE(raised().empty());
  EXPECT_TRUE(usedAreas(areas).empty());
}

TEST_F(PayrollFixUps, DependantsAreLeftWhenFodependExistsOrTheColumnsAreGone) {
  // FODEPEND already there: neither it nor the employee table is touched.
  createTable("FUNCIONA", employeeStructure(), {employee("00001", {{"ANA", noDate(), noDate(), "F"}})});
  createTable("FODEPEND", {{"CODIGO_FUN", "C", 5, 0, {}}}, {{text("99999")}});
  std::string before = bytesOf("FODEPEND.dbf");
  EXPECT_TRUE(MGFUNCIONARIO(run));
  areas.closeAll();  // the script closes all tables after the fix-up
  EXPECT_EQ(bytesOf("FODEPEND.dbf"), before);

  // An employee table without dependant columns: no FODEPEND, and the table
  // is closed again.
  (void)fs->erase(path("FODEPEND.DBF"));
  createTable("FUNCIONA", {{"CODIGO_FUN", "C", 5, 0, {}}, {"NOME_FUN", "C", 30, 0, {}}},
              {{text("00001"), text("EMPREGADO")}});
  EXPECT_TRUE(MGFUNCIONARIO(run));
  EXPECT_TRUE(usedAreas(areas).empty());
  EXPECT_FALSE(fs->exists(path("FODEPEND.DBF")));

  EXPECT_TRUE(logLines().empty());
  EXPECT_TRUE(raised().empty());
}

TEST_F(PayrollFixUps, EmployeeTableWithoutTheEmployeeCodeRaisesBeforeFodependIsCreated) {
  createTable("FUNCIONA", employeeStructure(false), {[] {
                Row row = employee("", {{"ANA", date(2005, 3, 15), noDate(), "F"}});
                row.erase(row.begin());
                return row;
              }()});
  EXPECT_THROW(MGFUNCIONARIO(run), errors::ErrorAbandoned);
  ASSERT_EQ(raised().size(), 1u);
  EXPECT_EQ(raised()[0].genCode, errors::kGenArgument);
  EXPECT_FALSE(fs->exists(path("FODEPEND.DBF")));
  EXPECT_TRUE(logLines().empty());
}

TEST_F(PayrollFixUps, AnErrorWhileDependantsAreCopiedTakesTheUnfinishedFodependAway) {
  // A birth-date column held as text cannot go into the date field: the
  // error ends the run, and the next run must still find the dependants to
  // move, so no FODEPEND may stay behind.
  createTable("FUNCIONA", employeeStructure(true, "C"),
              {employee("00001", {{"ANA", text("20050315"), noDate(), "F"}})});
  EXPECT_THROW(MGFUNCIONARIO(run), errors::ErrorAbandoned);
  ASSERT_EQ(raised().size(), 1u);
  EXPECT_EQ(raised()[0].genCode, errors::kGenDataType);
  EXPECT_EQ(raised()[0].operation, "DTNASC_DEP");
  EXPECT_FALSE(fs->exists(path("FODEPEND.DBF")));
  EXPECT_TRUE(usedAreas(areas).empty());
  EXPECT_EQ(logLines(), Lines{"=== Convertendo Dependenetes =="});
}

// ---------------------------------------------------------------- F6

struct Vacation {
  long long recordNumber;
  long long days;
  FieldValue firstDay;
  FieldValue lastDay;
};

class VacationFixUp : public PayrollFixUps {
 protected:
  void makeKeys(long long lastNumber) {
    createTable("GVCHAVES", {{"U_S_NOREG", "N", 10, 0, {}}, {"U_FERIAS", "N", 10, 0, {}}},
                {{number(77), number(lastNumber)}});
  }
  void makeVacations(const std::vector<Vacation>& vacations,
                     const std::vector<std::uint32_t>& deleted = {}) {
    std::vector<Row> rows;
    for (const Vacation& v : vacations) {
      rows.push_back({text("00001"), number(v.recordNumber, 15), number(v.days, 2), v.firstDay,
                      v.lastDay});
    }
    createTable("FOFERFUN",
                {{"CODIGO_FUN", "C", 5, 0, {}}, {"NO_REG", "N", 15, 0, {}},
                 {"DIA_FER", "N", 2, 0, {}}, {"DTG1", "D", 8, 0, {}}, {"DTG2", "D", 8, 0, {}}},
                rows, deleted);
  }
  Values recordNumbers() { return column("FOFERFUN", "NO_REG"); }
  Values dayCounts() { return column("FOFERFUN", "DIA_FER"); }
  FieldValue lastNumber() { return column("GVCHAVES", "U_FERIAS").at(0); }
};

Values numbers(const std::vector<long long>& values, int width) {
  Values out;
  for (long long v : values) out.push_back(number(v, width));
  return out;
}

TEST_F(VacationFixUp, RecordsAreNumberedWhileTheFirstNumberOrTheLastNumberIsZero) {
  struct Case {
    const char* what;
    std::vector<long long> before;
    std::vector<std::uint32_t> deleted;
    long long lastNumber;
    std::vector<long long> after;
    long long lastNumberAfter;
  };
  const Case cases[] = {
      {"first number 0", {0, 0, 0, 0, 0, 0, 0}, {}, 3, {1, 2, 3, 4, 5, 6, 7}, 7},
      {"last number 0", {5, 6, 9, 9}, {}, 0, {1, 2, 3, 4}, 4},
      {"both set", {5, 6, 9, 9}, {}, 12, {5, 6, 9, 9}, 12},
      {"a deleted record keeps its number", {0, 0, 40, 0, 0}, {3}, 9, {1, 2, 40, 3, 4}, 4},
      {"a deleted first record does not decide", {0, 8, 0}, {1}, 5, {0, 8, 0}, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<Vacation> vacations;
    for (long long n : c.before) vacations.push_back({n, 30, date(2024, 1, 1), date(2024, 1, 30)});
    makeKeys(c.lastNumber);
    makeVacations(vacations, c.deleted);
    std::size_t linesBefore = logLines().size();

    EXPECT_TRUE(MGFERFUN(run));
    EXPECT_EQ(recordNumbers(), numbers(c.after, 15));
    EXPECT_EQ(lastNumber(), number(c.lastNumberAfter, 10));
    Lines logged = logLines();
    logged.erase(logged.begin(), logged.begin() + static_cast<std::ptrdiff_t>(linesBefore));
    EXPECT_EQ(logged, c.after == c.before ? Lines{} : Lines{"Convertendo NO_REG FOFERFUN"});
    EXPECT_TRUE(usedAreas(areas).empty());
  }
  EXPECT_TRUE(raised().empty());
}

TEST_F(VacationFixUp, DayCountsIncludeBothDaysWhileTheFirstCountIsZero) {
  struct Case {
    FieldValue firstDay, lastDay;
    long long days;
  };
  const Case cases[] = {
      {date(2024, 4, 1), date(2024, 4, 30), 30},   {noDate(), noDate(), 1},
      {date(2024, 2, 28), date(2024, 3, 1), 3},    {date(2023, 2, 28), date(2023, 3, 1), 2},
      {date(2023, 12, 31), date(2024, 1, 1), 2},   {date(2024, 7, 10), date(2024, 7, 10), 1},
      {date(1999, 12, 20), date(2000, 1, 18), 30},
  };
  std::vector<Vacation> vacations;
  std::vector<long long> expected;
  for (const Case& c : cases) {
    vacations.push_back({static_cast<long long>(vacations.size()) + 1, 0, c.firstDay, c.lastDay});
    expected.push_back(c.days);
  }
  makeKeys(static_cast<long long>(vacations.size()));
  makeVacations(vacations);
  EXPECT_TRUE(MGFERFUN(run));
  EXPECT_EQ(dayCounts(), numbers(expected, 2));
  EXPECT_EQ(logLines(), Lines{"Convertendo DIA Ferias FOFERFUN"});

  // Once the first count is set, nothing is counted again.
  makeVacations({{1, 30, date(2024, 1, 1), date(2024, 1, 30)},
                 {2, 0, date(2024, 1, 1), date(2024, 1, 10)}});
  EXPECT_TRUE(MGFERFUN(run));
  EXPECT_EQ(dayCounts(), numbers({30, 0}, 2));
  EXPECT_EQ(logLines().size(), 1u);
  EXPECT_TRUE(raised().empty());
}

TEST_F(VacationFixUp, ACountThatDoesNotFitIsReportedAndTheEarlierRecordsKeepTheirValues) {
  makeKeys(0);
  makeVacations({{0, 0, date(2024, 4, 1), date(2024, 4, 30)},
                 {0, 0, noDate(), noDate()},
                 {0, 0, date(2024, 5, 2), noDate()},
                 {0, 0, date(2024, 6, 1), date(2024, 6, 10)}});
  EXPECT_TRUE(MGFERFUN(run));

  ASSERT_EQ(raised().size(), 1u);
  EXPECT_EQ(raised()[0].genCode, errors::kGenDataWidth);
  EXPECT_EQ(raised()[0].operation, "DIA_FER");
  EXPECT_EQ(ui.errorDialogs.size(), 1u);
  EXPECT_EQ(errorLogs().size(), 1u);
  // The numbering ran to its end; the day counts stopped at the third
  // record, which is left as it was, like every record after it.
  EXPECT_TRUE(usedAreas(areas).empty());
  EXPECT_EQ(recordNumbers(), numbers({1, 2, 3, 4}, 15));
  EXPECT_EQ(lastNumber(), number(4, 10));
  EXPECT_EQ(dayCounts(), numbers({30, 1, 0, 0}, 2));
  EXPECT_EQ(logLines(), (Lines{"Convertendo NO_REG FOFERFUN", "Convertendo DIA Ferias FOFERFUN"}));
}

TEST_F(VacationFixUp, NothingIsDoneWithoutKeysOrWithoutVacationRecords) {
  // No GVCHAVES: FOFERFUN is not even opened.
  makeVacations({{0, 0, date(2024, 4, 1), date(2024, 4, 30)}});
  std::string before = bytesOf("FOFERFUN.dbf");
  EXPECT_TRUE(MGFERFUN(run));
  EXPECT_EQ(bytesOf("FOFERFUN.dbf"), before);

  // An empty FOFERFUN: U_FERIAS stays 0.
  makeKeys(0);
  makeVacations({});
  EXPECT_TRUE(MGFERFUN(run));
  EXPECT_EQ(lastNumber(), number(0, 10));

  EXPECT_TRUE(logLines().empty());
  EXPECT_TRUE(raised().empty());
  EXPECT_TRUE(usedAreas(areas).empty());
}

TEST_F(VacationFixUp, AMissingVacationTableIsReportedAndTheKeysAreClosed) {
  makeKeys(0);
  EXPECT_TRUE(MGFERFUN(run));
  ASSERT_EQ(raised().size(), 1u);
  EXPECT_EQ(raised()[0].genCode, errors::kGenOpen);
  EXPECT_EQ(ui.errorDialogs.size(), 1u);
  EXPECT_TRUE(usedAreas(areas).empty());
  EXPECT_EQ(lastNumber(), number(0, 10));
  EXPECT_TRUE(logLines().empty());
}

}  // namespace
}  // namespace converte::catalogue
