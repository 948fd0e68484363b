// The channel strips in the real program: a user operates channel 1 with the
// mouse and hears it. Channel 1 plays its deck's input live (THRU), so no
// track needs to be loaded.

#include "app/harness/EndToEndTest.h"
#include "app/harness/Screenshot.h"
#include "support/SignalMeasures.h"
#include "ui/panels/ControlIds.h"

using namespace zund;
using namespace std::chrono_literals;

namespace
{
class StripsEndToEnd : public test::EndToEndTest
{
protected:
    juce::Rectangle<int> control (int id)
    {
        const auto found = layout().findControl (id);
        EXPECT_TRUE (found.has_value()) << "control " << id << " is not in the window";
        return found.value_or (juce::Rectangle<int>());
    }

    void clickOn (int id)
    {
        const auto r = control (id);
        input->click (window->id, r.getCentreX(), r.getCentreY());
    }

    /** The main pair's level over a quarter second, once the change has settled. */
    float mainLevel (const std::string& name)
    {
        std::this_thread::sleep_for (300ms);
        const auto heard = jack->record (0.25);
        keepRecording (heard, name + ".wav");
        return test::peakOf (heard.getChannel (0), heard.getNumFrames());
    }

    bool looksLitRed (const test::XwdImage& screen, juce::Rectangle<int> r)
    {
        // The toggle's face low down, below its caption; the window sits at its place on the screen.
        const auto pixel = screen.pixelAt (window->x + r.getX() + 3, window->y + r.getBottom() - 3);
        return ((pixel >> 16) & 0xff) > 0x60 && ((pixel >> 8) & 0xff) < 0x40;
    }
};
}

TEST_F (StripsEndToEnd, ChannelOnesPlayToggleAndFaderAreHeard)
{
    writePreferences (test::RoutingSetup::everyPairInUse());
    startProgram();
    ASSERT_TRUE (waitForWindow());
    ASSERT_TRUE (waitForProgramPorts());
    ASSERT_TRUE (connectDeck (0, 1));
    ASSERT_TRUE (listenTo (1, 0));
    jack->source (0).playTone (1000.0, 0.25f);

    // Strips 1 and 2 share the width, each with PLAY lit where the two-strip
    // layout puts it.
    using namespace ControlIds;
    std::this_thread::sleep_for (500ms);
    const auto shot = artifactPath ("start.xwd");
    ASSERT_TRUE (test::takeScreenshot (xServer->getDisplayName(), shot));
    const auto screen = test::readXwd (shot);
    ASSERT_TRUE (screen.has_value());
    EXPECT_TRUE (looksLitRed (*screen, control (of (0, play))));
    EXPECT_TRUE (looksLitRed (*screen, control (of (1, play))));
    EXPECT_FALSE (looksLitRed (*screen, control (of (0, thru))));

    EXPECT_LT (mainLevel ("before"), 0.001f) << "channel 1 plays no track yet";
    clickOn (of (0, thru));
    const float heard = mainLevel ("thru");
    EXPECT_GT (heard, 0.1f) << "the deck's tone through channel 1 at 0 dB, main volume 0.707";

    clickOn (of (0, play)); // pause
    EXPECT_LT (mainLevel ("paused"), 0.001f);
    clickOn (of (0, play));
    EXPECT_NEAR (mainLevel ("playing"), heard, 0.1f * heard);

    // Half the fader's travel down (it spans 180 pixels of drag).
    const auto volume = control (of (0, fader));
    input->drag (window->id, volume.getCentreX(), volume.getY() + 2, volume.getCentreX(), volume.getY() + 92, 20);
    const float lower = mainLevel ("fader");
    EXPECT_LT (lower, 0.8f * heard);
    EXPECT_GT (lower, 0.05f * heard);

    EXPECT_EQ (closeProgram(), 0);
}
