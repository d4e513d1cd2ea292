// Reading and writing one field of the current record: the conversions of
// each type, the put rules, and the errors a put may raise.

#include <cmath>
#include <algorithm>
#include <cstring>

#include "storage/digit_pairs.h"
#include "storage/driver_error.h"
#include "storage/memo_reference.h"
#include "storage/number_format.h"
#include "storage/open_table.h"
#include "storage/short_moves.h"
#include "storage/work_area.h"

namespace converte::storage {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int digitsValue(const char* p, int n) {
  int v = 0;
  for (int i = 0; i < n; ++i) v = v * 10 + (p[i] - '0');
  return v;
}

Date parseDate(const char* p) {
  for (int i = 0; i < 8; ++i)
    if (!isDigit(p[i])) return Date{};
  Date d{digitsValue(p, 4), digitsValue(p + 4, 2), digitsValue(p + 6, 2)};
  if (d.year == 0 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31) return Date{};
  return d;
}

// Dates of four-digit years take the pairs; the others keep the last digit
// of each quotient, whatever the parts hold.
void storeDate(const Date& d, char* p) {
  if (d.isEmpty()) {
    std::memset(p, ' ', 8);
    return;
  }
  if (d.year > 0 && d.year <= 9999 && d.month >= 0 && d.month <= 99 && d.day >= 0 && d.day <= 99) {
    writeTwoDigits(static_cast<unsigned>(d.year / 100), p);
    writeTwoDigits(static_cast<unsigned>(d.year % 100), p + 2);
    writeTwoDigits(static_cast<unsigned>(d.month), p + 4);
    writeTwoDigits(static_cast<unsigned>(d.day), p + 6);
    return;
  }
  const auto digit = [](int v) { return static_cast<char>('0' + v % 10); };
  p[0] = digit(d.year / 1000);
  p[1] = digit(d.year / 100);
  p[2] = digit(d.year / 10);
  p[3] = digit(d.year);
  p[4] = digit(d.month / 10);
  p[5] = digit(d.month);
  p[6] = digit(d.day / 10);
  p[7] = digit(d.day);
}

std::int64_t loadSigned(const char* p, int n) {
  std::uint64_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  if (n < 8 && (v >> (8 * n - 1)) & 1) v |= ~std::uint64_t{0} << (8 * n);
  return static_cast<std::int64_t>(v);
}

void storeSigned(std::int64_t value, char* p, int n) {
  auto v = static_cast<std::uint64_t>(value);
  for (int i = 0; i < n; ++i, v >>= 8) p[i] = static_cast<char>(v & 0xFF);
}

double pow10(int d) { return std::pow(10.0, d); }

}  // namespace

// A memo field's block reference: decimal digits right-aligned with leading
std::optional<std::uint32_t> memoBlockOf(const Field& field, const char* bytes) {
  if (field.length == 4) return static_cast<std::uint32_t>(loadSigned(bytes, 4) & 0xFFFFFFFF);
  int i = 0;
  while (i < field.length && bytes[i] == ' ') ++i;
  std::uint64_t block = 0;
  for (; i < field.length; ++i) {
    if (!isDigit(bytes[i])) return std::nullopt;
    block = block * 10 + static_cast<std::uint64_t>(bytes[i] - '0');
  }
  if (block > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(block);
}

void storeMemoBlock(const Field& field, std::uint32_t block, char* bytes) {
  if (field.length == 4) {
    storeSigned(block, bytes, 4);
    return;
  }
  std::memset(bytes, ' ', static_cast<std::size_t>(field.length));
  for (int i = field.length - 1; block != 0 && i >= 0; --i, block /= 10)
    bytes[i] = static_cast<char>('0' + block % 10);
}

void WorkArea::raiseFieldError(int subCode, const Field& field) {
  raiseDriverError(env_, {0, subCode, "", field.name, 0, kOfferDefault});
}

void WorkArea::readMemoText(const Field& field, const char* bytes, std::string& out) {
  OpenTable& t = *table_;
  out.clear();
  auto block = memoBlockOf(field, bytes);
  if (!block) {
    raiseDriverError(env_, {0, kSubCorruption, t.fileName, field.name, 0, kOfferDefault});
    return;
  }
  if (*block == 0) return;
  if (!t.memo) {
    raiseDriverError(env_, {0, kSubCorruption, t.fileName, field.name, 0, kOfferDefault});
    return;
  }
  t.memo->read(*block, out);
}

void WorkArea::readField(int position, FieldValue& out) {
  OpenTable& t = table();
  if (position < 1 || position > fieldCount()) {
    raiseDriverError(env_, {errors::kGenArgument, kSubArgument, "", "getField"});
  }
  loadRecord();
  const Field& f = t.fields[static_cast<std::size_t>(position - 1)];
  const char* p = t.buffer.data() + f.offset;
  if (isMemoField(f)) {
    readMemoText(f, p, out.setString());
    return;
  }
  switch (f.type) {
    case 'C':
    case 'Q':
      out.setString().assign(p, static_cast<std::size_t>(f.length));
      return;
    case 'N':
    case 'F':
      out.set(parseNumber(std::string_view(p, static_cast<std::size_t>(f.length)), f.length,
                          f.decimals));
      return;
    case 'D':
      if (f.length == 8) {
        out.set(parseDate(p));
        return;
      }
      break;
    case 'L':
      out.set(*p == 'T' || *p == 't' || *p == 'Y' || *p == 'y');
      return;
    case 'I':
    case '+':
    case '^': {
      std::int64_t v = loadSigned(p, f.length);
      if (f.decimals > 0) {
        out.set(Number::ofReal(static_cast<double>(v) / pow10(f.decimals), 20, f.decimals));
      } else {
        out.set(Number::ofInteger(v, f.type == '^' ? 20 : 11));
      }
      return;
    }
    case 'B':
    case '8':
    case 'O': {
      double v;
      std::memcpy(&v, p, 8);
      out.set(Number::ofReal(v, 20, f.decimals));
      return;
    }
    default:
      break;
  }
  out.clear();
  raiseFieldError(kSubDataType, f);
}

FieldValue WorkArea::getField(int position) {
  FieldValue value;
  readField(position, value);
  return value;
}

}  // namespace converte::storage

