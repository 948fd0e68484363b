#include "library/browser/AbandonedWorkers.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace zund
{
namespace
{
class Graveyard
{
public:
    ~Graveyard()
    {
        // At exit a thread still stuck is not waited for: it goes with the process.
        const std::lock_guard<std::mutex> guard (mutex);
        deleteEnded();
        for (auto& thread : threads)
            thread.release();
    }

    void adopt (std::unique_ptr<juce::Thread> thread)
    {
        const std::lock_guard<std::mutex> guard (mutex);
        deleteEnded();
        threads.push_back (std::move (thread));
    }

    int numRunning()
    {
        const std::lock_guard<std::mutex> guard (mutex);
        deleteEnded();
        return (int) threads.size();
    }

private:
    void deleteEnded()
    {
        threads.erase (std::remove_if (threads.begin(), threads.end(), [] (const auto& t) { return ! t->isThreadRunning(); }),
                       threads.end());
    }

    std::mutex mutex;
    std::vector<std::unique_ptr<juce::Thread>> threads;
};

Graveyard& graveyard()
{
    static Graveyard instance;
    return instance;
}
}

void AbandonedWorkers::leave (std::unique_ptr<juce::Thread> worker)
{
    graveyard().adopt (std::move (worker));
}

int AbandonedWorkers::numStillRunning()
{
    return graveyard().numRunning();
}
}
