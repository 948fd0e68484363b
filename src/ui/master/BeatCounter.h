#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <functional>

namespace zund
{
/** Turns taps (the TAP button, F11 or a mapped MIDI control) into a tempo: the
    average over the whole series, which ends 1.5 s after its latest tap. Tap
    times come from the 10 ms timer's latest tick. A component only to own the
    timer; never shown.

    The timer runs only while a series does: the first tap of a series reads
    the clock itself and starts it, the tick that ends the series stops it, so
    an idle counter wakes nothing.

    tap() may run on a MIDI thread while the message thread ticks and reads the
    tempo: the series is guarded by a spin lock and the tempo is atomic. */
class BeatCounter : public juce::Component, public juce::Timer
{
public:
    /** Milliseconds, wrapping like juce::Time::getMillisecondCounter. */
    using Clock = std::function<juce::uint32()>;

    /** The clock is read by the timer and by the first tap of a series (on
        whichever thread taps). */
    explicit BeatCounter (Clock clockToUse = juce::Time::getMillisecondCounter);
    ~BeatCounter() override;

    void tap();
    float getBpm() const noexcept { return bpm.load(); }

    void timerCallback() override;

    static constexpr juce::uint32 seriesTimeoutMs = 1500;
    static constexpr int tickMs = 10;

private:
    const Clock clock;
    juce::SpinLock lock; // guards the series below
    juce::uint32 firstTap = 0;
    juce::uint32 lastTap = 0;
    juce::uint32 tapCount = 0; // intervals in the series
    juce::uint32 now = 0;      // the latest tick
    bool tapping = false;
    std::atomic<float> bpm { 120.0f };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BeatCounter)
};
}
