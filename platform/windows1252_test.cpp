// Windows-1252 conversion of the program's Portuguese texts and the bytes
// the code page cannot or need not convert.

#include <gtest/gtest.h>

#include "platform/windows1252.h"

namespace converte::platform {
namespace {

TEST(Windows1252, ConvertsBothWaysAndMarksWhatItLacks) {
  struct Case {
    std::string utf8;
    std::string bytes;
  } cases[] = {
      {"Conversão", "Convers\xE3o"},
      {"Situação: usuário", "Situa\xE7\xE3o: usu\xE1rio"},
      {"€ “x” — Œ", "\x80 \x93x\x94 \x97 \x8C"},
      {"plain ASCII\r\n\x1A", "plain ASCII\r\n\x1A"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(toWindows1252(c.utf8), c.bytes) << c.utf8;
    EXPECT_EQ(fromWindows1252(c.bytes), c.utf8) << c.utf8;
  }
  EXPECT_EQ(toWindows1252("日本"), "??");
  EXPECT_EQ(toWindows1252("bad \xC3 byte \xFF"), "bad \xC3 byte \xFF");  // not UTF-8: kept
}

}  // namespace
}  // namespace converte::platform
