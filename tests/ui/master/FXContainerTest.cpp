#include "MasterStripRig.h"
#include "support/PluginFixtures.h"
#include "support/UiEvents.h"
#include "ui/master/FXContainer.h"
#include "ui/plugins/PluginState.h"

#include <gtest/gtest.h>


using namespace zund;
using namespace zund::test;

namespace
{
const juce::StringArray halfBars { "1/2", "3/4", "1/1", "2/1", "4/1" };
const juce::StringArray beats { "1/8", "3/16", "1/4", "1/2", "1/1" };
const juce::StringArray none { "N.A.", "N.A.", "N.A.", "N.A.", "N.A." };

class EffectPanel : public ::testing::Test
{
protected:
    std::unique_ptr<FXContainer> makePanel() { return std::make_unique<FXContainer> (4, &host); }

    std::unique_ptr<juce::XmlElement> readLastPlugins()
    {
        return juce::XmlDocument::parse (host.folder.file (FXContainer::lastPluginsFileName));
    }

    /** A "PluginState" for the stereo test effect with its Freq parameter at a value. */
    std::unique_ptr<juce::XmlElement> ringModState (float freq)
    {
        auto plugin = ringModWithFreq (freq);
        if (plugin == nullptr)
            return nullptr;
        auto state = PluginState::createPluginStateXml (plugin.get());
        state->setAttribute ("numParameter1", 0);
        state->setAttribute ("numParameter2", -1);
        state->setAttribute ("numParameter3", -1);
        return state;
    }

    void writeLastPlugins (std::initializer_list<const juce::XmlElement*> states)
    {
        juce::XmlElement root ("trunk");
        for (auto* state : states)
            root.addChildElement (new juce::XmlElement (*state));
        ASSERT_TRUE (root.writeTo (host.folder.file (FXContainer::lastPluginsFileName)));
    }

    MasterStripHostStandIn host;
};
}

TEST_F (EffectPanel, StartsWithFlangerOnTheMainBusAtTheLongestSpeed)
{
    auto panel = makePanel();
    EXPECT_EQ (panel->getEffectGrid().getCellTexts()[panel->getEffectGrid().getSelectedIndex()], "Flanger");
    EXPECT_EQ (panel->getChannelGrid().getCellTexts()[panel->getChannelGrid().getSelectedIndex()], "MAIN");
    EXPECT_EQ (panel->getSpeedGrid().getSelectedIndex(), 4);
    EXPECT_EQ (panel->getSpeedGrid().getCellTexts(), halfBars);
    EXPECT_EQ (panel->getSpeedLabelMode(), 0);
    EXPECT_EQ (panel->getTempoSourceGrid().getCellTexts()[panel->getTempoSourceGrid().getSelectedIndex()], "CLOCK");
    EXPECT_EQ (panel->getDepthKnob().getValue(), 0.5f);
    EXPECT_EQ (panel->getMixKnob().getDefaultValue(), 0.5f);
    EXPECT_FALSE (panel->getEffectOnButton().isOn());
    EXPECT_TRUE (panel->getEffectOnButton().isBlinking());
}

TEST_F (EffectPanel, SpeedLabelsChangeTheirTextsOnlyForANewModeAndKeepTheSelectedCell)
{
    auto panel = makePanel();
    panel->getSpeedGrid().selectIndex (2, false);
    for (const auto& [mode, texts] : { std::pair { 1, &beats }, std::pair { 2, &none }, std::pair { 0, &halfBars },
                                       std::pair { 7, &none } })
    {
        panel->setSpeedLabels (mode);
        EXPECT_EQ (panel->getSpeedGrid().getCellTexts(), *texts) << mode;
        EXPECT_EQ (panel->getSpeedGrid().getSelectedIndex(), 2);
    }

    panel->getSpeedGrid().setCellTexts ({ "a", "b", "c", "d", "e" });
    panel->setSpeedLabels (7);
    EXPECT_EQ (panel->getSpeedGrid().getCellTexts()[0], "a") << "that mode is shown already";
}

TEST_F (EffectPanel, TheTempoComesFromTheClockChannelOrTheTapsAndIsAtLeast60)
{
    auto panel = makePanel();
    struct Case
    {
        int source;
        float tapTempo;
        double expected;
        const char* shown;
    };
    // No track on the clock channel: its tempo is 0.
    for (const auto& c : { Case { FXContainer::clockSource, 150.0f, 60.0, "60.0 BPM" },
                           Case { FXContainer::tapSource, 133.33f, 133.33, "133.3 BPM" },
                           Case { FXContainer::tapSource, 42.0f, 60.0, "60.0 BPM" },
                           Case { FXContainer::tapSource, std::nanf (""), 60.0, "60.0 BPM" } })
    {
        panel->getTempoSourceGrid().selectIndex (c.source, false);
        host.tapTempo = c.tapTempo;
        host.effectTempos.clear();
        panel->updateTempo();
        ASSERT_EQ (host.effectTempos.size(), 1u);
        EXPECT_NEAR (host.effectTempos[0], c.expected, 1.0e-3) << c.shown;
        EXPECT_EQ (panel->getTempoText(), c.shown);
    }

    host.effectTempos.clear();
    pumpMessagesUntil ([&] { return host.effectTempos.size() >= 2; });
    EXPECT_GE (host.effectTempos.size(), 2u) << "every 100 ms";
}

