#pragma once

#include "ui/widgets/ExComponent.h"

namespace zund
{
/** The "MIDI" activity lamp: lit for a given time after the last flash. A flash
    may come from a MIDI thread; its timer is started by a change message to
    itself, on the message thread. */
class LedComponent : public ExComponent,
                     private juce::Timer,
                     private juce::ChangeBroadcaster,
                     private juce::ChangeListener
{
public:
    LedComponent();
    ~LedComponent() override;

    /** Lights the lamp for durationMs after this flash. Any thread. */
    void flash (int durationMs);

    /** Stores and marks dirty when the value differs; never notifies. */
    void setValue (float newValue, bool notify) override;

    void paint (juce::Graphics& g) override;

private:
    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    void timerCallback() override;

    std::atomic<int> flashDurationMs { 20 };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LedComponent)
};
}
