#pragma once

#include <string>
#include <vector>

// The scale a trace is drawn against; traces of one scale share a pane and its axis.
enum class LogScale { Speed, Load, Advance, Voltage, State };

// One trace a recording can be plotted as: which monitor field (and element) it reads, and for
// on/off traces which bit of it. The colour is fixed here so that a trace looks the same in
// every session and in the pictures of the command line.
struct LogTrace {
    const char* key;   // the name on the command line, e.g. "rpm" or "adv1"
    const char* title; // LangString
    const char* field; // name in the monitor field table
    int element;
    int bit;           // -1: the field's value; 0..7: that bit as 0/1; 8: the value as 0/1
    LogScale scale;
    unsigned rgb;

    bool onOff() const { return bit >= 0; }

    static const std::vector<LogTrace>& All();
    // The trace of that key ("tp" and "iap" name the load trace), or -1.
    static int Find(const std::string& key);
    // The unit shown on the axis of a scale (LangString, empty for on/off traces).
    static const char* Unit(LogScale scale);
};
