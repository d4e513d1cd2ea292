// The texts of the error report: the parts of the report text, the error
// log file's name, and the message boxes shown when a report cannot be
// shown as the error dialog.

#pragma once

#include <string_view>

namespace converte::errors::report_texts {

// First line (ERRORMESSAGE).
inline constexpr std::string_view kError = "Error";
inline constexpr std::string_view kWarning = "Warning";
inline constexpr std::string_view kUnknown = "???";
inline constexpr std::string_view kSituation = "Situação:";
inline constexpr std::size_t kKeptAfterError = 200;  // characters, the line break included

// The other lines.
inline constexpr std::string_view kDosErrorOpen = " (Situação:DOS Error ";
inline constexpr std::string_view kDosErrorClose = ")";
inline constexpr std::string_view kCalledFrom = "Called from ";
inline constexpr std::string_view kDate = "Date:";
inline constexpr std::string_view kTime = "Time:";
inline constexpr std::string_view kLineBreak = "\r\n";

// Error log file: LOGSITUACAO__<mmddyy>_<hhmmss>.log, ending in byte 26.
inline constexpr std::string_view kLogPrefix = "LOGSITUACAO__";
inline constexpr std::string_view kLogExtension = ".log";
inline constexpr char kEndOfFile = '\x1A';

// Message boxes.
inline constexpr std::string_view kReportFailedText = "D)Erro na execução da dll ERRO: ";
inline constexpr std::string_view kReportFailedTitle = "Atenção";
inline constexpr std::string_view kSecondReportTitle = "3ab)LOG SITUACAO DLL";
inline constexpr std::string_view kNoSecondReportText = "3a)LOG SITUACAO DLL: ErrorPreview ";

}  // namespace converte::errors::report_texts
