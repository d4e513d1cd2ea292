// The fixed texts of the end of run and its log viewer: the summary lines
// of the run log and the names of the viewer's temporary table.

#pragma once

#include <string_view>

namespace converte::driver::end_of_run_texts {

inline constexpr std::string_view kNormalEnd = "************** Fim normal da Conversão ************";
inline constexpr std::string_view kErrorEnd = "************** Ocorreram erros na conversão********";
inline constexpr std::string_view kErrorEndNote = "Ocorreram erros na conversão";
inline constexpr std::string_view kSlashes = "///////////////////////////////////////////////////";
inline constexpr std::string_view kCountBefore = "************** Ocorreram ";
inline constexpr std::string_view kCountAfter = " erros na conversão *******";
inline constexpr std::string_view kElapsedTitle = "Tempo na conversão";
inline constexpr std::string_view kStart = "Inicio:";
inline constexpr std::string_view kEnd = "Fim...:";
inline constexpr std::string_view kElapsed = "Tempo gasto:";
inline constexpr std::string_view kFormFeed = "\f";

inline constexpr int kCountWidth = 5;
inline constexpr int kElapsedWidth = 10;

// The run log in the working directory.
inline constexpr std::string_view kRunLogName = "converte.txt";

// The viewer's temporary table in the working directory, its two columns
// of 137 characters, and the companions deleted with it.
inline constexpr std::string_view kViewTable = "xTmpRel";
inline constexpr std::string_view kViewFirstColumn = "CAMPO1";
inline constexpr std::string_view kViewSecondColumn = "CAMPO2";
inline constexpr int kViewColumnWidth = 137;
inline constexpr std::string_view kViewTableFile = ".dbf";
inline constexpr std::string_view kViewCompanions[] = {".NTX", ".TXT"};

}  // namespace converte::driver::end_of_run_texts
