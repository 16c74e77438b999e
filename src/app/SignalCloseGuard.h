#pragma once

#include <QObject>

#include <functional>

class ConnectionManager;

// What a terminating signal (SIGTERM, SIGINT, SIGHUP) does to the window. Outside a Program the
// window ends at once. A Program cut short leaves the unit half-programmed, so the first signal
// during one lets it run to its end, read-back and storing included, and the window then ends
// with the Program's result; a second signal ends at once and says that the unit may hold a
// partial configuration.
class SignalCloseGuard : public QObject {
public:
    // Exit statuses: the Program's result, or 128 + the signal's number when it was abandoned.
    static constexpr int STATUS_OK = 0;
    static constexpr int STATUS_FAILED = 1;
    static constexpr int STATUS_SIGNAL_BASE = 128;

    // manager: whose Program a signal waits for. notify shows a text (a LangString) to the user;
    // end closes the window and ends the program with an exit status.
    SignalCloseGuard(const ConnectionManager& manager, std::function<void(const char* text)> notify,
        std::function<void(int status)> end, QObject* parent = nullptr);

    // After every pass of the connection manager: ends the window once the Program a signal
    // waits for is over.
    void Check();
    // The connection manager's report that a Program ended; ok: the unit has stored it.
    void ProgramEnded(bool ok) { programOk_ = ok; }

    // A signal waits for the Program to end.
    bool Waiting() const { return waiting_; }
    // The exit status the window ended with; -1 while it has not ended on a signal.
    int EndStatus() const { return endStatus_; }

private:
    void OnSignal(int number);
    // The end runs from the event loop, never from within the pass that noticed it.
    void End(int status);

    const ConnectionManager& manager_;
    std::function<void(const char* text)> notify_;
    std::function<void(int status)> end_;
    bool waiting_ = false;
    bool programOk_ = false;
    int endStatus_ = -1;
};