namespace converte::storage {
namespace {

enum class Put { Stored, WrongType, TooWide, Memo };

// Stores a value of the field's own kind into its bytes by the put rules.
// Nothing is stored for a value of another type, a number too wide for the
// field, or a memo field (its text goes to the memo file). The text types
// come first: they are the common ones.
Put storeValue(const Field& f, char* p, const FieldValue& value) {
  switch (f.type) {
    case 'C':
    case 'Q': {
      if (!value.isString()) return Put::WrongType;
      const auto length = static_cast<std::size_t>(f.length);
      fillBlanks(p, length);
      copyBytes(p, value.string().data(), std::min(value.string().size(), length), length);
      return Put::Stored;
    }
    case 'N':
    case 'F':
      if (!value.isNumber()) return Put::WrongType;
      if (!formatNumberIfFits(value.number(), f.decimals,
                              std::span<char>(p, static_cast<std::size_t>(f.length))))
        return Put::TooWide;
      return Put::Stored;
    case 'D':
      if (f.length != 8 || !value.isDate()) return Put::WrongType;
      storeDate(value.date(), p);
      return Put::Stored;
    case 'L':
      if (!value.isLogical()) return Put::WrongType;
      *p = value.logical() ? 'T' : 'F';
      return Put::Stored;
    case 'I': {
      if (!value.isNumber()) return Put::WrongType;
      const Number& n = value.number();
      double scaled = n.asDouble() * pow10(f.decimals);
      storeSigned(f.decimals == 0 && n.isInteger ? n.integer : std::llround(scaled), p, f.length);
      return Put::Stored;
    }
    case 'B':
    case '8':
    case 'O': {
      if (isMemoField(f)) return Put::Memo;
      if (!value.isNumber()) return Put::WrongType;
      double v = value.number().asDouble();
      std::memcpy(p, &v, 8);
      return Put::Stored;
    }
    default:
      return isMemoField(f) ? Put::Memo : Put::WrongType;
  }
}

}  // namespace

void WorkArea::prepareChange() {
  OpenTable& t = *table_;
  if (t.changed) return;
  if (t.readOnly) raiseDriverError(env_, {0, kSubReadOnly, t.fileName, ""});
  if (t.shared && !t.fileLocked &&
      std::find(t.lockedRecords.begin(), t.lockedRecords.end(), t.recNo) == t.lockedRecords.end()) {
    raiseDriverError(env_, {0, kSubUnlocked, t.fileName, ""});
  }
  loadRecord();
  if (!t.orders.empty() && t.positioned) rememberKeys();
}

// A number too wide for its field: the width error, and when it is answered
// default the field holds '*'.
bool WorkArea::putNumber(const Field& f, char* p, const Number&) {
  raiseFieldError(kSubDataWidth, f);
  std::memset(p, '*', static_cast<std::size_t>(f.length));
  table_->changed = true;
  return true;
}

void WorkArea::putMemo(const Field& f, char* p, const FieldValue& value) {
  OpenTable& t = *table_;
  if (!value.isString()) {
    raiseFieldError(kSubDataType, f);
    return;
  }
  std::uint32_t block = 0;
  if (!value.string().empty()) {
    if (!t.memo) raiseDriverError(env_, {0, kSubCorruption, t.fileName, f.name});
    block = t.memo->write(value.string());
  }
  storeMemoBlock(f, block, p);
  t.changed = true;
}

// The common put is a record already being changed and a valid position:
// the checks of the others come first.
const FieldValue& WorkArea::putField(int position, const FieldValue& value) {
  OpenTable* t = table_.get();
  const bool ready = t != nullptr && t->changed && t->positioned && position >= 1 &&
                     static_cast<std::size_t>(position) <= t->fields.size();
  if (!ready && !preparePut(position)) return value;
  OpenTable& table = *table_;
  const Field& f = table.fields[static_cast<std::size_t>(position - 1)];
  char* p = table.buffer.data() + f.offset;
  switch (storeValue(f, p, value)) {
    case Put::Stored:
      table.changed = true;
      break;
    case Put::TooWide:
      putNumber(f, p, value.number());
      break;
    case Put::Memo:
      putMemo(f, p, value);
      break;
    case Put::WrongType:
      raiseFieldError(kSubDataType, f);  // answered default: the field keeps its value
      break;
  }
  return value;
}

// False when there is no record to put into.
bool WorkArea::preparePut(int position) {
  OpenTable& t = table();
  if (position < 1 || static_cast<std::size_t>(position) > t.fields.size()) {
    raiseDriverError(env_, {errors::kGenArgument, kSubArgument, "", "putField"});
  }
  if (!t.positioned) return false;
  if (!t.changed) prepareChange();
  return true;
}

}  // namespace converte::storage
