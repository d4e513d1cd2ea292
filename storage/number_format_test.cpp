// Tests of the decimal text of numeric fields: right alignment, rounding,
// the 16-digit limit, signs, overflow to '*', and parsing the text back.

#include "storage/number_format.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>

namespace converte::storage {
namespace {

struct FormatRow {
  Number value;
  int length;
  int decimals;
  std::string_view expected;
  bool fits;
};

Number integer(std::int64_t value) { return Number::ofInteger(value); }
Number real(double value) { return Number::ofReal(value); }

constexpr double kInfinity = std::numeric_limits<double>::infinity();

void expectFormats(std::span<const FormatRow> rows) {
  for (const FormatRow& row : rows) {
    SCOPED_TRACE(::testing::Message() << FieldValue(row.value) << " into N(" << row.length << ","
                                      << row.decimals << ")");
    std::string field(static_cast<std::size_t>(row.length), '?');
    const bool fits = formatNumber(row.value, row.decimals, field);
    EXPECT_EQ(field, row.expected);
    EXPECT_EQ(fits, row.fits);
  }
}

TEST(NumberFormat, WritesIntegersRightAlignedWithZeroDecimals) {
  static constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  static constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  const FormatRow rows[] = {
      {integer(0), 1, 0, "0", true},
      {integer(0), 5, 2, " 0.00", true},
      {integer(12345), 5, 0, "12345", true},
      {integer(42), 8, 2, "   42.00", true},
      {integer(5), 3, 1, "5.0", true},
      {integer(-1234), 5, 0, "-1234", true},
      {integer(-7), 6, 2, " -7.00", true},
      {integer(kMax), 19, 0, "9223372036854775807", true},
      {integer(kMin), 20, 0, "-9223372036854775808", true},
      {integer(kMin), 24, 3, "-9223372036854775808.000", true},
  };
  expectFormats(rows);
}

TEST(NumberFormat, FillsTheFieldWithStarsWhenTheValueDoesNotFit) {
  const FormatRow rows[] = {
      {integer(123456), 5, 0, "*****", false},
      {integer(-12345), 5, 0, "*****", false},  // the sign needs a sixth place
      {integer(123), 4, 2, "****", false},
      {integer(std::numeric_limits<std::int64_t>::min()), 19, 0, "*******************", false},
      {real(99.995), 5, 2, "*****", false},  // rounds to 100.00
      {real(9.5), 1, 0, "*", false},         // rounds to 10
      {real(-9.995), 5, 2, "*****", false},  // rounds to -10.00
      {real(-0.5), 4, 2, "****", false},     // -0.50 needs five places
      {real(1e300), 20, 2, "********************", false},
      {real(kInfinity), 10, 2, "**********", false},
      {real(-kInfinity), 10, 2, "**********", false},
      {real(std::numeric_limits<double>::quiet_NaN()), 5, 0, "*****", false},
      {real(std::numeric_limits<double>::max()), 10, 2, "**********", false},
      // Decimals leaving no place before the point: not even "0" fits.
      {real(0.5), 3, 2, "***", false},
      {integer(0), 2, 2, "**", false},
  };
  expectFormats(rows);
}

TEST(NumberFormat, RoundsRealsHalfAwayFromZero) {
  const FormatRow rows[] = {
      {real(1234.567), 10, 2, "   1234.57", true},
      {real(-1234.5), 7, 1, "-1234.5", true},
      {real(2.5), 3, 0, "  3", true},
      {real(-2.5), 3, 0, " -3", true},
      {real(0.5), 1, 0, "1", true},
      {real(0.4), 1, 0, "0", true},
      {real(0.125), 4, 2, "0.13", true},  // exact in binary: a true half
      {real(-0.005), 5, 2, "-0.01", true},
      {real(123.456), 7, 0, "    123", true},
      {real(99.995), 6, 2, "100.00", true},  // the carry takes the blank before
      {real(9.96), 4, 1, "10.0", true},
      {real(0.999), 4, 2, "1.00", true},
      {real(-0.999), 5, 2, "-1.00", true},
      {real(-9.995), 6, 2, "-10.00", true},
      {real(99999.99), 8, 2, "99999.99", true},
  };
  expectFormats(rows);
}

TEST(NumberFormat, TreatsFourFollowedByNinesAsAHalf) {
  const FormatRow rows[] = {
      {real(8.995), 5, 2, " 9.00", true},   // 8.99499999999999921...
      {real(1.005), 4, 2, "1.01", true},    // 1.00499999999999989...
      {real(2.675), 4, 2, "2.68", true},    // 2.67499999999999982...
      {real(-8.995), 5, 2, "-9.00", true},  // the same digits, negative
      // 0.00499999999999999923...: the deciding 4 is the first significant digit.
      {real(0.004999999999999999), 4, 2, "0.01", true},
      // 1.00499998999...: the run of 9s ends before the 16th digit.
      {real(1.00499999), 4, 2, "1.00", true},
      // 1.00000000000000444...: a 4 in the 16th digit has no 9s after it.
      {real(1.0000000000000044), 16, 14, "1.00000000000000", true},
  };
  expectFormats(rows);
}

TEST(NumberFormat, WritesZerosBeyondTheSixteenthSignificantDigit) {
  const FormatRow rows[] = {
      // 1234567890.12345671653...
      {real(1234567890.123456789), 20, 9, "1234567890.123456000", true},
      // 12345678901234567168
      {real(12345678901234567890.0), 20, 0, "12345678901234560000", true},
      {real(1e20), 25, 2, " 100000000000000000000.00", true},
      // The 17th digit is not produced, so it rounds nothing: 0.69999999999999995559...
      {real(0.7), 18, 16, "0.6999999999999999", true},
      {real(1000000000000000.5), 16, 0, "1000000000000000", true},
      // 1.37674539895906899999999950...: cut, though nine 9s follow the 16th digit.
      {real(1.376745398959069), 18, 16, "1.3767453989590680", true},
      // ...while a 9 in the 16th digit still rounds the 15th.
      {real(0.7), 17, 15, "0.700000000000000", true},
  };
  expectFormats(rows);
}

TEST(NumberFormat, WritesAZeroBeforeThePointBelowOne) {
  const FormatRow rows[] = {
      {real(0.25), 4, 2, "0.25", true},
      {real(0.0), 1, 0, "0", true},
      {real(0.0), 5, 2, " 0.00", true},
      {real(0.001), 5, 2, " 0.00", true},
      {real(1e-20), 10, 2, "      0.00", true},
      {real(5e-324), 5, 2, " 0.00", true},
      {real(0.05), 6, 3, " 0.050", true},
  };
  expectFormats(rows);
}

TEST(NumberFormat, PutsTheMinusJustBeforeTheFirstDigit) {
  const FormatRow rows[] = {
      {real(-0.5), 5, 2, "-0.50", true},
      {real(-0.5), 8, 2, "   -0.50", true},
      {real(-12.25), 8, 2, "  -12.25", true},
      {real(-3.0), 3, 0, " -3", true},
      {real(-0.05), 7, 3, " -0.050", true},
  };
  expectFormats(rows);
}

// A value that rounds to zero at the field's decimals is written as zero,
// without a sign: a "-0.00" would show a negative amount that is not there.
TEST(NumberFormat, WritesNoSignForANegativeValueThatRoundsToZero) {
  const FormatRow rows[] = {
      {real(-0.001), 5, 2, " 0.00", true},
      {real(-0.004), 4, 2, "0.00", true},
      {real(-1e-20), 10, 2, "      0.00", true},
      {real(-0.0), 5, 2, " 0.00", true},
      {real(-0.4), 2, 0, " 0", true},
  };
  expectFormats(rows);
}

TEST(NumberFormat, WritesOnlyItsOwnField) {
  std::string record = "[..........]";
  const std::span<char> field(record.data() + 1, 10);
  EXPECT_TRUE(formatNumber(real(-0.5), 2, field));
  EXPECT_EQ(record, "[     -0.50]");
  EXPECT_FALSE(formatNumber(real(1e10), 2, field));
  EXPECT_EQ(record, "[**********]");
}

struct ParseRow {
  std::string_view text;
  int length;
  int decimals;
  Number expected;
};

Number parsedInteger(std::int64_t value, int width, int decimals = 0) {
  return Number{true, value, 0.0, width, decimals};
}
Number parsedReal(double value, int width, int decimals) {
  return Number{false, 0, value, width, decimals};
}

void expectParses(std::span<const ParseRow> rows) {
  for (const ParseRow& row : rows) {
    SCOPED_TRACE(::testing::Message() << '"' << row.text << "\" in N(" << row.length << ","
                                      << row.decimals << ")");
    EXPECT_EQ(FieldValue(parseNumber(row.text, row.length, row.decimals)),
              FieldValue(row.expected));
  }
}

TEST(NumberParse, ReadsIntegersAndRealsWithTheFieldsWidthAndDecimals) {
  const ParseRow rows[] = {
      {"   1234.57", 10, 2, parsedReal(1234.57, 7, 2)},
      {"-1234.5", 7, 1, parsedReal(-1234.5, 5, 1)},
      {"  -12", 5, 0, parsedInteger(-12, 5)},
      {"+5", 2, 0, parsedInteger(5, 2)},
      {" 0.00", 5, 2, parsedReal(0.0, 2, 2)},
      {"-0.50", 5, 2, parsedReal(-0.5, 2, 2)},
      {"  .5", 4, 1, parsedReal(0.5, 2, 1)},
      {"-.5", 3, 1, parsedReal(-0.5, 1, 1)},
      {"12.", 3, 0, parsedReal(12.0, 3, 0)},  // a point makes it a real
      {"      12", 8, 2, parsedInteger(12, 5, 2)},
      {"9223372036854775807", 19, 0, parsedInteger(std::numeric_limits<std::int64_t>::max(), 19)},
      {"-9223372036854775808", 20, 0,
       parsedInteger(std::numeric_limits<std::int64_t>::min(), 20)},
  };
  expectParses(rows);
}

TEST(NumberParse, ReadsIntegersTooLargeForSixtyFourBitsAsReals) {
  const ParseRow rows[] = {
      {"99999999999999999999", 20, 0, parsedReal(1e20, 20, 0)},
      {"9223372036854775808", 19, 0, parsedReal(9223372036854775808.0, 19, 0)},
      {"-9223372036854775809", 20, 0, parsedReal(-9223372036854775809.0, 20, 0)},
      {"123456789012345678901234567890", 30, 0, parsedReal(1.2345678901234568e29, 30, 0)},
  };
  expectParses(rows);
}

TEST(NumberParse, StopsAtTheFirstCharacterThatIsNotPartOfTheNumber) {
  const ParseRow rows[] = {
      {"  12abc", 7, 0, parsedInteger(12, 7)},
      {"1.2.3", 5, 1, parsedReal(1.2, 3, 1)},
      {"12 34", 5, 0, parsedInteger(12, 5)},
      {"1e5", 3, 0, parsedInteger(1, 3)},
      {"0x1A", 4, 0, parsedInteger(0, 4)},
      {"-12-3", 5, 0, parsedInteger(-12, 5)},
  };
  expectParses(rows);
}

TEST(NumberParse, GivesZeroForTextWithoutDigits) {
  const ParseRow rows[] = {
      {"", 5, 0, parsedInteger(0, 5)},
      {"     ", 5, 0, parsedInteger(0, 5)},
      {"*****", 5, 0, parsedInteger(0, 5)},
      {"**********", 10, 2, parsedInteger(0, 7, 2)},
      {"  - 12", 6, 0, parsedInteger(0, 6)},
      {"--5", 3, 0, parsedInteger(0, 3)},
      {"+-5", 3, 0, parsedInteger(0, 3)},
      {"-", 1, 0, parsedInteger(0, 1)},
      {" . ", 3, 1, parsedInteger(0, 1, 1)},
      {"\t12", 3, 0, parsedInteger(0, 3)},  // only blanks are skipped
  };
  expectParses(rows);
}

TEST(NumberParse, ReadsBackWhatWasFormatted) {
  struct RoundTrip {
    FormatRow format;
    Number parsed;
  };
  const RoundTrip rows[] = {
      {{real(1234.567), 10, 2, "   1234.57", true}, parsedReal(1234.57, 7, 2)},
      {{real(-0.5), 5, 2, "-0.50", true}, parsedReal(-0.5, 2, 2)},
      {{integer(-42), 6, 0, "   -42", true}, parsedInteger(-42, 6)},
      {{integer(7), 6, 2, "  7.00", true}, parsedReal(7.0, 3, 2)},
  };
  for (const RoundTrip& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.format.expected);
    expectFormats(std::span(&row.format, 1));
    std::string field(static_cast<std::size_t>(row.format.length), '?');
    formatNumber(row.format.value, row.format.decimals, field);
    EXPECT_EQ(FieldValue(parseNumber(field, row.format.length, row.format.decimals)),
              FieldValue(row.parsed));
  }
}

}  // namespace
}  // namespace converte::storage
