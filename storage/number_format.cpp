// Numeric fields as decimal text: digits right-aligned before a fixed point,
// produced from the value without heap, locale or streams.

#include "storage/number_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace converte::storage {
namespace {

// A floating-point value yields at most this many significant digits; places
// beyond them are written as 0.
constexpr int kSignificantDigits = 16;

// Scientific precision that prints every double exactly: no double has more
// than 767 significant digits in its exact decimal expansion.
constexpr int kExactPrecision = 767;

// Bits of a double's mantissa, the leading one included.
constexpr int kMantissaBits = 53;

// Digits to write for a magnitude: text[0] stands at the place 10^(exponent-1)
// and places below the last digit are zeros. No digits means zero.
struct Digits {
  std::array<char, 24> text{};
  int count = 0;
  int exponent = 0;
};

// The first significant digits of a positive finite value, cut rather than
// rounded, with the value's decimal exponent as in Digits.
struct CutDigits {
  std::array<char, kSignificantDigits> text{};
  int exponent = 0;
};

// Reads a scientific text "d.ddd...e±x" holding at least kSignificantDigits
// digits.
CutDigits readScientific(const char* first, const char* last) {
  CutDigits cut;
  cut.text[0] = first[0];
  std::copy(first + 2, first + 1 + kSignificantDigits, cut.text.begin() + 1);
  const char* e = std::find(first, last, 'e') + 1;
  if (*e == '+') ++e;
  int exponent = 0;
  std::from_chars(e, last, exponent);
  cut.exponent = exponent + 1;
  return cut;
}

// An upper bound on the significant digits of the exact decimal expansion:
// m * 2^-n with m odd has exactly n digits after the point.
int exactDigitsBound(double magnitude, int exponent) {
  int binaryExponent = 0;
  const double fraction = std::frexp(magnitude, &binaryExponent);
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, kMantissaBits));
  const int bitsAfterPoint = kMantissaBits - binaryExponent - std::countr_zero(mantissa);
  return exponent + std::max(bitsAfterPoint, 0);
}

// Printed to a fixed precision, a value is rounded at the last printed digit.
// That rounding changes the first 16 digits only by a carry, which leaves the
// digits after them all 0; then, unless the text holds the value exactly, it
// is printed again with every digit of its exact expansion.
CutDigits cutDigits(double magnitude) {
  constexpr int kQuickPrecision = 24;
  std::array<char, 40> quick;
  const auto printed = std::to_chars(quick.data(), quick.data() + quick.size(), magnitude,
                                     std::chars_format::scientific, kQuickPrecision);
  const CutDigits cut = readScientific(quick.data(), printed.ptr);
  const char* following = quick.data() + 1 + kSignificantDigits;
  if (std::any_of(following, following + kQuickPrecision + 1 - kSignificantDigits,
                  [](char c) { return c != '0'; })) {
    return cut;
  }
  const int bound = exactDigitsBound(magnitude, cut.exponent);
  if (bound <= kQuickPrecision + 1) return cut;
  std::array<char, kExactPrecision + 16> exact;
  const auto whole =
      std::to_chars(exact.data(), exact.data() + exact.size(), magnitude,
                    std::chars_format::scientific, std::min(bound - 1, kExactPrecision));
  return readScientific(exact.data(), whole.ptr);
}

// The first digit not kept decides: 5 or more rounds up, and so does a 4 that
// is followed by nothing but 9s up to the last significant digit (a binary
// value just below a half, such as 8.995 held as 8.99499999...).
bool roundsUp(const CutDigits& cut, int kept) {
  const char deciding = cut.text[static_cast<std::size_t>(kept)];
  if (deciding >= '5') return true;
  if (deciding != '4' || kept + 1 >= kSignificantDigits) return false;
  return std::all_of(cut.text.begin() + kept + 1, cut.text.end(), [](char c) { return c == '9'; });
}

// The digits of a floating-point magnitude kept at the given decimals.
Digits realDigits(double magnitude, int decimals) {
  Digits digits;
  if (magnitude == 0.0) return digits;
  const CutDigits cut = cutDigits(magnitude);
  digits.exponent = cut.exponent;
  const int kept = cut.exponent + decimals;  // digits at 10^-decimals and above
  if (kept < 0) return digits;               // the first place not kept is a leading 0
  digits.count = std::min(kept, kSignificantDigits);
  std::copy_n(cut.text.begin(), digits.count, digits.text.begin());
  if (kept >= kSignificantDigits || !roundsUp(cut, kept)) return digits;
  int place = kept - 1;
  while (place >= 0 && digits.text[static_cast<std::size_t>(place)] == '9') {
    digits.text[static_cast<std::size_t>(place--)] = '0';
  }
  if (place >= 0) {
    ++digits.text[static_cast<std::size_t>(place)];
    return digits;
  }
  // Carried out of the leftmost digit: the kept digits are all 0 now, so a
  // leading 1 is the same as a 1 in front and one 0 more at the end.
  digits.text[static_cast<std::size_t>(kept)] = '0';
  digits.text[0] = '1';
  digits.count = kept + 1;
  ++digits.exponent;
  return digits;
}

