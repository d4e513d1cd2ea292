// F7: the termination table re-created with one date-of-dismissal field
// when it holds several. The old table is copied byte for byte to COPREC,
// the new structure is filled from the copy by field name, and each
// record's DT_DEM is taken from the copy's first DT_DEM through an index.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalogue/fixups.h"
#include "catalogue/messages.h"
#include "catalogue/script_tables.h"
#include "driver/context/run_context.h"
#include "errors/call_levels.h"
#include "migration/housekeeping.h"
#include "platform/file_system.h"

namespace converte::catalogue {
namespace {

constexpr std::string_view kTerminations = "FORECISA";
constexpr std::string_view kTerminationsCopy = "COPREC";
constexpr std::string_view kCodeIndex = "FOTMPREC";
constexpr std::string_view kEmployeeCode = "CODFUN_REC";
constexpr std::string_view kDismissalDate = "DT_DEM";
// The table file first, then the memo files a table may carry: a copy of a
// table with memo fields opens only beside a copy of its memo file.
constexpr std::array<std::string_view, 3> kCopiedExtensions = {".DBF", ".DBT", ".FPT"};
constexpr std::size_t kCopyBlockSize = std::size_t{1} << 20;

// The rebuilt structure: the fixed fields, the amount pairs CAMnn_1 and
// CAMnn_2 for nn from 25 to 50, then the fixed closing fields. The first
// field of a pair is a text for the numbers listed, an amount otherwise.
const storage::Structure kLeadingFields = {
    {"CODFUN_REC", "C", 5, 0, {}}, {"DT_DEM", "D", 8, 0, {}},     {"CAUSA_AFAS", "C", 60, 0, {}},
    {"MAI_REN", "N", 10, 2, {}},   {"MREN_13", "N", 18, 2, {}},   {"COD_SAQUE", "C", 10, 0, {}},
    {"DTAVISO", "D", 8, 0, {}},    {"ADINSAL", "N", 10, 2, {}},   {"ADNOTUR", "N", 10, 2, {}},
    {"VRHOREXTRA", "N", 10, 2, {}}, {"TIPODEM", "C", 1, 0, {}},   {"AVISOTRAB", "C", 1, 0, {}},
    {"TPSALARIO", "C", 1, 0, {}},
};
struct AmountPairs {
  int first;
  int last;
  std::array<int, 5> textNumbers;
  storage::FieldSpec text, amount, second;  // shapes; names are built
};
const AmountPairs kAmountPairs = {
    25, 50, {41, 43, 44, 46, 47}, {"", "C", 13, 0, {}}, {"", "N", 12, 2, {}}, {"", "N", 14, 2, {}}};
const storage::Structure kClosingFields = {
    {"CA44_1", "C", 13, 0, {}}, {"CA44_2", "N", 12, 2, {}},   {"CA52_1", "C", 13, 0, {}},
    {"CA52_2", "N", 12, 2, {}}, {"MULT_RES", "N", 18, 2, {}}, {"TIPO_DEM", "C", 2, 0, {}},
};

storage::FieldSpec named(storage::FieldSpec shape, std::string name) {
  shape.name = std::move(name);
  return shape;
}

storage::Structure terminationStructure() {
  storage::Structure structure = kLeadingFields;
  for (int nn = kAmountPairs.first; nn <= kAmountPairs.last; ++nn) {
    bool text = false;
    for (int number : kAmountPairs.textNumbers) text = text || number == nn;
    std::string stem = "CAM" + std::to_string(nn);
    structure.push_back(named(text ? kAmountPairs.text : kAmountPairs.amount, stem + "_1"));
    structure.push_back(named(kAmountPairs.second, stem + "_2"));
  }
  structure.insert(structure.end(), kClosingFields.begin(), kClosingFields.end());
  return structure;
}

std::string companyFile(const std::string& dir, std::string_view base, std::string_view ext) {
  return dir + "\\" + std::string(base) + std::string(ext);
}

// Opens the table for exclusive use in the current work area.
storage::WorkArea& openHere(driver::RunContext& run, std::string_view table) {
  run.services.areas.useArea(false, "", table, "", false);
  return run.services.areas.current();
}

int fieldsBeginningWith(storage::WorkArea& area, std::string_view prefix) {
  int count = 0;
  for (const storage::Field& field : area.fields()) {
    if (std::string_view(field.name).substr(0, prefix.size()) == prefix) ++count;
  }
  return count;
}

// Copies the file byte for byte in large blocks; false when the operating
// system reports an error.
bool copyFile(platform::FileSystem& fs, const std::string& from, const std::string& to) {
  auto source = fs.open(from, platform::Access::ReadOnly, platform::ShareMode::Shared);
  if (!source) return false;
  auto target = fs.create(to);
  if (!target) return false;
  std::vector<std::byte> block(kCopyBlockSize);
  for (std::uint64_t offset = 0;;) {
    auto read = (*source)->readAt(offset, block);
    if (!read) return false;
    if (*read != 0 && !(*target)->writeAt(offset, std::span(block.data(), *read))) return false;
    offset += *read;
    if (*read < block.size()) break;
  }
  return (*target)->close().ok();
}

void eraseCopyFiles(driver::RunContext& run) {
  for (std::string_view ext : kCopiedExtensions) {
    std::string path = companyFile(run.M_PAT, kTerminationsCopy, ext);
    if (run.services.fs.exists(path)) (void)run.services.fs.erase(path);
  }
}

// COPREC.DBF from FORECISA.DBF, with the memo file beside it when there is
// one. A failed copy leaves no part of the copy behind.
bool copyTerminations(driver::RunContext& run) {
  platform::FileSystem& fs = run.services.fs;
  for (std::string_view ext : kCopiedExtensions) {
    std::string from = companyFile(run.M_PAT, kTerminations, ext);
    if (ext != kCopiedExtensions[0] && !fs.exists(from)) continue;
    if (!copyFile(fs, from, companyFile(run.M_PAT, kTerminationsCopy, ext))) {
      eraseCopyFiles(run);
      return false;
    }
  }
  return true;
}

// Every record of the copy gives its first DT_DEM to the first record of
// the table with its code, so the last record of a shared code wins.
void takeDismissalDates(driver::RunContext& run, storage::WorkArea& terminations) {
  int date = requireField(terminations, kDismissalDate);
  storage::WorkArea& copy = openExclusive(run, kTerminationsCopy);
  int copyCode = requireField(copy, kEmployeeCode);
  int copyDate = requireField(copy, kDismissalDate);
  storage::FieldValue code;
  storage::FieldValue value;
  forEachRecord(copy, [&] {
    copy.readField(copyCode, code);
    if (!terminations.seek(code)) return;
    copy.readField(copyDate, value);
    terminations.putField(date, value);
  });
  run.services.areas.closeArea();
}

}  // namespace

bool GERA_REC(driver::RunContext& run) {
  errors::CallFrame frame("CATALOGUE", "GERA_REC");
  storage::WorkAreaList& areas = run.services.areas;
  areas.createTable(kTerminations, terminationStructure(), run.MDRIVER);
  storage::WorkArea& terminations = openHere(run, kTerminations);
  areas.appendFrom(kTerminationsCopy);
  terminations.createIndex(kCodeIndex, kEmployeeCode);
  takeDismissalDates(run, terminations);
  // APAGA_ARQ takes the table, index and text files; the memo copy goes too.
  migration::APAGA_ARQ(run, kTerminationsCopy);
  eraseCopyFiles(run);
  return true;
}

bool C_FORECI(driver::RunContext& run) {
  errors::CallFrame frame("CATALOGUE", "C_FORECI");
  storage::WorkAreaList& areas = run.services.areas;
  int dismissalDates = fieldsBeginningWith(openHere(run, kTerminations), kDismissalDate);
  areas.closeArea();
  if (dismissalDates > 1) {
    driver::MGLIGAMSG(run, kConvertingTerminations);
    if (copyTerminations(run)) {
      GERA_REC(run);
    } else {
      driver::MGLIGAMSG(run, kTerminationCopyFailed);
    }
  }
  areas.closeAll();
  return true;
}

}  // namespace converte::catalogue
