#include "common/events/WakeSignal.h"

#include <cerrno>
#include <ctime>

namespace zund
{
WakeSignal::WakeSignal() noexcept
{
    sem_init (&semaphore, 0, 0);
}

WakeSignal::~WakeSignal()
{
    sem_destroy (&semaphore);
}

void WakeSignal::post() noexcept
{
    sem_post (&semaphore);
}

bool WakeSignal::wait (int timeoutMs) noexcept
{
    int result = 0;
    if (timeoutMs < 0)
    {
        do
            result = sem_wait (&semaphore);
        while (result != 0 && errno == EINTR);
    }
    else
    {
        // On the monotonic clock: setting the wall clock must not stretch the wait.
        timespec until {};
        clock_gettime (CLOCK_MONOTONIC, &until);
        until.tv_sec += timeoutMs / 1000;
        until.tv_nsec += (long) (timeoutMs % 1000) * 1000000L;
        if (until.tv_nsec >= 1000000000L)
        {
            until.tv_nsec -= 1000000000L;
            ++until.tv_sec;
        }
        do
            result = sem_clockwait (&semaphore, CLOCK_MONOTONIC, &until);
        while (result != 0 && errno == EINTR);
    }

    // Posts that piled up meanwhile are answered by this one wake.
    while (sem_trywait (&semaphore) == 0)
    {
    }
    return result == 0;
}
}
