#pragma once

#include "engine/ChunkSize.h"

#include <juce_audio_basics/juce_audio_basics.h>

namespace zund
{
/** The audio and MIDI buffers handed to the hosted plug-ins, allocated ahead so
    that the audio thread never allocates: every chunk, whatever its length, sees
    the same channel pointers.

    Grown on the message thread under the engine lock (reserve); used by the audio
    thread under the same lock. */
class PluginBuffer
{
public:
    /** A referencing AudioBuffer keeps up to this many channel pointers in place;
        more would make it allocate on every chunk. */
    static constexpr int maxChannels = 31;

    PluginBuffer();

    /** Makes room for a plug-in of numChannels channels. False beyond maxChannels. */
    bool reserve (int numChannels);

    /** A buffer of numChannels x numFrames: left and right in channels 0 and 1,
        the other channels silent. Audio thread. */
    juce::AudioBuffer<float>& fill (const float* left, const float* right, int numChannels, int numFrames) noexcept;

    /** The processed channels 0 and 1 (channel 0 on both sides for a mono output).
        Non-finite samples come out as silence, huge ones held at +-1000. */
    void copyOut (float* left, float* right, int numFrames, bool monoOutput) const noexcept;

    /** The MIDI buffer, emptied. Audio thread. */
    juce::MidiBuffer& clearedMidi() noexcept;

private:
    juce::AudioBuffer<float> storage;
    juce::AudioBuffer<float> view;
    juce::MidiBuffer midi;
};
}
