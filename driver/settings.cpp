// Reading the base directory from the settings file, streamed in blocks so
// that a huge or binary file costs no more than the lines before the key.

#include "driver/settings.h"

#include <array>
#include <cstddef>
#include <memory>

#include "driver/texts.h"
#include "errors/call_levels.h"
#include "platform/windows1252.h"

namespace converte::driver {
namespace {

constexpr std::size_t kReadBlock = 64 * 1024;
constexpr char kEndOfFile = '\x1A';

std::string_view trimBlanks(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The value of line when it holds key and an equals sign.
bool valueOf(std::string_view line, std::string_view key, std::string& value) {
  std::size_t equals = line.find('=');
  if (line.find(key) == std::string_view::npos || equals == std::string_view::npos) return false;
  value = trimBlanks(line.substr(equals + 1, texts::kSettingsValueWidth));
  return true;
}

}  // namespace

bool MemoLines::emit(std::string_view line) {
  if (!sink_(line)) stopped_ = true;
  return !stopped_;
}

bool MemoLines::addCharacter(char c) {
  if (line_.size() < width_) {
    line_ += c;
    return true;
  }
  // The line is full: a blank ends it; otherwise it wraps after its last
  // blank, or is cut at the width.
  if (c == ' ') {
    bool go = emit(line_);
    line_.clear();
    return go;
  }
  std::size_t blank = line_.rfind(' ');
  if (blank == std::string::npos) {
    bool go = emit(line_);
    line_.assign(1, c);
    return go;
  }
  std::string rest = line_.substr(blank + 1);
  bool go = emit(std::string_view(line_).substr(0, blank));
  line_ = std::move(rest);
  line_ += c;
  return go;
}

bool MemoLines::feed(std::string_view piece) {
  for (char c : piece) {
    if (stopped_) return false;
    if (c == '\n' && afterCr_) {
      afterCr_ = false;
      continue;
    }
    afterCr_ = c == '\r';
    if (c == kEndOfFile) {
      finish();
      stopped_ = true;
    } else if (c == '\r' || c == '\n') {
      emit(line_);
      line_.clear();
    } else {
      addCharacter(c);
    }
  }
  return !stopped_;
}

void MemoLines::finish() {
  if (stopped_) return;
  if (!line_.empty()) emit(line_);
  line_.clear();
  stopped_ = true;
}

std::string BUSCAOPINI(std::string_view text, std::string_view key) {
  errors::CallFrame frame("CONVERTE", "BUSCAOPINI");
  std::string value;
  MemoLines lines(texts::kMemoLineWidth,
                  [&](std::string_view line) { return !valueOf(line, key, value); });
  lines.feed(text);
  lines.finish();
  return value;
}

std::string BUSCADIRETORIOINI(platform::FileSystem& fs, std::string_view path) {
  errors::CallFrame frame("CONVERTE", "BUSCADIRETORIOINI");
  std::string result(texts::kDefaultBase);
  if (!fs.exists(path) || fs.isDirectory(path)) return result;
  auto file = fs.open(path, platform::Access::ReadOnly, platform::ShareMode::Shared);
  if (!file) return result;

  std::string value;
  MemoLines lines(texts::kMemoLineWidth,
                  [&](std::string_view line) { return !valueOf(line, texts::kDirectoryKey, value); });
  std::array<std::byte, kReadBlock> block;
  for (std::uint64_t offset = 0;;) {
    auto got = (*file)->readAt(offset, block);
    if (!got || *got == 0) break;
    offset += *got;
    if (!lines.feed(std::string_view(reinterpret_cast<const char*>(block.data()), *got))) break;
  }
  lines.finish();
  if (!trimBlanks(value).empty()) result = platform::fromWindows1252(value);
  return result;
}

}  // namespace converte::driver
