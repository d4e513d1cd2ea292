// The scope of a pass over records: which records an eval or a bulk
// transfer handles (for- and while-conditions, a count, one record, or the
// rest from the current one).

#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace converte::storage {

struct Scope {
  std::function<bool()> forCondition;    // empty: every record
  std::function<bool()> whileCondition;  // empty: no while-condition
  std::optional<std::int64_t> next;      // at most this many records
  std::optional<std::uint32_t> record;   // that record only
  bool rest = false;                     // from the current record on
};

}  // namespace converte::storage
