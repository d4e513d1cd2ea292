// The record model of the whole-run tests: the refill of every rebuilt
// table by field name, and the data fix-ups (duplicate codes, company
// settings, referential accounts, dependants, income-report flag, vacation
// records, termination table, exoneration flag, ICMS rates and months,
// union codes and employee history, the recorded version) over the images.

#include "tests/e2e/expected_records.h"

#include <cstdio>
#include <stdexcept>

namespace converte::testing::expected {
namespace {

using storage::FieldSpec;

// A value on its way into a field: its type letter and its stored form.
struct Value {
  char type = 'C';
  std::string stored;
};

std::string trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string padded(std::string_view text, int length) {
  std::string cell(text.substr(0, static_cast<std::size_t>(length)));
  cell.resize(static_cast<std::size_t>(length), ' ');
  return cell;
}

std::string blankCell(const FieldSpec& field) {
  return field.type == "M" ? std::string() : std::string(static_cast<std::size_t>(field.length), ' ');
}

// The number text of a numeric field's stored bytes ("0" when blank).
std::string numberTextOf(std::string_view stored) {
  std::size_t at = stored.find_first_not_of(' ');
  std::string text;
  if (at != std::string_view::npos && (stored[at] == '-' || stored[at] == '+')) text += stored[at++];
  bool point = false;
  for (; at < stored.size(); ++at) {
    const char c = stored[at];
    if (c == '.' && !point) {
      point = true;
    } else if (c < '0' || c > '9') {
      break;
    }
    text += c;
  }
  return text.find_first_of("0123456789") == std::string::npos ? "0" : text;
}

// The stored form of a value put into the field.
std::string storedAs(const Value& value, const FieldSpec& field) {
  if (std::string(1, value.type) != field.type)
    throw std::logic_error("a " + std::string(1, value.type) + " value into " + field.name);
  switch (value.type) {
    case 'C': return padded(value.stored, field.length);
    case 'N': return storedNumber(numberTextOf(value.stored), field.length, field.decimals);
    case 'L':
      return value.stored.find_first_of("TtYy") == 0 ? "T" : "F";
    default: return value.stored;  // D: the same eight bytes; M: the text
  }
}

std::string& cell(TableImage& table, ImageRecord& record, std::string_view name) {
  const int at = table.position(name);
  if (at < 0) throw std::logic_error("no field " + std::string(name));
  return record.cells[static_cast<std::size_t>(at)];
}

const std::string& cell(const TableImage& table, const ImageRecord& record, std::string_view name) {
  return cell(const_cast<TableImage&>(table), const_cast<ImageRecord&>(record), name);
}

Value valueOf(const TableImage& table, const ImageRecord& record, std::string_view name) {
  return {table.field(name).type.at(0), cell(table, record, name)};
}

void put(TableImage& table, ImageRecord& record, std::string_view name, const Value& value) {
  cell(table, record, name) = storedAs(value, table.field(name));
}

Value text(std::string value) { return {'C', std::move(value)}; }
Value number(std::string value) { return {'N', std::move(value)}; }

std::string digits(long long value, int width) {
  char out[32];
  std::snprintf(out, sizeof out, "%0*lld", width, value);
  return out;
}

// Days since 1 March of year 0 of a stored date; 0 for the empty date.
long long dayNumber(std::string_view stored) {
  if (trimmed(stored).empty()) return 0;
  long long y = std::stoll(std::string(stored.substr(0, 4)));
  const long long m = std::stoll(std::string(stored.substr(4, 2)));
  const long long d = std::stoll(std::string(stored.substr(6, 2)));
  if (m <= 2) --y;
  const long long era = y / 400, yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy;
}

class RecordModel {
 public:
  RecordModel(const CompanyImage& before, const CompanyAfter& after, int version)
      : before_(before), model_(after), version_(version) {}

  CompanyImage run() {
    carryRecords();
    duplicateCodes();
    companySettings();
    if (version_ < 112) referentialAccounts();
    if (version_ < 10) dependants();
    incomeReportFlag();
    vacations();
    if (version_ < 10) terminations();
    exoneration();
    if (version_ < 10) entryRates();
    if (model_.monthWidened) assessmentMonths();
    if (table("SINDICAT") != nullptr) unionsAndHistory();
    recordVersion();
    return after_;
  }

