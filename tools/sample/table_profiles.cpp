// The profiles and sizes of the suite's tables as constants: the own fields
// of the main tables, the fix-ups' fields, and the records per table of a
// real company (accounting entries and fiscal books the largest).

#include "tools/sample/table_profiles.h"

#include <algorithm>
#include <string>

namespace converte::sample {
namespace {

using P = Presence;
using V = Values;

ProfileField own(std::string_view name, char type, int length, int decimals = 0,
                 Values values = V::ByType) {
  return {name, P::Own, type, length, decimals, values, 0};
}
ProfileField catalogued(std::string_view name, Presence presence, Values values = V::ByType) {
  return {name, presence, 'C', 0, 0, values, 0};
}

// The employee table: its own fields, the fix-ups' fields and the ten
// groups of dependant columns of the older release.
std::vector<ProfileField> employeeFields() {
  std::vector<ProfileField> fields{
      own("CODIGO_FUN", 'C', 5, 0, V::Code),
      catalogued("NOME_FUN", P::Pinned, V::Name),
      own("DT_ADM_FUN", 'D', 8, 0, V::Day),
      catalogued("SINDIC_FUN", P::Pinned, V::UnionCode),
      own("HORARIO", 'C', 3, 0, V::Digits),
      own("FUNCAO_FUN", 'C', 3, 0, V::Digits),
      own("SECAO_FUN", 'C', 3, 0, V::Digits),
      own("SALARIO", 'N', 12, 2, V::Amount),
      own("CPF_FUN", 'C', 11, 0, V::Digits),
      own("HISTOR_FUN", 'M', 10, 0, V::Memo),
  };
  // The names live as long as the profiles that view them.
  static const std::vector<std::string> names = [] {
    std::vector<std::string> all;
    for (const char* prefix : {"NOME_", "DATA_", "VENC_", "TIPO_"})
      for (int n = 1; n <= 10; ++n) all.push_back(prefix + std::string(n < 10 ? "0" : "") + std::to_string(n));
    return all;
  }();
  const auto name = [](int kind, int n) -> std::string_view { return names[static_cast<std::size_t>(kind * 10 + n - 1)]; };
  for (int n = 1; n <= 10; ++n) {
    fields.push_back({name(0, n), P::Own, 'C', 40, 0, V::DependantName, n});
    fields.push_back({name(1, n), P::Own, 'D', 8, 0, V::DependantBirth, n});
    fields.push_back({name(2, n), P::Own, 'D', 8, 0, V::DependantEnd, n});
    fields.push_back({name(3, n), P::Own, 'C', 1, 0, V::DependantKind, n});
  }
  return fields;
}

// An entry or exit book: the same own fields with the book's suffix.
std::vector<ProfileField> bookFields(bool entries) {
  if (entries) {
    return {own("DATA_ENT", 'D', 8, 0, V::Day),      own("NUMNF_ENT", 'C', 8, 0, V::Code),
            own("SERIE_ENT", 'C', 3, 0, V::Digits),  own("CNPJ_ENT", 'C', 14, 0, V::Digits),
            own("UF_ENT", 'C', 2, 0, V::Text),        own("CFOP_ENT", 'C', 5, 0, V::Digits),
            own("VRCONT_ENT", 'N', 14, 2, V::Amount), own("BASEI1_ENT", 'N', 14, 2, V::Amount),
            own("ALIQI1_ENT", 'C', 5, 0, V::Digits),  own("VRICM1_ENT", 'N', 13, 2, V::Amount),
            own("ISETI1_ENT", 'N', 14, 2, V::Amount), own("OUTI1_ENT", 'N', 14, 2, V::Amount),
            own("CDESTI_ENT", 'C', 1, 0, V::RateCode), own("OBS_ENT", 'C', 40, 0, V::Text),
            catalogued("TRIBS1_ENT", P::Optional, V::Amount)};
  }
  return {own("DATA_SAI", 'D', 8, 0, V::Day),      own("NUMNF_SAI", 'C', 8, 0, V::Code),
          own("SERIE_SAI", 'C', 3, 0, V::Digits),  own("UF_SAI", 'C', 2, 0, V::Text),
          own("CFOP_SAI", 'C', 5, 0, V::Digits),   own("VRCONT_SAI", 'N', 14, 2, V::Amount),
          own("BASEI1_SAI", 'N', 14, 2, V::Amount), own("ALIQI1_SAI", 'C', 5, 0, V::Digits),
          own("VRICM1_SAI", 'N', 13, 2, V::Amount), own("ISETI1_SAI", 'N', 14, 2, V::Amount),
          own("OUTI1_SAI", 'N', 14, 2, V::Amount),  own("OBS_SAI", 'C', 40, 0, V::Text)};
}

std::vector<ProfileField> entryFields() {
  return {own("DATA_LC", 'D', 8, 0, V::Day),         own("CONTAD_LC", 'C', 14, 0, V::Digits),
          own("CONTAC_LC", 'C', 14, 0, V::Digits),   own("VALOR_LC", 'N', 14, 2, V::Amount),
          own("CDHIS_LC", 'C', 3, 0, V::Digits),     own("HIST_LC", 'C', 60, 0, V::Text),
          own("LOTE_LC", 'N', 6, 0, V::Amount)};
}

std::vector<ProfileField> movementFields() {
  return {own("CODIGO_FUN", 'C', 5, 0, V::Employee), own("MES_MOV", 'C', 7, 0, V::Digits),
          own("EVENTO_MOV", 'C', 3, 0, V::Digits),   own("QTDE_MOV", 'N', 12, 2, V::Amount),
          own("VALOR_MOV", 'N', 14, 2, V::Amount)};
}

std::vector<ProfileField> partyFields(bool customers) {
  if (customers) {
    return {own("CODIGO_CLI", 'C', 5, 0, V::Code),   catalogued("NOME_CLI", P::Optional, V::Name),
            catalogued("FANT_CLI", P::Optional, V::Name), own("ENDER_CLI", 'C', 40, 0, V::Text),
            own("CIDADE_CLI", 'C', 30, 0, V::Text),  own("UF_CLI", 'C', 2, 0, V::Text),
            own("CEP_CLI", 'C', 8, 0, V::Digits),    own("CNPJ_CLI", 'C', 14, 0, V::Digits),
            own("FONE_CLI", 'C', 14, 0, V::Digits),  own("OBSERV_CLI", 'M', 10, 0, V::Memo)};
  }
  return {own("CODIGO_FOR", 'C', 5, 0, V::Code),   catalogued("NOME_FOR", P::Optional, V::Name),
          own("ENDER_FOR", 'C', 40, 0, V::Text),   own("CIDADE_FOR", 'C', 30, 0, V::Text),
          own("UF_FOR", 'C', 2, 0, V::Text),        own("CNPJ_FOR", 'C', 14, 0, V::Digits),
          own("OBSERV_FOR", 'M', 10, 0, V::Memo)};
}

std::vector<ProfileField> paymentFields() {
  return {own("DATA_MOV", 'D', 8, 0, V::Day),       own("DOCUM_MOV", 'C', 10, 0, V::Code),
          own("CLIFOR_MOV", 'C', 5, 0, V::Digits),  own("VALOR_MOV", 'N', 14, 2, V::Amount),
          own("VENC_MOV", 'D', 8, 0, V::Day)};
}

std::vector<TableProfile> buildProfiles() {
  return {
      {"DADOS",
       {catalogued("EMPRESA", P::Pinned, V::Name), own("CGC_EMP", 'C', 18, 0, V::Digits),
        own("ENDERECO", 'C', 40, 0, V::Text), own("CIDADE", 'C', 30, 0, V::Text),
        own("UF", 'C', 2, 0, V::Text), catalogued("MASC_FIL", P::Pinned, V::CompanyMask),
        own("TAMMASC", 'N', 2, 0, V::CompanyMaskSize), catalogued("ARQ_PAR", P::Pinned, V::Blank),
        catalogued("EXONERACAO", P::Pinned, V::CompanyFlag),
        own("PERINICIAL", 'D', 8, 0, V::PeriodStart), catalogued("GARVIN_VER", P::Absent),
        catalogued("PATRO_CNPJ", P::Optional, V::Digits)}},
      {"DADOSVIG",
       {own("VIG_INI", 'D', 8, 0, V::Day), catalogued("EMPRESA", P::Optional, V::Name),
        own("CGC_EMP", 'C', 18, 0, V::Digits), catalogued("PATRO_CNPJ", P::Optional, V::Digits)}},
      {"CTLANCAM", entryFields()},
      {"CTLANG", entryFields()},
      {"LFENTRA", bookFields(true)},
      {"LFSAIDA", bookFields(false)},
      {"LFDUPLIC",
       {catalogued("CODIGO_DUP", P::Pinned, V::ShortCode), own("CLIENT_DUP", 'C', 5, 0, V::Digits),
        own("VALOR_DUP", 'N', 12, 2, V::Amount), own("EMISS_DUP", 'D', 8, 0, V::Day),
        own("VENC_DUP", 'D', 8, 0, V::Day), own("PAGO_DUP", 'C', 1, 0, V::Flag)}},
      {"ITEM",
       {own("CODIGO_ITM", 'C', 5, 0, V::Code), catalogued("DESCRICAO", P::Optional, V::Text),
        own("UNID_ITM", 'C', 3, 0, V::Text), own("PRECO_ITM", 'N', 14, 2, V::Amount),
        own("SALDO_ITM", 'N', 12, 3, V::Amount), own("GRUPO_ITM", 'C', 5, 0, V::Digits),
        own("DESCR_COMP", 'M', 10, 0, V::Memo)}},
      {"FUNCIONA", employeeFields()},
      {"FOFERFUN",
       {own("CODIGO_FUN", 'C', 5, 0, V::Employee), own("DTAQ_INI", 'D', 8, 0, V::Day),
        own("DTAQ_FIM", 'D', 8, 0, V::Day), own("DTG1", 'D', 8, 0, V::VacationStart),
        own("DTG2", 'D', 8, 0, V::VacationEnd), catalogued("NO_REG", P::Optional, V::Zero),
        catalogued("DIA_FER", P::Optional, V::Zero)}},
      {"GVCHAVES",
       {own("U_EMPRESA", 'N', 10, 0, V::Amount), own("U_EVENTO", 'N', 10, 0, V::Amount),
        catalogued("U_FERIAS", P::Optional, V::Zero)}},
      {"FORECISA",
       {own("CODFUN_REC", 'C', 5, 0, V::Employee), catalogued("DT_DEM", P::Pinned, V::Day),
        catalogued("CAUSA_AFAS", P::Pinned, V::Text), own("MAI_REN", 'N', 10, 2, V::Amount),
        own("COD_SAQUE", 'C', 10, 0, V::Digits), own("TIPODEM", 'C', 1, 0, V::Flag),
        {"DT_DEM", P::Duplicate, 'D', 8, 0, V::Day, 0}, own("CAM25_1", 'N', 12, 2, V::Amount),
        own("CAM25_2", 'N', 14, 2, V::Amount), own("CAM41_1", 'C', 13, 0, V::Text)}},
      {"FODEPEND",
       {own("CODIGO_FUN", 'C', 5, 0, V::Employee), own("NOME_DEP", 'C', 40, 0, V::Name),
        own("DTNASC_DEP", 'D', 8, 0, V::Day), own("TIPO_DEP", 'C', 1, 0, V::Digits),
        own("DT_ENT_DEP", 'D', 8, 0, V::Day), own("DT_BX_DEP", 'D', 8, 0, V::Day)}},
      {"FUNSAL",
       {own("CODIGO_FUN", 'C', 5, 0, V::Employee), own("VIG_INI", 'D', 8, 0, V::Day),
        own("VIG_FIM", 'D', 8, 0, V::Day), own("NO_SAL_FUN", 'N', 18, 8, V::Amount)}},
      {"SINDICAT",  // its codes in record order, the first one "12"
       {{"CODIGO_SID", P::Pinned, 'C', 0, 0, V::UnionCode, 1}, own("NOME_SIN", 'C', 40, 0, V::Name),
        own("CNPJ_SIN", 'C', 14, 0, V::Digits), own("DATA_SIN", 'D', 8, 0, V::Day)}},
      {"SINDSAL",
       {catalogued("CODIGO_SAL", P::Pinned, V::UnionCode), own("FUNCAO_SAL", 'C', 3, 0, V::Digits),
        own("SALARIO", 'N', 12, 2, V::Amount), own("VIG_SAL", 'D', 8, 0, V::Day)}},
      {"CTCONTAS",
       {own("CONTA_CT", 'C', 14, 0, V::Code), own("NOME_CT", 'C', 40, 0, V::Text),
        own("TIPO_CT", 'C', 1, 0, V::Flag), own("GRAU_CT", 'N', 1, 0, V::Amount),
        catalogued("COD_SPED", P::Pinned, V::AccountRef),
        catalogued("COD_FCONT", P::Pinned, V::Blank)}},
      {"EVENTOS",
       {own("CODIGO_EVE", 'C', 3, 0, V::Code), own("NOME_EVE", 'C', 30, 0, V::Text),
        own("TIPO_EVE", 'C', 1, 0, V::Flag), own("RAIS_EVE", 'C', 1, 0, V::Flag),
        catalogued("DIRF_EVE", P::Optional, V::Blank), catalogued("FORMU2_EVE", P::Absent),
        catalogued("FORMUL_EVE", P::Optional, V::Text), own("FORMULA_EV", 'M', 10, 0, V::Memo)}},
      {"SECAOVIG",
       {own("CODIGO_SEC", 'C', 3, 0, V::Code), own("NOME_SEC", 'C', 40, 0, V::Text),
        own("VIG_INI", 'D', 8, 0, V::Day)}},
      {"SECAO",
       {own("CODIGO_SEC", 'C', 3, 0, V::Code), catalogued("DESC_SEC", P::Optional, V::Text)}},
      {"LFAPICM",
       {own("MES_ICM", 'C', 2, 0, V::Month), own("DEBITO_ICM", 'N', 14, 2, V::Amount),
        own("CREDIT_ICM", 'N', 14, 2, V::Amount), own("SALDO_ICM", 'N', 14, 2, V::Amount)}},
      {"FOMOVIM", movementFields()},
      {"FOMOVIMA", movementFields()},
      {"FOMOVIM1", movementFields()},
      {"FOMOVIM2", movementFields()},
      {"FOMOVIM4", movementFields()},
      {"FUNFCAL", movementFields()},
      {"FUNFCALC", movementFields()},
      {"POMOVIM",
       {own("CODIGO_FUN", 'C', 5, 0, V::Employee), own("DATA_MOV", 'D', 8, 0, V::Day),
        own("HORA_ENT", 'C', 5, 0, V::Digits), own("HORA_SAI", 'C', 5, 0, V::Digits)}},
      {"CLIENTES", partyFields(true)},
      {"FORNECED", partyFields(false)},
      {"TKRBMOV", paymentFields()},
      {"TKPGMOV", paymentFields()},
      {"LFINVT",
       {own("CODIGO_INV", 'C', 14, 0, V::Code), own("DATA_INV", 'D', 8, 0, V::Day),
        own("QTDE_INV", 'N', 14, 3, V::Amount), own("DESCR_INV", 'C', 40, 0, V::Text),
        catalogued("VRUNIT_INV", P::Optional, V::Amount)}},
      {"CTHISTOR",
       {own("CODIGO_HIS", 'C', 3, 0, V::Code), own("NOME_HIS", 'C', 40, 0, V::Text),
        own("TEXTO_HIS", 'M', 10, 0, V::Memo)}},
  };
}

const std::vector<TableProfile>& profiles() {
  static const std::vector<TableProfile> all = buildProfiles();
  return all;
}

const TableProfile& genericProfile() {
  static const TableProfile generic{"",
                                    {own("CODIGO", 'C', 6, 0, V::Code),
                                     own("DESCRICAO", 'C', 30, 0, V::Text),
                                     own("VALOR", 'N', 12, 2, V::Amount),
                                     own("DATA", 'D', 8, 0, V::Day)},
                                    true};
  return generic;
}

// Records per thousand of the company's records, the least a table holds,
// and the deleted records per thousand. Tables not listed hold a few records.
constexpr TableSize kSizes[] = {
    {"CTLANCAM", 270, 20, 2}, {"CTLANG", 60, 10, 0},    {"LFENTRA", 125, 10, 1},
    {"LFSAIDA", 135, 10, 1},  {"ITEM", 45, 10, 3},      {"LFDUPLIC", 50, 5, 0},
    {"FOMOVIM", 50, 5, 0},    {"FOMOVIMA", 20, 3, 0},   {"FOMOVIM1", 10, 3, 0},
    {"FOMOVIM2", 10, 3, 0},   {"FOMOVIM4", 10, 3, 0},   {"TKRBMOV", 30, 5, 0},
    {"TKPGMOV", 30, 5, 0},    {"CLIENTES", 20, 5, 5},   {"FORNECED", 5, 5, 5},
    {"LFINVT", 20, 5, 0},     {"LFPROEST", 10, 5, 0},   {"POMOVIM", 20, 5, 0},
    {"POMOVP", 10, 5, 0},     {"FUNFCAL", 10, 5, 0},    {"FUNFCALC", 10, 5, 0},
    {"FUNCIONA", 3, 6, 20},   {"FOFERFUN", 3, 6, 0},    {"FUNSAL", 3, 6, 0},
    {"FODEPEND", 3, 3, 0},    {"FORECISA", 1, 3, 0},    {"FUNAFA", 1, 2, 0},
    {"FUNRCALC", 2, 3, 0},    {"FOMOVAUT", 2, 3, 0},    {"FOCADAUT", 1, 3, 0},
    {"FOAUTONO", 1, 3, 0},    {"FOMOVSEF", 2, 3, 0},    {"FORAIS", 2, 3, 0},
    {"FOGPS", 1, 12, 0},      {"FOGPSA", 1, 12, 0},     {"TKNFENTS", 5, 5, 0},
    {"LFCIAP", 2, 3, 0},      {"CTCONTAS", 2, 60, 0},   {"CTDLPA", 1, 20, 0},
    {"CTPART", 1, 10, 0},     {"CTCFOITM", 1, 20, 0},   {"LFREGECF", 1, 5, 0},
    {"CTHISTOR", 1, 30, 0},   {"LFAPICM", 0, 36, 0},    {"LFAPICUF", 0, 36, 0},
    {"EVENTOS", 0, 150, 10},  {"LFCODCFO", 0, 60, 0},   {"CTCFO", 0, 30, 0},
    {"FUNCAO", 0, 20, 0},     {"FOCONTAS", 0, 20, 0},   {"FOTABELA", 0, 12, 0},
    {"FODUTEIS", 0, 12, 0},   {"SINDSAL", 0, 10, 0},    {"SINDICAT", 0, 5, 0},
    {"FOHORAR", 0, 5, 0},     {"DADOSVIG", 0, 3, 0},    {"LFIMPFIS", 0, 2, 0},
    {"DADOS", 0, 1, 0},       {"GVCHAVES", 0, 1, 0},    {"CTCHAVES", 0, 1, 0},
    {"TKCHAVES", 0, 1, 0},    {"PODADOS", 0, 1, 0},     {"SECAOVIG", 0, 1, 0},
    {"SECAO", 0, 1, 0},
};

constexpr std::string_view kUnionCodes[] = {"12", "7", "3", "25", "104", "8", "40", "2"};

}  // namespace

const TableProfile& profileOf(std::string_view table) {
  for (const TableProfile& profile : profiles())
    if (profile.table == table) return profile;
  return genericProfile();
}

TableSize sizeOf(std::string_view table) {
  for (const TableSize& size : kSizes)
    if (size.table == table) return size;
  return {table, 0, 5, 0};
}

std::span<const std::string_view> unionCodes() { return kUnionCodes; }

}  // namespace converte::sample
