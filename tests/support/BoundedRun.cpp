#include "support/BoundedRun.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace zund::test
{
void finishWithin (double seconds, const juce::String& what, const std::function<void()>& work)
{
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;

    std::thread worker ([&] {
        work();
        const std::lock_guard<std::mutex> lock (mutex);
        done = true;
        finished.notify_one();
    });

    std::unique_lock<std::mutex> lock (mutex);
    if (! finished.wait_for (lock, std::chrono::duration<double> (seconds), [&] { return done; }))
    {
        std::fprintf (stderr, "\nFAILED: %s did not return within %.0f s (a hang)\n", what.toRawUTF8(), seconds);
        std::fflush (stderr);
        std::_Exit (3);
    }
    lock.unlock();
    worker.join();
}

struct HangWatch::State
{
    std::mutex mutex;
    std::condition_variable disarmed;
    bool done = false;
};

HangWatch::HangWatch (double seconds, const juce::String& what) : state (std::make_shared<State>())
{
    std::thread ([watched = state, seconds, what] {
        std::unique_lock<std::mutex> lock (watched->mutex);
        if (! watched->disarmed.wait_for (lock, std::chrono::duration<double> (seconds), [&] { return watched->done; }))
        {
            std::fprintf (stderr, "\nFAILED: %s did not return within %.0f s (a hang)\n", what.toRawUTF8(), seconds);
            std::fflush (stderr);
            std::_Exit (3);
        }
    }).detach();
}

HangWatch::~HangWatch()
{
    const std::lock_guard<std::mutex> lock (state->mutex);
    state->done = true;
    state->disarmed.notify_one();
}
}
