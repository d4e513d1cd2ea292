// How a FieldSpec reads in test failures and logs: name, type, length and
// decimals as a structure entry writes them.

#include "storage/field_spec.h"

namespace converte::storage {

void PrintTo(const FieldSpec& spec, std::ostream* os) {
  *os << '{' << spec.name << ' ' << spec.type << '(' << spec.length;
  if (spec.decimals != 0) *os << ',' << spec.decimals;
  *os << ')';
  if (spec.flags) *os << " flags " << *spec.flags;
  *os << '}';
}

}  // namespace converte::storage
