#pragma once

#include <string>

// The program's build date and time as a parameter file records them: "Jan 27 2020", "16:30:07".
struct BuildStamp {
    std::string date;
    std::string time;

    // The stamp of this build (day without padding: "Jan 7 2020").
    static BuildStamp Program();
    // Turns a compiler date "Jan  7 2020" into "Jan 7 2020".
    static std::string NormalizeDate(const char* compilerDate);
};
