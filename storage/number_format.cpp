// Numeric fields as decimal text: digits right-aligned before a fixed point,
// produced from the value without heap, locale or streams.

#include "storage/number_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <system_error>

#include "storage/digit_pairs.h"
#include "storage/short_moves.h"

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

// --- Exact cut digits by integer arithmetic ---------------------------------
//
// The magnitudes money and quantities take, 1e-12 up to 1e15, are cut without
// printing: a double is m * 2^q (m below 2^53), so m * 5^p * 2^(q+p) is the
// value times 10^p, and with q + p < 0 its integer part is m * 5^p shifted
// right. For the p that brings the value to 16 integer digits, 5^p stays
// below 2^63 and the product below 2^116.

constexpr double kQuickLow = 1e-12;
constexpr double kQuickHigh = 1e15;
constexpr int kMaxPower = 27;
constexpr std::uint64_t kSixteenDigits = 10'000'000'000'000'000ULL;  // 10^16
constexpr std::uint64_t kFifteenDigits = 1'000'000'000'000'000ULL;   // 10^15

constexpr std::array<std::uint64_t, kMaxPower + 1> kPowersOfFive = [] {
  std::array<std::uint64_t, kMaxPower + 1> powers{};
  powers[0] = 1;
  for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 5;
  return powers;
}();

// A 128-bit product as two halves.
struct Wide {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
};

Wide multiply(std::uint64_t a, std::uint64_t b) {
  const std::uint64_t aLow = a & 0xFFFF'FFFF, aHigh = a >> 32;
  const std::uint64_t bLow = b & 0xFFFF'FFFF, bHigh = b >> 32;
  const std::uint64_t lowLow = aLow * bLow, lowHigh = aLow * bHigh;
  const std::uint64_t highLow = aHigh * bLow, highHigh = aHigh * bHigh;
  const std::uint64_t middle = (lowLow >> 32) + (lowHigh & 0xFFFF'FFFF) + (highLow & 0xFFFF'FFFF);
  return {highHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32),
          (middle << 32) | (lowLow & 0xFFFF'FFFF)};
}

// w >> shift (1 to 127) when it fits in 64 bits.
std::optional<std::uint64_t> shiftedDown(Wide w, int shift) {
  if (shift >= 64) return w.high >> (shift - 64);
  if ((w.high >> shift) != 0) return std::nullopt;
  return (w.low >> shift) | (w.high << (64 - shift));
}

// Writes the 8 decimal digits of value (below 10^8, leading zeros kept) at
// out, two at a time, in two halves that do not wait for each other.
void writeEightDigits(std::uint32_t value, char* out) {
  const std::uint32_t high = value / 10'000, low = value % 10'000;
  writeTwoDigits(high / 100, out);
  writeTwoDigits(high % 100, out + 2);
  writeTwoDigits(low / 100, out + 4);
  writeTwoDigits(low % 100, out + 6);
}

// The 16 decimal digits of value (below 10^16, leading zeros kept).
void writeDigits(std::uint64_t value, std::array<char, kSignificantDigits>& text) {
  constexpr std::uint64_t kEightDigits = 100'000'000;
  writeEightDigits(static_cast<std::uint32_t>(value / kEightDigits), text.data());
  writeEightDigits(static_cast<std::uint32_t>(value % kEightDigits), text.data() + 8);
}

// The cut digits of a magnitude in [kQuickLow, kQuickHigh); nullopt outside.
std::optional<CutDigits> quickCutDigits(double magnitude) {
  if (!(magnitude >= kQuickLow && magnitude < kQuickHigh)) return std::nullopt;
  // Every value of the range is normal: the stored fraction and the hidden
  // one make m, and the biased exponent gives q.
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int binaryExponent = static_cast<int>(bits >> 52) - 1022;  // as frexp gives it
  const int twos = binaryExponent - kMantissaBits;
  // floor(log10) is this estimate or one more: 78913 / 2^18 is just below log10(2).
  int power = kSignificantDigits - 1 - (((binaryExponent - 1) * 78913) >> 18);
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (power < 0 || power > kMaxPower) return std::nullopt;
    const int shift = -(twos + power);
    if (shift <= 0 || shift >= 128) return std::nullopt;
    const auto scaled =
        shiftedDown(multiply(mantissa, kPowersOfFive[static_cast<std::size_t>(power)]), shift);
    if (!scaled || *scaled >= kSixteenDigits) {
      --power;
    } else if (*scaled < kFifteenDigits) {
      ++power;
    } else {
      CutDigits cut;
      writeDigits(*scaled, cut.text);
      cut.exponent = kSignificantDigits - power;
      return cut;
    }
  }
  return std::nullopt;
}

