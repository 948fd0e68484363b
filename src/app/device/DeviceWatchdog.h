#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <functional>

namespace zund
{
/** Tells when an audio device has stopped calling back while it should run:
    no block has begun or ended for about a second. An ALSA device whose card
    was unplugged ends its thread without a word, so this is the only way to
    notice it.

    The rule only watches while the device should run (open, the program's
    callback started by it and not stopped since, with at least one active
    channel: a JACK device with no connected port gets no blocks at all),
    never while the program quits or changes the device, and not before the
    first block of a fresh start (a device takes a while to deliver its
    first block; a stop the device reported starts afresh). A block still
    being processed is not silence: processing that waits (for a plug-in
    being prepared, say) is not a device that stopped. It reports a stop
    once, then waits for a fresh start.

    Fed on the message thread from counters the audio thread bumps; the clock
    is injected for tests. */
class DeviceWatchdog
{
public:
    /** Milliseconds of a steady clock. */
    using Clock = std::function<double()>;

    static constexpr double silenceLimitMs = 1000.0;

    /** What the message thread sees at one look. */
    struct Observation
    {
        /** Bumped as each block begins and again as it ends: odd while a
            block is being processed. */
        std::uint64_t blockProgress = 0;
        /** Stops the device has reported; only a change matters. */
        std::uint64_t stops = 0;
        /** Open, the callback started and not stopped, with at least one
            active channel. */
        bool deviceShouldRun = false;
        bool quitting = false;
        bool changingDevice = false;
    };

    explicit DeviceWatchdog (Clock clockToUse = juce::Time::getMillisecondCounterHiRes);

    /** True once when the blocks have stopped coming. */
    bool blocksStopped (const Observation& seen);

    /** Forgets what it saw: the next look starts afresh. */
    void restart() noexcept { watching = false; }

private:
    static bool shouldWatch (const Observation& seen) noexcept
    {
        return seen.deviceShouldRun && ! seen.quitting && ! seen.changingDevice;
    }

    const Clock clock;
    bool watching = false;
    bool sawBlock = false;
    bool reported = false;
    std::uint64_t progressSeen = 0, stopsSeen = 0;
    double lastProgressMs = 0.0;

    JUCE_DECLARE_NON_COPYABLE (DeviceWatchdog)
};
}
