#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
class AudioPluginContainer;

/** What the bottom bar asks of the main component, so that it never includes
    it. The main component implements it; tests give a stand-in. Message
    thread only. */
class BottomBarHost
{
public:
    virtual ~BottomBarHost() = default;

    /** Section indexes as in MixerHost: 4 EQ rows, 5 filter rows, 6 loop-sampler
        rows, 7 master strip, 8 player rows, 9 channel rows, 10 crossfader panel. */
    virtual void setSectionVisible (int index, bool visible) = 0;
    virtual bool isSectionVisible (int index) const = 0;

    virtual void setLearnMode (bool on) = 0;

    /** The open audio device's input channel names; none without a device. */
    virtual juce::StringArray getInputChannelNames() const = 0;
    /** The first device input channel of the pair the audio callback hands to
        the recorder; -1 for none. */
    virtual void setRecordingInputPair (int firstChannel) = 0;

    /** Plug-in slot 0 or 1 of the effect panel; null while there is none. */
    virtual AudioPluginContainer* getPluginSlot (int index) = 0;

protected:
    BottomBarHost() = default;
};
}