// Printed to a fixed precision, a value is rounded at the last printed digit.
// That rounding changes the first 16 digits only by a carry, which leaves the
// digits after them all 0; then, unless the text holds the value exactly, it
// is printed again with every digit of its exact expansion.
CutDigits cutDigits(double magnitude) {
  if (auto quick = quickCutDigits(magnitude)) return *quick;
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
  const int first = integerPlaces - integerDigits;  // where the first digit goes
  char* out = field.data();
  std::fill(out, out + first, ' ');
  std::fill(out + first, out + length, '0');
  if (sign) out[first - 1] = '-';
  if (decimals > 0) out[integerPlaces] = '.';
  // Digit i stands at the power exponent - 1 - i: the digits of powers 0 and
  // up end just before the point, the others follow it, down to 10^-decimals.
  const char* text = digits.text.data();
  const int whole = std::clamp(digits.exponent, 0, digits.count);
  const int shown = std::clamp(digits.exponent + decimals, whole, digits.count);
  if (whole > 0) std::copy(text, text + whole, out + integerPlaces - digits.exponent);
  if (shown > whole)
    std::copy(text + whole, text + shown, out + integerPlaces + 1 + whole - digits.exponent);
  return true;
}

// --- Fixed point from one integer ---------------------------------------------
//
// The common cases need no digit strings: an integer, and a real of up to 4
// decimals, are one integer count of the field's last place, written from the
// end backwards. A double is m * 2^q; times 10^d it is m * 5^d * 2^(q+d), and
// for d up to 4 m * 5^d stays below 2^64: the scaled value splits exactly into
// a whole part and a binary fraction. The digits the cut keeps beyond the
// last place are the first places of that fraction, so roundsUp's rule on
// them comes down to comparing the fraction with a half.

constexpr int kMaxExactDecimals = 4;
static_assert(kPowersOfFive[kMaxExactDecimals] < (std::uint64_t{1} << (64 - kMantissaBits)));

constexpr std::array<std::uint64_t, kSignificantDigits + 4> kPowersOfTen = [] {
  std::array<std::uint64_t, kSignificantDigits + 4> powers{};
  powers[0] = 1;
  for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
  return powers;
}();

// The number of decimal digits of value; 0 for 0.
int decimalDigits(std::uint64_t value) {
  // 1233 / 4096 is just below log10(2): the estimate is the digit count or
  // one less.
  const int estimate = (std::bit_width(value) * 1233) >> 12;
  return estimate + (value >= kPowersOfTen[static_cast<std::size_t>(estimate)] ? 1 : 0);
}

// A magnitude times 10^decimals: whole + fraction / 2^fractionBits.
struct Scaled {
  std::uint64_t whole = 0;
  std::uint64_t fraction = 0;
  int fractionBits = 0;  // 1 to 63
};

// Nullopt for zero and subnormals, for more than kMaxExactDecimals, and when
// the fraction needs no bits (a whole number of at least 2^52) or more than 63.
std::optional<Scaled> exactlyScaled(double magnitude, int decimals) {
  if (decimals > kMaxExactDecimals) return std::nullopt;
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const int biased = static_cast<int>(bits >> 52);
  if (biased == 0) return std::nullopt;
  const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int fractionBits = 1075 - biased - decimals;  // m * 2^q with q = biased - 1075
  if (fractionBits < 1 || fractionBits > 63) return std::nullopt;
  const std::uint64_t product = mantissa * kPowersOfFive[static_cast<std::size_t>(decimals)];
  return Scaled{product >> fractionBits, product & ((std::uint64_t{1} << fractionBits) - 1),
                fractionBits};
}

// Whether the fraction cut to that many decimal places (1 to 16) rounds up:
// from 5 in the first place, or from 4 followed by 9s alone when there is
// more than one place. The places, as an integer, are floor(fraction *
// 10^places / 2^bits); they reach the bound when fraction * 10^places does
// bound * 2^bits.
bool fractionRoundsUp(const Scaled& scaled, int places) {
  const auto index = static_cast<std::size_t>(places);
  const std::uint64_t bound = places == 1 ? 5 : 5 * kPowersOfTen[index - 1] - 1;
  const Wide shifted = multiply(scaled.fraction, kPowersOfTen[index]);
  const Wide limit{bound >> (64 - scaled.fractionBits), bound << scaled.fractionBits};
  return shifted.high > limit.high || (shifted.high == limit.high && shifted.low >= limit.low);
}

