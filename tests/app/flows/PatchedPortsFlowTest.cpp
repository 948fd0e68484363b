// A patchbay (or a session manager) takes the program's first input and
// output pairs away from the sound card, and connects and disconnects ports
// while it plays. Decks, output pairs and the recording stay on the device
// channels their routing names: the framework's JACK device hands the audio
// callback only the connected ports, packed together.

#include "app/flows/RecordingSteps.h"
#include "app/flows/SongFlow.h"
#include "support/SignalMeasures.h"

#include <algorithm>
#include <cmath>
#include <thread>

using namespace zund;
using namespace std::chrono_literals;

namespace
{
constexpr double trackTone = 440.0;      // the song on channel 2
constexpr double recordedTone = 1000.0;  // into input pair 2 while it is recorded
constexpr double neighbourTone = 1500.0; // into input pair 3, which nothing uses
constexpr int firstListenedOutput = 3;   // "Zund:out_3" onwards, into our inputs from 0
constexpr int numListenedOutputs = 10;

std::string port (const char* stem, int number)
{
    return stem + std::to_string (number);
}

class PatchedPorts : public test::SongFlow
{
protected:
    PatchedPorts()
    {
        clientOutputPairs = 2;
        clientInputs = numListenedOutputs;
    }

    /** Deck 1 on input pair 1, deck 2 on pair 2, the main mix on output pair
        2; the first pairs then taken from the sound card, our first pair
        played into input pair 2, our second into pair 3, and every output
        from "Zund:out_3" on heard. */
    void startPatched (const juce::File& song)
    {
        writeLibrary ({ song });
        test::RoutingSetup routing;
        routing.deckInputs = { 1, 2, 0, 0 };
        routing.mainOutput = 2;
        writeMixerPreferences (2, { 0, 0, 1022, 730 }, routing);
        startProgram();
        ASSERT_TRUE (waitForWindow());
        ASSERT_TRUE (waitForProgramPorts());

        for (int n : { 1, 2 })
        {
            ASSERT_TRUE (test::waitUntil ([&] { return jack->isConnected (port ("system:capture_", n), port ("Zund:in_", n)); }, 30s));
            ASSERT_TRUE (test::waitUntil ([&] { return jack->isConnected (port ("Zund:out_", n), port ("system:playback_", n)); }, 30s));
            ASSERT_TRUE (jack->disconnect (port ("system:capture_", n), port ("Zund:in_", n)));
            ASSERT_TRUE (jack->disconnect (port ("Zund:out_", n), port ("system:playback_", n)));
        }
        ASSERT_TRUE (connectDeck (0, 2));
        ASSERT_TRUE (connectDeck (1, 3));
        for (int i = 0; i < numListenedOutputs; ++i)
            ASSERT_TRUE (jack->connect (port ("Zund:out_", firstListenedOutput + i), jack->getInputPort (i)));
        jack->source (1).playTone (neighbourTone, 0.25f);
    }

    /** The loudest sample on the outputs heard besides the main pair's. */
    static float loudestElsewhere (const test::Recording& heard)
    {
        float loudest = 0.0f;
        for (int i = 2; i < numListenedOutputs; ++i)
            loudest = std::max (loudest, test::peakOf (heard.getChannel (i), heard.getNumFrames()));
        return loudest;
    }

    /** Half a second of the outputs once the main pair plays the song at this speed. */
    test::Recording heardAtSpeed (double speed)
    {
        return recordWhen ([&] (const test::Recording& r) {
            return onMain (r, trackTone * speed) > 0.1 && std::abs (frequencyOnMain (r) - trackTone * speed) < 5.0;
        });
    }

