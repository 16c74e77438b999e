#pragma once

#include <string>

// The text of an axis label of the graphs, formatted by the label step: "250m" below 0.01,
// two decimals below 0.1, one below 1, whole numbers below 1000, then "2k" and "1M".
std::string GraphLabel(double value, double labelStep);
// The same with the unit after it: degrees on the number, other units after a space.
std::string GraphLabelWithUnit(double value, double labelStep, const char* unit);
