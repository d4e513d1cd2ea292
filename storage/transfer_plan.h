// The plan of a bulk transfer: which source field goes into which
// destination field, built once before the first record; whether the two
// structures match so that whole records can be copied; and the direct byte
// copies that give exactly the bytes a get followed by a put would give.

#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/field_spec.h"
#include "storage/sdf_file.h"

namespace converte::storage {

// Where and how a field lies in one side's record bytes (a DBF record, or
// an SDF line).
enum class SlotKind {
  Text,     // character data
  Number,   // numeric text
  Date,     // YYYYMMDD or blanks
  Logical,  // one character
  Other,    // exchanged as a value only (memo fields, binary types)
  None,     // nothing to carry (an SDF memo or time field)
};

struct FieldSlot {
  SlotKind kind = SlotKind::Other;
  int offset = 0;
  int length = 0;
  int decimals = 0;
};

// How a pair is carried for each record.
enum class PairCopy {
  Text,     // the bytes, cut or padded with blanks
  Number,   // the bytes when they are a number's canonical text, else as Value
  Date,     // the bytes of a valid date, else blanks
  Logical,  // T for T, t, Y, y; F otherwise
  Value,    // read the source field, put the value into the destination field
  Skip,     // nothing
};

struct FieldPair {
  int source = 0;       // 1-based field positions
  int destination = 0;
  FieldSlot from;
  FieldSlot to;
  PairCopy copy = PairCopy::Value;
};

struct TransferPlan {
  std::vector<FieldPair> pairs;
  // Every source field goes into the destination field at its position, of
  // the same name, type, length, decimals and flags.
  bool matching = false;
};

// (source position, destination position), 1-based.
using PositionPairs = std::vector<std::pair<int, int>>;

// Pairs fields by name. With a list: for each name in list order (a leading
// "FIELD->" or "alias->" ignored), the source and destination fields of that
// name; names missing on either side are skipped. Without a list: each source
// field in source order with the destination field of its name when that is
// not paired yet. Names compare upper-cased and trimmed, on their first ten
// characters. A destination field is never paired twice.
PositionPairs pairByName(const std::vector<Field>& source, const std::vector<Field>& destination,
                         const std::vector<std::string>& fieldList);

// Positions of the fields the list names, in list order, each once; every
// field when the list is empty.
std::vector<int> listedFields(const std::vector<Field>& fields,
                              const std::vector<std::string>& fieldList);

bool isMatching(const PositionPairs& pairs, const std::vector<Field>& source,
                const std::vector<Field>& destination);

std::vector<FieldSlot> recordSlots(const std::vector<Field>& fields);
std::vector<FieldSlot> sdfSlots(const SdfLayout& layout);

// The plan of the pairs between sides with these slots (matching false).
TransferPlan makePlan(const PositionPairs& pairs, const std::vector<FieldSlot>& from,
                      const std::vector<FieldSlot>& to);

// Carries a Text, Number, Date or Logical pair from the source bytes into the
// destination bytes. False for a Number whose text is not canonical: the
// pair must then go as a Value.
bool copyBytes(const FieldPair& pair, const char* from, char* to);

// True when text (a numeric field of text.size() places with the decimals)
// is exactly what formatting its parsed value gives back: leading blanks, a
// '-' only before a non-zero value, integer digits without leading zeros,
// the point and every decimal digit, at most 15 digits in all.
bool isCanonicalNumber(std::string_view text, int decimals);

}  // namespace converte::storage
