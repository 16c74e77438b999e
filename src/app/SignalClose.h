#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into calls on the UI thread, so ending the program from a
// terminal or the session closes the window the way the user does and nothing of the session is
// lost. The handler only writes the signal's number into a pipe; the notifier reads it later and
// makes one call per signal with its number, so a second signal is told from the first.
// One object at a time; the handlers in place before it come back when it goes.
class SignalClose : public QObject {
public:
    explicit SignalClose(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
    ~SignalClose() override;
    SignalClose(const SignalClose&) = delete;
    SignalClose& operator=(const SignalClose&) = delete;

private:
    void Drain();

    std::function<void(int signal)> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};
