#include "CliProgramSignals.h"

#include "app/SignalCloseTexts.h"
#include "lang/LangString.h"

#include <atomic>
#include <unistd.h>

namespace {

// What the handler reads: plain lock-free atomics and texts that stay put while it is installed.
std::atomic<int> programsUnderway { 0 };
std::atomic<int> signalsReceived { 0 };
const std::string* waitingText = nullptr;
const std::string* abandonedText = nullptr;

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free counters");

void WriteText(const std::string* text)
{
    if (text)
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text->data(), text->size());
}

} // namespace

CliProgramSignals::CliProgramSignals()
    : waiting_("vordax4-cli: " + LangText(std::string(SignalCloseTexts::WAITING)) + "\n")
    , abandoned_("vordax4-cli: " + LangText(std::string(SignalCloseTexts::ABANDONED)) + "\n")
{
    programsUnderway = 0;
    signalsReceived = 0;
    waitingText = &waiting_;
    abandonedText = &abandoned_;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (const int number : SIGNALS)
        sigaddset(&action.sa_mask, number); // one handler at a time counts the signals
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < SIGNALS.size(); ++i)
        sigaction(SIGNALS[i], &action, &previous_[i]);
}

CliProgramSignals::~CliProgramSignals()
{
    for (size_t i = 0; i < SIGNALS.size(); ++i)
        sigaction(SIGNALS[i], &previous_[i], nullptr);
    waitingText = nullptr;
    abandonedText = nullptr;
}

bool CliProgramSignals::BeginProgram()
{
    ++programsUnderway;
    if (signalsReceived.load() == 0)
        return true;
    --programsUnderway;
    return false;
}

void CliProgramSignals::EndProgram() { --programsUnderway; }

bool CliProgramSignals::EndRequested() { return signalsReceived.load() > 0; }

void CliProgramSignals::OnSignal(int number)
{
    const int earlier = signalsReceived.fetch_add(1);
    if (programsUnderway.load() == 0) {
        // Nothing is being written: the signal does what it always does.
        ::signal(number, SIG_DFL);
        ::raise(number);
        return;
    }
    if (earlier == 0) {
        WriteText(waitingText);
        return;
    }
    WriteText(abandonedText);
    ::_exit(ABANDONED_STATUS_BASE + number);
}
