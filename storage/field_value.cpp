// FieldValue in readable form, for test diagnostics and traces: strings quoted
// with bytes outside printable ASCII escaped, numbers with width and decimals.

#include "storage/field_value.h"

#include <array>
#include <charconv>
#include <ostream>
#include <string_view>

namespace converte::storage {
namespace {

void printString(std::string_view text, std::ostream& os) {
  static constexpr std::string_view kHex = "0123456789ABCDEF";
  os << '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      os << '\\' << c;
    } else if (byte >= 0x20 && byte < 0x7F) {
      os << c;
    } else {
      os << "\\x" << kHex[byte >> 4] << kHex[byte & 0x0F];
    }
  }
  os << '"';
}

// A real is shown with the shortest digits that read back as the same
// double, so two values that differ never print alike.
void printNumber(const Number& number, std::ostream& os) {
  if (number.isInteger) {
    os << "integer " << number.integer;
  } else {
    std::array<char, 32> text;
    const auto printed = std::to_chars(text.data(), text.data() + text.size(), number.real);
    os << "real "
       << std::string_view(text.data(), static_cast<std::size_t>(printed.ptr - text.data()));
  }
  os << " (width " << number.width << ", decimals " << number.decimals << ')';
}

void printDate(const Date& date, std::ostream& os) {
  if (date.isEmpty()) {
    os << "empty date";
    return;
  }
  const auto fill = os.fill('0');
  os << "date ";
  os.width(4);
  os << date.year << '-';
  os.width(2);
  os << date.month << '-';
  os.width(2);
  os << date.day;
  os.fill(fill);
}

}  // namespace

void PrintTo(const FieldValue& value, std::ostream* os) {
  if (value.isNothing()) {
    *os << "nothing";
  } else if (value.isString()) {
    *os << "string ";
    printString(value.string(), *os);
  } else if (value.isNumber()) {
    printNumber(value.number(), *os);
  } else if (value.isDate()) {
    printDate(value.date(), *os);
  } else {
    *os << "logical " << (value.logical() ? "true" : "false");
  }
}

std::ostream& operator<<(std::ostream& os, const FieldValue& value) {
  PrintTo(value, &os);
  return os;
}

}  // namespace converte::storage
