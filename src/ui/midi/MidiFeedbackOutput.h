#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace zund
{
/** Where MIDI feedback goes: the default MIDI output in the program, a
    recorder in tests. The mapping serialises the calls. */
class MidiFeedbackOutput
{
public:
    virtual ~MidiFeedbackOutput() = default;

    virtual void sendMessageNow (const juce::MidiMessage& message) = 0;
};
}
