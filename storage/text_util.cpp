// Name normalisation shared by the table driver's operations.

#include "storage/text_util.h"

namespace converte::storage {

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string upperTrimmed(std::string_view name) {
  std::size_t begin = 0;
  while (begin < name.size() &&
         (name[begin] == ' ' || name[begin] == '\t' || name[begin] == '\r' || name[begin] == '\n'))
    ++begin;
  std::size_t end = name.size();
  while (end > begin && name[end - 1] == ' ') --end;
  std::string result(name.substr(begin, end - begin));
  for (char& c : result) c = upperAscii(c);
  return result;
}

}  // namespace converte::storage
