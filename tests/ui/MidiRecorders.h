#pragma once

#include "ui/midi/MidiControlSurfaceManagerListener.h"
#include "ui/midi/MidiFeedbackOutput.h"

#include <string>
#include <vector>

namespace zund::test
{
/** Writes down every listener call as "moved 52 20", "triggered 30", "learned 52"
    (a reset trigger's id shown without bit 31). */
struct ListenerRecorder : public MidiControlSurfaceManagerListener
{
    void controllerMoved (int id, int value) override
    {
        calls.push_back ("moved " + std::to_string (id) + " " + std::to_string (value));
    }
    void controllerTriggered (int id) override { calls.push_back ("triggered " + describe (id)); }
    void controllerLearned (int id) override { calls.push_back ("learned " + describe (id)); }

    static std::string describe (int id)
    {
        return (id < 0 ? "ctrl " : "") + std::to_string (id & 0x7fffffff);
    }

    std::vector<std::string> takeCalls() { return std::exchange (calls, {}); }

    std::vector<std::string> calls;
};

/** Keeps the raw bytes of every feedback message. Not thread-safe by itself:
    the mapping must serialise the sends. */
struct OutputRecorder : public MidiFeedbackOutput
{
    void sendMessageNow (const juce::MidiMessage& message) override
    {
        const auto* data = message.getRawData();
        sent.emplace_back (data, data + message.getRawDataSize());
    }

    std::vector<std::vector<juce::uint8>> sent;
};
}
