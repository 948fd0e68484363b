#pragma once

#include <atomic>
#include <cmath>
#include <limits>

namespace zund
{
/** A value that a control thread posts for the audio thread, which takes it at
    the start of its next chunk; the latest post wins. Posting instead of storing
    keeps a jump from being lost to the audio thread's own update of the same
    field. Non-finite values are not posted. */
class PendingValue
{
public:
    void post (double value) noexcept
    {
        if (std::isfinite (value))
            pending.store (value);
    }

    /** True and the value when one was posted since the last take. */
    bool take (double& value) noexcept
    {
        const double taken = pending.exchange (none);
        if (std::isnan (taken))
            return false;
        value = taken;
        return true;
    }

    void clear() noexcept { pending.store (none); }

private:
    static constexpr double none = std::numeric_limits<double>::quiet_NaN();
    std::atomic<double> pending { none };
    static_assert (std::atomic<double>::is_always_lock_free);
};
}
