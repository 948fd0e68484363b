// A restart with the user's "preferences.xml": the window, the sections, the
// channel count and the routing come back (a deck's signal is heard where the
// routing sends it), and the same values are written back at exit.

#include "app/harness/EndToEndTest.h"
#include "support/SignalMeasures.h"
#include "ui/panels/ControlIds.h"

using namespace zund;

namespace
{
class PreferencesFlow : public test::EndToEndTest
{
protected:
    PreferencesFlow() { jackOptions = test::JackServerOptions::steady(); }

    double heard (const test::Recording& r, int input, double frequency) const
    {
        return test::toneAmplitude (r.getChannel (input), r.getNumFrames(), frequency, r.sampleRate);
    }
};

constexpr double routedTone = 440.0, defaultPairTone = 1000.0;
constexpr int channelThreeOut = 0, mainOut = 2; // our recording inputs
}

TEST_F (PreferencesFlow, ARestartTakesBackBoundsSectionsChannelsAndRoutingAndWritesThemAgain)
{
    test::RoutingSetup routing;
    routing.deckInputs = { 1, 4, 2, 0 };     // deck 2 on the fourth input pair, deck 3 on deck 2's usual one
    routing.channelOutputs = { 0, 6, 5, 0 }; // channel 3 on the fifth output pair
    routing.phonesOutput = 2;
    routing.mainOutput = 1;
    auto preferences = test::makePreferences (routing);
    const std::pair<const char*, double> values[] = {
        // Strip 3 shown by the count, the EQ and loop-sampler rows hidden.
        { "MODULE_ACTIVE_0", 1 }, { "MODULE_ACTIVE_1", 1 }, { "MODULE_ACTIVE_2", 1 }, { "MODULE_ACTIVE_3", 0 },
        { "MODULE_ACTIVE_4", 0 }, { "MODULE_ACTIVE_5", 1 }, { "MODULE_ACTIVE_6", 0 }, { "MODULE_ACTIVE_7", 1 },
        { "MODULE_ACTIVE_8", 1 }, { "MODULE_ACTIVE_9", 1 }, { "MODULE_ACTIVE_10", 1 },
        { "lastX", 60 }, { "lastY", 40 }, { "lastWidth", 1500 }, { "lastHeight", 1000 },
        { "ResetOnLoad", 0 }, { "WarnOnLoad", 0 }, { "UseFunctionKeys", 1 }, { "VirtualZeroLockRange", 0.25 },
        { "SoftPreamp1", 0 }, { "SoftPreamp2", 0 }, { "SoftPreamp3", 0 }, { "SoftPreamp4", 1 },
        { "InvertPhase1L", 1 }, { "InvertPhase2L", 0 }, { "InvertPhase3L", 0 }, { "InvertPhase4L", 0 },
        // Channel 3 follows deck 2.
        { "ChannelInputDeck1", 0 }, { "ChannelSync1", 1 }, { "ChannelAbsolute1", 0 },
        { "ChannelInputDeck2", 2 }, { "ChannelSync2", 0 }, { "ChannelAbsolute2", 1 },
        { "ChannelInputDeck3", 1 }, { "ChannelSync3", 0 }, { "ChannelAbsolute3", 0 },
        { "ChannelInputDeck4", 3 }, { "ChannelSync4", 0 }, { "ChannelAbsolute4", 0 },
        { "NumChannels", 3 },
    };
    for (const auto& [name, value] : values)
        preferences->setAttribute (name, value);
    writePreferences (*preferences);

    startProgram();
    ASSERT_TRUE (waitForWindow());
    EXPECT_EQ (juce::Rectangle<int> (window->x, window->y, window->width, window->height),
               juce::Rectangle<int> (60, 40, 1500, 1000));
    ASSERT_TRUE (waitForProgramPorts());
    ASSERT_TRUE (connectDeck (0, 4) && connectDeck (1, 2));
    ASSERT_TRUE (listenTo (5, channelThreeOut) && listenTo (1, mainOut));
    jack->source (0).playTone (routedTone, 0.25f);
    jack->source (1).playTone (defaultPairTone, 0.25f);

    // Strip 3's THRU where the restored sections put it: channel 3 passes its
    // deck's signal to its own output pair and to the main pair.
    clickOn (ControlIds::of (2, ControlIds::thru));
    const auto thru = recordWhen ([&] (const test::Recording& r) { return heard (r, channelThreeOut, routedTone) > 0.05; });
    keepRecording (thru, "thru.wav");
    EXPECT_GT (heard (thru, channelThreeOut, routedTone), 0.05) << "deck 2's pair is not heard on channel 3's pair";
    EXPECT_LT (heard (thru, channelThreeOut, defaultPairTone), 0.001) << "channel 3 plays deck 2's usual pair";
    EXPECT_GT (heard (thru, mainOut, routedTone), 0.05) << "channel 3 is not heard on the main pair";

    const auto code = closeProgram();
    ASSERT_TRUE (code.has_value()) << "the program did not quit";
    EXPECT_EQ (*code, 0);

    const auto saved = juce::XmlDocument::parse (getProgramFolder().getChildFile ("preferences.xml"));
    ASSERT_NE (saved, nullptr);
    for (int i = 0; i < preferences->getNumAttributes(); ++i)
    {
        const auto name = preferences->getAttributeName (i);
        EXPECT_TRUE (saved->hasAttribute (name)) << name;
        EXPECT_DOUBLE_EQ (saved->getDoubleAttribute (name), preferences->getDoubleAttribute (name)) << name;
    }
    const auto* device = saved->getChildByName ("DEVICESETUP");
    ASSERT_NE (device, nullptr);
    EXPECT_EQ (device->getStringAttribute ("deviceType"), "JACK");
}
