#pragma once

#include <atomic>
#include <cstdio>
#include <string>

// The diagnostic trace: time-stamped lines "hh:mm:ss.ss:   (loop) text". It is closed by default;
// a developer opens it by naming a file in the environment variable VORDAX4_TRACE.
class Trace {
public:
    // Opens the trace file named by VORDAX4_TRACE, if any; returns whether the trace is open.
    static bool OpenFromEnvironment();
    static bool Open(const std::string& path);
    static void Close();
    static bool IsOpen();

    // Takes the time origin so that the fraction of the time since it follows the
    // sub-second part of the wall clock.
    static void SetOrigin();

    // The link worker's loop counter, printed in every line.
    static std::atomic<int> LoopCounter;
};

// Writes one trace line if the trace is open; does nothing otherwise.
void TraceLine(const char* text);
void TraceLine(const std::string& text);
// printf-style convenience.
void TraceLinef(const char* format, ...) __attribute__((format(printf, 1, 2)));
