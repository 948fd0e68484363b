// A plug-in window stays on top of everything. A dialog opened meanwhile (here
// the record source chooser) must still reach the user: the plug-in window
// steps aside while the dialog is up and comes back after, where it was, and
// counts as shown in what is saved at exit.

#include "app/harness/EndToEndTest.h"
#include "support/PluginFixtures.h"
#include "ui/bottom/BottomComponent.h"

using namespace zund;
using namespace std::chrono_literals;

namespace
{
class DialogsOverPluginWindows : public test::EndToEndTest
{
protected:
    /** Slot 1 holds the ring modulator, its window shown at (x, y). */
    std::optional<juce::PluginDescription> writeShownPlugin (int x, int y)
    {
        auto ringModulator = test::describeLv2Plugin (test::stereoLv2Effect);
        if (! ringModulator)
            return std::nullopt;
        juce::KnownPluginList known;
        known.addType (*ringModulator);
        writeProgramFile ("pluginList.xml", known.createXml()->toString());

        juce::XmlElement slots ("trunk");
        auto* state = slots.createNewChildElement ("PluginState");
        state->setAttribute ("data", "");
        state->setAttribute ("xPos", x);
        state->setAttribute ("yPos", y);
        state->setAttribute ("visible", 1);
        for (const auto* knob : { "numParameter1", "numParameter2", "numParameter3" })
            state->setAttribute (knob, -1);
        state->addChildElement (ringModulator->createXml().release());
        writeProgramFile ("lastPlugins.xml", slots.toString());
        return ringModulator;
    }
};
}

TEST_F (DialogsOverPluginWindows, APlugInWindowStepsAsideWhileTheRecordChooserIsUp)
{
    const auto plugin = writeShownPlugin (200, 150);
    ASSERT_TRUE (plugin.has_value()) << "mda-lv2 is not installed";
    writePreferences (test::RoutingSetup::everyPairInUse());
    startProgram();
    ASSERT_TRUE (waitForWindow());
    const auto title = plugin->name.toStdString();
    std::optional<test::WindowInfo> pluginWindow;
    ASSERT_TRUE (test::waitUntil ([&] { return (pluginWindow = x->findWindow (title)).has_value(); }, 10s))
        << "the restored plug-in window does not show";

    const auto record = layout().findBottomBarWidget (
        [] (BottomComponent& bar) -> juce::Component& { return bar.getRecordButton(); });
    ASSERT_TRUE (record.has_value());
    input->click (window->id, record->getCentreX(), record->getCentreY());
    std::optional<test::WindowInfo> chooser;
    ASSERT_TRUE (test::waitUntil ([&] { return (chooser = x->findWindow ("Choose Record Source and Quality!")).has_value(); },
                                  10s));
    EXPECT_TRUE (test::waitUntil ([&] { return ! x->findWindow (title).has_value(); }, 2s))
        << "the plug-in window stays over the dialog";

    input->focus (chooser->id);
    input->pressKey ("Escape");
    std::optional<test::WindowInfo> back;
    EXPECT_TRUE (test::waitUntil ([&] { return (back = x->findWindow (title)).has_value(); }, 5s))
        << "the plug-in window does not come back";
    if (back)
    {
        EXPECT_EQ (back->x, pluginWindow->x);
        EXPECT_EQ (back->y, pluginWindow->y);
    }
    EXPECT_EQ (closeProgram(), 0);

    const auto slots = juce::XmlDocument::parse (getProgramFolder().getChildFile ("lastPlugins.xml"));
    ASSERT_NE (slots, nullptr);
    ASSERT_NE (slots->getChildElement (0), nullptr);
    EXPECT_EQ (slots->getChildElement (0)->getIntAttribute ("visible"), 1);
}

