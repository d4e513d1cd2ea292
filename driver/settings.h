// The suite's settings file GARVIN.INI: the base directory, on the first
// line that holds DIRETORIO and an equals sign, the text laid out in lines
// of at most 80 characters as memo text is shown.

#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace converte::driver {

// BUSCADIRETORIOINI: the base directory read from the settings file at
// path, or "\GARV" when the file is absent, unreadable or yields nothing.
std::string BUSCADIRETORIOINI(platform::FileSystem& fs, std::string_view path);

// BUSCAOPINI: the trimmed value of the first line of text that holds key
// and an equals sign: the 70 characters after the first equals sign. ""
// when no line has both. Texts are single-byte (as read from the file).
std::string BUSCAOPINI(std::string_view text, std::string_view key);

// Lays single-byte text out in lines of at most width characters: hard
// breaks at CR LF, CR or LF; a longer line wraps after its last blank
// within the width, or is cut at the width when it has none. The text ends
// at an end-of-file byte 26. Fed piece by piece; each finished line goes to
// the sink, which returns false to stop.
class MemoLines {
 public:
  using Sink = std::function<bool(std::string_view line)>;
  MemoLines(int width, Sink sink) : width_(static_cast<std::size_t>(width)), sink_(std::move(sink)) {}

  // False once the sink has stopped or the end-of-file byte was seen.
  bool feed(std::string_view piece);
  // Hands over the last, unterminated line.
  void finish();

 private:
  bool emit(std::string_view line);
  bool addCharacter(char c);

  std::size_t width_;
  Sink sink_;
  std::string line_;
  bool afterCr_ = false;
  bool stopped_ = false;
};

}  // namespace converte::driver
