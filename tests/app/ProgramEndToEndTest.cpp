// The real program under private X and JACK servers, from a temporary
// program folder: what a user sees when it starts and quits.

#include "app/harness/AlsaTestCard.h"
#include "app/harness/EndToEndTest.h"
#include "support/SignalMeasures.h"

using namespace zund;
using namespace std::chrono_literals;

namespace
{
class ProgramEndToEnd : public test::EndToEndTest
{
};
}

TEST_F (ProgramEndToEnd, StartsShowsItsWindowAndQuitsCleanly)
{
    // ALSA lists a device of its own, as alsa-lib's plug-ins make it do on a
    // desktop: the fresh start still plays through the running JACK server.
    const test::AlsaTestCard card (getHomeFolder());
    ASSERT_TRUE (card.getConfigurationFile().copyFileTo (getHomeFolder().getChildFile (".asoundrc")));

    startProgram();
    ASSERT_TRUE (waitForWindow()) << "no window titled " << windowTitle;
    EXPECT_EQ (mainWindowIds.size(), 1u) << "the main window was created more than once";

    // A fresh start: 1022 x 730, centred on the 1920 x 1200 screen.
    EXPECT_EQ (window->width, 1022);
    EXPECT_EQ (window->height, 730);
    EXPECT_EQ (window->x, (1920 - 1022) / 2);
    EXPECT_EQ (window->y, (1200 - 730) / 2);

    // The audio device opened on the JACK server: the program's ports are there.
    EXPECT_TRUE (jack->waitForPorts ("^Zund:", 1, 20s));

    // A second instance quits at once and shows nothing.
    {
        auto second = startAnotherInstance ("second.log");
        const auto code = second->waitForExit (30s);
        ASSERT_TRUE (code.has_value()) << "the second instance kept running";
        EXPECT_EQ (*code, 0);
        EXPECT_EQ (x->countWindows (windowTitle), 1);
    }

    // Nothing plays, so closing the window quits without a question.
    const auto code = closeProgram();
    ASSERT_TRUE (code.has_value()) << "the program did not quit; window still there: " << x->countWindows (windowTitle);
    EXPECT_EQ (*code, 0);

    const auto preferences = juce::XmlDocument::parse (getProgramFolder().getChildFile ("preferences.xml"));
    ASSERT_NE (preferences, nullptr) << "no preferences.xml was written";
    EXPECT_TRUE (preferences->hasTagName ("Preferences"));
    EXPECT_EQ (preferences->getIntAttribute ("lastWidth"), 1022);
    EXPECT_EQ (preferences->getIntAttribute ("lastHeight"), 730);
    EXPECT_EQ (preferences->getIntAttribute ("MODULE_ACTIVE_7"), 1);
    const auto plugins = juce::XmlDocument::parse (getProgramFolder().getChildFile ("pluginList.xml"));
    ASSERT_NE (plugins, nullptr) << "no pluginList.xml was written";
    EXPECT_TRUE (plugins->hasTagName ("KNOWNPLUGINS"));
}

TEST_F (ProgramEndToEnd, SavedBoundsAreRestoredWithinLimits)
{
    writeProgramFile ("preferences.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                         "<Preferences lastX=\"100\" lastY=\"50\" lastWidth=\"1200\" lastHeight=\"5000\"/>\n");
    startProgram();
    ASSERT_TRUE (waitForWindow());
    // Too tall for the 1200-pixel screen: as tall as the screen, moved up onto it.
    EXPECT_EQ (window->x, 100);
    EXPECT_EQ (window->width, 1200);
    EXPECT_EQ (window->height, 1200);
    EXPECT_EQ (window->y, 0);
    ASSERT_TRUE (closeProgram().has_value()) << "the program did not quit";
}

// The harness's routing file opens the JACK device on every port of the
// server; the harness wires its client to the program; a click on the close
// button reaches the program.
TEST_F (ProgramEndToEnd, OpensTheJackDeviceOfItsPreferencesAndQuitsFromTheCloseButton)
{
    writePreferences (test::RoutingSetup::everyPairInUse());
    startProgram();
    ASSERT_TRUE (waitForWindow());
    ASSERT_TRUE (waitForProgramPorts()) << "the program did not open every port of the JACK device";

    for (int deck = 0; deck < 4; ++deck)
        EXPECT_TRUE (connectDeck (deck, deck + 1));
    EXPECT_TRUE (listenTo (1, 0));
    EXPECT_TRUE (jack->isConnected (jack->getOutputPort (7), "Zund:in_8"));
    EXPECT_TRUE (jack->isConnected ("Zund:out_2", jack->getInputPort (1)));
    EXPECT_TRUE (jack->isConnected ("system:capture_8", "Zund:in_8")) << "the device's own connections stay";

    // Nothing is loaded: the main pair is silent, not humming.
    const auto heard = jack->record (0.5);
    keepRecording (heard, "main.wav");
    ASSERT_EQ (heard.getNumFrames(), (int) (0.5 * jack->getSampleRate()));
    EXPECT_EQ (heard.droppedFrames, 0);
    for (int channel = 0; channel < 2; ++channel)
        EXPECT_EQ (test::peakOf (heard.getChannel (channel), heard.getNumFrames()), 0.0f);

    const auto close = layout().closeButton();
    ASSERT_FALSE (close.isEmpty());
    input->click (window->id, close.getCentreX(), close.getCentreY());
    const auto code = program->waitForExit (30s);
    ASSERT_TRUE (code.has_value()) << "the close button did not end the program";
    EXPECT_EQ (*code, 0);

    const auto preferences = juce::XmlDocument::parse (getProgramFolder().getChildFile ("preferences.xml"));
    ASSERT_NE (preferences, nullptr);
    const auto* device = preferences->getChildByName ("DEVICESETUP");
    ASSERT_NE (device, nullptr) << "the device set-up read at start was not kept";
    EXPECT_EQ (device->getStringAttribute ("deviceType"), "JACK");
    EXPECT_EQ (device->getStringAttribute ("audioInputDeviceName"), "system");
    EXPECT_EQ (device->getStringAttribute ("audioOutputDeviceName"), "system");

    // The routing it read is the routing it keeps: every pair existed on the device.
    const auto routing = test::RoutingSetup::everyPairInUse();
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ (preferences->getIntAttribute ("Deck" + juce::String (i + 1) + "Input"), routing.deckInputs[(size_t) i]);
        EXPECT_EQ (preferences->getIntAttribute ("Channel" + juce::String (i + 1) + "Output"),
                   routing.channelOutputs[(size_t) i]);
    }
    EXPECT_EQ (preferences->getIntAttribute ("PhonesOutput"), routing.phonesOutput);
    EXPECT_EQ (preferences->getIntAttribute ("MainOutput"), routing.mainOutput);
}
