#pragma once

#include <semaphore.h>

namespace zund
{
/** Wakes a waiting thread from any other thread, the audio thread included:
    post() neither locks, nor waits, nor allocates (it counts up a semaphore
    and, when a thread waits on it, wakes that one). A post made while nobody
    waits makes the next wait return at once. */
class WakeSignal
{
public:
    WakeSignal() noexcept;
    ~WakeSignal();

    void post() noexcept;

    /** Waits until a post comes or timeoutMs pass (a negative timeout waits
        without limit), and takes every post made so far. True when posted. */
    bool wait (int timeoutMs) noexcept;

private:
    sem_t semaphore;

    WakeSignal (const WakeSignal&) = delete;
    WakeSignal& operator= (const WakeSignal&) = delete;
};
}
