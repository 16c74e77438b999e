#include "files/BuildStamp.h"

#include <sstream>

std::string BuildStamp::NormalizeDate(const char* compilerDate)
{
    std::istringstream in(compilerDate);
    std::string month, day, year;
    in >> month >> day >> year;
    return month + " " + day + " " + year;
}

BuildStamp BuildStamp::Program() { return { NormalizeDate(__DATE__), __TIME__ }; }
