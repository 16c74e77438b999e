#pragma once

#include <cstdint>
#include <string>

// The 8-bit code pages of the update document's texts: Windows-1250 (Czech) and Windows-1252.
enum class CodePage { Windows1250, Windows1252 };

// The Unicode character of one byte; undefined bytes give U+FFFD.
char32_t CodePageChar(CodePage page, uint8_t byte);

// Appends one character as UTF-8; surrogates and values beyond U+10FFFF become U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

// A text of the update document as UTF-8: kept when it already is valid UTF-8, else read as
// Windows-1250, the code page the Czech texts are written in.
std::string DocumentTextToUtf8(const std::string& text);
