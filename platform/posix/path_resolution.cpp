// Case-insensitive name lookup over a case-sensitive file system: a path is
// walked component by component, each one matched in its directory.

#include "platform/posix/path_resolution.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstddef>

#include "platform/posix/handles.h"

namespace converte::platform::posix {
namespace {

char foldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return foldCase(x) == foldCase(y); });
}

bool entryExists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// Whether a component is looked up at all: "." and ".." mean what they say.
bool isPlainName(std::string_view part) { return !part.empty() && part != "." && part != ".."; }

}  // namespace

std::string findIgnoringCase(const std::string& dir, std::string_view name) {
  DirStream stream(::opendir(dir.empty() ? "." : dir.c_str()));
  if (!stream) return {};
  std::string best;
  while (const dirent* entry = ::readdir(stream.get())) {
    std::string_view candidate(entry->d_name);
    if (equalIgnoringCase(candidate, name) && (best.empty() || candidate < best)) {
      best = candidate;
    }
  }
  return best;
}

std::string resolvePath(std::string_view path) {
  std::string given(path);
  std::replace(given.begin(), given.end(), '\\', '/');
  if (given.empty() || entryExists(given)) return given;

  std::string resolved;
  bool searching = true;  // false once a component is missing: nothing below exists
  std::size_t start = 0;
  while (true) {
    std::size_t end = std::min(given.find('/', start), given.size());
    std::string_view part = std::string_view(given).substr(start, end - start);
    std::string candidate = resolved + std::string(part);
    if (searching && isPlainName(part) && !entryExists(candidate)) {
      std::string found = findIgnoringCase(resolved, part);
      searching = !found.empty();
      if (searching) candidate = resolved + found;
    }
    resolved = std::move(candidate);
    if (end == given.size()) return resolved;
    resolved += '/';
    start = end + 1;
  }
}

bool listingOrder(const std::string& a, const std::string& b) {
  auto folded = [](char x, char y) {
    return static_cast<unsigned char>(foldCase(x)) < static_cast<unsigned char>(foldCase(y));
  };
  if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded)) return true;
  if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded)) return false;
  return a < b;
}

}  // namespace converte::platform::posix