 private:
  TableImage* table(const std::string& name) {
    auto found = after_.find(name);
    return found == after_.end() ? nullptr : &found->second;
  }
  const TableImage* tableBefore(const std::string& name) const {
    auto found = before_.find(name);
    return found == before_.end() ? nullptr : &found->second;
  }
  template <typename Action>
  static void forLive(TableImage& image, Action action) {
    for (ImageRecord& record : image.records)
      if (!record.deleted) action(record);
  }
  static ImageRecord& appendBlank(TableImage& image) {
    ImageRecord record;
    for (const FieldSpec& field : image.structure) record.cells.push_back(blankCell(field));
    image.records.push_back(std::move(record));
    return image.records.back();
  }

  // Every table of the company packs when the accounting entries hold more
  // than 100 deleted records, or when there are none to count.
  bool compacted() const {
    const TableImage* entries = tableBefore("CTLANCAM");
    if (entries == nullptr) return true;
    std::size_t deleted = 0;
    for (const ImageRecord& record : entries->records) deleted += record.deleted ? 1 : 0;
    return deleted > 100;
  }

  void carryRecords() {
    const bool packed = compacted();
    for (const auto& [name, table] : model_.tables) {
      TableImage& image = after_[name];
      image.structure = table.structure;
      const TableImage* old = tableBefore(name);
      if (old == nullptr) continue;
      for (const ImageRecord& record : old->records) {
        if (record.deleted && (packed || table.rebuilt)) continue;
        image.records.push_back(table.rebuilt ? carried(*old, record, table) : record);
      }
    }
  }

  static ImageRecord carried(const TableImage& old, const ImageRecord& record,
                             const TableAfter& table) {
    ImageRecord moved;
    for (const FieldSpec& field : table.structure) {
      const int from = table.carried.contains(field.name) ? old.position(field.name) : -1;
      const bool reput = table.valueCopied.contains(field.name);
      const Value value = from >= 0 ? valueOf(old, record, field.name)
                                    : Value{field.type.at(0), blankCell(field)};
      moved.cells.push_back(reput ? storedAs(value, field) : value.stored);
    }
    return moved;
  }

  // F1: six-digit duplicate codes, decided by the first record.
  void duplicateCodes() {
    TableImage* duplicates = table("LFDUPLIC");
    if (duplicates == nullptr) return;
    const ImageRecord* first = duplicates->firstLive();
    if (first != nullptr && trimmed(cell(*duplicates, *first, "CODIGO_DUP")).size() >= 6) return;
    forLive(*duplicates, [&](ImageRecord& record) {
      const long long code = integerValue(cell(*duplicates, record, "CODIGO_DUP"));
      put(*duplicates, record, "CODIGO_DUP", text(digits(code, 6)));
    });
  }

  // F2: the company record's ARQ_PAR.
  void companySettings() {
    TableImage* company = table("DADOS");
    ImageRecord* first = company == nullptr ? nullptr : company->firstLive();
    if (first != nullptr && trimmed(cell(*company, *first, "ARQ_PAR")).empty())
      put(*company, *first, "ARQ_PAR", text("S"));
  }

  // F3: referential account codes.
  void referentialAccounts() {
    TableImage* accounts = table("CTCONTAS");
    if (accounts == nullptr) return;
    forLive(*accounts, [&](ImageRecord& record) {
      if (!trimmed(cell(*accounts, record, "COD_SPED")).empty() &&
          trimmed(cell(*accounts, record, "COD_FCONT")).empty())
        put(*accounts, record, "COD_FCONT", valueOf(*accounts, record, "COD_SPED"));
    });
  }

  // F4: one dependants record per filled dependant column group.
  void dependants() {
    if (!model_.tables.contains("FODEPEND") || !model_.tables.at("FODEPEND").created) return;
    TableImage& dependants = *table("FODEPEND");
    const TableImage& employees = *tableBefore("FUNCIONA");
    for (const ImageRecord& employee : employees.records) {
      if (employee.deleted) continue;
      for (int n = 1; n <= 10; ++n) {
        const std::string nn = digits(n, 2);
        if (trimmed(cell(employees, employee, "NOME_" + nn)).empty()) continue;
        ImageRecord& dependant = appendBlank(dependants);
        put(dependants, dependant, "CODIGO_FUN", valueOf(employees, employee, "CODIGO_FUN"));
        put(dependants, dependant, "NOME_DEP", valueOf(employees, employee, "NOME_" + nn));
        put(dependants, dependant, "DTNASC_DEP", valueOf(employees, employee, "DATA_" + nn));
        put(dependants, dependant, "DT_BX_DEP", valueOf(employees, employee, "VENC_" + nn));
        put(dependants, dependant, "TIPO_DEP", valueOf(employees, employee, "TIPO_" + nn));
        const std::string& born = cell(employees, employee, "DATA_" + nn);
        put(dependants, dependant, "DT_ENT_DEP", {'D', born > "20000101" ? born : "20000101"});
      }
    }
  }

