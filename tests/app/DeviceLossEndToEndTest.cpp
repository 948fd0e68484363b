// The JACK server dies while the program records a deck's input pair: within
// two seconds a "Zund2" warning names the device and the closed recording,
// whose file plays up to the loss; once a server of the same name runs again
// (at another rate), "Reopen" brings back the program's ports with its
// routing, and a new recording takes the tone played into them.

#include "app/flows/RecordingSteps.h"
#include "app/harness/EndToEndTest.h"
#include "app/harness/RecordedWave.h"
#include "support/SignalMeasures.h"
#include "ui/panels/ControlIds.h"

#include <iostream>
#include <thread>

using namespace zund;
using namespace std::chrono_literals;

namespace
{
constexpr double toneFrequency = 440.0;
constexpr float toneLevel = 0.25f;

class ADeviceThatStops : public test::EndToEndTest
{
protected:
    /** Deck 1's input pair carries a tone; no channel plays, so the main
        output is silent (a recording of it would never start). */
    void startWithToneOnDeckOne()
    {
        writePreferences (test::RoutingSetup::everyPairInUse());
        ASSERT_TRUE (startProgram());
        ASSERT_TRUE (waitForWindow());
        ASSERT_TRUE (waitForProgramPorts());
        playToneIntoDeckOne();
    }

    void playToneIntoDeckOne()
    {
        ASSERT_TRUE (connectDeck (0, 1));
        jack->source (0).playTone (toneFrequency, toneLevel);
    }

    /** The user records the device's first input pair into `typed`.wav. */
    void recordInputPairInto (const juce::File& typed)
    {
        test::RecordingSteps steps (*x, *input, *window, layout());
        ASSERT_TRUE (steps.pressRecordButton());
        ASSERT_TRUE (steps.recordInputPairInto (0, typed));
    }
};
}

TEST_F (ADeviceThatStops, AKilledServerEndsTheRecordingAndReopeningBringsTheSetUpBack)
{
    ASSERT_NO_FATAL_FAILURE (startWithToneOnDeckOne());
    const auto recorded = getSongFolder().getChildFile ("lost.wav");
    ASSERT_NO_FATAL_FAILURE (recordInputPairInto (getSongFolder().getChildFile ("lost")));

    // The writer appends every 10 ms once the tone has opened the gate.
    ASSERT_TRUE (test::waitUntil ([&] { return recorded.getSize() > 44; }, 20s)) << "nothing recorded";
    const auto started = std::chrono::steady_clock::now();
    std::this_thread::sleep_for (3s);

    const double firstRate = jack->getSampleRate();
    const auto killed = std::chrono::steady_clock::now();
    ASSERT_TRUE (jackServer->kill());

    std::optional<test::WindowInfo> warning;
    ASSERT_TRUE (waitUntilStirring (window->id, [&] { return (warning = x->findWindow ("Zund2")).has_value(); }, 10s))
        << "no warning when the server died";
    const double warnedAfter = std::chrono::duration<double> (std::chrono::steady_clock::now() - killed).count();
    std::cout << "[ figures  ] the warning came " << warnedAfter << " s after the server was killed" << std::endl;
    EXPECT_LE (warnedAfter, 2.0);

    // The recording was finished when the warning came: a final header that
    // counts what the file holds, the tone up to its end, the first rate.
    const auto sizeAtWarning = recorded.getSize();
    std::this_thread::sleep_for (1s);
    EXPECT_EQ (recorded.getSize(), sizeAtWarning) << "the file still grows";
    const auto frames = test::soxInfo (recorded, "-s").getLargeIntValue();
    EXPECT_EQ (recorded.getSize(), 44 + 4 * frames) << "the header does not count what the file holds";
    EXPECT_EQ (test::soxInfo (recorded, "-r"), juce::String ((int) firstRate));
    const double recordedSeconds = std::chrono::duration<double> (killed - started).count();
    const double seconds = (double) frames / firstRate;
    std::cout << "[ figures  ] " << recordedSeconds << " s recorded up to the kill, the file holds " << seconds << " s"
              << std::endl;
    EXPECT_NEAR (seconds, recordedSeconds, 0.4) << "the file does not play up to the loss";
    {
        auto reader = test::wavReaderFor (recorded);
        ASSERT_NE (reader, nullptr) << "not a WAV file";
        EXPECT_GT (test::toneIn (*reader, seconds / 4, seconds / 2, toneFrequency), 0.8 * toneLevel) << "the input pair is not in the file";
        EXPECT_GT (test::toneIn (*reader, seconds - 0.1, 0.1, toneFrequency), 0.8 * toneLevel) << "the file's end does not hold the tone";
    }

    // A server of the same name comes back, at another rate; our client joins it again.
    auto options = jackOptions;
    options.sampleRate = 44100;
    jack.reset();
    ASSERT_TRUE (jackServer->restart (options, artifactPath ("jackd-again.log"))) << jackServer->getProblem();
    jackOptions = options;
    jack = std::make_unique<test::JackTestClient> (jackServer->getName(), clientOutputPairs, clientInputs,
                                                   clientRingSeconds);
    ASSERT_TRUE (jack->isOpen());

    // "Reopen", the warning's first button.
    input->focus (warning->id);
    input->pressKey ("Return");
    ASSERT_TRUE (waitUntilStirring (window->id, [&] { return ! x->findWindow ("Zund2").has_value(); }, 10s));
    ASSERT_TRUE (waitForProgramPorts()) << "the program's ports did not come back";

    // The routing is as it was: deck 1's tone through channel 1 (THRU) onto the main pair.
    ASSERT_NO_FATAL_FAILURE (playToneIntoDeckOne());
    ASSERT_TRUE (listenTo (1, 0));
    clickOn (ControlIds::of (0, ControlIds::thru));
    const auto heard = recordWhen ([] (const test::Recording& r) {
        return test::toneAmplitude (r.getChannel (0), r.getNumFrames(), toneFrequency, r.sampleRate) > 0.1;
    });
    keepRecording (heard, "main-after-reopen.wav");
    EXPECT_GT (test::toneAmplitude (heard.getChannel (0), heard.getNumFrames(), toneFrequency, heard.sampleRate), 0.1)
        << "the main pair does not carry deck 1 after the reopen";

    // The record button went off with the loss: a press asks for a new
    // recording, which takes the tone at the new rate (with the main output
    // silent again).
    clickOn (ControlIds::of (0, ControlIds::thru));
    const auto again = getSongFolder().getChildFile ("again.wav");
    ASSERT_NO_FATAL_FAILURE (recordInputPairInto (getSongFolder().getChildFile ("again")));
    ASSERT_TRUE (test::waitUntil ([&] { return again.getSize() > 44 + 4 * 44100; }, 20s)) << "nothing recorded";
    test::RecordingSteps steps (*x, *input, *window, layout());
    ASSERT_TRUE (steps.pressRecordButton());
    EXPECT_TRUE (test::RecordingSteps::waitUntilFinished (again));
    {
        auto reader = test::wavReaderFor (again);
        ASSERT_NE (reader, nullptr) << "not a WAV file";
        EXPECT_EQ (reader->sampleRate, 44100.0);
        const double length = (double) reader->lengthInSamples / reader->sampleRate;
        EXPECT_GT (test::toneIn (*reader, length / 4, length / 2, toneFrequency), 0.8 * toneLevel);
    }
    EXPECT_EQ (test::soxInfo (recorded, "-r"), juce::String ((int) firstRate)) << "the closed recording changed its rate";

    const auto code = closeProgram();
    ASSERT_TRUE (code.has_value()) << "the program did not quit";
    EXPECT_EQ (*code, 0);
}
