#pragma once

// The program's key (the version number its parameter files and the unit's link expect), its
// sub-version and the product word that heads its version lines.
constexpr int PROGRAM_KEY = 93;
constexpr int PROGRAM_SUBVERSION = 0;
constexpr const char* PRODUCT_WORD = "VORDAX4";