// The magnitude rounded at 10^-decimals as realDigits rounds it, as a count
// of that place; nullopt when exactlyScaled cannot tell or the cut stops
// short of the last place.
std::optional<std::uint64_t> exactlyRounded(double magnitude, int decimals) {
  if (magnitude == 0.0) return 0;
  const auto scaled = exactlyScaled(magnitude, decimals);
  if (!scaled) return std::nullopt;
  const std::uint64_t whole = scaled->whole;
  if (whole >= kFifteenDigits) {  // the cut ends at the last place, or above it
    if (whole >= kSixteenDigits) return std::nullopt;
    return whole;
  }
  // From a half of the last place the first place dropped is 5 or more. Below
  // 0.5 - 1/64 of it the dropped places are less than 49...9, however few
  // (at least 2 for a 4 to count); just there the places the cut keeps
  // decide. The halves are taken without a branch: either side is as likely.
  const std::uint64_t half = std::uint64_t{1} << (scaled->fractionBits - 1);
  const std::uint64_t nearHalf = half - (half >> 5);
  if (scaled->fraction - nearHalf < half - nearHalf) {
    const int kept = decimalDigits(whole);  // digits at 10^-decimals and above
    return whole + (fractionRoundsUp(*scaled, kSignificantDigits - kept) ? 1 : 0);
  }
  return whole + (scaled->fraction >= half ? 1 : 0);
}

// Writes the digits of value so that they end just before end, with leading
// zeros up to width digits, and returns where they start.
char* writeDigitsBefore(std::uint64_t value, char* end, int width) {
  char* p = end;
  constexpr std::uint64_t kEightDigits = 100'000'000;
  while (value >= kEightDigits) {
    p -= 8;
    writeEightDigits(static_cast<std::uint32_t>(value % kEightDigits), p);
    value /= kEightDigits;
  }
  auto rest = static_cast<std::uint32_t>(value);
  while (rest >= 100) {
    p -= 2;
    writeTwoDigits(rest % 100, p);
    rest /= 100;
  }
  if (rest >= 10) {
    p -= 2;
    writeTwoDigits(rest, p);
  } else if (rest > 0) {
    *--p = static_cast<char>('0' + rest);
  }
  while (end - p < width) *--p = '0';
  return p;
}

// Writes count / 10^countDecimals (countDecimals <= decimals, the places
// beyond them 0) as layOut does: the point at field length - decimals - 1,
// leading blanks, the '-' just before the first digit, a 0 before the point
// below one, no sign for zero. False, writing nothing, when it does not fit.
bool layOutCount(std::uint64_t count, int countDecimals, bool negative, int decimals,
                 std::span<char> field) {
  const int length = static_cast<int>(field.size());
  const int integerPlaces = decimals > 0 ? length - decimals - 1 : length;
  const int integerDigits = std::max(decimalDigits(count) - countDecimals, 1);
  const bool sign = negative && count != 0;
  if (integerDigits + (sign ? 1 : 0) > integerPlaces) return false;
  char* const out = field.data();
  fillBlanks(out, field.size());
  char* p = out + length;
  for (int place = countDecimals; place < decimals; ++place) *--p = '0';
  int places = countDecimals;
  for (; places >= 2; places -= 2, count /= 100) {
    p -= 2;
    writeTwoDigits(static_cast<unsigned>(count % 100), p);
  }
  if (places == 1) {
    *--p = static_cast<char>('0' + count % 10);
    count /= 10;
  }
  if (decimals > 0) *--p = '.';
  p = writeDigitsBefore(count, p, 1);
  if (sign) p[-1] = '-';
  return true;
}

// Writes nothing when the value does not fit.
bool writeNumber(const Number& value, int decimals, std::span<char> field) {
  if (value.isInteger) {
    const std::uint64_t magnitude = value.integer < 0
                                        ? 0 - static_cast<std::uint64_t>(value.integer)
                                        : static_cast<std::uint64_t>(value.integer);
    return layOutCount(magnitude, 0, value.integer < 0, decimals, field);
  }
  if (!std::isfinite(value.real)) return false;
  const double magnitude = std::fabs(value.real);
  const bool negative = std::signbit(value.real);
  if (const auto rounded = exactlyRounded(magnitude, decimals))
    return layOutCount(*rounded, decimals, negative, decimals, field);
  return layOut(realDigits(magnitude, decimals), negative, decimals, field);
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

bool formatNumberIfFits(const Number& value, int decimals, std::span<char> field) {
  return writeNumber(value, std::max(decimals, 0), field);
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
