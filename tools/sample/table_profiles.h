// The generator's knowledge of the suite's tables as data: each table's own
// fields, the catalogue fields that the fix-ups read (with how their values
// are made) and how many records a real company keeps in it.

#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace converte::sample {

// How the values of a column are made.
enum class Values : std::uint8_t {
  ByType,          // words, amounts, dates, logicals or memo texts by the field's type
  Text,            // words; a part of the records blank
  Name,            // names of people and firms
  Code,            // the record number with leading zeros: the table's key
  Digits,          // digits filling the field (registration numbers)
  Amount,          // numbers that fit the field
  Day,             // dates from 2008 to 2024, a few empty
  Flag,            // "S" or "N"
  Memo,            // a text in every fourth record, empty otherwise
  Blank,           // always empty
  Zero,            // always 0
  Employee,        // an employee's code, 00001 up to the company's employees
  UnionCode,       // a union code not yet in five-digit form ("12", "7"); arg 1: in record order
  ShortCode,       // a duplicate code shorter than six digits ("12")
  RateCode,        // an ICMS rate code: 1 to 9, A, or blank
  Month,           // a two-character month: "01" to "12", a few "3 " and blank
  AccountRef,      // a referential account code; a third of them blank
  DependantName,   // the name of dependant nn (arg) of the employee, blank past the employee's
  DependantBirth,  // ... the birth date of dependant nn
  DependantEnd,    // ... the end date of dependant nn
  DependantKind,   // ... the kind of dependant nn
  VacationStart,   // first day of a vacation
  VacationEnd,     // last day of that vacation: 10 to 30 days later
  CompanyMask,     // the company's branch-code mask
  CompanyMaskSize, // the company's account-mask length
  CompanyFlag,     // the company's exoneration flag
  PeriodStart,     // the company's initial period
};

// Where a profile field comes from.
enum class Presence : std::uint8_t {
  Own,        // a field of the table's own that no catalogue step names
  Pinned,     // a catalogue field that the fix-ups read: always present, the catalogue's type
  Optional,   // a catalogue field that the seed may leave out; the entry gives its values
  Absent,     // a catalogue field that the older structure never has
  Duplicate,  // a second field of a name given before (an old release's faulty structure)
};

struct ProfileField {
  std::string_view name;
  Presence presence = Presence::Own;
  char type = 'C';  // Own and Duplicate fields; catalogue fields take the catalogue's
  int length = 0;
  int decimals = 0;
  Values values = Values::ByType;
  int arg = 0;
};

struct TableProfile {
  std::string_view table;
  std::vector<ProfileField> fields;  // in file order
  bool generic = false;              // the fallback profile: own fields the catalogue names drop out
};

// How many records a company keeps in a table.
struct TableSize {
  std::string_view table;
  int perThousand = 0;         // share of the company's records; 0: a settings table
  int minimum = 1;             // records at least; a settings table holds exactly these
  int deletedPerThousand = 0;  // records marked deleted
};

// The profile of a table; the generic profile for a table without its own.
const TableProfile& profileOf(std::string_view table);
// The size of a table; a small settings table for one without its own.
TableSize sizeOf(std::string_view table);

// The employee table and the tables whose records the fix-ups tie to it.
inline constexpr std::string_view kEmployees = "FUNCIONA";
inline constexpr std::string_view kEntries = "CTLANCAM";    // decides the compaction
inline constexpr std::string_view kDependants = "FODEPEND";  // written for some seeds only
inline constexpr std::string_view kCompanyRecord = "DADOS";

// The union codes of the company's SINDICAT, in record order.
std::span<const std::string_view> unionCodes();

}  // namespace converte::sample
