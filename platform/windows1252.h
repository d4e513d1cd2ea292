// Windows-1252, the single-byte code page the suite's text files are
// written in: conversion from and to the UTF-8 the program holds its texts in.

#pragma once

#include <string>
#include <string_view>

namespace converte::platform {

// UTF-8 to Windows-1252; a character the code page lacks becomes '?', and
// a byte that is not valid UTF-8 is kept as it is.
std::string toWindows1252(std::string_view utf8);
// Windows-1252 to UTF-8 (the five unassigned bytes map to U+0081 etc.).
std::string fromWindows1252(std::string_view bytes);

}  // namespace converte::platform
