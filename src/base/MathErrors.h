#pragma once

#include <string>

// The program's mathematical calls go through these checked helpers. A domain or range error
// is reported to MathErrorHook, which appends a line to the log "IGN.err" (in the working folder
// until the program names its place).

enum MathErrorKind : int { MATH_DOMAIN = 1, MATH_SING = 2, MATH_OVERFLOW = 3, MATH_UNDERFLOW = 4 };

// Where the log is appended to from now on.
void SetMathErrorLog(const std::string& path);

// Logs the error; returns true and sets *result when it replaces the function's result
// (the square root of a negative number becomes 1.0).
bool MathErrorHook(int kind, const char* function, double* result);

double CheckedSqrt(double x);
double CheckedLog(double x);
double CheckedLog10(double x);
double CheckedPow(double base, double exponent);
double CheckedAcos(double x);
double CheckedAsin(double x);
