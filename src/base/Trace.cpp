#include "base/Trace.h"

#include <chrono>
#include <cstdarg>
#include <cstdlib>
#include <ctime>
#include <mutex>

std::atomic<int> Trace::LoopCounter{0};

namespace {

std::mutex traceMutex; // keeps lines of different threads whole
FILE* LinkTrace = nullptr;
std::atomic<long long> originMs{0};

long long steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

bool Trace::OpenFromEnvironment()
{
    const char* path = std::getenv("VORDAX4_TRACE");
    return path && *path && Open(path);
}

bool Trace::Open(const std::string& path)
{
    std::lock_guard lock(traceMutex);
    if (LinkTrace)
        std::fclose(LinkTrace);
    LinkTrace = std::fopen(path.c_str(), "a");
    if (LinkTrace)
        std::setvbuf(LinkTrace, nullptr, _IOLBF, 0);
    return LinkTrace != nullptr;
}

void Trace::Close()
{
    std::lock_guard lock(traceMutex);
    if (LinkTrace)
        std::fclose(LinkTrace);
    LinkTrace = nullptr;
}

bool Trace::IsOpen()
{
    std::lock_guard lock(traceMutex);
    return LinkTrace != nullptr;
}

void Trace::SetOrigin()
{
    // Rather than wait for the wall-clock second to change, place the origin where that change was.
    using namespace std::chrono;
    const auto wallMs = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    originMs = steadyMs() - wallMs % 1000;
}

void TraceLine(const char* text)
{
    std::lock_guard lock(traceMutex);
    if (!LinkTrace)
        return;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const double elapsed = double(steadyMs() - originMs.load()) / 1000.0;
    const double fraction = elapsed - static_cast<double>(static_cast<long long>(elapsed));
    std::fprintf(LinkTrace, "%02i:%02i:%05.2f:   (%i) %s\n", local.tm_hour, local.tm_min, local.tm_sec + fraction,
        Trace::LoopCounter.load(), text);
}

void TraceLine(const std::string& text) { TraceLine(text.c_str()); }

void TraceLinef(const char* format, ...)
{
    if (!Trace::IsOpen())
        return;
    char buf[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    TraceLine(buf);
}
