// The effect panel's plug-in slots in the real program: kept across restarts,
// and heard on the main pair when the user switches the effect on.

#include "app/harness/EndToEndTest.h"
#include "support/PluginFixtures.h"
#include "support/SignalMeasures.h"
#include "ui/panels/ControlIds.h"
#include "ui/plugins/PluginState.h"

using namespace zund;
using namespace std::chrono_literals;

namespace
{
class MasterStripEndToEnd : public test::EndToEndTest
{
protected:
    std::unique_ptr<juce::XmlElement> readLastPlugins() const
    {
        return juce::XmlDocument::parse (getProgramFolder().getChildFile ("lastPlugins.xml"));
    }

    void runProgramOnce()
    {
        startProgram();
        ASSERT_TRUE (waitForWindow()) << "no window titled " << windowTitle;
        const auto code = closeProgram();
        ASSERT_TRUE (code.has_value()) << "the program did not quit";
        EXPECT_EQ (*code, 0);
    }

    /** A ring modulator's state, bound to knobs 1 and 3 in the file. */
    std::unique_ptr<juce::XmlElement> ringModState()
    {
        juce::String error;
        auto ringModulator = test::createLv2Plugin (test::stereoLv2Effect, 44100.0, error);
        EXPECT_NE (ringModulator, nullptr) << error;
        if (ringModulator == nullptr)
            return nullptr;
        auto state = PluginState::createPluginStateXml (ringModulator.get());
        state->setAttribute ("numParameter1", 0);
        state->setAttribute ("numParameter2", -1);
        state->setAttribute ("numParameter3", 2);
        return state;
    }

    /** The main pair's left side over a quarter second, once a change has
        settled: the amplitude of the deck's tone and the level of all. */
    std::pair<double, double> mainToneAndLevel (const std::string& name)
    {
        std::this_thread::sleep_for (300ms);
        const auto heard = jack->record (0.25);
        keepRecording (heard, name + ".wav");
        return { test::toneAmplitude (heard.getChannel (0), heard.getNumFrames(), toneFrequency, heard.sampleRate),
                 test::rmsOf (heard.getChannel (0), heard.getNumFrames()) };
    }

    static constexpr double toneFrequency = 441.0;
};
}

TEST_F (MasterStripEndToEnd, SlotsAreKeptAcrossRestartsAndAMissingPlugInKeepsItsState)
{
    auto present = ringModState();
    ASSERT_NE (present, nullptr);

    auto missing = std::make_unique<juce::XmlElement> (*present);
    missing->getChildElement (0)->setAttribute ("file", "http://example.invalid/plugins/uninstalled");
    missing->getChildElement (0)->setAttribute ("name", "Uninstalled");
    // Its window last stood on a display that is no longer there.
    present->setAttribute ("xPos", 30000);
    present->setAttribute ("yPos", -20000);

    juce::XmlElement file ("trunk");
    file.addChildElement (new juce::XmlElement (*missing));
    file.addChildElement (new juce::XmlElement (*present));
    writeProgramFile ("lastPlugins.xml", file.toString());

    for (int run = 0; run < 2; ++run)
    {
        runProgramOnce();
        const auto written = readLastPlugins();
        ASSERT_NE (written, nullptr) << "run " << run;
        ASSERT_EQ (written->getNumChildElements(), 2) << "run " << run;
        EXPECT_TRUE (written->getChildElement (0)->isEquivalentTo (missing.get(), false))
            << "the uninstalled plug-in's state stays in slot 1, unchanged";

        const auto* slot2 = written->getChildElement (1);
        EXPECT_EQ (slot2->getChildElement (0)->getStringAttribute ("file"), test::stereoLv2Effect);
        EXPECT_EQ (slot2->getIntAttribute ("numParameter1"), 0);
        EXPECT_EQ (slot2->getIntAttribute ("numParameter3"), 2);
        EXPECT_EQ (slot2->getIntAttribute ("visible", -1), 0) << "restored with a hidden window";
        EXPECT_TRUE (juce::isPositiveAndBelow (slot2->getIntAttribute ("xPos"), 1920)
                     && juce::isPositiveAndBelow (slot2->getIntAttribute ("yPos"), 1200))
            << "the window is placed on the screen: " << slot2->getIntAttribute ("xPos") << ", "
            << slot2->getIntAttribute ("yPos");
        juce::MemoryBlock state;
        EXPECT_TRUE (PluginState::decodeStateBlock (slot2->getStringAttribute ("data"), state));
    }
}

// The restored ring modulator in slot 1 runs on the main bus: with "[Plugins
// Only]" chosen and FX switched on by mouse, the deck's tone gives way to the
// sidebands of the plug-in's carrier, at much the same level.
TEST_F (MasterStripEndToEnd, ARestoredPlugInIsHeardWhenTheEffectIsSwitchedOn)
{
    auto state = ringModState();
    ASSERT_NE (state, nullptr);
    juce::XmlElement file ("trunk");
    file.addChildElement (state.release());
    writeProgramFile ("lastPlugins.xml", file.toString());
    writePreferences (test::RoutingSetup::everyPairInUse());

    startProgram();
    ASSERT_TRUE (waitForWindow());
    ASSERT_TRUE (waitForProgramPorts());
    ASSERT_TRUE (connectDeck (0, 1));
    ASSERT_TRUE (listenTo (1, 0));
    jack->source (0).playTone (toneFrequency, 0.25f);

    using namespace ControlIds;
    clickOn (of (0, thru));
    const auto [dry, dryLevel] = mainToneAndLevel ("dry");
    EXPECT_GT (dry, 0.1) << "the deck's tone through channel 1";

    // The effect grid's first row, then the FX switch.
    const auto effects = control (effectType);
    input->click (window->id, effects.getCentreX(), effects.getY() + effects.getHeight() / 18);
    clickOn (effectOn);
    const auto [wet, wetLevel] = mainToneAndLevel ("wet");
    EXPECT_LT (wet, 0.1 * dry);
    EXPECT_GT (wetLevel, 0.5 * dryLevel);

    clickOn (effectOn);
    EXPECT_GT (mainToneAndLevel ("off").first, 0.8 * dry) << "the plug-in's output is discarded with FX off";
    EXPECT_EQ (closeProgram(), 0);
}
