// Making the column values: word and name pools, codes with leading zeros,
// amounts within the field's width, dates, and the rules of the fields the
// fix-ups read (dependants, vacations, union and rate codes, months).

#include "tools/sample/column_values.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "tools/sample/sample_random.h"

namespace converte::sample {
namespace {

using storage::Date;
using storage::FieldValue;
using storage::Number;

constexpr std::string_view kWords[] = {
    "VENDA",    "COMPRA",  "MERCADORIA", "SERVICO", "PAGAMENTO", "RECEBIMENTO", "DUPLICATA",
    "CHEQUE",   "BANCO",   "CAIXA",      "FORNECEDOR", "CLIENTE", "IMPOSTO",   "ICMS",
    "IPI",      "ISS",     "FRETE",      "SEGURO",  "ALUGUEL",   "ENERGIA",     "AGUA",
    "TELEFONE", "SALARIO", "FERIAS",     "RESCISAO", "ADIANTAMENTO", "JUROS",   "DESCONTO",
    "NOTA",     "FISCAL",  "ENTRADA",    "SAIDA",   "ESTOQUE",   "MATRIZ",      "FILIAL",
    "CENTRO",   "SUL",     "NORTE",      "RUA",     "AVENIDA",   "PRACA",       "SAO PAULO",
};
constexpr std::string_view kFirstNames[] = {"JOSE", "MARIA", "ANTONIO", "ANA", "JOAO", "FRANCISCA",
                                            "CARLOS", "PAULO", "LUCIA", "PEDRO", "JULIANA", "MARCOS"};
constexpr std::string_view kLastNames[] = {"SILVA", "SANTOS", "OLIVEIRA", "SOUZA", "RODRIGUES",
                                           "FERREIRA", "ALVES", "PEREIRA", "LIMA", "GOMES",
                                           "COSTA", "RIBEIRO", "MARTINS", "CARVALHO"};
constexpr std::string_view kRateCodes = "123456789A ";

template <typename Pool>
std::string_view pick(const Pool& pool, std::uint64_t draw) {
  return pool[below(draw, std::size(pool))];
}

// Days since 1 March of year 0 and back (the proleptic Gregorian calendar).
std::int64_t dayNumber(Date d) {
  std::int64_t y = d.year - (d.month <= 2 ? 1 : 0);
  std::int64_t era = y / 400;
  std::int64_t yoe = y - era * 400;
  std::int64_t doy = (153 * (d.month + (d.month > 2 ? -3 : 9)) + 2) / 5 + d.day - 1;
  return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy;
}

Date dateOf(std::int64_t days) {
  std::int64_t era = days / 146097;
  std::int64_t doe = days - era * 146097;
  std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  std::int64_t mp = (5 * doy + 2) / 153;
  int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return {year, month, day};
}

Date dateBetween(std::uint64_t draw, int firstYear, int lastYear) {
  std::int64_t first = dayNumber({firstYear, 1, 1});
  std::int64_t last = dayNumber({lastYear, 12, 31});
  return dateOf(first + static_cast<std::int64_t>(below(draw, static_cast<std::uint64_t>(last - first + 1))));
}

std::uint64_t power10(int exponent) {
  std::uint64_t p = 1;
  for (int i = 0; i < exponent; ++i) p *= 10;
  return p;
}

// The dependants of an employee: a bit per column group 01 to 10. Some
// employees have a blank group between two filled ones.
unsigned dependantMask(std::uint64_t draw) {
  unsigned count = static_cast<unsigned>(below(draw, 4));
  unsigned mask = (1u << count) - 1;
  if (count >= 2 && (draw >> 20) % 2 == 1) mask = (mask & ~2u) | (1u << count);
  return mask;
}

}  // namespace

ColumnValues::ColumnValues(const Column& column, std::string_view table, int position,
                           const ValueContext& context)
    : values_(column.values),
      type_(column.spec.type[0]),
      length_(column.spec.length),
      decimals_(column.spec.decimals),
      arg_(column.arg),
      tableKey_(nameKey(table.data(), table.size())),
      columnKey_(mix({nameKey(column.spec.name.data(), column.spec.name.size()),
                      static_cast<std::uint64_t>(position)})),
      context_(context) {
  if (values_ == Values::ByType) {
    switch (type_) {
      case 'N': values_ = Values::Amount; break;
      case 'D': values_ = Values::Day; break;
      case 'M': values_ = Values::Memo; break;
      case 'L': break;
      default: values_ = Values::Text; break;
    }
  }
  if (type_ == 'N' && (values_ == Values::Text || values_ == Values::Digits || values_ == Values::Name))
    values_ = Values::Amount;
}

std::uint64_t ColumnValues::draw(std::uint64_t record) const {
  return mix({context_.company.seed, tableKey_, record, columnKey_});
}

std::uint64_t ColumnValues::recordDraw(std::uint64_t record, std::uint64_t purpose) const {
  return mix({context_.company.seed, tableKey_, record, purpose});
}

const FieldValue* ColumnValues::text(std::string_view piece) {
  std::string& out = value_.setString();
  out.assign(piece.substr(0, static_cast<std::size_t>(length_)));
  return out.empty() ? nullptr : &value_;
}

const FieldValue* ColumnValues::fit() {
  std::string& out = value_.setString();
  if (out.size() > static_cast<std::size_t>(length_)) out.resize(static_cast<std::size_t>(length_));
  return out.empty() ? nullptr : &value_;
}

const FieldValue* ColumnValues::words(std::uint64_t d, std::size_t pieces) {
  std::string& out = value_.setString();
  out.clear();
  for (std::size_t i = 0; i < pieces && out.size() < static_cast<std::size_t>(length_); ++i) {
    if (!out.empty()) out += ' ';
    out += pick(kWords, d >> (i * 6));
  }
  if (out.size() > static_cast<std::size_t>(length_)) out.resize(static_cast<std::size_t>(length_));
  return &value_;
}

const FieldValue* ColumnValues::digits(std::uint64_t value, bool padded) {
  std::array<char, 24> buffer{};
  std::size_t width = std::min<std::size_t>(static_cast<std::size_t>(length_), 19);
  std::size_t at = buffer.size();
  do {
    buffer[--at] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while ((value != 0 || (padded && buffer.size() - at < width)) && buffer.size() - at < width);
  return text(std::string_view(buffer.data() + at, buffer.size() - at));
}

const FieldValue* ColumnValues::number(std::uint64_t d) {
  int whole = decimals_ > 0 ? length_ - decimals_ - 1 : length_;
  if (whole <= 0) return integer(0);
  int places = std::min(decimals_, 4);
  std::uint64_t scaled = below(d, power10(std::min(whole, 6) + places));
  if (decimals_ == 0) return integer(static_cast<std::int64_t>(scaled));
  value_.set(Number::ofReal(static_cast<double>(scaled) / static_cast<double>(power10(places)),
                            length_ - decimals_ - 1, decimals_));
  return &value_;
}

const FieldValue* ColumnValues::integer(std::int64_t value) {
  value_.set(Number::ofInteger(value, length_));
  return &value_;
}

const FieldValue* ColumnValues::day(Date date) {
  if (date.isEmpty()) return nullptr;
  value_.set(date);
  return &value_;
}

const FieldValue* ColumnValues::dependant(std::uint64_t record) {
  std::uint64_t d = recordDraw(record, 101);
  if ((dependantMask(d) & (1u << (arg_ - 1))) == 0) return nullptr;
  std::uint64_t own = mix({d, static_cast<std::uint64_t>(arg_)});
  Date birth = dateBetween(own, 1980, 2015);
  switch (values_) {
    case Values::DependantName:
      value_.setString().assign(pick(kFirstNames, own >> 8));
      value_.setString().append(" ").append(pick(kLastNames, own >> 16));
      return fit();
    case Values::DependantBirth:
      return chance(own >> 24, 50) ? nullptr : day(birth);
    case Values::DependantEnd:
      return chance(own >> 32, 333) ? day({birth.year + 21, birth.month, std::min(birth.day, 28)}) : nullptr;
    default:
      return text(std::string_view("1234").substr(below(own >> 40, 4), 1));
  }
}

const FieldValue* ColumnValues::vacation(std::uint64_t record, bool end) {
  std::uint64_t d = recordDraw(record, 102);
  std::int64_t first = dayNumber(dateBetween(d, 2010, 2023));
  return day(dateOf(end ? first + 9 + static_cast<std::int64_t>(below(d >> 32, 21)) : first));
}

const FieldValue* ColumnValues::at(std::uint64_t record) {
  const std::uint64_t d = draw(record);
  switch (values_) {
    case Values::ByType:  // a logical field
      value_.set(d % 2 == 1);
      return &value_;
    case Values::Text:
      return chance(d >> 48, 250) ? nullptr : words(d, 1 + below(d >> 40, 3));
    case Values::Name:
      value_.setString().assign(pick(kFirstNames, d)).append(" ").append(pick(kLastNames, d >> 8));
      if (chance(d >> 16, 300)) value_.setString().append(" ").append(pick(kLastNames, d >> 24));
      return fit();
    case Values::Code:
      if (type_ == 'N') return integer(static_cast<std::int64_t>((record + 1) % power10(std::min(length_, 18))));
      return digits((record + 1) % power10(std::min(length_, 18)), true);
    case Values::Digits:
      return digits(d, true);
    case Values::Amount:
      return number(d);
    case Values::Day:
      return chance(d >> 50, 80) ? nullptr : day(dateBetween(d, 2008, 2024));
    case Values::Flag:
      return text(d % 3 == 0 ? "N" : "S");
    case Values::Memo:
      return d % 4 == 0 ? words(d, 8 + below(d >> 40, 40)) : nullptr;
    case Values::Blank:
      return nullptr;
    case Values::Zero:
      return type_ == 'N' ? integer(0) : text("0");
    case Values::Employee:
      return digits(1 + below(d, context_.employees), true);
    case Values::UnionCode: {
      std::uint64_t index = arg_ == 1 ? record : below(d, context_.unions);
      return text(unionCodes()[below(index, unionCodes().size())]);
    }
    case Values::ShortCode:
      return record == 0 ? text("12") : digits(1 + below(d, 9998), false);
    case Values::RateCode: {
      std::string_view code = kRateCodes.substr(below(d, kRateCodes.size()), 1);
      return code == " " ? nullptr : text(code);
    }
    case Values::Month:
      if (chance(d, 50)) return nullptr;
      if (chance(d >> 10, 100)) return text("3");
      return digits(1 + record % 12, true);
    case Values::AccountRef:
      if (d % 3 == 0) return nullptr;
      value_.setString().assign("1.01.0").append(1, static_cast<char>('1' + below(d >> 8, 9)));
      value_.setString().append(".0").append(1, static_cast<char>('1' + below(d >> 16, 9)));
      return fit();
    case Values::DependantName:
    case Values::DependantBirth:
    case Values::DependantEnd:
    case Values::DependantKind:
      return dependant(record);
    case Values::VacationStart:
      return vacation(record, false);
    case Values::VacationEnd:
      return vacation(record, true);
    case Values::CompanyMask:
      return text(context_.company.mask);
    case Values::CompanyMaskSize:
      return integer(context_.company.maskSize);
    case Values::CompanyFlag:
      return text(context_.company.flag);
    case Values::PeriodStart:
      return context_.company.periodYear == 0 ? nullptr : day({context_.company.periodYear, 1, 1});
  }
  return nullptr;
}

}  // namespace converte::sample
