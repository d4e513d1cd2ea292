// The texts of the table migration engine: log lines, progress-window titles
// and message boxes, byte for byte. A text ending in a blank or a colon is
// followed by a name or a number where it is used.

#pragma once

#include <string_view>

namespace converte::migration::text {

// Table migration (MGCONVERTE).
inline constexpr std::string_view kOpenError = "** Erro Abrindo o arquivo ";
inline constexpr std::string_view kNewField = " -> ->Campo novo: ";
inline constexpr std::string_view kConverting = "-  Convertendo Arquivo ";
inline constexpr std::string_view kAlteredField = " -> ->Campo alterado: ";
inline constexpr std::string_view kConflictTable = " -- Arquivo ";
inline constexpr std::string_view kConflictField = " ** Campo: ";
inline constexpr std::string_view kConflictNotCreated = " NÃO foi criado     ";
inline constexpr std::string_view kConflictOtherType = " com tipo diferente ";
inline constexpr std::string_view kConflictEquals = " = ";
inline constexpr std::string_view kConflictManual = " converter manualmente";
inline constexpr std::string_view kRebuilding = "   Convertendo Arquivo ";
inline constexpr std::string_view kRenaming = "   Renomeando Arquivo ";
inline constexpr std::string_view kRenameError = "** Erro renomenado o arquivo ";
inline constexpr std::string_view kRenameMemoError = "** Erro renomenado o arquivo(DBT) ";
inline constexpr std::string_view kErrorCode = " erro dos ";
inline constexpr std::string_view kAddingField = "   Campo Novo ";
inline constexpr std::string_view kCreating = "   Criando arquivo ";
inline constexpr std::string_view kAppendStart = "   Iniciando append da copia do arquivo   ";
inline constexpr std::string_view kAppendEnd = "   Finalizando append da copia do arquivo ";
// A refill that stopped before its end: the table copy is kept.
inline constexpr std::string_view kAppendError = "** Erro no append da copia do arquivo ";
inline constexpr std::string_view kErasingCopy = "   Excluindo a copia do arquivo";
inline constexpr std::string_view kEraseCopyError = "** Erro excluindo a copia do arquivo ";
inline constexpr std::string_view kEraseCopyMemoError = "** Erro excluindo a copia do arquivo(DBT) ";

// Duplicate names in a new-field list (VALID_ESTRU).
inline constexpr std::string_view kStepDuplicate = "?? Estrutura de conversão para o arquivo ";
inline constexpr std::string_view kStepDuplicateField = " = Campo Duplicado ";
inline constexpr std::string_view kStepDuplicatesEnd = "??? Atenção a Estrutura p/o arquivo ";
inline constexpr std::string_view kStepDuplicatesEndTail = " esta com campos duplicados";

// The opener's message boxes (ABRE_ARQ, XXABRE_ARQ).
inline constexpr std::string_view kTableNotFound = "Tabela não encontrada ";
inline constexpr std::string_view kNotExclusive1 = "Não foi possivel abrir em modo Exclusivo o";
inline constexpr std::string_view kNotExclusive2 = "Arquivo: ";
inline constexpr std::string_view kNotExclusive3 = "Este arquivo esta aberto por outro usuário";
// Lines of a message box are separated by carriage returns.
inline constexpr std::string_view kBoxLineBreak = "\r";

// Compaction (COMPACTADADOS).
inline constexpr std::string_view kTitleCountingDeleted = "Checando registros deletados";
inline constexpr std::string_view kTitleCheckingTables = "Checando tabelas";
inline constexpr std::string_view kPacking = "Compactando tabelas";
inline constexpr std::string_view kPackingTable = "Compactando Tabela...";
inline constexpr std::string_view kPackNotNeeded = "Compactando não necessaria  registro deletados:";

// Duplicate-field test (ARQ_CH_DUPL, CH_DUP).
inline constexpr std::string_view kCheckingDuplicates = "Verificando arquivos com campos duplicados";
inline constexpr std::string_view kTableDuplicate = "** Arquivo ";
inline constexpr std::string_view kTableDuplicateField = " = Campo Duplicado ";
inline constexpr std::string_view kDuplicatesBox = "Atenção o arquivo ";
inline constexpr std::string_view kDuplicatesBoxTail =
    " possui campos duplicados ERRO NA ESTRUTURA/DESENVOLVIMENTO";

}  // namespace converte::migration::text
