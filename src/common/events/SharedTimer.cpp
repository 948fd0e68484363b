#include "common/events/SharedTimer.h"

#include <algorithm>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace zund
{
namespace
{
/** One juce::Timer and the SharedTimers it calls, each on every n-th tick. */
class Tick : private juce::Timer
{
public:
    explicit Tick (int periodMs) : period (periodMs) { startTimer (period); }
    ~Tick() override { stopTimer(); }

    void add (SharedTimer* timer, int ticksPerCall)
    {
        members.push_back ({ timer, ticksPerCall, ticksPerCall });
        ++numMembers;
    }

    /** Whether it was a member. */
    bool remove (SharedTimer* timer) noexcept
    {
        for (auto& m : members)
            if (m.timer == timer)
            {
                m.timer = nullptr; // swept after the tick in progress, if any
                --numMembers;
                return true;
            }
        return false;
    }

    bool isEmpty() const noexcept { return numMembers == 0; }
    bool isTicking() const noexcept { return ticking; }

    /** Counts the next period from the pass of the framework's timers under
        way (a running framework timer only restarts its count). */
    void restartCount() { startTimer (period); }

    /** Runs the tick now, as its own timer would. May delete this. */
    void runNow() { timerCallback(); }

    double getLastRunMs() const noexcept { return lastRunMs; }

    /** Whether it ran in the message under way: a message it posted as it
        ran clears the mark once that message is over. */
    bool ranInThisMessage() const noexcept { return *ranInMessage; }

private:
    struct Member
    {
        SharedTimer* timer;
        int ticksPerCall, ticksLeft;
    };

    void timerCallback() override;

    const int period;
    std::vector<Member> members;
    int numMembers = 0;
    bool ticking = false;
    double lastRunMs = juce::Time::getMillisecondCounterHiRes();
    std::shared_ptr<bool> ranInMessage = std::make_shared<bool> (false);
};

// Keyed by the juce::Timer's period. Message thread only, as the timers are.
// Never destroyed: a timer that outlives main() can still be stopped.
std::map<int, std::unique_ptr<Tick>>& ticks()
{
    static auto& all = *new std::map<int, std::unique_ptr<Tick>>();
    return all;
}

void deleteTick (int period)
{
    ticks().erase (period);
}

void Tick::timerCallback()
{
    // Members added during the tick wait for the next one; removed ones are
    // left as holes until the tick ends, so the indexes stay put.
    lastRunMs = juce::Time::getMillisecondCounterHiRes();
    if (! std::exchange (*ranInMessage, true))
        juce::MessageManager::callAsync ([mark = ranInMessage] { *mark = false; });
    ticking = true;
    const auto count = members.size();
    for (size_t i = 0; i < count; ++i)
    {
        auto& m = members[i];
        if (m.timer == nullptr || --m.ticksLeft > 0)
            continue;
        m.ticksLeft = m.ticksPerCall;
        m.timer->timerCallback(); // may start, stop or delete any timer
    }
    ticking = false;

    members.erase (std::remove_if (members.begin(), members.end(), [] (const Member& m) { return m.timer == nullptr; }),
                   members.end());
    if (isEmpty())
        deleteTick (period); // deletes this, as juce::Timer allows inside its callback
}
}

SharedTimer::~SharedTimer()
{
    stopTimer();
}

void SharedTimer::startTimer (int newIntervalMs)
{
    stopTimer();
    intervalMs = juce::jmax (1, newIntervalMs);

    const bool onSharedTick = intervalMs % sharedTickMs == 0;
    const int period = onSharedTick ? sharedTickMs : intervalMs;
    auto& tick = ticks()[period];
    if (tick == nullptr)
        tick = std::make_unique<Tick> (period);
    tick->add (this, intervalMs / period);
}

void SharedTimer::stopTimer() noexcept
{
    if (intervalMs <= 0)
        return;
    const int period = intervalMs % sharedTickMs == 0 ? sharedTickMs : intervalMs;
    intervalMs = 0;

    auto found = ticks().find (period);
    if (found == ticks().end() || ! found->second->remove (this))
        return;
    // A tick that empties in the middle of its own callback deletes itself at the end of it.
    if (found->second->isEmpty() && ! found->second->isTicking())
        ticks().erase (found);
}

bool SharedTimer::runSharedTickWithVBlank (double nowMs, int vblankIntervalMs)
{
    if (vblankIntervalMs <= 0 || sharedTickMs % vblankIntervalMs != 0)
        return false;
    auto found = ticks().find (sharedTickMs);
    if (found == ticks().end() || found->second->isTicking() || found->second->ranInThisMessage())
        return false; // in step already

    // Due within half a blank: it runs now. Run within the last half blank, in
    // a wake-up of its own: the next one waits for a blank. Either way its
    // count restarts from this blank's pass, with the blanks from now on.
    auto& tick = *found->second;
    const double sinceLastRun = nowMs - tick.getLastRunMs();
    const double halfBlank = vblankIntervalMs / 2.0;
    const bool runNow = sinceLastRun >= sharedTickMs - halfBlank;
    if (! runNow && sinceLastRun >= halfBlank)
        return false;
    tick.restartCount();
    if (runNow)
        tick.runNow();
    return runNow;
}

double SharedTimer::getLastSharedTickMs()
{
    auto found = ticks().find (sharedTickMs);
    return found == ticks().end() ? 0.0 : found->second->getLastRunMs();
}

int SharedTimer::getNumTicksRunning()
{
    return (int) ticks().size();
}
}
