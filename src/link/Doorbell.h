#pragma once

#include <atomic>

// Wakes a thread that sleeps until there is work: any thread rings, the owner waits on the bell
// together with at most one other descriptor (a serial device). Nothing is locked; a ring is one
// atomic exchange, plus one write to an event descriptor when the bell was not rung already, so a
// burst of rings costs the sleeper one wake. The waiter looks at its work again after every wait;
// whatever a ringer stored before ringing is visible to it then.
class Doorbell {
public:
    Doorbell() = default;
    ~Doorbell();
    Doorbell(const Doorbell&) = delete;
    Doorbell& operator=(const Doorbell&) = delete;

    // Makes the event descriptor, once. Called before the bell is handed to other threads; rings
    // before it are lost, so a waiter looks at its work before its first wait.
    bool Open();
    void Ring();
    // Sleeps until the bell rings, otherFd (when not -1) becomes readable or hangs up, or ms pass
    // (-1: no limit). Returns the poll events of otherFd.
    short Wait(int otherFd, int ms);
    // Makes the bell quiet again after a wake seen through its descriptor.
    void Take();
    int Fd() const { return fd_.load(std::memory_order_acquire); }

private:
    std::atomic<int> fd_ { -1 };
    std::atomic<bool> rung_ { false };
};
