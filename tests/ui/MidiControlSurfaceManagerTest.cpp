#include "MidiRecorders.h"

#include "support/TempFolder.h"
#include "ui/midi/MidiControlSurfaceManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace zund;
using Calls = std::vector<std::string>;
using Bytes = std::vector<juce::uint8>;

namespace
{
juce::MidiMessage cc (int channel, int number, int value)
{
    return juce::MidiMessage::controllerEvent (channel, number, value);
}

class MidiMapping : public ::testing::Test
{
protected:
    MidiMapping() { mapping.setListener (&listener); }

    /** The feedback for one id, as raw bytes (empty when nothing is sent). */
    Bytes feedback (int id, int value)
    {
        test::OutputRecorder output;
        mapping.sendFeedback (&output, id, value);
        return output.sent.empty() ? Bytes() : output.sent.front();
    }

    MidiControlSurfaceManager mapping;
    test::ListenerRecorder listener;
};
}

TEST_F (MidiMapping, RelearningAControllerMovesItsFeedbackToTheNewControl)
{
    mapping.learn (45, false);
    mapping.handleIncomingMidiMessage (cc (1, 7, 10));
    EXPECT_EQ (listener.takeCalls(), (Calls { "learned 45", "moved 45 10" }));
    EXPECT_EQ (feedback (45, 99), (Bytes { 0xb0, 7, 99 }));

    // The learned message also moves the control at once.
    mapping.learn (52, false);
    EXPECT_TRUE (mapping.isLearning());
    mapping.handleIncomingMidiMessage (cc (1, 7, 20));
    EXPECT_FALSE (mapping.isLearning());
    EXPECT_EQ (listener.takeCalls(), (Calls { "learned 52", "moved 52 20" }));

    EXPECT_EQ (feedback (45, 99), Bytes());
    EXPECT_EQ (feedback (52, 99), (Bytes { 0xb0, 7, 99 }));
    mapping.handleIncomingMidiMessage (cc (1, 7, 30));
    EXPECT_EQ (listener.takeCalls(), (Calls { "moved 52 30" }));

    // Learning the same control again moves its mapping away from CC 7.
    mapping.learn (52, false);
    mapping.handleIncomingMidiMessage (cc (3, 9, 1));
    listener.takeCalls();
    mapping.handleIncomingMidiMessage (cc (1, 7, 40));
    EXPECT_TRUE (listener.takeCalls().empty());
    EXPECT_EQ (feedback (52, 127), (Bytes { 0xb2, 9, 127 }));
}

TEST_F (MidiMapping, CtrlTriggerResetsOnEveryMessageIncludingNoteOffAndSendsNoFeedback)
{
    mapping.learn (30, true);
    mapping.handleIncomingMidiMessage (juce::MidiMessage::noteOn (2, 36, (juce::uint8) 100));
    EXPECT_EQ (listener.takeCalls(), (Calls { "learned ctrl 30", "triggered ctrl 30" }));

    mapping.handleIncomingMidiMessage (juce::MidiMessage::noteOff (2, 36, (juce::uint8) 64));
    mapping.handleIncomingMidiMessage (juce::MidiMessage::noteOn (2, 36, (juce::uint8) 0));
    EXPECT_EQ (listener.takeCalls(), (Calls { "triggered ctrl 30", "triggered ctrl 30" }));
    EXPECT_EQ (feedback (30, 127), Bytes());

    // A trigger and a plain mapping live side by side on one control.
    mapping.assignController (30, 0, 1);
    EXPECT_EQ (feedback (30, 64), (Bytes { 0xb0, 1, 64 }));
    mapping.handleIncomingMidiMessage (juce::MidiMessage::noteOn (2, 36, (juce::uint8) 1));
    EXPECT_EQ (listener.takeCalls(), (Calls { "triggered ctrl 30" }));
}