// Slot 2's plug-in stays slot 2's at the next start, with its knobs (730..732)
// and what MIDI is mapped to them; a file without slot numbers (an older
// one) is read by position.
TEST_F (EffectPanel, LastPluginsKeepsSlotStateAndALoneSecondSlotStaysTheSecond)
{
    auto state = ringModState (0.25f);
    ASSERT_NE (state, nullptr);
    writeLastPlugins ({ state.get() });

    {
        auto panel = makePanel();
        auto& first = panel->getPluginSlot (0);
        ASSERT_NE (first.getPlugin(), nullptr);
        EXPECT_NEAR (first.getPlugin()->getParameters()[0]->getValue(), 0.25f, 1.0e-4f);
        EXPECT_EQ (first.getParameterNumber (0), 0);
        EXPECT_NEAR (first.getKnob (0).getValue(), 0.25f, 1.0e-4f);
        EXPECT_EQ (panel->getPluginSlot (1).getPlugin(), nullptr);

        // The plug-in moves to slot 2 (restored there by hand), its window shown.
        auto moved = first.toXml();
        ASSERT_NE (moved, nullptr);
        moved->setAttribute ("visible", 1);
        host.menuAnswers.push_back (choose ("[ NO PLUGIN ]"));
        first.handleRequest (0);
        panel->getPluginSlot (1).fromXml (moved.get());
        ASSERT_NE (panel->getPluginSlot (1).getPlugin(), nullptr);
        EXPECT_TRUE (panel->getPluginSlot (1).isWindowVisible());
    }

    const auto file = readLastPlugins();
    ASSERT_NE (file, nullptr);
    EXPECT_EQ (file->getTagName(), "trunk");
    ASSERT_EQ (file->getNumChildElements(), 1) << "an empty slot writes nothing";
    EXPECT_EQ (file->getChildElement (0)->getTagName(), "PluginState");

    auto panel = makePanel();
    EXPECT_EQ (panel->getPluginSlot (0).getPlugin(), nullptr) << "moved into the empty first slot";
    ASSERT_NE (panel->getPluginSlot (1).getPlugin(), nullptr);
    EXPECT_NEAR (panel->getPluginSlot (1).getPlugin()->getParameters()[0]->getValue(), 0.25f, 1.0e-4f);
    EXPECT_TRUE (panel->getPluginSlot (1).isWindowVisible());
}

// A state kept from a plug-in missing at start-up stays in its slot through
// any number of starts, also with the first slot empty.
TEST_F (EffectPanel, AKeptStateInTheSecondSlotStaysThereWithTheFirstEmpty)
{
    auto kept = ringModState (0.5f);
    ASSERT_NE (kept, nullptr);
    kept->getChildElement (0)->setAttribute ("file", "http://example.invalid/plugins/removed");
    kept->setAttribute ("slot", 1);
    writeLastPlugins ({ kept.get() });

    for (int start = 0; start < 2; ++start)
    {
        auto panel = makePanel();
        EXPECT_FALSE (panel->getPluginSlot (0).hasKeptState()) << "start " << start;
        EXPECT_TRUE (panel->getPluginSlot (1).hasKeptState()) << "start " << start;
    }
    const auto file = readLastPlugins();
    ASSERT_NE (file, nullptr);
    ASSERT_EQ (file->getNumChildElements(), 1);
    EXPECT_EQ (file->getChildElement (0)->getIntAttribute ("slot", -1), 1);
}

TEST_F (EffectPanel, APlugInMissingAtStartUpKeepsItsSavedStateInItsSlot)
{
    auto kept = ringModState (0.5f);
    auto present = ringModState (0.75f);
    ASSERT_NE (kept, nullptr);
    kept->getChildElement (0)->setAttribute ("file", "http://example.invalid/plugins/removed");
    writeLastPlugins ({ kept.get(), present.get() });

    {
        auto panel = makePanel();
        EXPECT_EQ (panel->getPluginSlot (0).getPlugin(), nullptr);
        EXPECT_TRUE (panel->getPluginSlot (0).hasKeptState());
        ASSERT_NE (panel->getPluginSlot (1).getPlugin(), nullptr);
        EXPECT_TRUE (host.warnings.isEmpty()) << "restoring says nothing";
    }
    auto file = readLastPlugins();
    ASSERT_NE (file, nullptr);
    ASSERT_EQ (file->getNumChildElements(), 2);
    EXPECT_TRUE (file->getChildElement (0)->isEquivalentTo (kept.get(), false)) << "written back unchanged";
    EXPECT_EQ (file->getChildElement (1)->getIntAttribute ("numParameter1"), 0);

    // Once the user empties that slot, its old state goes.
    {
        auto panel = makePanel();
        host.menuAnswers.push_back (choose ("[ NO PLUGIN ]"));
        panel->getPluginSlot (0).handleRequest (0);
    }
    file = readLastPlugins();
    ASSERT_NE (file, nullptr);
    ASSERT_EQ (file->getNumChildElements(), 1);
    EXPECT_EQ (file->getChildElement (0)->getChildElement (0)->getStringAttribute ("file"),
               stereoLv2Effect);
}

TEST_F (EffectPanel, AnUnreadableLastPluginsFileIsKeptAside)
{
    const auto file = host.folder.file (FXContainer::lastPluginsFileName);
    ASSERT_TRUE (file.replaceWithText ("<trunk><PluginState data=\"1.A\">"));
    makePanel().reset();

    const auto asides = host.folder.get().findChildFiles (juce::File::findFiles, false, "lastPlugins.xml.bad-*");
    ASSERT_EQ (asides.size(), 1);
    EXPECT_EQ (asides[0].loadFileAsString(), "<trunk><PluginState data=\"1.A\">");
    const auto written = readLastPlugins();
    ASSERT_NE (written, nullptr);
    EXPECT_EQ (written->getNumChildElements(), 0);
}
