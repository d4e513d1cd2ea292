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

// End of a company: a rule of 33 equals signs, then the closing line.
inline constexpr std::string_view kEndRule = "=================================";
inline constexpr std::string_view kEndOfConversion = "=======Fim da Conversao==========";

// Files: the table copies left by an interrupted rebuild, joined to the
// company directory.
inline constexpr std::string_view kCopyPattern = "\\CP*.*";

}  // namespace converte::catalogue
