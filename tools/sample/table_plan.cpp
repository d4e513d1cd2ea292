// Deriving a table's older structure from the catalogue data: its fields by
// name with the catalogue's type and lengths, the profile's fields placed
// first, the seed's choice for every other catalogue field.

#include "tools/sample/table_plan.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "tools/sample/sample_random.h"

namespace converte::sample {
namespace {

constexpr int kLongestOldText = 254;  // older releases kept character fields in one length byte

std::string upperTrimmed(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  std::size_t last = text.find_last_not_of(' ');
  std::string name = first == std::string_view::npos ? "" : std::string(text.substr(first, last - first + 1));
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

std::uint64_t keyOf(std::string_view text) { return nameKey(text.data(), text.size()); }

// A field as the catalogue names it for one table, all its rows together.
struct CatalogueField {
  std::string name;
  char type = 'C';
  int newLength = 0;  // the first new-field row's
  int newDecimals = 0;
  bool altered = false;  // an altered-field row names it: its type is the one the table must have
  int alteredLength = 0;
  int alteredDecimals = 0;
};

void addRow(std::vector<CatalogueField>& fields, const storage::FieldSpec& row, bool altered,
            std::string_view table) {
  std::string name = upperTrimmed(row.name);
  char type = static_cast<char>(std::toupper(static_cast<unsigned char>(row.type[0])));
  auto found = std::find_if(fields.begin(), fields.end(),
                            [&](const CatalogueField& f) { return f.name == name; });
  if (found == fields.end()) {
    fields.push_back({name, type, 0, 0, false, 0, 0});
    found = fields.end() - 1;
    if (!altered) {
      found->newLength = row.length;
      found->newDecimals = row.decimals;
    }
  } else if (!altered && found->newLength == 0) {
    found->newLength = row.length;
    found->newDecimals = row.decimals;
  }
  if (!altered) return;
  if (found->altered && found->type != type) {
    throw std::logic_error("catalogue: " + std::string(table) + "." + name + " altered to two types");
  }
  found->type = type;
  found->altered = true;
  found->alteredLength = row.length;
  found->alteredDecimals = row.decimals;
}

std::vector<CatalogueField> catalogueFields(std::string_view table,
                                            const catalogue::CodeLengths& lengths) {
  std::vector<CatalogueField> fields;
  for (const catalogue::CatalogueStep& step : catalogue::catalogueSteps()) {
    if (upperTrimmed(step.table) != table) continue;
    for (const storage::FieldSpec& row : catalogue::toStructure(step.newFields, lengths))
      addRow(fields, row, false, table);
    for (const storage::FieldSpec& row : catalogue::toStructure(step.alteredFields, lengths))
      addRow(fields, row, true, table);
  }
  return fields;
}

// The width a field of this type always has, or 0 when the length is free.
int fixedWidth(char type) {
  switch (type) {
    case 'D': return 8;
    case 'L': return 1;
    case 'M': return 10;
    default: return 0;
  }
}

storage::FieldSpec specOf(const std::string& name, char type, int length, int decimals) {
  if (int width = fixedWidth(type)) length = width;
  if (type == 'C') length = std::min(length, kLongestOldText);
  if (type != 'N') decimals = 0;
  return {name, std::string(1, type), length, decimals, std::nullopt};
}

// An older, shorter length of the same type; the same length when none is shorter.
storage::FieldSpec shorter(const CatalogueField& f) {
  int length = f.alteredLength;
  int decimals = f.alteredDecimals;
  if (f.type == 'C' && length > 1) length -= std::max(1, length / 4);
  if (f.type == 'N' && length > 1) {
    length = std::max(1, length - 2);
    decimals = decimals > 0 ? std::min(decimals, std::max(0, length - 2)) : 0;
  }
  return specOf(f.name, f.type, length, decimals);
}

enum class Choice { Missing, AtLength, Shorter, OtherDecimals, OtherLength };

// The seed's choice for a catalogue field. exact: the values a fix-up writes
// need the catalogue's own length.
Choice choose(const CatalogueField& f, std::uint64_t draw, bool exact) {
  std::uint64_t r = below(draw, 1000);
  if (f.altered) {
    if (r < 450) return Choice::Shorter;
    if (r < 750) return Choice::AtLength;
    if (r < 800) return f.type == 'N' && f.alteredDecimals > 0 ? Choice::OtherDecimals : Choice::AtLength;
    return Choice::Missing;
  }
  if (r < 500) return Choice::Missing;
  if (r < 920 || exact || f.type != 'C' || f.newLength <= 1) return Choice::AtLength;
  return Choice::OtherLength;
}

std::optional<storage::FieldSpec> specFor(const CatalogueField& f, Choice choice) {
  switch (choice) {
    case Choice::Missing:
      return std::nullopt;
    case Choice::Shorter:
      return shorter(f);
    case Choice::OtherDecimals:
      return specOf(f.name, f.type, f.alteredLength, f.alteredDecimals - 1);
    case Choice::OtherLength:
      return specOf(f.name, f.type, f.newLength - std::max(1, f.newLength / 4), 0);
    case Choice::AtLength:
      break;
  }
  if (f.altered) return specOf(f.name, f.type, f.alteredLength, f.alteredDecimals);
  return specOf(f.name, f.type, f.newLength, f.newDecimals);
}

Values valuesByType(char type) {
  switch (type) {
    case 'N': return Values::Amount;
    case 'D': return Values::Day;
    case 'M': return Values::Memo;
    default: return Values::ByType;
  }
}

[[noreturn]] void contradiction(std::string_view table, std::string_view name, const char* what) {
  throw std::logic_error("sample profile " + std::string(table) + "." + std::string(name) + ": " + what);
}

class StructureBuilder {
 public:
  StructureBuilder(std::string_view table, const CompanyChoices& company)
      : table_(table), company_(company), catalogue_(catalogueFields(table, company.lengths)) {}

  TablePlan build() {
    const TableProfile& profile = profileOf(table_);
    for (const ProfileField& field : profile.fields) addProfileField(field, profile.generic);
    std::vector<Column> chosen;
    for (const CatalogueField& f : catalogue_) {
      if (isSettled(f.name)) continue;
      if (auto spec = specFor(f, choose(f, draw(f.name, 1), false)))
        chosen.push_back({*spec, valuesByType(f.type), 0});
    }
    for (Column& column : chosen) insertAmongOthers(std::move(column));
    return {table_, std::move(columns_), 0, 0};
  }

 private:
  std::uint64_t draw(std::string_view name, std::uint64_t purpose) const {
    return mix({company_.seed, keyOf(table_), keyOf(name), purpose});
  }
  const CatalogueField* findCatalogue(const std::string& name) const {
    for (const CatalogueField& f : catalogue_)
      if (f.name == name) return &f;
    return nullptr;
  }
  bool isSettled(const std::string& name) const {
    return std::find(settled_.begin(), settled_.end(), name) != settled_.end();
  }
  bool isColumn(const std::string& name) const {
    return std::any_of(columns_.begin(), columns_.end(),
                       [&](const Column& c) { return c.spec.name == name; });
  }

  void addProfileField(const ProfileField& field, bool generic) {
    std::string name = upperTrimmed(field.name);
    if (name.size() > 10) contradiction(table_, name, "name longer than 10 characters");
    const CatalogueField* listed = findCatalogue(name);
    switch (field.presence) {
      case Presence::Own:
        if (listed && generic) return;  // the catalogue's field takes its place
        if (listed) contradiction(table_, name, "own field that the catalogue names");
        columns_.push_back({specOf(name, field.type, field.length, field.decimals), field.values, field.arg});
        return;
      case Presence::Duplicate:
        if (!isColumn(name)) contradiction(table_, name, "duplicate of a field not given before");
        columns_.push_back({specOf(name, field.type, field.length, field.decimals), field.values, field.arg});
        return;
      case Presence::Pinned:
      case Presence::Optional:
      case Presence::Absent:
        break;
    }
    if (!listed) contradiction(table_, name, "catalogue field that the catalogue does not name");
    settled_.push_back(name);
    if (field.presence == Presence::Absent) return;
    // A fix-up's field keeps the catalogue's length unless an altered-field
    // row makes an older, shorter one plausible.
    Choice choice = choose(*listed, draw(name, 1), true);
    if (field.presence == Presence::Pinned && choice == Choice::Missing) choice = Choice::AtLength;
    if (choice == Choice::OtherDecimals) choice = Choice::AtLength;
    Values values = field.values == Values::ByType ? valuesByType(listed->type) : field.values;
    if (auto spec = specFor(*listed, choice)) columns_.push_back({*spec, values, field.arg});
  }

  // After the first field (the table's key), at a place the seed chooses.
  void insertAmongOthers(Column column) {
    std::size_t at = columns_.empty() ? 0 : 1 + below(draw(column.spec.name, 2), columns_.size());
    columns_.insert(columns_.begin() + static_cast<std::ptrdiff_t>(at), std::move(column));
  }

  std::string table_;
  const CompanyChoices& company_;
  std::vector<CatalogueField> catalogue_;
  std::vector<Column> columns_;
  std::vector<std::string> settled_;  // catalogue fields the profile decided
};

}  // namespace

CompanyChoices chooseCompany(std::uint32_t seed) {
  static const char* const kMasks[] = {"999", "99.999", "", "9999"};
  static const int kMaskSizes[] = {14, 18, 0, 12};
  CompanyChoices company;
  company.seed = seed;
  company.mask = kMasks[below(mix({seed, 11}), 4)];
  company.maskSize = kMaskSizes[below(mix({seed, 12}), 4)];
  company.flag = chance(mix({seed, 13}), 750) ? "S" : "N";
  company.periodYear = chance(mix({seed, 14}), 100) ? 0 : 2005 + static_cast<int>(below(mix({seed, 15}), 8));
  company.compacts = seed % 2 == 1;
  company.writesDependants = seed % 3 == 0;
  company.lengths.accountCode = company.maskSize < 1 ? 14 : company.maskSize;
  std::size_t mask = company.mask.find_last_not_of(' ');
  company.lengths.branchCode = mask == std::string::npos ? 3 : static_cast<int>(mask + 1);
  company.lengths.itemCode = 5;
  return company;
}

std::vector<std::string> catalogueTables() {
  std::vector<std::string> tables;
  for (const catalogue::CatalogueStep& step : catalogue::catalogueSteps()) {
    std::string name = upperTrimmed(step.table);
    if (std::find(tables.begin(), tables.end(), name) == tables.end()) tables.push_back(name);
  }
  return tables;
}

TablePlan planStructure(std::string_view table, const CompanyChoices& company) {
  return StructureBuilder(table, company).build();
}

bool isDeleted(const TablePlan& plan, std::uint64_t record) {
  if (plan.deleted == 0 || record == 0) return false;
  std::uint64_t every = std::max<std::uint64_t>(2, plan.records / plan.deleted);
  return record % every == every / 2 && record / every < plan.deleted;
}

}  // namespace converte::sample
