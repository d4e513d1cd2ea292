// The structure model of the whole-run tests: each catalogue step applied
// to the table it names (new fields appended when missing, altered fields
// taking a new length when present with the same type), with the fix-ups
// that create or re-create tables placed where the script runs them.

#include "tests/e2e/expected_structure.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace converte::testing::expected {
namespace {

using storage::FieldSpec;
using storage::Structure;

std::string trimmedUpper(std::string_view name) {
  const std::size_t first = name.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  name = name.substr(first, name.find_last_not_of(' ') - first + 1);
  std::string upper(name);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

FieldSpec spec(std::string name, char type, int length, int decimals = 0) {
  return FieldSpec{std::move(name), std::string(1, type), length, decimals, std::nullopt};
}

// A field as the storage layer creates it: the stored name, dates 8 wide,
// logicals 1, memos 10.
FieldSpec created(const FieldSpec& field) {
  FieldSpec stored = field;
  stored.name = storedName(field.name);
  switch (field.type.at(0)) {
    case 'D': stored.length = 8; break;
    case 'L': stored.length = 1; break;
    case 'M': stored.length = 10; break;
    default: break;
  }
  return stored;
}

bool namesOneFieldTwice(const Structure& list) {
  for (std::size_t i = 0; i < list.size(); ++i)
    for (std::size_t j = i + 1; j < list.size(); ++j)
      if (list[i].name == list[j].name) return true;
  return false;
}

// A refill whose old fields all keep their place and shape copies whole
// records, unless the table has memos or names one field twice.
bool copiesWholeRecords(const Structure& old) {
  if (namesOneFieldTwice(old)) return false;
  return std::none_of(old.begin(), old.end(),
                      [](const FieldSpec& field) { return field.type == "M"; });
}

FieldSpec* fieldNamed(Structure& structure, const std::string& upperName) {
  for (FieldSpec& field : structure)
    if (trimmedUpper(field.name) == upperName) return &field;
  return nullptr;
}

class Model {
 public:
  explicit Model(const CompanyBefore& before) : before_(before) {
    for (const auto& [name, structure] : before.tables) {
      TableAfter& table = after_.tables[name];
      table.structure = structure;
      for (const FieldSpec& field : structure) table.carried.insert(field.name);
    }
  }

  CompanyAfter run() {
    for (const catalogue::CatalogueStep& step : catalogue::catalogueSteps()) {
      fixupsBefore(step.id);
      if (step.gateBelow != 0 && before_.recordedVersion >= step.gateBelow) continue;
      migrate(step.table, catalogue::toStructure(step.newFields, before_.lengths),
              catalogue::toStructure(step.alteredFields, before_.lengths));
    }
    return after_;
  }

 private:
  TableAfter* table(std::string_view name) {
    auto found = after_.tables.find(trimmedUpper(name));
    return found == after_.tables.end() ? nullptr : &found->second;
  }
  bool gated() const { return before_.recordedVersion < 10; }

  // One call of the table migration.
  void migrate(std::string_view name, const Structure& newFields, const Structure& altered) {
    if (namesOneFieldTwice(newFields)) return;
    TableAfter* target = table(name);
    if (target == nullptr) return;
    Structure& present = target->structure;
    Structure added;
    for (const FieldSpec& entry : newFields)
      if (fieldNamed(present, trimmedUpper(entry.name)) == nullptr) added.push_back(created(entry));
    bool altersAny = false;
    for (const FieldSpec& entry : altered) {
      FieldSpec* field = fieldNamed(present, trimmedUpper(entry.name));
      if (field == nullptr) continue;
      if (field->type != entry.type)
        throw std::logic_error("type conflict at " + std::string(name) + "." + entry.name);
      if (field->length == entry.length) continue;
      field->length = entry.length;
      field->decimals = entry.decimals;
      altersAny = true;
    }
    const bool changed = altersAny || !added.empty();
    if (!changed) return;
    if (altersAny || !copiesWholeRecords(present))
      for (const FieldSpec& field : present) target->valueCopied.insert(field.name);
    present.insert(present.end(), added.begin(), added.end());
    target->rebuilt = true;
    after_.rebuilds.push_back({trimmedUpper(name), !added.empty()});
  }

  void fixupsBefore(std::string_view stepId) {
    if (stepId == "C30" && gated()) moveDependants();
    if (stepId == "C60" && gated()) rebuildTerminations();
    if (stepId == "C97") {
      if (gated()) widenAssessmentMonth();
      if (table("SINDICAT") != nullptr) createHistoryTables();
    }
  }

  void moveDependants() {
    TableAfter* employees = table("FUNCIONA");
    if (employees == nullptr || fieldNamed(employees->structure, "NOME_01") == nullptr) return;
    if (table("FODEPEND") != nullptr) return;
    TableAfter& dependants = after_.tables["FODEPEND"];
    dependants.structure = dependantsStructure();
    dependants.created = true;
  }

  void rebuildTerminations() {
    TableAfter* terminations = table("FORECISA");
    if (terminations == nullptr) return;
    const auto dismissals = std::count_if(
        terminations->structure.begin(), terminations->structure.end(),
        [](const FieldSpec& field) { return trimmedUpper(field.name).starts_with("DT_DEM"); });
    if (dismissals <= 1) return;
    terminations->structure = terminationStructure();
    std::set<std::string> kept;
    for (const FieldSpec& field : terminations->structure)
      if (terminations->carried.contains(field.name)) kept.insert(field.name);
    terminations->carried = kept;
    terminations->valueCopied = kept;  // filled field by field from the copy
    terminations->rebuilt = terminations->recreated = true;
  }

  void widenAssessmentMonth() {
    TableAfter* assessment = table("LFAPICM");
    if (assessment == nullptr) return;
    FieldSpec* month = fieldNamed(assessment->structure, "MES_ICM");
    if (month == nullptr || month->length != 2) return;
    migrate("LFAPICM", {}, {spec("MES_ICM", 'C', 7)});
    after_.monthWidened = true;
  }

  void createHistoryTables() {
    for (const std::string& name : historyTables()) {
      if (table(name) != nullptr) continue;
      TableAfter& history = after_.tables[name];
      history.structure = historyStructure(name);
      history.created = true;
    }
  }

  const CompanyBefore& before_;
  CompanyAfter after_;
};

}  // namespace

CompanyAfter afterRun(const CompanyBefore& before) { return Model(before).run(); }

catalogue::CodeLengths codeLengthsOf(std::optional<double> tamMasc,
                                     std::optional<std::string> mascFil) {
  catalogue::CodeLengths lengths;
  if (tamMasc && *tamMasc >= 1) lengths.accountCode = static_cast<int>(*tamMasc);
  if (mascFil) {
    const std::size_t end = mascFil->find_last_not_of(' ');
    if (end != std::string::npos) lengths.branchCode = static_cast<int>(end + 1);
  }
  return lengths;
}

Structure dependantsStructure() {
  return {spec("CODIGO_FUN", 'C', 5),  spec("NOME_DEP", 'C', 40),  spec("DTNASC_DEP", 'D', 8),
          spec("TIPO_DEP", 'C', 1),    spec("L_NAS_DEP", 'C', 30), spec("CARTOR_DEP", 'C', 20),
          spec("NO_REG_DEP", 'C', 15), spec("NO_LIV_DEP", 'C', 6), spec("NO_FOL_DEP", 'C', 6),
          spec("DT_ENT_DEP", 'D', 8),  spec("DT_BX_DEP", 'D', 8),  spec("USUARIO", 'C', 10)};
}

Structure terminationStructure() {
  Structure fields{spec("CODFUN_REC", 'C', 5),  spec("DT_DEM", 'D', 8),
                   spec("CAUSA_AFAS", 'C', 60), spec("MAI_REN", 'N', 10, 2),
                   spec("MREN_13", 'N', 18, 2), spec("COD_SAQUE", 'C', 10),
                   spec("DTAVISO", 'D', 8),     spec("ADINSAL", 'N', 10, 2),
                   spec("ADNOTUR", 'N', 10, 2), spec("VRHOREXTRA", 'N', 10, 2),
                   spec("TIPODEM", 'C', 1),     spec("AVISOTRAB", 'C', 1),
                   spec("TPSALARIO", 'C', 1)};
  for (int n = 25; n <= 50; ++n) {
    const std::string stem = "CAM" + std::to_string(n);
    const bool text = n == 41 || n == 43 || n == 44 || n == 46 || n == 47;
    fields.push_back(text ? spec(stem + "_1", 'C', 13) : spec(stem + "_1", 'N', 12, 2));
    fields.push_back(spec(stem + "_2", 'N', 14, 2));
  }
  for (FieldSpec field : {spec("CA44_1", 'C', 13), spec("CA44_2", 'N', 12, 2),
                          spec("CA52_1", 'C', 13), spec("CA52_2", 'N', 12, 2),
                          spec("MULT_RES", 'N', 18, 2), spec("TIPO_DEM", 'C', 2)})
    fields.push_back(field);
  return fields;
}

const std::vector<std::string>& historyTables() {
  static const std::vector<std::string> names{"FUNSAL", "FUNCARGO", "FUNLOTA", "FUNSIND",
                                              "FUNHORAR"};
  return names;
}

Structure historyStructure(std::string_view table) {
  Structure fields{spec("CODIGO_FUN", 'C', 5), spec("VIG_INI", 'D', 8)};
  if (table == "FUNSAL") {
    for (FieldSpec field :
         {spec("VIG_FIM", 'D', 8), spec("NO_SAL_FUN", 'N', 18, 8), spec("TP_SAL_F", 'C', 1),
          spec("VR_SAL_VAR", 'N', 14, 2), spec("TP_SAL_V", 'C', 1)})
      fields.push_back(field);
  } else {
    const std::string code = table == "FUNCARGO" ? "CD_CARGO"
                             : table == "FUNLOTA" ? "CD_LOTA"
                             : table == "FUNSIND" ? "CD_SIND"
                                                  : "CD_HORAR";
    fields.push_back(spec(code, 'C', table == "FUNSIND" ? 5 : 3));
  }
  fields.push_back(spec("ST_ES", 'C', 1));
  fields.push_back(spec("USUARIO", 'C', 10));
  return fields;
}

std::string storedName(std::string_view name) { return trimmedUpper(name).substr(0, 10); }

}  // namespace converte::testing::expected