TEST_F (MidiMapping, NotesActAsMomentaryButtonsAndFeedBackAsNotes)
{
    mapping.assignNote (155, 9, 60);
    struct Case
    {
        juce::MidiMessage message;
        const char* call;
    };
    for (const auto& c : { Case { juce::MidiMessage::noteOn (10, 60, (juce::uint8) 127), "moved 155 127" },
                           Case { juce::MidiMessage::noteOff (10, 60, (juce::uint8) 64), "moved 155 0" },
                           Case { juce::MidiMessage::noteOn (10, 60, (juce::uint8) 90), "moved 155 90" },
                           Case { juce::MidiMessage::noteOn (10, 60, (juce::uint8) 0), "moved 155 0" } })
    {
        mapping.handleIncomingMidiMessage (c.message);
        EXPECT_EQ (listener.takeCalls(), (Calls { c.call })) << c.message.getDescription();
    }
    EXPECT_EQ (feedback (155, 0), (Bytes { 0x99, 60, 0 }));
    EXPECT_EQ (feedback (155, 300), (Bytes { 0x99, 60, 127 }));
}

TEST_F (MidiMapping, OnlyChannelControllersAndNotesCountAndDataBytesAreMasked)
{
    mapping.assignController (301, 0, 7);
    mapping.learn (402, false);
    for (const auto& other : { juce::MidiMessage::programChange (1, 7), juce::MidiMessage::pitchWheel (1, 100),
                               juce::MidiMessage::channelPressureChange (1, 7), juce::MidiMessage::midiClock(),
                               juce::MidiMessage::createSysExMessage ("\x07\x07", 2) })
        mapping.handleIncomingMidiMessage (other);
    EXPECT_TRUE (listener.takeCalls().empty());
    EXPECT_TRUE (mapping.isLearning()); // still waiting for a controller or note

    // Bytes above 127 can only come from a broken device: 0x87 is read as 7.
    const juce::uint8 raw[] = { 0xb0, 0x87, 0xc5 };
    mapping.handleIncomingMidiMessage (juce::MidiMessage (raw, 3));
    EXPECT_EQ (listener.takeCalls(), (Calls { "learned 402", "moved 402 69" }));
    EXPECT_EQ (mapping.getControllerTarget (0, 7), 402);
    EXPECT_EQ (feedback (301, 1), Bytes());
}

TEST_F (MidiMapping, EntriesAreWrittenInCellOrderAndReadBack)
{
    mapping.assignController (10, 1, 5);
    mapping.assignNote (11 | MidiControlSurfaceManager::resetTriggerBit, 0, 5);
    mapping.assignController (12, 0, 5);
    mapping.assignNote (9999, 15, 127);

    const auto xml = mapping.toXml ("MidiControlSettings");
    const auto expected = juce::parseXML (
        "<MidiControlSettings><Entry1 tag=\"12\" controller=\"5\"/><Entry2 tag=\"-2147483637\" controller=\"65541\"/>"
        "<Entry3 tag=\"10\" controller=\"261\"/><Entry4 tag=\"9999\" controller=\"69503\"/></MidiControlSettings>");
    EXPECT_TRUE (xml->isEquivalentTo (expected.get(), false)) << xml->toString();

    MidiControlSurfaceManager loaded;
    loaded.fromXml (xml.get());
    EXPECT_TRUE (loaded.toXml ("MidiControlSettings")->isEquivalentTo (expected.get(), false));
    EXPECT_EQ (loaded.getNoteTarget (0, 5), 11 | MidiControlSurfaceManager::resetTriggerBit);
    test::OutputRecorder output;
    loaded.sendFeedback (&output, 9999, 5);
    EXPECT_EQ (output.sent, (std::vector<Bytes> { { 0x9f, 127, 5 } }));

    mapping.clear();
    EXPECT_EQ (mapping.toXml ("x")->getNumChildElements(), 0);
    EXPECT_EQ (feedback (12, 1), Bytes());
}

