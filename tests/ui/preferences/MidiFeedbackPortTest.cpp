#include "ui/midi/DefaultMidiFeedbackOutput.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

using namespace zund;

namespace
{
/** Ports that count what reaches them, per identifier; a port knows whether
    it has been closed. */
struct CountingPorts
{
    struct Port : public MidiFeedbackOutput
    {
        Port (CountingPorts& ownerToUse, const juce::String& id) : owner (ownerToUse), identifier (id) {}
        ~Port() override { closed.store (true); }
        void sendMessageNow (const juce::MidiMessage&) override
        {
            if (closed.load())
                ++owner.sendsToClosedPorts;
            std::lock_guard<std::mutex> guard (owner.mutex);
            ++owner.received[identifier];
        }
        CountingPorts& owner;
        juce::String identifier;
        std::atomic<bool> closed { false };
    };

    DefaultMidiFeedbackOutput::PortOpener opener()
    {
        return [this] (const juce::String& identifier) -> std::unique_ptr<MidiFeedbackOutput> {
            ++opened;
            if (identifier == "gone")
                return nullptr;
            return std::make_unique<Port> (*this, identifier);
        };
    }

    int receivedBy (const juce::String& identifier)
    {
        std::lock_guard<std::mutex> guard (mutex);
        return received[identifier];
    }

    std::mutex mutex;
    std::map<juce::String, int> received;
    std::atomic<int> sendsToClosedPorts { 0 };
    std::atomic<int> opened { 0 };
};
}

TEST (MidiFeedbackPort, FollowsTheChosenOutputAndOpensItOnce)
{
    CountingPorts ports;
    DefaultMidiFeedbackOutput output (ports.opener());
    const auto message = juce::MidiMessage::controllerEvent (1, 7, 64);

    EXPECT_FALSE (output.isOpen());
    output.sendMessageNow (message); // nowhere, quietly

    output.useOutput ("a");
    output.useOutput ("a");
    output.sendMessageNow (message);
    EXPECT_TRUE (output.isOpen());
    EXPECT_EQ (ports.opened.load(), 1);
    EXPECT_EQ (ports.receivedBy ("a"), 1);

    output.useOutput ("gone"); // cannot be opened: nothing is open
    EXPECT_FALSE (output.isOpen());
    output.useOutput ("gone"); // tried again
    EXPECT_EQ (ports.opened.load(), 3);

    output.useOutput ("b");
    output.sendMessageNow (message);
    output.useOutput ({});
    output.sendMessageNow (message);
    EXPECT_FALSE (output.isOpen());
    EXPECT_EQ (ports.receivedBy ("b"), 1);
    EXPECT_EQ (ports.receivedBy ("a"), 1);
}

TEST (MidiFeedbackPort, AnOutputChangedWhileAMidiThreadSendsIsNeverUsedAfterItCloses)
{
    CountingPorts ports;
    DefaultMidiFeedbackOutput output (ports.opener());
    output.useOutput ("a");

    std::atomic<bool> stop { false };
    std::atomic<int> sent { 0 };
    std::thread midiThread ([&] {
        const auto message = juce::MidiMessage::controllerEvent (1, 7, 64);
        while (! stop.load())
        {
            output.sendMessageNow (message);
            ++sent;
        }
    });

    const char* const choices[] = { "b", "", "a", "c" };
    for (int i = 0; i < 400; ++i)
    {
        output.useOutput (choices[i % 4]);
        std::this_thread::yield();
    }
    output.useOutput ("last");
    const int before = sent.load();
    while (sent.load() < before + 100)
        std::this_thread::yield();
    stop.store (true);
    midiThread.join();

    EXPECT_EQ (ports.sendsToClosedPorts.load(), 0);
    EXPECT_GE (ports.receivedBy ("last"), 99);
}
