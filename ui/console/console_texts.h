// The console backend's own texts: prompts, hints and the separator between
// the parts of the status line.

#pragma once

#include <string_view>

namespace converte::ui::console_texts {

inline constexpr std::string_view kStatusSeparator = "  ";
inline constexpr std::string_view kNoTerminalForRange =
    "Sem terminal para a janela de empresas: informe a empresa inicial e a final na linha "
    "de comando (converte <inicial> <final>).";
inline constexpr std::string_view kButtonsPrompt = "[C]onfirma ou [S]air: ";
inline constexpr std::string_view kYesOrNoHint = "Informe S ou N.";
inline constexpr std::string_view kFinalBelowFirstHint =
    "A empresa final não pode ser menor que a inicial.";
inline constexpr std::string_view kMorePrompt = "-- Enter: mais, I: imprime, V: volta --";
inline constexpr std::string_view kEndPrompt = "-- Fim. Enter ou V: volta, I: imprime --";

}  // namespace converte::ui::console_texts
