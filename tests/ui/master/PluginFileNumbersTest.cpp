// Numbers in the plug-in files ("lastPlugins.xml", "pluginList.xml") come from
// disk and may be anything. The framework's readers wrap large ones round (a
// knob bound to parameter 0, a hidden window shown, a state put into the other
// slot) and overflow on "-2147483648"; the window's place is summed with its
// size. What the user gets instead: each number held to its range, a window
// whose title bar is on the screen, and every slot as the file meant it.

#include "MasterStripRig.h"
#include "support/BoundedRun.h"
#include "support/OneScreen.h"
#include "support/PluginFixtures.h"
#include "ui/master/FXContainer.h"
#include "ui/plugins/AudioPluginContainer.h"
#include "ui/plugins/PluginState.h"

#include <gtest/gtest.h>

#include <limits>

using namespace zund;
using namespace zund::test;

namespace
{
constexpr int mainBus = Engine::masterSet;

class PluginFileNumbers : public ::testing::Test
{
protected:
    /** A saved slot of the stereo test effect with its first knob bound to Freq. */
    std::unique_ptr<juce::XmlElement> ringModState()
    {
        auto plugin = ringModWithFreq (0.25f);
        if (plugin == nullptr)
            return nullptr;
        auto state = PluginState::createPluginStateXml (plugin.get());
        state->setAttribute ("numParameter1", 0);
        return state;
    }

    void writeLastPlugins (const juce::XmlElement& state)
    {
        juce::XmlElement root ("trunk");
        root.addChildElement (new juce::XmlElement (state));
        ASSERT_TRUE (root.writeTo (host.folder.file (FXContainer::lastPluginsFileName)));
    }

    MasterStripHostStandIn host;
};

/** The top of the window, where its title bar is, lies on the screen at least 40 pixels wide. */
void expectOnScreen (const PluginWindow& window, const test::OneScreen& screen, const juce::String& what)
{
    const auto bounds = window.getBounds();
    EXPECT_GE (bounds.withHeight (1).getIntersection (screen.area).getWidth(), 40) << what << ": " << bounds.toString();
    EXPECT_GE (bounds.getY(), screen.area.getY()) << what << ": " << bounds.toString();
    EXPECT_LE (bounds.getY(), screen.area.getBottom() - 40) << what << ": " << bounds.toString();
}
}

TEST_F (PluginFileNumbers, ASlotsWindowPlaceAndBoundKnobsHoldToTheirRanges)
{
    struct Case
    {
        const char* x;
        const char* y;
        const char* visible;
        const char* parameter; // the first knob's
        bool shown;
        int boundTo;
    };
    const Case cases[] = {
        { "-2147483648", "-2147483648", "4294967297", "-2147483648", false, -1 },
        { "2147483647", "2147483647", "1", "4294967296", true, -1 },
        { "99999999999999999999", "-99999999999999999999", "-4294967295", "99999999999", false, -1 },
        { "x", "1e9", "", "abc", false, -1 },
        { "-3000000", "  250", "1", "0", true, 0 },
    };

    for (const auto& c : cases)
    {
        const juce::String what = juce::String ("x ") + c.x + ", y " + c.y + ", visible " + c.visible + ", knob " + c.parameter;
        auto state = ringModState();
        ASSERT_NE (state, nullptr);
        state->setAttribute ("xPos", c.x);
        state->setAttribute ("yPos", c.y);
        state->setAttribute ("visible", c.visible);
        state->setAttribute ("numParameter1", c.parameter);

        const test::OneScreen screen;
        AudioPluginContainer slot (mainBus, 0, host);
        slot.fromXml (state.get());
        ASSERT_NE (slot.getPlugin(), nullptr) << what;
        ASSERT_NE (slot.getWindow(), nullptr) << what;
        expectOnScreen (*slot.getWindow(), screen, what);
        EXPECT_EQ (slot.isWindowVisible(), c.shown) << what;
        EXPECT_EQ (slot.getParameterNumber (0), c.boundTo) << what;
        EXPECT_NEAR (slot.getPlugin()->getParameters()[0]->getValue(), 0.25f, 1.0e-4f) << what << ": the state is restored";
    }
}

// A slot number that names no slot is read as none: the state goes to the slot
// of its position instead of being dropped (and then lost when the file is
// written at exit), or put into the other slot.
TEST_F (PluginFileNumbers, ASlotNumberThatNamesNoSlotRestoresByPosition)
{
    for (const char* number : { "4294967297", "-2147483648", "99999999999", "7", "one" })
    {
        auto state = ringModState();
        ASSERT_NE (state, nullptr);
        state->setAttribute ("slot", number);
        writeLastPlugins (*state);

        {
            FXContainer panel (4, &host);
            EXPECT_NE (panel.getPluginSlot (0).getPlugin(), nullptr) << number;
            EXPECT_EQ (panel.getPluginSlot (1).getPlugin(), nullptr) << number;
        }
        const auto written = juce::XmlDocument::parse (host.folder.file (FXContainer::lastPluginsFileName));
        ASSERT_NE (written, nullptr) << number;
        EXPECT_EQ (written->getNumChildElements(), 1) << number << ": kept for the next start";
    }
}

// The channel counts of a plug-in's description, in the list of known plug-ins
// and in a saved slot: an absurd count does not stop the list or the slot from
// loading, and a plug-in whose inputs cannot be two is not offered as a stereo effect.
TEST_F (PluginFileNumbers, ChannelCountsOfDescriptionsHoldToTheirRange)
{
    const auto ringModulator = describeLv2Plugin (stereoLv2Effect);
    ASSERT_TRUE (ringModulator.has_value()) << "mda-lv2 is not installed";

    struct Case
    {
        const char* inputs;
        int read;
    };
    const Case cases[] = { { "-2147483648", std::numeric_limits<int>::min() }, { "-4294967294", std::numeric_limits<int>::min() },
                           { "4294967298", std::numeric_limits<int>::max() }, { "2", 2 } };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.inputs);
        juce::KnownPluginList written;
        written.addType (*ringModulator);
        auto list = written.createXml();
        list->getChildElement (0)->setAttribute ("numInputs", c.inputs);
        ASSERT_TRUE (list->writeTo (host.folder.file (PluginListHolder::listFileName)));

        std::unique_ptr<PluginListHolder> holder;
        finishWithin (30.0, "reading the plug-in list", [&holder] { holder = std::make_unique<PluginListHolder>(); });
        ASSERT_EQ (holder->getKnownList().getNumTypes(), 1);
        EXPECT_EQ (holder->getKnownList().getTypes()[0].numInputChannels, c.read);
        EXPECT_EQ (holder->getOfferedTypes (false).size(), c.read >= 2 ? 1 : 0);

        // The same description in a saved slot still restores the plug-in.
        auto state = ringModState();
        ASSERT_NE (state, nullptr);
        state->getChildElement (0)->setAttribute ("numInputs", c.inputs);
        AudioPluginContainer slot (mainBus, 0, host);
        slot.fromXml (state.get());
        EXPECT_NE (slot.getPlugin(), nullptr);
    }
}
