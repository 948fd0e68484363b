#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** A message over the scrolling waveform ("Pause Song first!", "Loading
    error!") that blinks four times in 2.4 seconds and then hides itself. */
class LoadingErrorComponent : public juce::Component,
                              public juce::Timer
{
public:
    static constexpr int blinkIntervalMs = 300;
    static constexpr int lastTick = 7;

    LoadingErrorComponent();
    ~LoadingErrorComponent() override;

    /** Shows the message now and starts the blinking from its first tick. */
    void start (const juce::String& newMessage);

    const juce::String& getMessage() const noexcept { return message; }

    /** Visible on even ticks, hidden on odd ones; hidden for good after the last. */
    void timerCallback() override;
    void paint (juce::Graphics& g) override;

private:
    juce::String message { "Error Loading File!" };
    int tick = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LoadingErrorComponent)
};
}
