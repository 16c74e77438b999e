#include "base/BuildInfo.h"

#include "base/ProductIdentity.h"

#include <cstdio>
#include <cstring>

std::string CompileDate(const char* buildDate)
{
    static constexpr const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    int month = 0;
    for (int m = 0; m < 12; ++m)
        if (std::strncmp(buildDate, months[m], 3) == 0)
            month = m + 1;
    int day = 0, year = 0;
    if (std::strlen(buildDate) >= 4)
        std::sscanf(buildDate + 3, "%d %d", &day, &year);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%i_%02i_%02i", year, month, day);
    return buf;
}

std::string ProgramCompileDate() { return CompileDate(__DATE__); }

std::string VersionLine(const std::string& compileDate)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s   RSKEY=%i.%02i   COMPILE=%s", PRODUCT_WORD, PROGRAM_KEY, PROGRAM_SUBVERSION,
        compileDate.c_str());
    return buf;
}

std::string VersionText(const char* program)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s %i.%i\n", program, PROGRAM_KEY, PROGRAM_SUBVERSION);
    return buf + VersionLine(ProgramCompileDate());
}
