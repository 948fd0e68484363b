// Recording in the real program: the user switches the record button on,
// confirms the main output in the source chooser, names the file in the file
// chooser, lets the mix play and switches the button off again. The file holds
// what the main output played.

#include "app/flows/RecordingSteps.h"
#include "app/harness/EndToEndTest.h"
#include "support/SignalMeasures.h"
#include "ui/panels/ControlIds.h"

#include <thread>

using namespace zund;
using namespace std::chrono_literals;

namespace
{
class RecordingByUser : public test::EndToEndTest
{
};

constexpr double toneFrequency = 440.0;
}

TEST_F (RecordingByUser, TheMainOutputIsRecordedIntoTheNamedWaveFile)
{
    writePreferences (test::RoutingSetup::everyPairInUse());
    startProgram();
    ASSERT_TRUE (waitForWindow());
    ASSERT_TRUE (waitForProgramPorts());
    ASSERT_TRUE (connectDeck (0, 1));
    jack->source (0).playTone (toneFrequency, 0.25f);
    const auto thru = control (ControlIds::of (0, ControlIds::thru));
    input->click (window->id, thru.getCentreX(), thru.getCentreY());

    test::RecordingSteps steps (*x, *input, *window, layout());
    ASSERT_TRUE (steps.pressRecordButton());
    const auto typed = getSongFolder().getChildFile ("evening");
    const auto recorded = getSongFolder().getChildFile ("evening.wav");
    ASSERT_TRUE (steps.recordMainOutputInto (typed));

    // The recorder writes every 10 ms once the signal has come.
    ASSERT_TRUE (test::waitUntil ([&] { return recorded.getSize() > 44 + 44100; }, 10s)) << "nothing recorded";
    std::this_thread::sleep_for (2s);
    ASSERT_TRUE (steps.pressRecordButton());
    EXPECT_TRUE (test::RecordingSteps::waitUntilFinished (recorded)) << "still recording after the button went off";
    EXPECT_FALSE (typed.exists());

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (recorded.createInputStream().release(), true));
    ASSERT_NE (reader, nullptr) << "not a WAV file";
    EXPECT_EQ (reader->bitsPerSample, 16u);
    EXPECT_EQ (reader->numChannels, 2u);
    EXPECT_EQ (reader->sampleRate, jack->getSampleRate());
    const int frames = (int) reader->lengthInSamples;
    EXPECT_GT (frames, (int) (2 * reader->sampleRate));
    juce::AudioBuffer<float> audio (2, frames);
    reader->read (&audio, 0, frames, 0, true, true);
    EXPECT_GT (test::toneAmplitude (audio.getReadPointer (0) + frames / 2, frames / 4, toneFrequency,
                                    reader->sampleRate),
               0.1);

    const auto code = closeProgram();
    ASSERT_TRUE (code.has_value()) << "the program did not quit";
    EXPECT_EQ (*code, 0);
}
