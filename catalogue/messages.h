// The texts the migration script writes to the run log and the progress
// window, and the file names and patterns it works with.

#pragma once

#include <string_view>

namespace converte::catalogue {

// Start of a company: a rule of 51 equals signs, the company line, the
// directory line of the progress window.
inline constexpr std::string_view kCompanyRule =
    "===================================================";
inline constexpr std::string_view kCompanyLine = "+  Firma:";
inline constexpr std::string_view kDirectoryLine = "Diretorio:";
inline constexpr std::string_view kCheckingTables = "Checando Tabelas:";

// A company migrated by a newer converter; each is followed by the version
// right-aligned in three positions.
inline constexpr std::string_view kAlreadyConverted = "A empresa ja foi convertida pelo converte ";
inline constexpr std::string_view kNeedNewerConverter =
    "Você tem que utilizar um converte mais novo que a versão:";

// Section lines.
inline constexpr std::string_view kSectionTimeClock = "=== Modulo Ponto ===";
inline constexpr std::string_view kSectionAccounting = "=== Modulo Contabilidade ===";
inline constexpr std::string_view kSectionPayroll = "=== Modulo Folha ===";
inline constexpr std::string_view kSectionFiscalBooks = "=== Modulo Livros Fiscais ===";

// Fix-ups.
inline constexpr std::string_view kConvertingReferentialAccounts =
    "Convertendo contas referencial FCONT";

// Fix-ups of the dependants (F4) and of the vacation records (F6). The
// first line keeps the spelling the suite's logs have always shown.
inline constexpr std::string_view kConvertingDependants = "=== Convertendo Dependenetes ==";
inline constexpr std::string_view kDependantsConverted = "=== Dependentes convertidos ==";
inline constexpr std::string_view kConvertingVacationNumbers = "Convertendo NO_REG FOFERFUN";
inline constexpr std::string_view kConvertingVacationDays = "Convertendo DIA Ferias FOFERFUN";

// Fix-up of the entry book's ICMS rates (F9), with its leading blank.
inline constexpr std::string_view kConvertingEntryBook = " Convertendo LFENTRA";

// End of a company: a rule of 33 equals signs, then the closing line.
inline constexpr std::string_view kEndRule = "=================================";
inline constexpr std::string_view kEndOfConversion = "=======Fim da Conversao==========";

// Files: the table copies left by an interrupted rebuild, joined to the
// company directory.
inline constexpr std::string_view kCopyPattern = "\\CP*.*";

// Fix-ups of the termination table (F7) and of the union codes and the
// employee history tables (F11).
inline constexpr std::string_view kConvertingTerminations = " Convertendo Rescisao";
inline constexpr std::string_view kTerminationCopyFailed = "Erro na copia do FORECISA.DBF";
inline constexpr std::string_view kConvertingUnionCodes = "Convertendo Sindicato para 5 digitos";
inline constexpr std::string_view kConvertingEmployeeUnionCodes =
    "Convertendo Sindicato/Funcionario para 5 digitos";
inline constexpr std::string_view kConvertingUnionSalaryCodes =
    "Convertendo Sindicato/SINDSAL para 5 digitos";
inline constexpr std::string_view kConvertingEmployeesForESocial =
    "Convertendo Funcionarios para novos campos eSocial";
inline constexpr std::string_view kEmployeeHistoryTablesDone =
    "Convertendo Funcionario novas Tabelas Cargo/Lotacao/etc";

}  // namespace converte::catalogue
