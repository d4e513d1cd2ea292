// Makes the embedded sample: a working directory holding GARVIN.INI, whose
// base directory GARV (relative to it) holds three company directories with
// a few tables in the structure of an older release, for a first run of
// converte:
//   converte_make_sample <directory>
// FIRMA1 and FIRMA3 are companies to migrate (FIRMA1 with index files and a
// work file left behind by the suite); FIRMA2 is a company already migrated
// by a newer converter, which the run leaves untouched.

#include <filesystem>
#include <system_error>
#include <iostream>
#include <string>
#include <vector>

#include "errors/error_handler.h"
#include "platform/system.h"
#include "storage/field_value.h"
#include "storage/storage_env.h"
#include "storage/work_areas.h"

namespace {

using namespace converte;
using storage::Date;
using storage::FieldValue;
using storage::Number;
using storage::Structure;
using Row = std::vector<FieldValue>;

struct SampleTable {
  std::string name;
  Structure structure;
  std::vector<Row> rows;
  std::vector<std::uint32_t> deleted;  // 1-based record numbers
};

// The company record of an older release: no GARVIN_VER, narrow names.
Structure companyRecord(bool withVersion) {
  Structure structure{{"EMPRESA", "C", 40, 0, {}},   {"PATRO_CNPJ", "C", 14, 0, {}},
                      {"CRCCONT", "C", 10, 0, {}},   {"MASC_FIL", "C", 20, 0, {}},
                      {"TAMMASC", "N", 2, 0, {}},    {"ARQ_PAR", "C", 1, 0, {}},
                      {"EXONERACAO", "C", 1, 0, {}}, {"PERINICIAL", "D", 8, 0, {}}};
  if (withVersion) structure.push_back({"GARVIN_VER", "N", 3, 0, {}});
  return structure;
}

Row companyRow(const std::string& name, const std::string& cnpj) {
  return {FieldValue(name), FieldValue(cnpj), FieldValue("1SP012345"), FieldValue("999"),
          Number::ofInteger(10, 2), FieldValue(" "), FieldValue("N"), Date{2024, 1, 1}};
}

std::vector<SampleTable> migratedCompany(const std::string& name, const std::string& cnpj) {
  return {
      {"DADOS", companyRecord(false), {companyRow(name, cnpj)}, {}},
      {"SINDICAT",
       {{"CODIGO_SID", "C", 3, 0, {}}, {"NOME_SIN", "C", 40, 0, {}}},
       {{FieldValue("001"), FieldValue("SIND. DOS COMERCIARIOS")},
        {FieldValue("002"), FieldValue("SIND. DOS METALURGICOS")}},
       {}},
      {"LFDUPLIC",
       {{"CODIGO_DUP", "C", 6, 0, {}}, {"VALOR_DUP", "N", 12, 2, {}}, {"VENC_DUP", "D", 8, 0, {}}},
       {{FieldValue("12"), Number::ofReal(150.25, 12, 2), Date{2024, 2, 10}},
        {FieldValue("7"), Number::ofReal(99.9, 12, 2), Date{2024, 3, 5}}},
       {}},
      {"CTLANCAM",
       {{"DATA_LC", "D", 8, 0, {}}, {"CONTA_LC", "C", 14, 0, {}}, {"VALOR_LC", "N", 14, 2, {}},
        {"HIST_LC", "C", 60, 0, {}}},
       {{Date{2024, 1, 5}, FieldValue("1.1.01"), Number::ofReal(1000, 14, 2), FieldValue("ABERTURA")},
        {Date{2024, 1, 9}, FieldValue("2.1.01"), Number::ofReal(250.5, 14, 2), FieldValue("ESTORNO")},
        {Date{2024, 1, 12}, FieldValue("1.1.02"), Number::ofReal(80, 14, 2), FieldValue("TARIFA")}},
       {2}},
  };
}

std::vector<SampleTable> newerCompany() {
  Row row = companyRow("EMPRESA JA CONVERTIDA LTDA", "98765432000110");
  row.push_back(Number::ofInteger(196, 3));
  return {{"DADOS", companyRecord(true), {row}, {}}};
}

bool writeTable(storage::WorkAreaList& areas, const SampleTable& table) {
  if (!areas.createTable(table.name, table.structure, {}, true)) return false;
  storage::WorkArea& area = areas.current();
  for (const Row& row : table.rows) {
    if (!area.append()) return false;
    for (std::size_t i = 0; i < row.size(); ++i) area.putField(static_cast<int>(i) + 1, row[i]);
  }
  for (std::uint32_t record : table.deleted) {
    area.goTo(record);
    area.deleteRecord();
  }
  areas.closeArea();
  return true;
}

bool writeFile(platform::FileSystem& fs, const std::string& path, const std::string& bytes) {
  auto file = fs.create(path);
  if (!file) return false;
  auto data = std::as_bytes(std::span<const char>(bytes.data(), bytes.size()));
  return (*file)->writeAt(0, data) && (*file)->close();
}

bool makeCompany(storage::WorkAreaList& areas, const std::string& dir,
                 const std::vector<SampleTable>& tables) {
  std::error_code failed;
  std::filesystem::create_directories(dir, failed);
  if (failed) return false;
  areas.env().defaultDir = dir;
  for (const SampleTable& table : tables)
    if (!writeTable(areas, table)) return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: converte_make_sample <directory>\n";
    return 2;
  }
  const std::string root = argv[1];
  auto fs = platform::newSystemFileSystem();
  auto clock = platform::newSystemClock();
  errors::AbandonAll handler;
  storage::StorageEnv env(*fs, *clock, handler);
  storage::WorkAreaList areas(env);
  const std::string base = platform::joinPath(root, "GARV");
  try {
    std::error_code failed;
    std::filesystem::create_directories(root, failed);
    bool made = !failed && writeFile(*fs, platform::joinPath(root, "GARVIN.INI"),
                          "[GARVIN]\r\n; base directory of the companies\r\nDIRETORIO=GARV\r\n") &&
                makeCompany(areas, platform::joinPath(base, "FIRMA1"),
                            migratedCompany("COMERCIAL EXEMPLO LTDA", "12345678000190")) &&
                writeFile(*fs, platform::joinPath(base, "FIRMA1/DADOS.NTX"), std::string(1024, '\0')) &&
                writeFile(*fs, platform::joinPath(base, "FIRMA1/XTRAB.TMP"), "work file\r\n") &&
                makeCompany(areas, platform::joinPath(base, "FIRMA2"), newerCompany()) &&
                makeCompany(areas, platform::joinPath(base, "FIRMA3"),
                            migratedCompany("INDUSTRIA MODELO S/A", "11222333000144"));
    if (!made) {
      std::cerr << "converte_make_sample: cannot write the sample in " << root << '\n';
      return 1;
    }
  } catch (const std::exception& failure) {
    std::cerr << "converte_make_sample: " << failure.what() << '\n';
    return 1;
  }
  return 0;
}
