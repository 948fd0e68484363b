#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
class WaveComponent;

/** What the scrolling waveform asks of its owner (the wave display). */
class WaveComponentListener
{
public:
    /** A drag-and-drop item was dropped; `source` may be null. */
    virtual void waveComponentItemDropped (WaveComponent* view, juce::Component* source,
                                           const juce::String& description) = 0;
    /** At the start of every paint: supply the rings and the ring position. */
    virtual void waveComponentNeedsData (WaveComponent* view) = 0;
    /** One supported audio file was dropped. */
    virtual void waveComponentFilesDropped (WaveComponent* view, const juce::File& file) = 0;

protected:
    ~WaveComponentListener() = default;
};
}
