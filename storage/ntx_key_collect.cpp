// Index keys from stored field bytes, and the sort of collected keys.

#include "storage/ntx_key_collect.h"

#include <algorithm>
#include <cstring>

#include "storage/field_types.h"

namespace converte::storage {
namespace {

// Significant digits a numeric text keeps unchanged through the parse to a
// floating-point value and the format back; an integer text keeps 18.
constexpr int kExactRealDigits = 15;
constexpr int kExactIntegerDigits = 18;
// Leading key bytes compared as one number in the sort.
constexpr std::size_t kPrefixBytes = 8;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int digitsValue(const char* p, int n) {
  int v = 0;
  for (int i = 0; i < n; ++i) v = v * 10 + (p[i] - '0');
  return v;
}

// Date bytes that read back as a date, and so are their own key.
bool isDate(const char* p) {
  for (int i = 0; i < 8; ++i)
    if (!isDigit(p[i])) return false;
  const int month = digitsValue(p + 4, 2);
  const int day = digitsValue(p + 6, 2);
  return digitsValue(p, 4) != 0 && month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

bool isTrue(char c) { return c == 'T' || c == 't' || c == 'Y' || c == 'y'; }

// The significant digits of text from first on (the point skipped), or -1
// for a text of zeros only.
int significantDigits(const char* text, int first, int length) {
  int count = 0;
  for (int i = first; i < length; ++i) {
    if (text[i] == '.') continue;
    if (count > 0 || text[i] != '0') ++count;
  }
  return count == 0 ? -1 : count;
}

}  // namespace

std::optional<StoredFieldKey> StoredFieldKey::of(const Field& field, const KeyShape& shape) {
  if (isMemoField(field) || shape.length < 1) return std::nullopt;
  const char type = field.type;
  switch (shape.kind) {
    case KeyShape::Character:
      if (type == 'C' || type == 'Q') return StoredFieldKey(field, shape);
      break;
    case KeyShape::Numeric: {
      const int integerPlaces =
          field.decimals > 0 ? field.length - field.decimals - 1 : field.length;
      if ((type == 'N' || type == 'F') && shape.length == field.length &&
          shape.decimals == field.decimals && integerPlaces >= 1)
        return StoredFieldKey(field, shape);
      break;
    }
    case KeyShape::DateKey:
      if (type == 'D' && field.length == 8 && shape.length == 8)
        return StoredFieldKey(field, shape);
      break;
    case KeyShape::Logical:
      if (type == 'L' && field.length >= 1 && shape.length == 1)
        return StoredFieldKey(field, shape);
      break;
  }
  return std::nullopt;
}

bool StoredFieldKey::encode(const char* record, char* out) const {
  const char* p = record + offset_;
  switch (kind_) {
    case KeyShape::Character: {
      const auto copied = static_cast<std::size_t>(std::min(length_, keyLength_));
      std::memcpy(out, p, copied);
      std::memset(out + copied, ' ', static_cast<std::size_t>(keyLength_) - copied);
      return true;
    }
    case KeyShape::Numeric:
      return numeric(p, out);
    case KeyShape::DateKey:
      if (isDate(p)) {
        std::memcpy(out, p, 8);
      } else {
        std::memset(out, ' ', 8);
      }
      return true;
    case KeyShape::Logical:
      out[0] = isTrue(p[0]) ? 'T' : 'F';
      return true;
  }
  return false;
}

// A text the number's format would write again unchanged: blanks, an
// optional '-' just before the digits, no leading 0 but one before the
// point, the point and every decimal place, few enough digits to be exact,
// and no sign on zero. Such a text is its key once blanks and '-' become 0
// and, for a negative number, each digit d becomes the character 44 - d.
// A blank text is the number 0.
bool StoredFieldKey::numeric(const char* text, char* out) const {
  const int length = length_;
  const int integerPlaces = decimals_ > 0 ? length - decimals_ - 1 : length;
  int i = 0;
  while (i < length && text[i] == ' ') ++i;
  if (i == length) {
    std::memset(out, '0', static_cast<std::size_t>(length));
    if (decimals_ > 0) out[integerPlaces] = '.';
    return true;
  }
  const bool negative = text[i] == '-';
  if (negative) ++i;
  const int first = i;
  while (i < integerPlaces && isDigit(text[i])) ++i;
  if (i != integerPlaces || i == first) return false;
  if (text[first] == '0' && integerPlaces - first > 1) return false;
  if (decimals_ > 0 && text[integerPlaces] != '.') return false;
  for (int j = integerPlaces + 1; j < length; ++j)
    if (!isDigit(text[j])) return false;
  const int significant = significantDigits(text, first, length);
  if (significant < 0 && negative) return false;
  if (significant > (decimals_ > 0 ? kExactRealDigits : kExactIntegerDigits)) return false;
  for (int j = 0; j < length; ++j) {
    char c = text[j] == ' ' || text[j] == '-' ? '0' : text[j];
    if (negative && isDigit(c)) c = static_cast<char>(44 - (c - '0'));
    out[j] = c;
  }
  return true;
}

KeyCollector::KeyCollector(std::size_t keyLength, std::size_t expected) : length_(keyLength) {
  keys_.reserve(keyLength * expected);
}

bool KeyCollector::add(const StoredFieldKey& stored, const char* record) {
  const std::size_t at = keys_.size();
  keys_.resize(at + length_);
  if (!stored.encode(record, keys_.data() + at)) {
    keys_.resize(at);
    return false;
  }
  ++count_;
  return true;
}

void KeyCollector::add(std::string_view key) {
  const std::size_t copied = std::min(key.size(), length_);
  keys_.append(key.data(), copied);
  keys_.append(length_ - copied, ' ');
  ++count_;
}

std::vector<IndexEntry> KeyCollector::sorted(bool descending) const {
  const std::vector<std::uint32_t> order = sortedOrder(descending);
  std::vector<IndexEntry> entries;
  entries.reserve(order.size());
  for (std::uint32_t index : order)
    entries.push_back(
        {std::string(keys_.data() + std::size_t{index} * length_, length_), index + 1});
  return entries;
}

// The positions of the keys in sorted order. Each key's first bytes are
// one big-endian number (complemented for a descending order), the rest
// is compared as bytes, then the position decides.
std::vector<std::uint32_t> KeyCollector::sortedOrder(bool descending) const {
  struct Item {
    std::uint64_t prefix;
    std::uint32_t index;
  };
  const std::size_t head = std::min(length_, kPrefixBytes);
  const char* keys = keys_.data();
  std::vector<Item> items(count_);
  for (std::uint32_t i = 0; i < count_; ++i) {
    const char* key = keys + std::size_t{i} * length_;
    std::uint64_t prefix = 0;
    for (std::size_t b = 0; b < kPrefixBytes; ++b)
      prefix = (prefix << 8) | (b < head ? static_cast<unsigned char>(key[b]) : 0u);
    items[i] = {descending ? ~prefix : prefix, i};
  }
  const std::size_t rest = length_ - head;
  std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    if (rest > 0) {
      const int c = std::memcmp(keys + std::size_t{a.index} * length_ + head,
                                keys + std::size_t{b.index} * length_ + head, rest);
      if (c != 0) return descending ? c > 0 : c < 0;
    }
    return a.index < b.index;
  });
  std::vector<std::uint32_t> order(count_);
  for (std::uint32_t i = 0; i < count_; ++i) order[i] = items[i].index;
  return order;
}

}  // namespace converte::storage
