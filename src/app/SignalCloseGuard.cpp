#include "app/SignalCloseGuard.h"

#include "app/SignalClose.h"
#include "app/SignalCloseTexts.h"
#include "link/ConnectionManager.h"

#include <QTimer>

SignalCloseGuard::SignalCloseGuard(const ConnectionManager& manager, std::function<void(const char* text)> notify,
    std::function<void(int status)> end, QObject* parent)
    : QObject(parent)
    , manager_(manager)
    , notify_(std::move(notify))
    , end_(std::move(end))
{
    new SignalClose([this](int number) { OnSignal(number); }, this);
}

void SignalCloseGuard::OnSignal(int number)
{
    if (endStatus_ >= 0)
        return;
    if (waiting_) {
        notify_(SignalCloseTexts::ABANDONED);
        End(STATUS_SIGNAL_BASE + number);
        return;
    }
    if (!manager_.ProgramUnderway()) {
        End(STATUS_OK);
        return;
    }
    waiting_ = true;
    // A result from an earlier Program must not stand for this one.
    programOk_ = false;
    notify_(SignalCloseTexts::WAITING);
}

void SignalCloseGuard::Check()
{
    if (!waiting_ || endStatus_ >= 0 || manager_.ProgramUnderway())
        return;
    notify_(programOk_ ? SignalCloseTexts::FINISHED : SignalCloseTexts::FAILED);
    End(programOk_ ? STATUS_OK : STATUS_FAILED);
}

void SignalCloseGuard::End(int status)
{
    endStatus_ = status;
    QTimer::singleShot(0, this, [this, status] { end_(status); });
}
