// Key expressions and key encoding for NTX indexes.

#include "storage/index_key.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "storage/number_format.h"
#include "storage/text_util.h"

namespace converte::storage {
namespace {

bool isNameChar(char c) {
  return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// One operand: NAME, FIELD->NAME or ALIAS->NAME, blanks around it.
std::optional<std::string> operandName(std::string_view text) {
  std::string t = upperTrimmed(text);
  if (auto arrow = t.find("->"); arrow != std::string::npos) {
    std::string prefix = upperTrimmed(t.substr(0, arrow));
    if (prefix.empty()) return std::nullopt;
    for (char c : prefix)
      if (!isNameChar(c)) return std::nullopt;
    t = upperTrimmed(t.substr(arrow + 2));
  }
  if (t.empty() || (t[0] >= '0' && t[0] <= '9')) return std::nullopt;
  for (char c : t)
    if (!isNameChar(c)) return std::nullopt;
  return t;
}

}  // namespace

std::optional<KeyExpression> KeyExpression::parse(std::string_view text) {
  KeyExpression expression;
  std::size_t start = 0;
  for (;;) {
    std::size_t plus = text.find('+', start);
    auto name = operandName(text.substr(start, plus == std::string_view::npos ? plus : plus - start));
    if (!name) return std::nullopt;
    expression.names_.push_back(*name);
    if (plus == std::string_view::npos) break;
    start = plus + 1;
  }
  return expression;
}

std::optional<std::vector<int>> KeyExpression::resolve(const std::vector<Field>& fields) const {
  std::vector<int> positions;
  for (const auto& name : names_) {
    int found = 0;
    for (std::size_t i = 0; i < fields.size() && found == 0; ++i)
      if (std::string_view(fields[i].name).substr(0, 10) == std::string_view(name).substr(0, 10))
        found = static_cast<int>(i) + 1;
    if (found == 0) return std::nullopt;
    positions.push_back(found);
  }
  return positions;
}

std::optional<KeyShape> keyShapeOf(const FieldValue& blank) {
  if (blank.isString()) {
    return KeyShape{KeyShape::Character, static_cast<int>(std::min<std::size_t>(blank.string().size(), 256)), 0};
  }
  if (blank.isNumber()) {
    const Number& n = blank.number();
    int length = n.width + (n.decimals > 0 ? n.decimals + 1 : 0);
    return KeyShape{KeyShape::Numeric, length, n.decimals};
  }
  if (blank.isDate()) return KeyShape{KeyShape::DateKey, 8, 0};
  if (blank.isLogical()) return KeyShape{KeyShape::Logical, 1, 0};
  return std::nullopt;
}

std::string encodeKey(const FieldValue& value, const KeyShape& shape, bool partial) {
  auto length = static_cast<std::size_t>(shape.length);
  switch (shape.kind) {
    case KeyShape::Character: {
      std::string key = value.isString() ? value.string() : std::string();
      if (key.size() > length) key.resize(length);
      if (!partial) key.resize(length, ' ');
      return key;
    }
    case KeyShape::Numeric: {
      std::array<char, 256> text{};
      std::span<char> field(text.data(), length);
      Number n = value.isNumber() ? value.number() : Number::ofInteger(0);
      formatNumber(n, shape.decimals, field);
      bool negative = false;
      for (char& c : field) {
        if (c == ' ') c = '0';
        if (c == '-') {
          c = '0';
          negative = true;
        }
      }
      if (negative)
        for (char& c : field)
          if (c >= '0' && c <= '9') c = static_cast<char>(44 - (c - '0'));
      return std::string(field.begin(), field.end());
    }
    case KeyShape::DateKey: {
      if (!value.isDate() || value.date().isEmpty()) return std::string(8, ' ');
      const Date& d = value.date();
      char text[9];
      std::snprintf(text, sizeof text, "%04d%02d%02d", d.year % 10000, d.month % 100, d.day % 100);
      return std::string(text, 8);
    }
    case KeyShape::Logical:
      return value.isLogical() && value.logical() ? "T" : "F";
  }
  return {};
}

}  // namespace converte::storage