TEST_F (MidiMapping, EntriesThatDoNotFitTheMapsAreSkipped)
{
    struct Case
    {
        const char* entry;
        bool applied;
    };
    for (const auto& c : { Case { "<E tag=\"52\" controller=\"7\"/>", true },
                           Case { "<Whatever tag=\"-2147483596\" controller=\"65543\"/>", true },
                           Case { "<E tag=\"52\" controller=\"4103\"/>", false },  // MIDI channel 16 (0-based)
                           Case { "<E tag=\"52\" controller=\"3967\"/>", true },   // channel 15, number 127: the last cell
                           Case { "<E tag=\"52\" controller=\"128\"/>", false },   // number 128
                           Case { "<E tag=\"52\" controller=\"65664\"/>", false }, // note 128
                           Case { "<E tag=\"52\" controller=\"200\"/>", false },   // number 200
                           Case { "<E tag=\"10000\" controller=\"7\"/>", false },
                           Case { "<E tag=\"-1\" controller=\"7\"/>", false },
                           Case { "<E tag=\"-5\" controller=\"7\"/>", false },
                           Case { "<E controller=\"7\"/>", false },
                           Case { "<E tag=\"52\"/>", false } })
    {
        SCOPED_TRACE (c.entry);
        mapping.assignController (1, 0, 1); // replaced by any load
        const auto element = juce::parseXML (juce::String ("<M>") + c.entry + "</M>");
        mapping.fromXml (element.get());
        EXPECT_EQ (mapping.getControllerTarget (0, 1), MidiControlSurfaceManager::none);
        EXPECT_EQ (mapping.toXml ("M")->getNumChildElements(), c.applied ? 1 : 0);
    }
}

// Number 128 of channel 1 would be cell 0 of channel 2 in the maps: a file's
// entry there must not make channel 2's first controller or note move a control.
TEST_F (MidiMapping, AnEntryAtNumber128IsNotTakenForTheNextChannelsFirstCell)
{
    for (const char* entry : { "<E tag=\"52\" controller=\"128\"/>", "<E tag=\"52\" controller=\"65664\"/>" })
    {
        SCOPED_TRACE (entry);
        const auto element = juce::parseXML (juce::String ("<M>") + entry + "</M>");
        mapping.fromXml (element.get());
        mapping.handleIncomingMidiMessage (cc (2, 0, 99));
        mapping.handleIncomingMidiMessage (juce::MidiMessage::noteOn (2, 0, (juce::uint8) 99));
        EXPECT_TRUE (listener.takeCalls().empty());
        EXPECT_EQ (feedback (52, 99), Bytes());
    }
}

TEST (MidiMappingThreads, DispatchingWhileTheMappingIsSavedLoadedAndFedBack)
{
    test::ScopedProgramFolder folder;
    MidiControlSurfaceManager mapping;
    for (int n = 0; n < 128; ++n)
        mapping.assignController (n, 0, n);

    // Each message echoes through the one feedback output, as the dispatcher does.
    struct Echo : public MidiControlSurfaceManagerListener
    {
        explicit Echo (MidiControlSurfaceManager& m) : mapping (m) {}
        void controllerMoved (int id, int value) override
        {
            moves.fetch_add (1);
            mapping.sendFeedback (&output, id, value);
        }
        void controllerTriggered (int) override {}
        void controllerLearned (int) override {}

        MidiControlSurfaceManager& mapping;
        test::OutputRecorder output;
        std::atomic<int> moves { 0 };
    } echo (mapping);
    mapping.setListener (&echo);

    std::atomic<bool> stop { false };
    auto dispatch = [&mapping, &stop] (int midiChannel) {
        for (int i = 0; ! stop.load() && i < 50000; ++i)
            mapping.handleIncomingMidiMessage (cc (midiChannel, i % 128, i % 127));
    };
    std::thread first (dispatch, 1), second (dispatch, 1);

    const auto file = folder.file ("live.kms");
    for (int round = 0; round < 30; ++round)
    {
        ASSERT_TRUE (mapping.saveSettingsTo (file));
        ASSERT_TRUE (mapping.loadSettingsFrom (file));
        mapping.sendFeedback (&echo.output, round, 1);
        mapping.learn (round, false);
    }
    stop.store (true);
    first.join();
    second.join();

    EXPECT_GT (echo.moves.load(), 0);
    EXPECT_GT (mapping.toXml ("M")->getNumChildElements(), 0);
    mapping.setListener (nullptr);
}