  // F5: the income-report flag from the RAIS flag, decided by the first record.
  void incomeReportFlag() {
    TableImage* events = table("EVENTOS");
    const ImageRecord* first = events == nullptr ? nullptr : events->firstLive();
    if (first == nullptr || !trimmed(cell(*events, *first, "DIRF_EVE")).empty()) return;
    forLive(*events, [&](ImageRecord& record) {
      put(*events, record, "DIRF_EVE", valueOf(*events, record, "RAIS_EVE"));
    });
  }

  // F6: vacation records numbered and their days counted.
  void vacations() {
    TableImage* keys = table("GVCHAVES");
    TableImage* vacations = table("FOFERFUN");
    if (keys == nullptr || vacations == nullptr || vacations->records.empty()) return;
    ImageRecord* counters = keys->firstLive();
    const long long last = counters == nullptr ? 0 : integerValue(cell(*keys, *counters, "U_FERIAS"));
    if (firstValue(*vacations, "NO_REG") == 0 || last == 0) {
      long long numbered = 0;
      forLive(*vacations, [&](ImageRecord& record) {
        put(*vacations, record, "NO_REG", number(std::to_string(++numbered)));
      });
      if (counters != nullptr) put(*keys, *counters, "U_FERIAS", number(std::to_string(numbered)));
    }
    if (firstValue(*vacations, "DIA_FER") != 0) return;
    forLive(*vacations, [&](ImageRecord& record) {
      const long long days = dayNumber(cell(*vacations, record, "DTG2")) -
                             dayNumber(cell(*vacations, record, "DTG1")) + 1;
      put(*vacations, record, "DIA_FER", number(std::to_string(days)));
    });
  }

  static long long firstValue(const TableImage& image, std::string_view name) {
    const ImageRecord* first = image.firstLive();
    return first == nullptr ? 0 : integerValue(cell(image, *first, name));
  }

  // F7: after the re-creation, the first record of each employee code takes
  // the dismissal date of the last old record with that code.
  void terminations() {
    if (!model_.tables.contains("FORECISA") || !model_.tables.at("FORECISA").recreated) return;
    TableImage& terminations = *table("FORECISA");
    const TableImage& old = *tableBefore("FORECISA");
    const FieldSpec& codeField = terminations.field("CODFUN_REC");
    for (const ImageRecord& record : old.records) {
      if (record.deleted) continue;
      const std::string code = storedAs(valueOf(old, record, "CODFUN_REC"), codeField);
      for (ImageRecord& found : terminations.records) {
        if (cell(terminations, found, "CODFUN_REC") != code) continue;
        put(terminations, found, "DT_DEM", valueOf(old, record, "DT_DEM"));
        break;
      }
    }
  }

  // F8: the exoneration flag into a company's only section.
  void exoneration() {
    TableImage* company = table("DADOS");
    const ImageRecord* first = company == nullptr ? nullptr : company->firstLive();
    if (first == nullptr || trimmed(cell(*company, *first, "EXONERACAO")) != "S") return;
    const Value flag = valueOf(*company, *first, "EXONERACAO");
    for (const std::string name : {"SECAOVIG", "SECAO"}) {
      TableImage* sections = table(name);
      if (sections == nullptr || sections->records.size() != 1) return;
      if (!sections->records[0].deleted) put(*sections, sections->records[0], "EXONER_SEC", flag);
    }
  }

  // F9: the entry book's ICMS rate from its rate code.
  void entryRates() {
    static const std::string_view kCodes = "123456789A";
    static const char* const kRates[] = {"7", "12", "18", "25", "8.4", "11", "13.6", "30", "8.8", "5.6"};
    TableImage* entries = table("LFENTRA");
    if (entries == nullptr) return;
    forLive(*entries, [&](ImageRecord& record) {
      const std::string& code = cell(*entries, record, "CDESTI_ENT");
      if (kCodes.find(code) == std::string_view::npos) return;
      put(*entries, record, "TRIBS1_ENT", number(kRates[kCodes.find(code.at(0))]));
    });
  }

