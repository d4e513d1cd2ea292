// The decimal text of numeric fields checked value by value against the
// formatting rules worked out on digit strings: the exact decimal expansion of
// the double, cut at 16 significant digits, rounded at the field's last place.

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "storage/number_format.h"

namespace converte::storage {
namespace {

constexpr int kSignificant = 16;

// The significant digits of a positive finite value's exact expansion (every
// digit of it) and its decimal exponent: digits[0] stands at 10^(exponent-1).
struct Expansion {
  std::string digits;
  int exponent = 0;
};

Expansion exactExpansion(double magnitude) {
  std::array<char, 1024> text{};
  const auto printed = std::to_chars(text.data(), text.data() + text.size(), magnitude,
                                     std::chars_format::scientific, 767);
  const std::string scientific(text.data(), printed.ptr);
  const std::size_t e = scientific.find('e');
  Expansion expansion;
  expansion.digits = scientific.substr(0, 1) + scientific.substr(2, e - 2);
  expansion.exponent = std::stoi(scientific.substr(e + 1)) + 1;
  return expansion;
}

// Adds one to a string of decimal digits.
std::string increment(std::string digits) {
  int i = static_cast<int>(digits.size()) - 1;
  while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9')
    digits[static_cast<std::size_t>(i--)] = '0';
  if (i < 0) return "1" + digits;
  ++digits[static_cast<std::size_t>(i)];
  return digits;
}

// The digits of the value in units of 10^-decimals, by the rules.
std::string unitsByTheRules(double magnitude, int decimals) {
  if (magnitude == 0.0) return "";
  const Expansion expansion = exactExpansion(magnitude);
  std::string cut = expansion.digits.substr(0, kSignificant);
  cut.resize(kSignificant, '0');
  const int kept = expansion.exponent + decimals;
  if (kept < 0) return "";
  if (kept >= kSignificant)
    return cut + std::string(static_cast<std::size_t>(kept - kSignificant), '0');
  const std::string prefix = cut.substr(0, static_cast<std::size_t>(kept));
  const char deciding = cut[static_cast<std::size_t>(kept)];
  const std::string after = cut.substr(static_cast<std::size_t>(kept) + 1);
  const bool up = deciding >= '5' || (deciding == '4' && !after.empty() &&
                                      after.find_first_not_of('9') == std::string::npos);
  return up ? increment(prefix) : prefix;
}

// The field text by the rules, or stars when the number does not fit.
std::string fieldByTheRules(std::string units, bool negative, int length, int decimals) {
  units.erase(0, std::min(units.find_first_not_of('0'), units.size()));
  const bool zero = units.empty();
  if (units.size() < static_cast<std::size_t>(decimals) + 1)
    units.insert(0, static_cast<std::size_t>(decimals) + 1 - units.size(), '0');
  std::string text = units.substr(0, units.size() - static_cast<std::size_t>(decimals));
  if (decimals > 0) text += "." + units.substr(units.size() - static_cast<std::size_t>(decimals));
  if (negative && !zero) text.insert(0, 1, '-');
  if (text.size() > static_cast<std::size_t>(length))
    return std::string(static_cast<std::size_t>(length), '*');
  return std::string(static_cast<std::size_t>(length) - text.size(), ' ') + text;
}

std::string realByTheRules(double value, int length, int decimals) {
  if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(length), '*');
  return fieldByTheRules(unitsByTheRules(std::fabs(value), decimals), std::signbit(value), length,
                         decimals);
}

std::string integerByTheRules(std::int64_t value, int length, int decimals) {
  const std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  std::string units = magnitude == 0 ? "" : std::to_string(magnitude);
  if (!units.empty()) units += std::string(static_cast<std::size_t>(decimals), '0');
  return fieldByTheRules(units, value < 0, length, decimals);
}

struct Shape {
  int length;
  int decimals;
};

// Field shapes of the suite's tables and the edges around them.
const std::vector<Shape>& shapes() {
  static const std::vector<Shape> all = {{1, 0},   {3, 1},   {5, 0},  {6, 2},  {8, 3},  {10, 2},
                                         {12, 2},  {14, 4},  {15, 5}, {18, 8}, {19, 0}, {20, 15},
                                         {22, 19}, {24, 20}, {30, 2}, {33, 4}, {40, 2}, {40, 30}};
  return all;
}

class Values {
 public:
  explicit Values(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {  // xorshift64*
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 2685821657736338717ULL;
  }
  // A double of any bit pattern whose magnitude lies within [10^low, 10^high).
  double between(int low, int high) {
    const double span = static_cast<double>(high - low);
    const double exponent = low + span * static_cast<double>(next() >> 11) / 9007199254740992.0;
    const double value = std::pow(10.0, exponent);
    return (next() & 1) != 0 ? -value : value;
  }

 private:
  std::uint64_t state_;
};

void expectRealByTheRules(double value) {
  for (const Shape& shape : shapes()) {
    std::string field(static_cast<std::size_t>(shape.length), '?');
    const bool fits = formatNumber(Number::ofReal(value), shape.decimals, field);
    const std::string expected = realByTheRules(value, shape.length, shape.decimals);
    ASSERT_EQ(field, expected) << "value " << value << " (" << std::hexfloat << value
                               << std::defaultfloat << ") into N(" << shape.length << ","
                               << shape.decimals << ")";
    ASSERT_EQ(fits, expected.front() != '*');
  }
}

TEST(NumberFormatRules, RandomRealsOfEveryMagnitude) {
  Values values(20241210);
  for (int i = 0; i < 20000; ++i) expectRealByTheRules(values.between(-15, 17));
  for (int i = 0; i < 1000; ++i) expectRealByTheRules(values.between(-300, 300));
}

// Amounts as the suite keeps them: whole units of a last place, divided down.
TEST(NumberFormatRules, AmountsOfTwoToFourDecimals) {
  Values values(7);
  for (int i = 0; i < 20000; ++i) {
    const auto units = static_cast<std::int64_t>(values.next() % 100'000'000'000ULL);
    const int decimals = 2 + static_cast<int>(values.next() % 3);
    expectRealByTheRules(static_cast<double>(units) / std::pow(10.0, decimals));
    expectRealByTheRules(-static_cast<double>(units) / std::pow(10.0, decimals));
  }
}

// Amounts a half of a last place away from a whole one, and their neighbours:
// where the places the cut keeps beyond the last one decide, in fields of up
// to 16 digits.
TEST(NumberFormatRules, AmountsAtAHalfOfTheLastPlace) {
  Values values(31);
  for (int i = 0; i < 5000; ++i) {
    const int digits = 1 + static_cast<int>(values.next() % 16);
    const auto units =
        static_cast<double>(values.next() % static_cast<std::uint64_t>(std::pow(10.0, digits)));
    const int decimals = static_cast<int>(values.next() % 5);
    const double half = (units + 0.5) / std::pow(10.0, decimals);
    for (double value : {half, std::nextafter(half, 0.0), std::nextafter(half, 1e300)}) {
      expectRealByTheRules(value);
      expectRealByTheRules(-value);
    }
  }
}

// Values at a half of a last place, just below one, and at the edges of the
// digit counts, where rounding and carries decide.
TEST(NumberFormatRules, HalvesCarriesAndEdges) {
  std::vector<double> edges = {0.0,
                               -0.0,
                               0.5,
                               0.05,
                               0.005,
                               0.0005,
                               0.00005,
                               0.995,
                               9.995,
                               99.995,
                               8.995,
                               1.005,
                               2.675,
                               1.115,
                               0.045,
                               0.4999999999999999,
                               999999.995,
                               9999999999.995,
                               99999999.99499999,
                               1e15,
                               1e16,
                               1e17,
                               999999999999999.9,
                               9999999999999998.0,
                               1e-12,
                               9.99999999999e-13,
                               1e-13,
                               5e-13,
                               123456789012345.6,
                               0.1,
                               0.2,
                               0.3,
                               1.0 / 3.0,
                               2.0 / 3.0,
                               std::numeric_limits<double>::min(),
                               std::numeric_limits<double>::denorm_min(),
                               std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN()};
  for (int p = -14; p <= 18; ++p) {
    const double power = std::pow(10.0, p);
    for (double near : {std::nextafter(power, 0.0), power, std::nextafter(power, 1e300)})
      edges.push_back(near);
    edges.push_back(5 * power);
    edges.push_back(std::nextafter(5 * power, 0.0));
    edges.push_back(power - power / 1000);
  }
  for (double value : edges) {
    expectRealByTheRules(value);
    expectRealByTheRules(-value);
  }
}

TEST(NumberFormatRules, IntegersOfEveryLength) {
  Values values(99);
  std::vector<std::int64_t> integers = {0,
                                        1,
                                        -1,
                                        9,
                                        10,
                                        99,
                                        100,
                                        std::numeric_limits<std::int64_t>::max(),
                                        std::numeric_limits<std::int64_t>::min()};
  for (std::int64_t power = 1;; power *= 10) {
    for (std::int64_t near : {power - 1, power, power + 1}) {
      integers.push_back(near);
      integers.push_back(-near);
    }
    if (power > std::numeric_limits<std::int64_t>::max() / 10) break;
  }
  for (int i = 0; i < 5000; ++i)
    integers.push_back(static_cast<std::int64_t>(values.next()) >> (values.next() % 63));
  for (std::int64_t value : integers) {
    for (const Shape& shape : shapes()) {
      std::string field(static_cast<std::size_t>(shape.length), '?');
      const bool fits = formatNumber(Number::ofInteger(value), shape.decimals, field);
      const std::string expected = integerByTheRules(value, shape.length, shape.decimals);
      ASSERT_EQ(field, expected) << value << " into N(" << shape.length << "," << shape.decimals
                                 << ")";
      ASSERT_EQ(fits, expected.front() != '*');
    }
  }
}

// What does not fit leaves the field as it was; what fits is written as
// formatNumber writes it.
TEST(NumberFormatRules, FormatIfFitsWritesNothingForANumberTooWide) {
  const Number numbers[] = {Number::ofInteger(123456),
                            Number::ofInteger(-12345),
                            Number::ofReal(99999.995),
                            Number::ofReal(-0.004),
                            Number::ofReal(std::numeric_limits<double>::infinity()),
                            Number::ofReal(1e300),
                            Number::ofInteger(42)};
  for (const Number& number : numbers) {
    for (const Shape& shape : shapes()) {
      std::string formatted(static_cast<std::size_t>(shape.length), '?');
      const bool fits = formatNumber(number, shape.decimals, formatted);
      std::string field(static_cast<std::size_t>(shape.length), '?');
      EXPECT_EQ(formatNumberIfFits(number, shape.decimals, field), fits);
      EXPECT_EQ(field, fits ? formatted : std::string(field.size(), '?'))
          << FieldValue(number) << " into N(" << shape.length << "," << shape.decimals << ")";
    }
  }
}

}  // namespace
}  // namespace converte::storage
