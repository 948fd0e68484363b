#pragma once

#include <atomic>

namespace zund
{
/** The speed changes that the control threads post for a channel and the audio
    thread applies at the start of its next chunk.

    Each change sets the speed and the smoothed speed from the old speed, the
    old smoothed speed or zero. A post is composed onto the change still
    pending, so that two posts in one chunk (a channel stopped by a deck change,
    then frozen by a take-over) give the result of both, in order. */
class PendingSpeedChange
{
public:
    enum class Change
    {
        holdSpeed,         // the smoothed speed takes the speed
        holdSmoothedSpeed, // the speed takes the smoothed speed
        stop               // speed 0
    };

    /** Any thread. */
    void post (Change change) noexcept
    {
        const unsigned next = packed (change);
        unsigned current = pending.load();
        while (! pending.compare_exchange_weak (current, compose (current, next)))
        {
        }
    }

    /** Audio thread: applies what was posted since the last call. */
    void apply (double& speed, double& smoothedSpeed) noexcept
    {
        const unsigned change = pending.exchange (unchanged);
        const double oldSpeed = speed, oldSmoothed = smoothedSpeed;
        speed = valueFrom (speedSource (change), oldSpeed, oldSmoothed);
        smoothedSpeed = valueFrom (smoothedSource (change), oldSpeed, oldSmoothed);
    }

    void clear() noexcept { pending.store (unchanged); }

private:
    // Where a new value comes from. A change packs two: the speed's in bits 0-1,
    // the smoothed speed's in bits 2-3.
    enum Source : unsigned
    {
        zero = 0,
        fromSpeed = 1,
        fromSmoothed = 2
    };

    static constexpr unsigned pack (unsigned speed, unsigned smoothed) noexcept { return speed | (smoothed << 2); }
    static constexpr unsigned speedSource (unsigned change) noexcept { return change & 3u; }
    static constexpr unsigned smoothedSource (unsigned change) noexcept { return (change >> 2) & 3u; }
    static constexpr unsigned unchanged = fromSpeed | (fromSmoothed << 2);

    static constexpr unsigned packed (Change change) noexcept
    {
        switch (change)
        {
            case Change::holdSpeed:         return pack (fromSpeed, fromSpeed);
            case Change::holdSmoothedSpeed: return pack (fromSmoothed, fromSmoothed);
            case Change::stop:              return pack (zero, fromSmoothed);
        }
        return unchanged;
    }

    // `second` after `first`: a value that `second` takes from the old speed
    // comes from wherever `first` took the speed, and so on.
    static constexpr unsigned resolve (unsigned source, unsigned first) noexcept
    {
        return source == fromSpeed ? speedSource (first) : (source == fromSmoothed ? smoothedSource (first) : zero);
    }

    static constexpr unsigned compose (unsigned first, unsigned second) noexcept
    {
        return pack (resolve (speedSource (second), first), resolve (smoothedSource (second), first));
    }

    static double valueFrom (unsigned source, double speed, double smoothed) noexcept
    {
        return source == fromSpeed ? speed : (source == fromSmoothed ? smoothed : 0.0);
    }

    std::atomic<unsigned> pending { unchanged };
};
}
