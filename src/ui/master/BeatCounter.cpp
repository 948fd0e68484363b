#include "ui/master/BeatCounter.h"

namespace zund
{
BeatCounter::BeatCounter (Clock clockToUse)
    : clock (std::move (clockToUse))
{
}

BeatCounter::~BeatCounter()
{
    stopTimer();
}

void BeatCounter::timerCallback()
{
    const auto time = clock();
    const juce::SpinLock::ScopedLockType sl (lock);
    now = time;
    if (tapping && now - lastTap > seriesTimeoutMs)
        tapping = false;
    if (! tapping)
        stopTimer(); // until the next series
}

void BeatCounter::tap()
{
    const juce::SpinLock::ScopedLockType sl (lock);

    if (! tapping)
    {
        // The first tap of a series only marks its start; the tempo stays.
        // No tick ran meanwhile, so it reads the time itself.
        now = clock();
        firstTap = lastTap = now;
        tapCount = 0;
        tapping = true;
        startTimer (tickMs);
        return;
    }

    ++tapCount;
    lastTap = now;

    // Unsigned difference: a series that spans the counter's wrap still counts.
    const juce::uint32 elapsedMs = now - firstTap;
    if (elapsedMs > 0)
        bpm.store ((float) ((double) tapCount * 60.0 / ((double) elapsedMs * 0.001)));
}
}
