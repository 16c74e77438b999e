#include "link/Doorbell.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

Doorbell::~Doorbell()
{
    const int fd = fd_.load(std::memory_order_relaxed);
    if (fd >= 0)
        ::close(fd);
}

bool Doorbell::Open()
{
    if (fd_.load(std::memory_order_relaxed) >= 0)
        return true;
    const int fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    fd_.store(fd, std::memory_order_release);
    return fd >= 0;
}

void Doorbell::Ring()
{
    const int fd = fd_.load(std::memory_order_acquire);
    // A bell rung and not yet taken already has its count in the descriptor.
    if (fd < 0 || rung_.exchange(true, std::memory_order_acq_rel))
        return;
    const uint64_t one = 1;
    while (::write(fd, &one, sizeof one) < 0 && errno == EINTR) { }
}

void Doorbell::Take()
{
    const int fd = fd_.load(std::memory_order_acquire);
    if (fd < 0)
        return;
    uint64_t count = 0;
    while (::read(fd, &count, sizeof count) < 0 && errno == EINTR) { }
    // Cleared after the drain: a ring between the two finds the bell rung and skips its write,
    // and this exchange reads its store, so the waiter's next look sees what it published.
    rung_.exchange(false, std::memory_order_acq_rel);
}

short Doorbell::Wait(int otherFd, int ms)
{
    pollfd fds[2] = { { Fd(), POLLIN, 0 }, { otherFd, POLLIN, 0 } };
    const nfds_t count = otherFd >= 0 ? 2 : 1;
    if (::poll(fds, count, ms) <= 0)
        return 0;
    if (fds[0].revents)
        Take();
    return count == 2 ? fds[1].revents : 0;
}
