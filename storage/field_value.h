// FieldValue: the value exchanged with a table's fields — nothing, a
// character string, a number, a date or a logical.

#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <variant>

namespace converte::storage {

// A number as read from or put into a numeric field: an integer or a
// floating-point value, with the width and decimals it displays with.
struct Number {
  bool isInteger = true;
  std::int64_t integer = 0;
  double real = 0.0;
  int width = 10;
  int decimals = 0;

  static Number ofInteger(std::int64_t value, int width = 10) {
    return Number{true, value, 0.0, width, 0};
  }
  static Number ofReal(double value, int width = 10, int decimals = 2) {
    return Number{false, 0, value, width, decimals};
  }
  double asDouble() const { return isInteger ? static_cast<double>(integer) : real; }
  bool operator==(const Number&) const = default;
};

// A calendar date; year 0 is the empty date.
struct Date {
  int year = 0;
  int month = 0;
  int day = 0;

  bool isEmpty() const { return year == 0; }
  bool operator==(const Date&) const = default;
};

class FieldValue {
 public:
  FieldValue() = default;
  FieldValue(std::string text) : v_(std::move(text)) {}
  FieldValue(const char* text) : v_(std::string(text)) {}
  FieldValue(Number number) : v_(number) {}
  FieldValue(Date date) : v_(date) {}
  FieldValue(bool logical) : v_(logical) {}

  bool isNothing() const { return v_.index() == 0; }
  bool isString() const { return v_.index() == 1; }
  bool isNumber() const { return v_.index() == 2; }
  bool isDate() const { return v_.index() == 3; }
  bool isLogical() const { return v_.index() == 4; }

  const std::string& string() const { return std::get<1>(v_); }
  const Number& number() const { return std::get<2>(v_); }
  const Date& date() const { return std::get<3>(v_); }
  bool logical() const { return std::get<4>(v_); }

  // Makes this value a string and hands it back for filling; the string's
  // storage is reused when the value already held one.
  std::string& setString() {
    if (!isString()) v_ = std::string();
    return std::get<1>(v_);
  }
  void set(Number number) { v_ = number; }
  void set(Date date) { v_ = date; }
  void set(bool logical) { v_ = logical; }
  void clear() { v_ = std::monostate(); }

  bool operator==(const FieldValue&) const = default;

 private:
  std::variant<std::monostate, std::string, Number, Date, bool> v_;
};

void PrintTo(const FieldValue& value, std::ostream* os);
std::ostream& operator<<(std::ostream& os, const FieldValue& value);

}  // namespace converte::storage
