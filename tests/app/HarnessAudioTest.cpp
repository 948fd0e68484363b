// The test's JACK client against itself: what it plays arrives in what it
// records, at the right frequency, level and speed, without gaps of its own.

#include "app/harness/EndToEndTest.h"
#include "engine/timecode/TimecodeDecoder.h"
#include "support/SignalMeasures.h"
#include "support/SignalScan.h"

#include <cmath>

using namespace zund;
using namespace std::chrono_literals;

namespace
{
class HarnessAudio : public test::EndToEndTest
{
protected:
    // A short ring: a one-second recording wraps it twice.
    HarnessAudio() { clientRingSeconds = 0.5; }

    // Our pair 0 into our inputs 0 and 1, and a few blocks for the connection to settle.
    void loopBack()
    {
        ASSERT_TRUE (jack->connect (jack->getOutputPort (0), jack->getInputPort (0)));
        ASSERT_TRUE (jack->connect (jack->getOutputPort (1), jack->getInputPort (1)));
        jack->record (0.05);
    }
};

std::string soxInfo (const char* option, const juce::File& file)
{
    return test::runAndCapture ({ "soxi", "-V1", option, file.getFullPathName().toStdString() });
}
}

TEST_F (HarnessAudio, ToneLoopsBackAtItsFrequencyAndLevelWithoutGaps)
{
    jack->source (0).playTone (1000.0, 0.5f);
    loopBack();

    const auto heard = jack->record (1.0);
    keepRecording (heard, "loop.wav");
    const double rate = jack->getSampleRate();
    ASSERT_EQ (heard.getNumFrames(), (int) rate);
    EXPECT_EQ (heard.droppedFrames, 0);

    for (int channel = 0; channel < 2; ++channel)
    {
        const float* data = heard.getChannel (channel);
        const int n = heard.getNumFrames();
        EXPECT_NEAR (test::zeroCrossingFrequency (data, n, rate), 1000.0, 0.05) << channel;
        EXPECT_NEAR (test::toneAmplitude (data, n, 1000.0, rate), 0.5, 0.005) << channel;
        EXPECT_TRUE (test::findZeroRuns (data, n, 2).empty()) << channel;
        EXPECT_TRUE (test::findJumps (data, n, 1.01f * test::largestSineStep (1000.0, 0.5f, rate)).empty()) << channel;
    }

    // What a failed test keeps reads back with another tool.
    const auto wav = getArtifactFolder().getChildFile ("loop.wav");
    EXPECT_EQ (soxInfo ("-c", wav), "4\n");
    EXPECT_EQ (soxInfo ("-r", wav), std::to_string ((int) rate) + "\n");
    EXPECT_EQ (soxInfo ("-s", wav), std::to_string ((int) rate) + "\n");

    // Unplugged, the input hears nothing.
    ASSERT_TRUE (jack->disconnect (jack->getOutputPort (0), jack->getInputPort (0)));
    jack->record (0.05);
    const auto after = jack->record (0.2);
    EXPECT_EQ (test::peakOf (after.getChannel (0), after.getNumFrames()), 0.0f);
    EXPECT_GT (test::peakOf (after.getChannel (1), after.getNumFrames()), 0.49f);
}

// The timecode a deck input would get decodes, with the program's own
// decoder, to the speed and place the turntable was set to.
TEST_F (HarnessAudio, TimecodeDecodesToTheTurntablesSpeedAndPlace)
{
    struct Case
    {
        double speed;
    };
    for (const Case c : { Case { 0.75 }, Case { -0.5 } })
    {
        const double needle = 10.0;
        const auto dropped = std::chrono::steady_clock::now();
        jack->source (0).playTimecode (needle, c.speed);
        loopBack();
        const auto heard = jack->record (1.0);
        const double playedSeconds = std::chrono::duration<double> (std::chrono::steady_clock::now() - dropped).count();
        ASSERT_EQ (heard.droppedFrames, 0);

        TimecodeDecoder decoder;
        decoder.setSampleRate ((int) jack->getSampleRate());
        const int n = heard.getNumFrames();
        std::vector<double> speeds ((size_t) n);
        std::vector<float> positions ((size_t) n);
        decoder.process (heard.getChannel (0), heard.getChannel (1), speeds.data(), positions.data(), n);

        EXPECT_NEAR (speeds.back(), c.speed, 0.01) << c.speed;
        const auto found = std::find_if (positions.begin(), positions.end(), [] (float p) { return p >= 0.0f; });
        ASSERT_NE (found, positions.end()) << "no position decoded at speed " << c.speed;
        const double reach = needle + c.speed * playedSeconds;
        EXPECT_GE (*found, std::min (needle, reach) - 0.05) << c.speed;
        EXPECT_LE (*found, std::max (needle, reach) + 0.05) << c.speed;
    }
}
