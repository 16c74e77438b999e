#pragma once

#include <array>
#include <csignal>
#include <string>

// Keeps a terminating signal (SIGTERM, SIGINT, SIGHUP) from cutting a Program short, which would
// leave the unit half-programmed. While an object lives, a signal that comes while no session is
// programming ends the tool at once, as it would without the object. The first signal while
// sessions program lets their Programs run to the end, read-back and storing included, and starts
// no other; the command then ends with its result. A second signal abandons them: it says that the
// unit may hold a partial configuration and ends the tool with 128 + the signal's number.
// One object at a time; the handlers in place before it come back when it goes.
class CliProgramSignals {
public:
    static constexpr int ABANDONED_STATUS_BASE = 128;

    CliProgramSignals();
    ~CliProgramSignals();
    CliProgramSignals(const CliProgramSignals&) = delete;
    CliProgramSignals& operator=(const CliProgramSignals&) = delete;

    // A session's Program begins; false (and nothing begins) once a signal has asked the tool to end.
    static bool BeginProgram();
    static void EndProgram();
    // A signal has asked the tool to end once the Programs under way are over.
    static bool EndRequested();

private:
    static void OnSignal(int number);

    static constexpr std::array SIGNALS { SIGTERM, SIGINT, SIGHUP };
    std::array<struct sigaction, SIGNALS.size()> previous_ {};
    // The texts the handler writes, in the language of the run, made before it can run.
    std::string waiting_;
    std::string abandoned_;
};
