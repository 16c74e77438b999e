#pragma once

#include <string>

// The main window caption: "  VORDAX4 (v93)       ", the parameter file name (if any, followed
// by three blanks while the search is disabled) and, while a bootloader tool holds the port,
// "(Disconnected by bootloader)" in the current language.
std::string WindowCaption(const std::string& fileName, bool searchEnabled);
