#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
class WaveOverview;

/** What the waveform overview asks of its owner (the wave display). */
class WaveOverviewListener
{
public:
    /** A drag-and-drop item was dropped; `source` may be null. */
    virtual void waveOverviewItemDropped (const juce::String& description, juce::Component* source) = 0;
    /** One supported audio file was dropped. */
    virtual void waveOverviewFilesDropped (const juce::File& file) = 0;
    /** At the start of every paint: supply the arrays and the play position. */
    virtual void waveOverviewNeedsData (WaveOverview* overview) = 0;
    /** A drag across the overview: move the channel to this fraction 0..1. */
    virtual void waveOverviewSeek (WaveOverview* overview, float fraction) = 0;
    /** Cue `index` is to be cleared, on the overview and in the song record. */
    virtual void waveOverviewCueCleared (int index) = 0;

protected:
    ~WaveOverviewListener() = default;
};
}