  // F10: month and year of the ICMS assessment, the year of PERINICIAL.
  void assessmentMonths() {
    TableImage& assessment = *table("LFAPICM");
    const TableImage& company = *table("DADOS");
    const ImageRecord* first = company.firstLive();
    const std::string start = first == nullptr ? "" : trimmed(cell(company, *first, "PERINICIAL"));
    const long long year = start.empty() ? 0 : integerValue(start.substr(0, 4));
    forLive(assessment, [&](ImageRecord& record) {
      const long long month = integerValue(cell(assessment, record, "MES_ICM"));
      put(assessment, record, "MES_ICM", text(digits(month, 2) + "/" + digits(year, 4)));
    });
  }

  // F11: union codes in five digits, then the history tables from the employees.
  void unionsAndHistory() {
    if (table("SINDICAT")->records.empty()) return;
    fiveDigitCodes("SINDICAT", "CODIGO_SID");
    fiveDigitCodes("FUNCIONA", "SINDIC_FUN");
    fiveDigitCodes("SINDSAL", "CODIGO_SAL");
    TableImage* employees = table("FUNCIONA");
    if (employees == nullptr || !table("FUNSIND")->records.empty()) return;
    static const std::pair<const char*, std::pair<const char*, const char*>> kHistory[] = {
        {"FUNSIND", {"CD_SIND", "SINDIC_FUN"}},
        {"FUNHORAR", {"CD_HORAR", "HORARIO"}},
        {"FUNCARGO", {"CD_CARGO", "FUNCAO_FUN"}},
        {"FUNLOTA", {"CD_LOTA", "SECAO_FUN"}}};
    forLive(*employees, [&](ImageRecord& employee) {
      for (const auto& [name, fields] : kHistory) {
        TableImage& history = *table(name);
        ImageRecord& row = appendBlank(history);
        put(history, row, "CODIGO_FUN", valueOf(*employees, employee, "CODIGO_FUN"));
        put(history, row, "VIG_INI", valueOf(*employees, employee, "DT_ADM_FUN"));
        put(history, row, fields.first, valueOf(*employees, employee, fields.second));
      }
    });
  }

  void fiveDigitCodes(const std::string& name, std::string_view field) {
    TableImage* image = table(name);
    if (image == nullptr) return;
    const ImageRecord* first = image->firstLive();
    const std::string code = first == nullptr ? blankCell(image->field(field))
                                              : cell(*image, *first, field);
    if (code == digits(integerValue(code), 5)) return;
    forLive(*image, [&](ImageRecord& record) {
      put(*image, record, field, text(digits(integerValue(cell(*image, record, field)), 5)));
    });
  }

  void recordVersion() {
    TableImage* company = table("DADOS");
    ImageRecord* first = company == nullptr ? nullptr : company->firstLive();
    if (first != nullptr) put(*company, *first, "GARVIN_VER", number("195"));
  }

  const CompanyImage& before_;
  const CompanyAfter& model_;
  int version_;
  CompanyImage after_;
};

}  // namespace

CompanyImage recordsAfterRun(const CompanyImage& before, const CompanyAfter& after,
                             int recordedVersion) {
  return RecordModel(before, after, recordedVersion).run();
}

std::string storedNumber(std::string_view text, int width, int decimals) {
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
  const std::size_t point = text.find('.');
  std::string whole(text.substr(0, point));
  std::string fraction(point == std::string_view::npos ? "" : text.substr(point + 1));
  const auto places = static_cast<std::size_t>(decimals);
  const bool roundUp = fraction.size() > places && fraction[places] >= '5';
  fraction.resize(places, '0');
  std::string all = "0" + whole + fraction;  // a leading 0 takes the carry
  for (std::size_t i = all.size(); roundUp && i-- > 0;) {
    if (all[i] == '9') {
      all[i] = '0';
    } else {
      ++all[i];
      break;
    }
  }
  whole = all.substr(0, all.size() - places);
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
  const bool zero = all.find_first_not_of('0') == std::string::npos;
  std::string out = (negative && !zero ? "-" : "") + whole;
  if (places > 0) out += "." + all.substr(all.size() - places);
  if (out.size() > static_cast<std::size_t>(width)) return std::string(static_cast<std::size_t>(width), '*');
  return std::string(static_cast<std::size_t>(width) - out.size(), ' ') + out;
}

long long integerValue(std::string_view text) {
  std::size_t at = text.find_first_not_of(' ');
  if (at == std::string_view::npos) return 0;
  const bool negative = text[at] == '-';
  if (text[at] == '-' || text[at] == '+') ++at;
  long long value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) value = value * 10 + (text[at] - '0');
  return negative ? -value : value;
}

}  // namespace converte::testing::expected
