#include "unitsim/AnswerPriority.h"

#ifdef __linux__
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

// The best nice value tried first; where the limit forbids it, each step towards the thread's
// present value is tried in turn.
constexpr int BEST_NICE = -10;

} // namespace

AnswerPriority RaiseAnswerPriority()
{
#ifdef __linux__
    // The lowest real-time level is enough: any real-time thread runs before every ordinary one,
    // and the unit's thread sleeps between requests, so it never holds a processor for long.
    sched_param param {};
    param.sched_priority = sched_get_priority_min(SCHED_RR);
    if (pthread_setschedparam(pthread_self(), SCHED_RR, &param) == 0)
        return AnswerPriority::RealTime;
    // On Linux the nice value belongs to the thread (its own id), not to the whole process.
    const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
    const int present = ::getpriority(PRIO_PROCESS, thread);
    for (int nice = BEST_NICE; nice < present; ++nice)
        if (::setpriority(PRIO_PROCESS, thread, nice) == 0)
            return AnswerPriority::Raised;
#endif
    return AnswerPriority::Ordinary;
}

const char* AnswerPriorityName(AnswerPriority priority)
{
    switch (priority) {
    case AnswerPriority::RealTime:
        return "real-time";
    case AnswerPriority::Raised:
        return "raised";
    case AnswerPriority::Ordinary:
        break;
    }
    return "ordinary";
}
