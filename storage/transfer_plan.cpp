// Building a transfer plan and the direct byte copies of its pairs.

#include "storage/transfer_plan.h"

#include <algorithm>
#include <cstring>

#include "storage/field_types.h"
#include "storage/text_util.h"

namespace converte::storage {
namespace {

// A double tells apart every decimal text of this many digits, so such a
// text survives parsing and formatting unchanged.
constexpr int kExactDigits = 15;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The part of a name that compares: upper-cased, trimmed, ten characters.
std::string significant(std::string_view name) {
  std::string result = upperTrimmed(name);
  if (result.size() > 10) result.resize(10);
  return result;
}

// A list entry without its "FIELD->" or "alias->" qualifier.
std::string_view unqualified(std::string_view name) {
  std::size_t arrow = name.rfind("->");
  return arrow == std::string_view::npos ? name : name.substr(arrow + 2);
}

int positionOf(const std::vector<Field>& fields, const std::string& name) {
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (significant(fields[i].name) == name) return static_cast<int>(i) + 1;
  return 0;
}

bool sameField(const Field& a, const Field& b) {
  return significant(a.name) == significant(b.name) && a.type == b.type &&
         a.length == b.length && a.decimals == b.decimals && a.flags == b.flags;
}

FieldSlot recordSlot(const Field& f) {
  FieldSlot slot{SlotKind::Other, f.offset, f.length, f.decimals};
  if (isMemoField(f)) return slot;
  if (f.type == 'C' || f.type == 'Q') slot.kind = SlotKind::Text;
  if (f.type == 'N' || f.type == 'F') slot.kind = SlotKind::Number;
  if (f.type == 'D' && f.length == 8) slot.kind = SlotKind::Date;
  if (f.type == 'L') slot.kind = SlotKind::Logical;
  return slot;
}

PairCopy copyOf(const FieldSlot& from, const FieldSlot& to) {
  if (from.kind == SlotKind::None || to.kind == SlotKind::None) return PairCopy::Skip;
  if (from.kind != to.kind) return PairCopy::Value;
  switch (from.kind) {
    case SlotKind::Text:
      return PairCopy::Text;
    case SlotKind::Number:
      if (from.length == to.length && from.decimals == to.decimals) return PairCopy::Number;
      return PairCopy::Value;
    case SlotKind::Date:
      return PairCopy::Date;
    case SlotKind::Logical:
      return PairCopy::Logical;
    default:
      return PairCopy::Value;
  }
}

// The integer part of a numeric text: blanks, an optional '-', digits
// without leading zeros. Returns the number of digits, -1 when not so.
int canonicalIntegerDigits(std::string_view part, bool& negative) {
  std::size_t i = part.find_first_not_of(' ');
  if (i == std::string_view::npos) return -1;
  negative = part[i] == '-';
  if (negative) ++i;
  std::string_view digits = part.substr(i);
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), isDigit)) return -1;
  if (digits.size() > 1 && digits[0] == '0') return -1;
  return static_cast<int>(digits.size());
}

}  // namespace

PositionPairs pairByName(const std::vector<Field>& source, const std::vector<Field>& destination,
                         const std::vector<std::string>& fieldList) {
  PositionPairs pairs;
  std::vector<bool> paired(destination.size() + 1, false);
  auto add = [&](int s, int d) {
    if (s == 0 || d == 0 || paired[static_cast<std::size_t>(d)]) return;
    paired[static_cast<std::size_t>(d)] = true;
    pairs.emplace_back(s, d);
  };
  if (fieldList.empty()) {
    for (std::size_t i = 0; i < source.size(); ++i)
      add(static_cast<int>(i) + 1, positionOf(destination, significant(source[i].name)));
    return pairs;
  }
  for (const auto& entry : fieldList) {
    std::string name = significant(unqualified(entry));
    add(positionOf(source, name), positionOf(destination, name));
  }
  return pairs;
}

std::vector<int> listedFields(const std::vector<Field>& fields,
                              const std::vector<std::string>& fieldList) {
  std::vector<int> positions;
  if (fieldList.empty()) {
    for (std::size_t i = 0; i < fields.size(); ++i) positions.push_back(static_cast<int>(i) + 1);
    return positions;
  }
  for (const auto& entry : fieldList) {
    int position = positionOf(fields, significant(unqualified(entry)));
    if (position != 0 && std::find(positions.begin(), positions.end(), position) == positions.end())
      positions.push_back(position);
  }
  return positions;
}

