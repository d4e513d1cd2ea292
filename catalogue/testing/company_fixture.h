// A company directory for the script's tests: the real file system in a
// temporary directory made the default directory, a run context around it
// with a run log in a second directory, and helpers that build the tables
// and read back fields, structures and logged lines.

#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "driver/context/run_context.h"
#include "platform/windows1252.h"
#include "storage/field_spec.h"
#include "tests/support/recording_ui.h"
#include "tests/support/storage_fixture.h"
#include "tests/support/temp_dir.h"

namespace converte::catalogue::testing {

using converte::testing::Row;

class CompanyFixture : public converte::testing::StorageFixture {
 public:
  CompanyFixture()
      : run(driver::RunServices{*fs, clock, ui, env, areas, work.path()}) {
    run.M_PAT = dir.path();
    run.M_PTDIRET3 = dir.path();
    run.log.open(work.file("converte.txt"));
  }

  // The lines logged so far, as UTF-8.
  std::vector<std::string> logLines() const {
    std::string bytes = converte::testing::readFileBytes(work.file("converte.txt"));
    std::vector<std::string> lines;
    std::size_t at = 0;
    while ((at = bytes.find("\r\n", at)) != std::string::npos) {
      at += 2;
      std::size_t end = bytes.find("\r\n", at);
      lines.push_back(platform::fromWindows1252(
          bytes.substr(at, end == std::string::npos ? std::string::npos : end - at)));
    }
    return lines;
  }

  // The table's structure as stored (names upper case, no blanks).
  storage::Structure structureOf(const std::string& table) {
    storage::WorkArea& area = open(table);
    storage::Structure structure;
    for (const storage::StructureRow& row : area.structure()) {
      structure.push_back({row.name, std::string(1, row.type), row.length, row.decimals, {}});
    }
    areas.closeArea();
    return structure;
  }

  // The field spec of one field of the table; nullopt when it lacks it.
  std::optional<storage::FieldSpec> fieldOf(const std::string& table, const std::string& name) {
    for (const storage::FieldSpec& spec : structureOf(table)) {
      if (spec.name == name) return spec;
    }
    return std::nullopt;
  }

  // One field of every record, in file order.
  std::vector<storage::FieldValue> column(const std::string& table, const std::string& name) {
    storage::WorkArea& area = open(table);
    int position = area.fieldPos(name);
    EXPECT_NE(position, 0) << table << " has no field " << name;
    std::vector<storage::FieldValue> values;
    for (std::uint32_t r = 1; position != 0 && r <= area.recCount(); ++r) {
      area.goTo(r);
      values.push_back(area.getField(position));
    }
    areas.closeArea();
    return values;
  }

  converte::testing::TempDir work;
  converte::testing::RecordingUi ui;
  driver::RunContext run;
};

// A field spec as "NAME T(length,decimals)", "absent" for none: comparing
// these texts shows both sides when a check fails.
inline std::string specText(const std::optional<storage::FieldSpec>& spec) {
  if (!spec) return "absent";
  return spec->name + " " + spec->type + "(" + std::to_string(spec->length) + "," +
         std::to_string(spec->decimals) + ")";
}
inline std::vector<std::string> specTexts(const storage::Structure& structure) {
  std::vector<std::string> texts;
  for (const storage::FieldSpec& spec : structure) texts.push_back(specText(spec));
  return texts;
}

inline storage::FieldValue text(const char* value) { return storage::FieldValue(value); }
inline storage::FieldValue number(long long value, int width = 10) {
  return storage::FieldValue(storage::Number::ofInteger(value, width));
}

// Payroll fix-ups: dates as fields hold them, and the work areas that
// still hold a table (a fix-up leaves none open).
inline storage::FieldValue date(int year, int month, int day) {
  return storage::FieldValue(storage::Date{year, month, day});
}
inline storage::FieldValue noDate() { return storage::FieldValue(storage::Date{}); }
inline std::vector<int> usedAreas(storage::WorkAreaList& areas, int upTo = 8) {
  std::vector<int> used;
  for (int number = 1; number <= upTo; ++number) {
    if (areas.area(number).isUsed()) used.push_back(number);
  }
  return used;
}

}  // namespace converte::catalogue::testing
