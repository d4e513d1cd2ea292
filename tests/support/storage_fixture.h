// A storage environment for tests: the real file system in a fresh
// temporary directory (the default directory), a fixed clock and a scripted
// error handler, with helpers that create a table with rows, read its
// records back and list what was raised and what lies in the directory.

#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "errors/error_record.h"
#include "platform/system.h"
#include "storage/field_value.h"
#include "storage/work_areas.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/scripted_handler.h"
#include "tests/support/temp_dir.h"

namespace converte::testing {

// The record a table-driver error raises, without call levels.
inline errors::ErrorRecord driverRecord(int genCode, int subCode, std::string description,
                                        std::string fileName = {}, std::string operation = {},
                                        bool canDefault = false, bool canRetry = false,
                                        int osCode = 0) {
  errors::ErrorRecord record;
  record.genCode = genCode;
  record.subSystem = "DBFNTX";
  record.subCode = subCode;
  record.osCode = osCode;
  record.description = std::move(description);
  record.fileName = std::move(fileName);
  record.operation = std::move(operation);
  record.canDefault = canDefault;
  record.canRetry = canRetry;
  return record;
}

// One record's values by field position; a nothing value leaves the field
// blank.
using Row = std::vector<storage::FieldValue>;

class StorageFixture {
 public:
  StorageFixture() : fs(platform::newSystemFileSystem()), env(*fs, clock, handler), areas(env) {
    env.defaultDir = dir.path();
  }

  // The full path of a file in the directory.
  std::string path(const std::string& name) const { return dir.file(name); }
  std::string bytesOf(const std::string& name) const { return readFileBytes(dir.file(name)); }

  // Creates the table, appends the rows (marking deleted the 1-based records
  // listed) and closes it; the current area stays as it was.
  void createTable(const std::string& name, const storage::Structure& structure,
                   const std::vector<Row>& rows = {},
                   const std::vector<std::uint32_t>& deleted = {}) {
    int home = areas.currentNumber();
    ASSERT_TRUE(areas.createTable(name, structure, {}, true));
    for (const Row& row : rows) {
      ASSERT_TRUE(areas.current().append());
      for (std::size_t i = 0; i < row.size(); ++i)
        if (!row[i].isNothing()) areas.current().putField(static_cast<int>(i) + 1, row[i]);
    }
    for (std::uint32_t record : deleted) {
      areas.current().goTo(record);
      areas.current().deleteRecord();
    }
    areas.closeArea();
    areas.selectArea(home);
  }

  // Creates the table and appends records with exactly these bytes
  // (deletion flag first), then closes it.
  void createRawTable(const std::string& name, const storage::Structure& structure,
                      const std::vector<std::string>& records) {
    int home = areas.currentNumber();
    ASSERT_TRUE(areas.createTable(name, structure, {}, true));
    for (const std::string& record : records) {
      ASSERT_TRUE(areas.current().append());
      areas.current().setRecordBytes(record);
    }
    areas.closeArea();
    areas.selectArea(home);
  }

  // Opens the table exclusively in a new area, which becomes current.
  storage::WorkArea& open(const std::string& name, bool shared = false, bool readOnly = false) {
    EXPECT_TRUE(areas.useArea(true, "", name, "", shared, readOnly)) << name;
    return areas.current();
  }

  // Every field of records 1 to count of the area, whatever their deletion
  // flags; the area ends on the phantom record.
  static std::vector<Row> rowsOf(storage::WorkArea& area) {
    std::vector<Row> rows;
    for (std::uint32_t r = 1; r <= area.recCount(); ++r) {
      area.goTo(r);
      Row row;
      for (int f = 1; f <= area.fieldCount(); ++f) row.push_back(area.getField(f));
      rows.push_back(std::move(row));
    }
    area.goTo(0);
    return rows;
  }

  // The bytes of every record, deletion flag first.
  static std::vector<std::string> recordsOf(storage::WorkArea& area) {
    std::vector<std::string> records;
    for (std::uint32_t r = 1; r <= area.recCount(); ++r) {
      area.goTo(r);
      std::span<const char> bytes = area.recordBytes();
      records.emplace_back(bytes.begin(), bytes.end());
    }
    area.goTo(0);
    return records;
  }

  // The deletion flags of records 1 to count.
  static std::vector<bool> deletedFlags(storage::WorkArea& area) {
    std::vector<bool> flags;
    for (std::uint32_t r = 1; r <= area.recCount(); ++r) {
      area.goTo(r);
      flags.push_back(area.deleted());
    }
    area.goTo(0);
    return flags;
  }

  // The names of the files in the directory, sorted without regard to case.
  std::vector<std::string> files() const {
    auto names = fs->list(dir.path(), "*");
    return names ? *names : std::vector<std::string>{};
  }

  // The error records raised so far, without their call levels.
  std::vector<errors::ErrorRecord> raised() const {
    std::vector<errors::ErrorRecord> records = handler.records;
    for (auto& r : records) r.callStack.clear();
    return records;
  }

  TempDir dir;
  std::unique_ptr<platform::FileSystem> fs;
  FixedClock clock;
  ScriptedHandler handler;
  storage::StorageEnv env;
  storage::WorkAreaList areas;
};

}  // namespace converte::testing
