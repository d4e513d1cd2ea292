// Fixed-column layout and name normalisation for the engine's texts.

#include "migration/text_format.h"

#include <cstddef>

namespace converte::migration {

std::string trimmedBlanks(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string upperCased(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string rightAligned(long long value, int width) {
  std::string digits = std::to_string(value);
  auto columns = static_cast<std::size_t>(width);
  if (digits.size() > columns) return std::string(columns, '*');
  return std::string(columns - digits.size(), ' ') + digits;
}

std::string centred(std::string_view text, int width) {
  auto columns = static_cast<std::size_t>(width);
  if (text.size() >= columns) return std::string(text.substr(0, columns));
  std::size_t left = (columns - text.size()) / 2;
  return std::string(left, ' ') + std::string(text) + std::string(columns - text.size() - left, ' ');
}

}  // namespace converte::migration
