// The canonical text form in which the interoperability tests compare a
// table as the storage layer and as each peer reads it. The peer scripts
// print the same form; peers/README.md describes it.
//
// Line 1 is the structure, NAME:T:LENGTH:DECIMALS per field. Then one line
// per record, the live records in file order followed by the deleted ones
// (one peer reads them only as two separate lists): "." or "*", then the
// values, all separated by tabs. Values: C the text without trailing
// blanks; N with exactly the field's decimals, "null" when blank; D
// YYYYMMDD, "null" when empty; L "T", "F" or "?" (blank or unknown); M the
// text. Texts escape backslash, tab, CR and LF as \\ \t \r \n and every
// other byte outside 0x20-0x7E as \xHH (lower-case hex).

#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "storage/field_spec.h"
#include "storage/field_value.h"
#include "storage/work_area.h"

namespace converte::testing::canonical {

inline std::string escaped(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default:
        if (byte >= 0x20 && byte <= 0x7E) {
          out += c;
        } else {
          out += "\\x";
          out += kHex[byte >> 4];
          out += kHex[byte & 15];
        }
    }
  }
  return out;
}

inline std::string_view withoutTrailingBlanks(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

// A structure row as a structure entry gives it (C, N, D, L, M only).
inline storage::StructureRow rowOf(const storage::FieldSpec& spec) {
  return {spec.name, spec.type.at(0), spec.length, spec.decimals, 0};
}

inline std::vector<storage::StructureRow> rowsOf(const storage::Structure& structure) {
  std::vector<storage::StructureRow> rows;
  for (const storage::FieldSpec& spec : structure) rows.push_back(rowOf(spec));
  return rows;
}

inline std::string structureLine(const std::vector<storage::StructureRow>& rows) {
  std::string line;
  for (const storage::StructureRow& row : rows) {
    if (!line.empty()) line += '\t';
    line += row.name + ':' + row.type + ':' + std::to_string(row.length) + ':' +
            std::to_string(row.decimals);
  }
  return line;
}

inline std::string numberText(const storage::Number& number, int decimals) {
  char text[400];
  std::snprintf(text, sizeof text, "%.*f", decimals, number.asDouble());
  return text;
}

inline std::string dateText(const storage::Date& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", date.year, date.month, date.day);
  return text;
}

// The canonical text of a value of the field; nothing stands for a blank
// field.
inline std::string valueText(const storage::StructureRow& field, const storage::FieldValue& value) {
  switch (field.type) {
    case 'C': {
      if (value.isNothing()) return {};
      std::string_view text = value.string();
      return escaped(withoutTrailingBlanks(text.substr(0, static_cast<std::size_t>(field.length))));
    }
    case 'N':
      return value.isNothing() ? "null" : numberText(value.number(), field.decimals);
    case 'D':
      return value.isNothing() || value.date().isEmpty() ? "null" : dateText(value.date());
    case 'L':
      return value.isNothing() ? "?" : value.logical() ? "T" : "F";
    case 'M':
      return value.isNothing() ? std::string{} : escaped(value.string());
    default:
      return "unsupported type " + std::string(1, field.type);
  }
}

// One record as a test means it to be stored.
struct Record {
  bool deleted = false;
  std::vector<storage::FieldValue> values;  // by field position; nothing = blank
};

inline std::string recordLine(const std::vector<storage::StructureRow>& fields,
                              const Record& record) {
  std::string line = record.deleted ? "*" : ".";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    line += '\t';
    line += valueText(fields[i],
                      i < record.values.size() ? record.values[i] : storage::FieldValue{});
  }
  return line;
}

// The canonical lines of a table with these records.
inline std::vector<std::string> dump(const std::vector<storage::StructureRow>& fields,
                                     const std::vector<Record>& records) {
  std::vector<std::string> lines{structureLine(fields)};
  for (bool deletedPass : {false, true})
    for (const Record& record : records)
      if (record.deleted == deletedPass) lines.push_back(recordLine(fields, record));
  return lines;
}

// True when the stored bytes of an N, D or L field stand for no value.
inline bool storedBlank(char type, std::string_view bytes) {
  if (type == 'L') return bytes.find_first_of("TtYyFfNn") == std::string_view::npos;
  if (type == 'N' || type == 'D') return bytes.find_first_not_of(' ') == std::string_view::npos;
  return false;
}

// The records of the open table as the storage layer reads them.
inline std::vector<Record> recordsOf(storage::WorkArea& area) {
  std::vector<Record> records;
  const std::vector<storage::Field>& fields = area.fields();
  for (std::uint32_t r = 1; r <= area.recCount(); ++r) {
    area.goTo(r);
    const std::span<const char> bytes = area.recordBytes();
    const std::string raw(bytes.begin(), bytes.end());
    Record record{area.deleted(), {}};
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const std::string_view stored =
          std::string_view(raw).substr(static_cast<std::size_t>(fields[i].offset),
                                       static_cast<std::size_t>(fields[i].length));
      record.values.push_back(storedBlank(fields[i].type, stored)
                                  ? storage::FieldValue{}
                                  : area.getField(static_cast<int>(i) + 1));
    }
    records.push_back(std::move(record));
  }
  area.goTo(0);
  return records;
}

// The canonical lines of the open table as the storage layer reads it.
inline std::vector<std::string> dumpOf(storage::WorkArea& area) {
  return dump(area.structure(), recordsOf(area));
}

// The lines of a peer's output (a final line end is optional).
inline std::vector<std::string> linesOf(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace converte::testing::canonical
