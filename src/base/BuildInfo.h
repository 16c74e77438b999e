#pragma once

#include <string>

// "Jan 27 2020" -> "2020_01_27"; an unreadable month gives month 0.
std::string CompileDate(const char* buildDate);

// The program's own build date in the form of CompileDate.
std::string ProgramCompileDate();

// "VORDAX4   RSKEY=93.00   COMPILE=2020_01_27".
std::string VersionLine(const std::string& compileDate);

// What --version prints: "<program> 93.0" and the version line on a second line.
std::string VersionText(const char* program);