    /** The song at this speed on "Zund:out_3" and "Zund:out_4" only. */
    void expectSongOnMainPairOnly (const test::Recording& heard, double speed, const std::string& when)
    {
        for (int side = 0; side < 2; ++side)
            EXPECT_GT (test::toneAmplitude (heard.getChannel (side), heard.getNumFrames(), trackTone * speed,
                                            heard.sampleRate),
                       0.1)
                << when << ": side " << side << " of the main pair";
        EXPECT_NEAR (frequencyOnMain (heard), trackTone * speed, 5.0) << when << ": deck 2 is not followed";
        EXPECT_LT (loudestElsewhere (heard), 0.001f) << when << ": heard on another output";
    }
};
}

TEST_F (PatchedPorts, DecksOutputsAndTheRecordingKeepTheirPairsWhilePortsAreMoved)
{
    const auto song = writeToneTrack ("deck2.wav", 120.0, trackTone);
    ASSERT_NO_FATAL_FAILURE (startPatched (song));

    // A recording from "capture_3 / capture_4" holds what input pair 2 carries.
    jack->source (0).playTone (recordedTone, 0.25f);
    const auto recorded = getSongFolder().getChildFile ("pair2.wav");
    {
        test::RecordingSteps steps (*x, *input, *window, layout());
        ASSERT_TRUE (steps.pressRecordButton());
        ASSERT_TRUE (steps.recordInputPairInto (1, getSongFolder().getChildFile ("pair2")));
        ASSERT_TRUE (test::waitUntil ([&] { return recorded.getSize() > 44 + 4 * 2 * 48000; }, 20s))
            << "nothing recorded from capture_3 / capture_4";
        ASSERT_TRUE (steps.pressRecordButton());
        ASSERT_TRUE (test::RecordingSteps::waitUntilFinished (recorded)) << "still recording after the button went off";
    }
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (recorded.createInputStream().release(), true));
    ASSERT_NE (reader, nullptr) << "not a WAV file";
    const int frames = (int) reader->lengthInSamples;
    juce::AudioBuffer<float> audio (2, frames);
    reader->read (&audio, 0, frames, 0, true, true);
    for (int side = 0; side < 2; ++side)
    {
        const auto* middle = audio.getReadPointer (side) + frames / 4;
        EXPECT_NEAR (test::toneAmplitude (middle, frames / 2, recordedTone, reader->sampleRate), 0.25, 0.01) << side;
        EXPECT_LT (test::toneAmplitude (middle, frames / 2, neighbourTone, reader->sampleRate), 0.001) << side;
    }

    // Deck 2 follows the timecode on input pair 2: channel 2's song is heard
    // on the main pair, output pair 2, and nowhere else.
    jack->source (0).playTimecode (0.0);
    loadSong (song, 1);
    expectSongOnMainPairOnly (heardAtSpeed (1.0), 1.0, "at the start");
    jack->source (0).setSpeed (1.25);
    expectSongOnMainPairOnly (heardAtSpeed (1.25), 1.25, "faster");

    // Ports connected and disconnected while it plays move no signal.
    struct Change
    {
        const char* what;
        std::string from, to;
        bool connect;
    };
    const Change changes[] = {
        { "input 1 connected", "system:capture_1", "Zund:in_1", true },
        { "output 1 connected", "Zund:out_1", "system:playback_1", true },
        { "input 2 connected", "system:capture_2", "Zund:in_2", true },
        { "input 1 disconnected", "system:capture_1", "Zund:in_1", false },
        { "output 2 connected", "Zund:out_2", "system:playback_2", true },
        { "output 1 disconnected", "Zund:out_1", "system:playback_1", false },
        { "input 2 disconnected", "system:capture_2", "Zund:in_2", false },
        { "output 2 disconnected", "Zund:out_2", "system:playback_2", false },
    };
    for (const auto& change : changes)
    {
        ASSERT_TRUE (change.connect ? jack->connect (change.from, change.to) : jack->disconnect (change.from, change.to))
            << change.what;
        std::this_thread::sleep_for (1s); // the program starts its callback again on its message thread
        const auto heard = heardAtSpeed (1.25);
        keepRecording (heard, "after-change.wav");
        expectSongOnMainPairOnly (heard, 1.25, change.what);
    }

    EXPECT_EQ (closePlayingProgram(), 0);
}
