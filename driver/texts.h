// The fixed texts of the driver: settings, message boxes, the run log's
// lines of the start-up and the company loop, the company directory's
// name patterns, and the reindex request's values.

#pragma once

#include <string_view>

namespace converte::driver::texts {

// Settings file and base directory.
inline constexpr std::string_view kSettingsFile = "GARVIN.INI";
inline constexpr std::string_view kDirectoryKey = "DIRETORIO";
inline constexpr std::string_view kDefaultBase = "\\GARV";
inline constexpr int kBaseEditRoom = 15;  // blanks after the base directory
inline constexpr int kMemoLineWidth = 80;
inline constexpr int kSettingsValueWidth = 70;

// Banner and message boxes.
inline constexpr std::string_view kBannerPrefix = "GARVIN Converte Versão:";
inline constexpr std::string_view kInvalidDirectoryTitle = "Atenção";
inline constexpr std::string_view kInvalidDirectory = "Diretorio invalido no GARVIN.INI";
inline constexpr std::string_view kInvalidParameters = "Parametros invalidos";
inline constexpr std::string_view kLeftoverTitle = "ATENÇÃO ERRO NA CONVERSÃO";
inline constexpr std::string_view kLeftoverBox[] = {
    "Ha arquivos de copia da Conversão Anterior",
    "Provavelmente o converte anterior deu erro",
    "Os arquivos CP*.dbf não podem ser apagados",
    "Tem que converter manulamente",
};

// Run log.
inline constexpr std::string_view kRunStart = "************** Inicio da Conversão ****************";
inline constexpr std::string_view kLeftoverLog[] = {
    "Ha arquivos de copia da Conversão Anterior",
    "Provavelmente o converte anterior deu erro",
    "Os Arquivos abaixo tem que ser convertidos MANUALMENTE",
};
inline constexpr std::string_view kUsersStillIn = "Deve haver algum usuário acessando o sistema ainda.";

// Company directories and the files of earlier runs.
inline constexpr std::string_view kCompanyPrefix = "FIRMA";
inline constexpr std::string_view kAnyFile = "*";
inline constexpr std::string_view kLeftoverTables = "CP*.DBF";
inline constexpr std::string_view kTableCopies = "CP*.*";
inline constexpr std::string_view kFiscalTemporaries = "LFTMP*.*";
inline constexpr std::string_view kPayrollTemporaries = "FOTMP*.DBF";
inline constexpr std::string_view kIndexFiles = "*.??X";
inline constexpr std::string_view kWorkFiles = "x*.*";

// Reindex request.
inline constexpr std::string_view kReindexing = "Reindexando:";
inline constexpr std::string_view kReindexed = "Reindexou empresas ";
inline constexpr std::string_view kRangeJoin = " a ";
inline constexpr std::string_view kServerId = "GARVIN";
inline constexpr std::string_view kServerMethod = "BVMAIN";
inline constexpr std::string_view kServerUser = "BV";
inline constexpr std::string_view kServerPassword = "tolvanic582";
inline constexpr std::string_view kRequestCode = "846";
inline constexpr std::string_view kRequestOption = "QTZ58";

}  // namespace converte::driver::texts
