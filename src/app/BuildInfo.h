#pragma once

#include <string>

// "Jan 27 2020" -> "2020_01_27"; an unreadable month gives month 0.
std::string CompileDate(const char* buildDate);

// The program's own build date in the form of CompileDate.
std::string ProgramCompileDate();

// "VORDAX4   RSKEY=93.00   COMPILE=2020_01_27".
std::string VersionLine(const std::string& compileDate);

// The main window caption: "  VORDAX4 (v93)       ", the parameter file name (if any, followed
// by three blanks while the search is disabled) and, while a bootloader tool holds the port,
// "(Disconnected by bootloader)" in the current language.
std::string WindowCaption(const std::string& fileName, bool searchEnabled);
