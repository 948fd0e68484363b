// The real program keeps the effect panel's plug-in slots across a restart.

#include "app/harness/EndToEndTest.h"
#include "support/PluginFixtures.h"
#include "ui/plugins/PluginState.h"

using namespace zund;

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
};
}

TEST_F (MasterStripEndToEnd, SlotsAreKeptAcrossRestartsAndAMissingPlugInKeepsItsState)
{
    juce::String error;
    auto ringModulator = test::createLv2Plugin (test::stereoLv2Effect, 44100.0, error);
    ASSERT_NE (ringModulator, nullptr) << error;
    auto present = PluginState::createPluginStateXml (ringModulator.get());
    present->setAttribute ("numParameter1", 0);
    present->setAttribute ("numParameter2", -1);
    present->setAttribute ("numParameter3", 2);

    auto missing = std::make_unique<juce::XmlElement> (*present);
    missing->getChildElement (0)->setAttribute ("file", "http://example.invalid/plugins/uninstalled");
    missing->getChildElement (0)->setAttribute ("name", "Uninstalled");

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
        juce::MemoryBlock state;
        EXPECT_TRUE (PluginState::decodeStateBlock (slot2->getStringAttribute ("data"), state));
    }
}
