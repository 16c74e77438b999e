#include "app/SignalClose.h"

#include <QSocketNotifier>

#include <array>
#include <csignal>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
constexpr std::array kSignals { SIGTERM, SIGINT, SIGHUP };
int pipeFds[2] = { -1, -1 };
std::array<struct sigaction, kSignals.size()> previous {};

extern "C" void OnSignal(int number)
{
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
}
#endif

} // namespace

SignalClose::SignalClose(std::function<void(int signal)> onSignal, QObject* parent)
    : QObject(parent)
    , onSignal_(std::move(onSignal))
{
#ifdef Q_OS_UNIX
    if (::pipe(pipeFds) != 0)
        return;
    for (const int fd : pipeFds)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalClose::Drain);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &action, &previous[i]);
#endif
}

SignalClose::~SignalClose()
{
#ifdef Q_OS_UNIX
    if (!notifier_)
        return;
    for (size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &previous[i], nullptr);
    delete notifier_;
    for (int& fd : pipeFds) {
        ::close(fd);
        fd = -1;
    }
#endif
}

void SignalClose::Drain()
{
#ifdef Q_OS_UNIX
    char bytes[16];
    ssize_t count = 0;
    while ((count = ::read(pipeFds[0], bytes, sizeof bytes)) > 0)
        for (ssize_t i = 0; i < count && onSignal_; ++i)
            onSignal_(static_cast<unsigned char>(bytes[i]));
#endif
}