Digits integerDigits(std::uint64_t magnitude) {
  Digits digits;
  if (magnitude == 0) return digits;
  const auto printed =
      std::to_chars(digits.text.data(), digits.text.data() + digits.text.size(), magnitude);
  digits.count = static_cast<int>(printed.ptr - digits.text.data());
  digits.exponent = digits.count;
  return digits;
}

// Writes the digits with the point at field length - decimals - 1, leading
// blanks and the '-' just before the first digit; a magnitude below 1 gets a
// 0 before the point. False when the digits and sign need more places.
bool layOut(const Digits& digits, bool negative, int decimals, std::span<char> field) {
  const int length = static_cast<int>(field.size());
  const int integerPlaces = decimals > 0 ? length - decimals - 1 : length;
  const bool zero = digits.count == 0;
  const int integerDigits = zero ? 1 : std::max(digits.exponent, 1);
  const bool sign = negative && !zero;
  if (integerDigits + (sign ? 1 : 0) > integerPlaces) return false;
  const auto digitAt = [&digits](int power) {
    const int index = digits.exponent - 1 - power;
    return index >= 0 && index < digits.count ? digits.text[static_cast<std::size_t>(index)] : '0';
  };
  std::fill(field.begin(), field.end(), ' ');
  for (int power = 0; power < integerDigits; ++power) {
    field[static_cast<std::size_t>(integerPlaces - 1 - power)] = digitAt(power);
  }
  if (sign) field[static_cast<std::size_t>(integerPlaces - 1 - integerDigits)] = '-';
  if (decimals <= 0) return true;
  field[static_cast<std::size_t>(integerPlaces)] = '.';
  for (int place = 1; place <= decimals; ++place) {
    field[static_cast<std::size_t>(integerPlaces + place)] = digitAt(-place);
  }
  return true;
}

bool writeNumber(const Number& value, int decimals, std::span<char> field) {
  if (value.isInteger) {
    const std::uint64_t magnitude = value.integer < 0
                                        ? 0 - static_cast<std::uint64_t>(value.integer)
                                        : static_cast<std::uint64_t>(value.integer);
    return layOut(integerDigits(magnitude), value.integer < 0, decimals, field);
  }
  if (!std::isfinite(value.real)) return false;
  return layOut(realDigits(std::fabs(value.real), decimals), std::signbit(value.real), decimals,
                field);
}

// The number at the start of a field's text, from its sign to its last digit;
// empty when it holds no digit.
struct NumberText {
  std::string_view text;
  bool hasPoint = false;
};

NumberText numberText(std::string_view text) {
  std::size_t end = text.find_first_not_of(' ');
  if (end == std::string_view::npos) return {};
  const std::size_t start = end;
  if (text[end] == '+' || text[end] == '-') ++end;
  bool hasDigit = false;
  bool hasPoint = false;
  for (; end < text.size(); ++end) {
    const char c = text[end];
    if (c >= '0' && c <= '9') {
      hasDigit = true;
    } else if (c == '.' && !hasPoint) {
      hasPoint = true;
    } else {
      break;
    }
  }
  if (!hasDigit) return {};
  return {text.substr(start, end - start), hasPoint};
}

}  // namespace

bool formatNumber(const Number& value, int decimals, std::span<char> field) {
  if (writeNumber(value, std::max(decimals, 0), field)) return true;
  std::fill(field.begin(), field.end(), '*');
  return false;
}

Number parseNumber(std::string_view text, int length, int decimals) {
  Number number;
  number.width = decimals > 0 ? std::max(length - decimals - 1, 0) : length;
  number.decimals = std::max(decimals, 0);
  const NumberText found = numberText(text);
  std::string_view digits = found.text;
  if (digits.empty()) return number;
  if (digits.front() == '+') digits.remove_prefix(1);  // from_chars takes only '-'
  const char* last = digits.data() + digits.size();
  if (!found.hasPoint) {
    const auto parsed = std::from_chars(digits.data(), last, number.integer);
    if (parsed.ec != std::errc::result_out_of_range) return number;
    number.integer = 0;
  }
  number.isInteger = false;
  std::from_chars(digits.data(), last, number.real);
  return number;
}

}  // namespace converte::storage
