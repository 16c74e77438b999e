#pragma once

#include <string>

// The text of an axis label of the graphs, formatted by the label step: "250m" below 0.01,
// two decimals below 0.1, one below 1, whole numbers below 1000, then "2k" and "1M".
std::string GraphLabel(double value, double labelStep);
