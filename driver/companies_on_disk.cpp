// Finding the company directories of a range with one listing of the base
// directory.

#include "driver/companies_on_disk.h"

#include <cctype>

#include "driver/texts.h"
#include "platform/file_system.h"

namespace converte::driver {
namespace {

constexpr std::size_t kMostDigits = 18;  // every such number fits a long long

bool sameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

}  // namespace

std::optional<long long> companyDirectoryNumber(std::string_view name) {
  const std::string_view prefix = texts::kCompanyPrefix;
  if (name.size() <= prefix.size() || !sameLetters(name.substr(0, prefix.size()), prefix))
    return std::nullopt;
  const std::string_view digits = name.substr(prefix.size());
  if (digits.size() > kMostDigits || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
  long long number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  return number;
}

std::optional<std::set<long long>> companiesOnDisk(platform::FileSystem& fs,
                                                   std::string_view base, long long first,
                                                   long long last) {
  std::string pattern(texts::kCompanyPrefix);
  pattern += '*';
  auto names = fs.listDirectories(base, pattern);
  if (!names) {
    const int code = names.error().osCode;
    if (code == platform::kOsPathNotFound || code == platform::kOsFileNotFound)
      return std::set<long long>{};
    return std::nullopt;
  }
  std::set<long long> numbers;
  for (const std::string& name : *names) {
    const std::optional<long long> number = companyDirectoryNumber(name);
    if (number && *number >= first && *number <= last) numbers.insert(*number);
  }
  return numbers;
}

}  // namespace converte::driver
