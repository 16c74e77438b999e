#include "base/MathErrors.h"

#include "base/ProductIdentity.h"

#include <QtGlobal>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>

namespace {

std::mutex logMutex;
std::string logPath = "IGN.err";

double reported(int kind, const char* function, double value)
{
    MathErrorHook(kind, function, &value);
    return value;
}

} // namespace

void SetMathErrorLog(const std::string& path)
{
    const std::lock_guard lock(logMutex);
    logPath = path;
}

bool MathErrorHook(int kind, const char* function, double* result)
{
    std::string path;
    {
        const std::lock_guard lock(logMutex);
        path = logPath;
    }
    // The log's folder is made with the first error, so a run without one leaves none behind.
    std::error_code ignored;
    if (const auto folder = std::filesystem::path(path).parent_path(); !folder.empty())
        std::filesystem::create_directories(folder, ignored);
    if (FILE* f = std::fopen(path.c_str(), "a")) {
        const std::time_t now = std::time(nullptr);
        std::tm t{};
        localtime_r(&now, &t);
        std::fprintf(f, "<LOG TIME=%i.%i.%i %i:%i:%i NORVIK_v%i: MATHERR %s>\n", t.tm_mday, t.tm_mon + 1,
            t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec, PROGRAM_KEY, function);
        std::fclose(f);
    }
    qDebug("%s", function);
    if (kind == MATH_DOMAIN && std::string_view(function) == "sqrt" && result)
        *result = 1.0;
    return true;
}

double CheckedSqrt(double x) { return x < 0 ? reported(MATH_DOMAIN, "sqrt", std::sqrt(x)) : std::sqrt(x); }

double CheckedLog(double x)
{
    if (x < 0)
        return reported(MATH_DOMAIN, "log", std::log(x));
    return x == 0 ? reported(MATH_SING, "log", std::log(x)) : std::log(x);
}

double CheckedLog10(double x)
{
    if (x < 0)
        return reported(MATH_DOMAIN, "log10", std::log10(x));
    return x == 0 ? reported(MATH_SING, "log10", std::log10(x)) : std::log10(x);
}

double CheckedPow(double base, double exponent)
{
    const double r = std::pow(base, exponent);
    if (base < 0 && exponent != std::floor(exponent))
        return reported(MATH_DOMAIN, "pow", r);
    if (std::isinf(r) && std::isfinite(base) && std::isfinite(exponent))
        return reported(base == 0 ? MATH_SING : MATH_OVERFLOW, "pow", r);
    return r;
}

double CheckedAcos(double x) { return (x < -1 || x > 1) ? reported(MATH_DOMAIN, "acos", std::acos(x)) : std::acos(x); }
double CheckedAsin(double x) { return (x < -1 || x > 1) ? reported(MATH_DOMAIN, "asin", std::asin(x)) : std::asin(x); }
