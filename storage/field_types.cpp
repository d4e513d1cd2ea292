// Type letters: the create mapping, the open acceptance rules and blanks.

#include "storage/field_types.h"

#include <algorithm>
#include <cstring>

namespace converte::storage {
namespace {

Field makeField(const std::string& name, char type, int length, int decimals, std::uint8_t flags) {
  Field f;
  f.name = name;
  f.type = type;
  f.length = length;
  f.decimals = decimals;
  f.flags = flags;
  return f;
}

int oneOf(int length, std::initializer_list<int> allowed, int otherwise) {
  return std::find(allowed.begin(), allowed.end(), length) != allowed.end() ? length : otherwise;
}

bool isBinaryType(char type) {
  return std::strchr("IB8OTY@=^+V0", type) != nullptr;
}

}  // namespace

std::optional<Field> fieldForCreate(const std::string& name, char letter, int length,
                                    int decimals, std::optional<int> flagsGiven) {
  length = std::max(length, 0);
  decimals = std::max(decimals, 0);
  auto flags = static_cast<std::uint8_t>(flagsGiven.value_or(0) & 0xFF);
  switch (letter) {
    case 'C':
      if (length > 65535) return std::nullopt;
      return makeField(name, 'C', length, 0, flags);
    case 'N':
    case 'F':
      if (length > 255 || (decimals > 0 && decimals > length - 2)) return std::nullopt;
      return makeField(name, letter, length, decimals, flags);
    case 'D':
      return makeField(name, 'D', 8, 0, flags);
    case 'L':
      return makeField(name, 'L', 1, 0, flags);
    case 'M':
      return makeField(name, 'M', length == 4 ? 4 : 10, 0, flags);
    case 'I':
      return makeField(name, 'I', oneOf(length, {1, 2, 3, 4, 8}, 4), decimals, flags);
    case '2':
    case '4':
      return makeField(name, 'I', letter - '0', decimals, flags);
    case 'B':
      if (length == 10) return makeField(name, 'B', 10, 0, flags);
      return makeField(name, 'B', 8, decimals, flags);
    case '8':
    case 'Z':
      return makeField(name, 'B', 8, decimals, flags);
    case 'Y':
      return makeField(name, 'I', 8, 4, flags);
    case 'T':
      return makeField(name, 'T', length == 4 ? 4 : 8, 0, flags | kFlagBinary);
    case '@':
    case '=':
      return makeField(name, letter, 8, 0, flags | kFlagBinary);
    case '^':
    case '+': {
      Field f = makeField(name, letter, letter == '^' ? 8 : 4, 0, flags);
      f.counterNext = 1;
      f.counterStep = 1;
      return f;
    }
    case 'Q':
      return makeField(name, 'Q', std::clamp(length, 1, 255), 0, flags);
    case 'V':
      return makeField(name, 'V', (length < 3 || length == 5) ? 6 : std::min(length, 255), 0,
                       flags);
    case 'P':
    case 'W':
    case 'G':
      return makeField(name, letter, length == 4 ? 4 : 10, 0, flags);
    case '0':
      return makeField(name, '0', std::min(length, 255), 0, flags);
    default:
      return std::nullopt;
  }
}

FieldDescriptor descriptorOf(const Field& field) {
  FieldDescriptor d;
  d.name = field.name.substr(0, 10);
  d.type = field.type;
  if (field.type == 'C') {
    d.length = static_cast<std::uint8_t>(field.length & 0xFF);
    d.decimals = static_cast<std::uint8_t>(field.length >> 8);
  } else {
    d.length = static_cast<std::uint8_t>(field.length);
    d.decimals = static_cast<std::uint8_t>(field.decimals);
  }
  d.flags = field.flags;
  if (field.type == '+' || field.type == '^') {
    storeU32(d.tail.data(), field.counterNext);
    d.tail[4] = std::byte(field.counterStep);
  }
  return d;
}

std::optional<Field> fieldFromDescriptor(const FieldDescriptor& d, TableStyle /*style*/) {
  Field f = makeField(d.name, d.type, d.length, 0, d.flags);
  switch (d.type) {
    case 'C':
      f.length = d.length | (d.decimals << 8);
      return f;
    case 'N':
    case 'F':
      f.decimals = d.decimals;
      return f;
    case 'D':
      f.length = (d.length == 3 || d.length == 4) ? d.length : 8;
      return f;
    case 'L':
      f.length = 1;
      return f;
    case 'M':
    case 'P':
    case 'W':
    case 'G':
      return (d.length == 10 || d.length == 4) ? std::optional<Field>(f) : std::nullopt;
    case 'I':
      f.length = oneOf(d.length, {1, 2, 3, 4, 8}, 4);
      f.decimals = d.decimals;
      return f;
    case 'B':
      // A 10-byte B field is a memo-like block reference. Such fields belong
      // to dBASE IV style tables, but this layer creates them in standard
      // ones too, and what it creates it must open again.
      if (d.length == 10) return f;
      [[fallthrough]];
    case '8':
    case 'O':
      f.decimals = d.decimals;
      return d.length == 8 ? std::optional<Field>(f) : std::nullopt;
    case 'T':
      return (d.length == 4 || d.length == 8) ? std::optional<Field>(f) : std::nullopt;
    case '@':
    case '=':
    case '^':
    case '+':
      if (d.length != (d.type == '+' ? 4 : 8)) return std::nullopt;
      f.counterNext = loadU32(d.tail.data());
      f.counterStep = std::to_integer<std::uint8_t>(d.tail[4]);
      return f;
    case 'Q':
    case 'V':
      return d.length >= 1 ? std::optional<Field>(f) : std::nullopt;
    case '0':
      if (d.name == "_NullFlags" || d.name == "_DBASELOCK") return f;
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

bool isMemoField(const Field& field) {
  switch (field.type) {
    case 'M':
    case 'P':
    case 'W':
    case 'G':
      return true;
    case 'B':
      return field.length == 10;
    default:
      return false;
  }
}

void blankFieldBytes(const Field& field, std::span<char> bytes) {
  bool binary = isMemoField(field) ? field.length == 4 : isBinaryType(field.type);
  std::fill(bytes.begin(), bytes.end(), binary ? '\0' : ' ');
}

}  // namespace converte::storage