bool isMatching(const PositionPairs& pairs, const std::vector<Field>& source,
                const std::vector<Field>& destination) {
  if (pairs.size() != source.size()) return false;
  return std::all_of(pairs.begin(), pairs.end(), [&](const std::pair<int, int>& p) {
    return p.first == p.second &&
           sameField(source[static_cast<std::size_t>(p.first - 1)],
                     destination[static_cast<std::size_t>(p.second - 1)]);
  });
}

std::vector<FieldSlot> recordSlots(const std::vector<Field>& fields) {
  std::vector<FieldSlot> slots;
  for (const auto& f : fields) slots.push_back(recordSlot(f));
  return slots;
}

std::vector<FieldSlot> sdfSlots(const SdfLayout& layout) {
  std::vector<FieldSlot> slots;
  for (const auto& f : layout.fields) {
    FieldSlot slot{SlotKind::None, f.offset, f.width, f.decimals};
    if (f.kind == SdfKind::Text) slot.kind = SlotKind::Text;
    if (f.kind == SdfKind::Number) slot.kind = SlotKind::Number;
    if (f.kind == SdfKind::Date) slot.kind = SlotKind::Date;
    if (f.kind == SdfKind::Logical) slot.kind = SlotKind::Logical;
    slots.push_back(slot);
  }
  return slots;
}

TransferPlan makePlan(const PositionPairs& pairs, const std::vector<FieldSlot>& from,
                      const std::vector<FieldSlot>& to) {
  TransferPlan plan;
  for (const auto& [s, d] : pairs) {
    FieldPair pair{s, d, from[static_cast<std::size_t>(s - 1)], to[static_cast<std::size_t>(d - 1)]};
    pair.copy = copyOf(pair.from, pair.to);
    plan.pairs.push_back(pair);
  }
  return plan;
}

bool copyBytes(const FieldPair& pair, const char* from, char* to) {
  const char* source = from + pair.from.offset;
  char* target = to + pair.to.offset;
  switch (pair.copy) {
    case PairCopy::Text: {
      auto n = static_cast<std::size_t>(std::min(pair.from.length, pair.to.length));
      std::memcpy(target, source, n);
      std::memset(target + n, ' ', static_cast<std::size_t>(pair.to.length) - n);
      return true;
    }
    case PairCopy::Number: {
      std::string_view text(source, static_cast<std::size_t>(pair.from.length));
      if (!isCanonicalNumber(text, pair.from.decimals)) return false;
      std::memcpy(target, source, text.size());
      return true;
    }
    case PairCopy::Date:
      if (dateFromText(source).isEmpty()) {
        std::memset(target, ' ', 8);
      } else {
        std::memcpy(target, source, 8);
      }
      return true;
    case PairCopy::Logical: {
      char c = *source;
      *target = c == 'T' || c == 't' || c == 'Y' || c == 'y' ? 'T' : 'F';
      return true;
    }
    default:
      return false;
  }
}

bool isCanonicalNumber(std::string_view text, int decimals) {
  std::string_view integerPart = text;
  std::string_view fraction;
  if (decimals > 0) {
    if (text.size() < static_cast<std::size_t>(decimals) + 2) return false;
    std::size_t point = text.size() - static_cast<std::size_t>(decimals) - 1;
    if (text[point] != '.') return false;
    integerPart = text.substr(0, point);
    fraction = text.substr(point + 1);
    if (!std::all_of(fraction.begin(), fraction.end(), isDigit)) return false;
  }
  bool negative = false;
  int integerDigits = canonicalIntegerDigits(integerPart, negative);
  if (integerDigits < 0 || integerDigits + decimals > kExactDigits) return false;
  if (!negative) return true;
  // "-0" and "-0.00" come back without their sign.
  auto nonZero = [](char c) { return c >= '1' && c <= '9'; };
  return std::any_of(integerPart.begin(), integerPart.end(), nonZero) ||
         std::any_of(fraction.begin(), fraction.end(), nonZero);
}

}  // namespace converte::storage
