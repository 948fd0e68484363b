#pragma once

#include "ui/MixerHost.h"

#include <juce_core/juce_core.h>

#include <array>
#include <memory>

namespace zund
{
/** Everything "preferences.xml" keeps between runs, as read from it and as it
    will be written. The preferences panel binds its controls to these values;
    the values live on the message thread.

    Routing values are item indexes of the panel's lists: 0 is "NONE", k + 1 the
    device's k-th stereo pair. They are kept as stored even when the current
    device has fewer pairs, so that the routing comes back with the larger card. */
struct PreferencesModel
{
    static constexpr int numDecks = 4;
    static constexpr int numChannels = MixerHost::numChannelStrips;
    /** channelInputDeck value that leaves the channel's deck as it is. */
    static constexpr int keepDeck = -1;
    /** numChannels value when no channel count is chosen. */
    static constexpr int noChannelCount = 0;
    /** The tag of the MIDI mapping's element inside the file. */
    static constexpr const char* midiDefaultsTag = "MIDIControlDefaults";

    PreferencesModel();

    std::array<bool, MixerHost::numSections> sectionVisible;
    int lastX = MixerHost::unsetBound, lastY = MixerHost::unsetBound;
    int lastWidth = MixerHost::unsetBound, lastHeight = MixerHost::unsetBound;

    bool resetOnLoad = true;
    bool warnOnLoad = true;
    bool useFunctionKeys = false;
    /** The VIRTUAL Z-LOCK RANGE knob's value, 0..1. */
    double zeroLockRange = 0.0;

    std::array<int, numDecks> deckInput {};
    std::array<int, numChannels> channelOutput {};
    int phonesOutput = 0;
    int mainOutput = 0;

    std::array<bool, numDecks> softPreamp {};
    std::array<bool, numDecks> invertPhaseLeft {};

    /** Per channel: the deck it follows (0..3, or keepDeck), sync, absolute mode. */
    std::array<int, numChannels> channelInputDeck;
    std::array<bool, numChannels> channelSync {};
    std::array<bool, numChannels> channelAbsolute {};

    /** 2, 3 or 4, or noChannelCount. */
    int channelCount = 2;

    /** The MIDI mapping's element "MIDIControlDefaults"; null when the file had none. */
    std::unique_ptr<juce::XmlElement> midiDefaults;
};
}
