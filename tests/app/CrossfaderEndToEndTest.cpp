// The crossfader panel in the real program: two channels play live input
// (THRU), the user puts them on the two sides and fades across.

#include "app/harness/EndToEndTest.h"
#include "support/SignalMeasures.h"
#include "ui/panels/ControlIds.h"

#include <thread>

using namespace zund;
using namespace std::chrono_literals;

namespace
{
class CrossfaderFlow : public test::EndToEndTest
{
protected:
    /** Amplitude of a tone on the left side of the main pair, over half a second. */
    double heardOnMain (const test::Recording& heard, double frequency)
    {
        return test::toneAmplitude (heard.getChannel (0), heard.getNumFrames(), frequency, jack->getSampleRate());
    }
};

constexpr double channelOneTone = 440.0, channelTwoTone = 1000.0;
}

TEST_F (CrossfaderFlow, WithTheSidesSetTheCrossfaderOnBLeavesOnlyChannelTwo)
{
    writePreferences (test::RoutingSetup::everyPairInUse());
    startProgram();
    ASSERT_TRUE (waitForWindow());
    ASSERT_TRUE (waitForProgramPorts());
    ASSERT_TRUE (connectDeck (0, 1) && connectDeck (1, 2));
    ASSERT_TRUE (listenTo (1, 0));
    jack->source (0).playTone (channelOneTone, 0.25f);
    jack->source (1).playTone (channelTwoTone, 0.25f);

    // Channels 1 and 2 pass their decks' input: both tones on the main pair.
    for (int channel : { 0, 1 })
        clickOn (ControlIds::of (channel, ControlIds::thru));
    const auto both = recordWhen ([&] (auto& r) {
        return heardOnMain (r, channelOneTone) > 0.1 && heardOnMain (r, channelTwoTone) > 0.1;
    });
    keepRecording (both, "both.wav");
    const double one = heardOnMain (both, channelOneTone), two = heardOnMain (both, channelTwoTone);
    ASSERT_GT (one, 0.1) << "channel 1 is not heard";
    ASSERT_GT (two, 0.1) << "channel 2 is not heard";

    // On "THRU" the crossfader changes nothing: fully on B, both still play.
    // (300 pixels of drag span its range.)
    const auto fader = control (ControlIds::crossfader);
    input->drag (window->id, fader.getCentreX(), fader.getCentreY(), fader.getCentreX() + 320, fader.getCentreY());
    std::this_thread::sleep_for (500ms);
    const auto thruSides = jack->record (0.5);
    EXPECT_NEAR (heardOnMain (thruSides, channelOneTone), one, 0.05 * one);

    // Channel 1 on side A, channel 2 on side B: with the crossfader on B only channel 2 is left.
    clickCell (ControlIds::crossfaderSideA, 0, 5);
    clickCell (ControlIds::crossfaderSideB, 1, 5);
    const auto faded = recordWhen ([&] (auto& r) { return heardOnMain (r, channelOneTone) < 0.001 * one; });
    keepRecording (faded, "faded.wav");
    EXPECT_LT (heardOnMain (faded, channelOneTone), 0.001 * one) << "channel 1 still heard";
    EXPECT_NEAR (heardOnMain (faded, channelTwoTone), two, 0.05 * two);

    // Back to A: channel 2 goes and channel 1 returns.
    input->drag (window->id, fader.getCentreX(), fader.getCentreY(), fader.getCentreX() - 320, fader.getCentreY());
    const auto back = recordWhen ([&] (auto& r) { return heardOnMain (r, channelTwoTone) < 0.001 * two; });
    EXPECT_NEAR (heardOnMain (back, channelOneTone), one, 0.05 * one);
    EXPECT_LT (heardOnMain (back, channelTwoTone), 0.001 * two) << "channel 2 still heard";

    const auto code = closeProgram();
    ASSERT_TRUE (code.has_value()) << "the program did not quit";
    EXPECT_EQ (*code, 0);
}
