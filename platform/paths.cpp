// Path helpers that need no file system: splitting and joining names whose
// separators may be `\` or `/`, and the wildcard match of directory listings.

#include <cstddef>

#include "platform/file_system.h"

namespace converte::platform {
namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// "C:" at the start of a name.
bool hasDrive(std::string_view name) {
  if (name.size() < 2 || name[1] != ':') return false;
  char letter = name[0];
  return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

char foldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Where the last component begins.
std::size_t lastComponentStart(std::string_view path) {
  std::size_t separator = path.find_last_of("/\\");
  if (separator != std::string_view::npos) return separator + 1;
  return hasDrive(path) ? 2 : 0;
}

// `*` and `?` with backtracking to the last `*`; letter case folded.
bool matchesWildcards(std::string_view name, std::string_view pattern) {
  std::size_t n = 0;
  std::size_t p = 0;
  std::size_t starAt = std::string_view::npos;
  std::size_t starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starAt = p++;
      starName = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || foldCase(pattern[p]) == foldCase(name[n]))) {
      ++n;
      ++p;
    } else if (starAt != std::string_view::npos) {
      p = starAt + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool hasDirectoryPart(std::string_view name) {
  return name.find_first_of("/\\") != std::string_view::npos || hasDrive(name);
}

std::string joinPath(std::string_view dir, std::string_view name) {
  std::string joined(dir);
  if (dir.empty() || isSeparator(dir.back()) || (dir.size() == 2 && hasDrive(dir))) {
    return joined.append(name);
  }
  // Keep to the separator the directory is written with.
  bool backslashes =
      dir.find('\\') != std::string_view::npos && dir.find('/') == std::string_view::npos;
  joined += backslashes ? '\\' : '/';
  return joined.append(name);
}

std::string_view baseName(std::string_view path) { return path.substr(lastComponentStart(path)); }

std::string_view dirName(std::string_view path) {
  std::size_t start = lastComponentStart(path);
  if (start == 0) return {};
  std::size_t rootEnd = hasDrive(path) ? 2 : 0;
  // The root ("/", "C:\") and a bare drive ("C:") keep their last character.
  if (start <= rootEnd + 1) return path.substr(0, start);
  return path.substr(0, start - 1);
}

bool matchesPattern(std::string_view name, std::string_view pattern) {
  if (matchesWildcards(name, pattern)) return true;
  // A final ".*" also matches a name without extension, so `*.*` matches
  // every name and `x*.*` every name beginning with x.
  return pattern.ends_with(".*") && matchesWildcards(name, pattern.substr(0, pattern.size() - 2));
}

}  // namespace converte::platform
