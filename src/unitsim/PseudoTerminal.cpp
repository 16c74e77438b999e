#include "unitsim/PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::~PseudoTerminal()
{
    PseudoTerminal::Close();
    ReleaseNumber();
}

bool PseudoTerminal::Open(std::string* error)
{
    Close();
    ReleaseNumber();
    // Close-on-exec: a program started meanwhile must not hold the line up after the unit lets go.
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    const char* name
        = master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0 ? ::ptsname(master_) : nullptr;
    if (!name) {
        if (error)
            *error = std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
        Close();
        return false;
    }
    slavePath_ = name;
    slaveKeeper_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveKeeper_ >= 0) {
        termios tio {};
        if (::tcgetattr(slaveKeeper_, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(slaveKeeper_, TCSANOW, &tio);
        }
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    return true;
}

void PseudoTerminal::Close()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

void PseudoTerminal::ReleaseNumber()
{
    if (slaveKeeper_ >= 0)
        ::close(slaveKeeper_);
    slaveKeeper_ = -1;
}

long PseudoTerminal::Read(uint8_t* buffer, size_t size, int timeoutMs)
{
    if (master_ < 0)
        return -1;
    pollfd pfd { master_, POLLIN, 0 };
    const int ready = ::poll(&pfd, 1, timeoutMs);
    if (ready <= 0)
        return 0;
    const ssize_t n = ::read(master_, buffer, size);
    if (n < 0)
        return errno == EAGAIN || errno == EINTR ? 0 : -1;
    return n;
}

bool PseudoTerminal::Write(const uint8_t* data, size_t size)
{
    size_t done = 0;
    while (master_ >= 0 && done < size) {
        const ssize_t n = ::write(master_, data + done, size - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd pfd { master_, POLLOUT, 0 };
        ::poll(&pfd, 1, 10);
    }
    return done == size;
}

uint32_t PseudoTerminal::LineBaud() const
{
    termios tio {};
    if (master_ < 0 || ::tcgetattr(master_, &tio) != 0)
        return 0;
    switch (::cfgetospeed(&tio)) {
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return 0;
    }
}
