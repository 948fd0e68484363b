#include "support/UiEvents.h"
#include "ui/MixerHostStandIn.h"
#include "ui/channel/ChannelContainer.h"
#include "ui/panels/ControlIds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <vector>

using namespace zund;
using namespace zund::test;

namespace
{
constexpr int moduleWidth = 204;

class ChannelStrips : public ::testing::Test
{
protected:
    void SetUp() override { container.setSize (4 * moduleWidth, 600); }

    Channel& strip (int c) { return *container.getChannel (c); }

    std::vector<juce::Component*> visibleModulesOf (Channel& s)
    {
        std::vector<juce::Component*> modules;
        for (auto* child : s.getChildren())
            if (child->isVisible() && child != &s.getWaveDisplay())
                modules.push_back (child);
        return modules;
    }

    // Every visible module lies inside the strip, under the display, and none covers another.
    void expectTidy (Channel& s)
    {
        const auto modules = visibleModulesOf (s);
        const auto area = s.getLocalBounds().withTrimmedTop (s.getWaveDisplay().getBottom());
        for (size_t i = 0; i < modules.size(); ++i)
        {
            EXPECT_TRUE (area.contains (modules[i]->getBounds())) << modules[i]->getName();
            EXPECT_LE (modules[i]->getBottom(), s.getHeightForWidth (s.getWidth())) << modules[i]->getName();
            for (size_t j = i + 1; j < modules.size(); ++j)
                EXPECT_FALSE (modules[i]->getBounds().intersects (modules[j]->getBounds()))
                    << modules[i]->getName() << " and " << modules[j]->getName();
        }
    }

    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    MixerHostStandIn host { *engine };
    ChannelContainer container { &host };
};

int columnOf (juce::Component& module, juce::Component& strip)
{
    const int margin = (strip.getWidth() % moduleWidth) / 2;
    return (module.getX() - margin) / moduleWidth;
}
}

// Every control of a strip answers to its id, and the id names the control
// the dispatcher's table means.
TEST_F (ChannelStrips, ControlsCarryTheirChannelsIds)
{
    for (int c = 0; c < 4; ++c)
    {
        auto& s = strip (c);
        auto& player = s.getPlayerContainer();
        auto& loop = s.getLoopSamplerContainer();
        auto& eq = s.getEqContainer();
        auto& filter = s.getFilterContainer();
        using namespace ControlIds;
        const std::vector<std::pair<int, ExComponent*>> table {
            { gain, &s.getChannelUpperContainer().getGainFader() },
            { phones, &s.getChannelUpperContainer().getPhonesButton() },
            { cue1, &loop.getCue1Button() },             { cue2, &loop.getCue2Button() },
            { loopLength, &loop.getLengthGrid() },        { loopAdjust, &loop.getAdjustKnob() },
            { filterKind, &filter.getKindGrid() },        { filterFrequency, &filter.getCutoffKnob() },
            { filterResonance, &filter.getResonanceKnob() }, { filterLowPass, &filter.getLowPassKnob() },
            { filterBandPass, &filter.getBandPassKnob() }, { filterHighPass, &filter.getHighPassKnob() },
            { eqLow, &eq.getLowKnob() },                  { eqMidFrequency, &eq.getMidFrequencyKnob() },
            { eqMid, &eq.getMidKnob() },                  { eqHigh, &eq.getHighKnob() },
            { eqKillLow, &eq.getKillLowButton() },        { eqKillMid, &eq.getKillMidButton() },
            { eqKillHigh, &eq.getKillHighButton() },      { eqMode, &eq.getModeGrid() },
            { fader, &player.getVolumeFader() },          { ControlIds::control, &player.getControlButton() },
            { ControlIds::rewind, &player.getRewindButton() },        { play, &player.getPlayButton() },
            { ControlIds::sync, &player.getSyncButton() },            { ControlIds::clock, &player.getClockButton() },
            { absolute, &player.getAbsoluteButton() },    { thru, &player.getThruButton() },
            { firstInputDeck, &player.getDeckButton (0) }, { firstInputDeck + 1, &player.getDeckButton (1) },
            { firstInputDeck + 2, &player.getDeckButton (2) }, { lastInputDeck, &player.getDeckButton (3) },
        };
        for (const auto& [function, widget] : table)
        {
            EXPECT_EQ (ExComponent::getComponentByID (of (c, function)), widget) << "channel " << c << " function " << function;
            EXPECT_EQ (widget->getID(), of (c, function));
        }
    }
    EXPECT_EQ (ExComponent::getComponentByID (155)->getText(), "PLAY");
    EXPECT_EQ (ExComponent::getComponentByID (362)->getText(), "3");
    EXPECT_EQ (ExComponent::getComponentByID (258)->getText2(), "RELATIVE");
}

// Two columns: the modules alternate, and the last goes under the lower column.
TEST_F (ChannelStrips, TwoColumnsAlternateAndTheLastModuleFillsTheLowerColumn)
{
    auto& s = strip (0);
    s.setSize (2 * moduleWidth + 10, 600);
    expectTidy (s);
    EXPECT_EQ (columnOf (s.getChannelUpperContainer(), s), 0);
    EXPECT_EQ (columnOf (s.getLoopSamplerContainer(), s), 1);
    EXPECT_EQ (columnOf (s.getPlayerContainer(), s), 0);
    EXPECT_EQ (columnOf (s.getEqContainer(), s), 1);
    // Column 0 holds 48 + 81 = 129 under the display, column 1 62 + 80 = 142.
    EXPECT_EQ (columnOf (s.getFilterContainer(), s), 0);
    EXPECT_EQ (s.getFilterContainer().getY(), s.getPlayerContainer().getBottom());
    EXPECT_EQ (s.getHeightForWidth (s.getWidth()), s.getFilterContainer().getBottom());

    // Without the channel and loop panels the player (81) is taller than the
    // equaliser (80): the filter leaves column 0 for the equaliser's column.
    container.setSectionVisible (ChannelContainer::channelSection, false);
    container.setSectionVisible (ChannelContainer::loopSamplerSection, false);
    s.setSize (2 * moduleWidth + 10, 600);
    expectTidy (s);
    EXPECT_EQ (columnOf (s.getPlayerContainer(), s), 0);
    EXPECT_EQ (columnOf (s.getFilterContainer(), s), 1);
    EXPECT_EQ (s.getFilterContainer().getY(), s.getEqContainer().getBottom());
}

TEST_F (ChannelStrips, ThreeColumnsWithTwoModulesSitSideBySideCentred)
{
    for (int section : { ChannelContainer::eqSection, ChannelContainer::filterSection, ChannelContainer::playerSection })
        container.setSectionVisible (section, false);
    auto& s = strip (0);
    s.setSize (3 * moduleWidth + 40, 600);
    expectTidy (s);
    auto& upper = s.getChannelUpperContainer();
    auto& loop = s.getLoopSamplerContainer();
    EXPECT_EQ (upper.getY(), s.getWaveDisplay().getBottom());
    EXPECT_EQ (loop.getY(), s.getWaveDisplay().getBottom());
    EXPECT_EQ (loop.getX(), upper.getRight());
    EXPECT_EQ (upper.getX(), s.getWidth() - loop.getRight()) << "centred";
}

// One, two and three columns keep the modules apart; hiding one kind
// re-flows every strip and shortens it.
TEST_F (ChannelStrips, HidingASectionReflowsTheStrips)
{
    auto& s = strip (1);
    for (int width : { moduleWidth, 2 * moduleWidth, 3 * moduleWidth + 7, 5 * moduleWidth })
    {
        s.setSize (width, 600);
        expectTidy (s);
    }

    container.setSize (2 * moduleWidth, 600); // one column in each strip
    const int tall = s.getHeightForWidth (moduleWidth);
    const int playerY = s.getPlayerContainer().getY();
    container.setSectionVisible (ChannelContainer::loopSamplerSection, false);
    EXPECT_FALSE (s.getLoopSamplerContainer().isVisible());
    EXPECT_FALSE (strip (3).getLoopSamplerContainer().isVisible());
    EXPECT_EQ (s.getPlayerContainer().getY(), s.getChannelUpperContainer().getBottom());
    EXPECT_LT (s.getPlayerContainer().getY(), playerY);
    EXPECT_EQ (s.getHeightForWidth (moduleWidth), tall - s.getLoopSamplerContainer().getHeight());
    expectTidy (s);

    for (int section : { 4, 5, 8, 9 })
        container.setSectionVisible (section, false);
    EXPECT_EQ (s.getHeightForWidth (moduleWidth), s.getWaveDisplay().getHeight());
    EXPECT_EQ (container.getHeightForWidth (800), s.getWaveDisplay().getHeight());
}

// Four strips in the smallest window are narrower than a module: one column
// from the strip's left edge, the modules stacked apart (their right part is cut).
TEST_F (ChannelStrips, AStripNarrowerThanAModuleStacksItsModulesFromTheLeft)
{
    auto& s = strip (0);
    s.setSize (169, 600);
    const auto modules = visibleModulesOf (s);
    for (size_t i = 0; i < modules.size(); ++i)
    {
        EXPECT_EQ (modules[i]->getX(), 0);
        if (i > 0)
        {
            EXPECT_EQ (modules[i]->getY(), modules[i - 1]->getBottom());
        }
    }
    EXPECT_EQ (s.getHeightForWidth (169), modules.back()->getBottom());
}

TEST_F (ChannelStrips, StripsOneAndTwoStartShownAndShareTheWidthWithTheRemainderToStripZero)
{
    EXPECT_TRUE (strip (0).isVisible());
    EXPECT_TRUE (strip (1).isVisible());
    EXPECT_FALSE (strip (2).isVisible());
    EXPECT_FALSE (strip (3).isVisible());

    container.setSize (1000, 500);
    container.setSectionVisible (3, true);
    EXPECT_EQ (strip (0).getBounds(), juce::Rectangle<int> (0, 0, 334, 500));
    EXPECT_EQ (strip (1).getBounds(), juce::Rectangle<int> (334, 0, 333, 500));
    EXPECT_EQ (strip (3).getBounds(), juce::Rectangle<int> (667, 0, 333, 500));
    EXPECT_EQ (container.getHeightForWidth (1000), strip (0).getHeightForWidth (333));

    container.setSectionVisible (7, false); // the master strip's index: not the container's business
    EXPECT_EQ (container.getNumVisibleStrips(), 3);
}

TEST_F (ChannelStrips, ControlStateHidesOrShowsControlWithoutNotifying)
{
    struct Counter : ExComponentListener
    {
        void exComponentValueChanged (ExComponent*) override { ++count; }
        int count = 0;
    } counter;
    ExComponent::setDefaultListener (&counter);

    auto& control = strip (0).getPlayerContainer().getControlButton();
    strip (0).setControlState (-1);
    EXPECT_FALSE (control.isVisible());
    strip (0).setControlState (1);
    EXPECT_TRUE (control.isVisible());
    EXPECT_TRUE (control.isOn());
    strip (0).setControlState (0);
    EXPECT_TRUE (control.isVisible());
    EXPECT_FALSE (control.isOn());
    EXPECT_EQ (counter.count, 0);

    strip (0).selectInputDeck (2);
    strip (0).selectInputDeck (4);
    EXPECT_EQ (counter.count, 1) << "deck 2's radio notifies; deck 4 does not exist";
    EXPECT_TRUE (strip (0).getPlayerContainer().getDeckButton (2).isOn());
    ExComponent::setDefaultListener (nullptr);
}

TEST_F (ChannelStrips, ResetControlsLeavesTheGridsAndCentresTheGain)
{
    auto& s = strip (2);
    auto& gain = s.getChannelUpperContainer().getGainFader();
    gain.setDefaultValue (0.9f);
    gain.setValue (0.2f, false);
    s.getLoopSamplerContainer().getCue2Button().setValue (1.0f, false);
    s.getLoopSamplerContainer().getLengthGrid().selectIndex (2, false);
    s.getEqContainer().getModeGrid().selectIndex (1, false);
    s.getFilterContainer().getKindGrid().selectIndex (1, false);
    s.getEqContainer().getKillMidButton().setValue (1.0f, false);
    s.getEqContainer().getHighKnob().setValue (0.1f, false);
    s.getFilterContainer().getResonanceKnob().setValue (0.7f, false);

    s.resetControls();
    EXPECT_EQ (gain.getValue(), 0.5f);
    EXPECT_FALSE (s.getLoopSamplerContainer().getCue2Button().isOn());
    EXPECT_FALSE (s.getEqContainer().getKillMidButton().isOn());
    EXPECT_EQ (s.getEqContainer().getHighKnob().getValue(), 0.5f);
    EXPECT_EQ (s.getFilterContainer().getResonanceKnob().getValue(), 0.0f);
    EXPECT_EQ (s.getLoopSamplerContainer().getLengthGrid().getSelectedIndex(), 2);
    EXPECT_EQ (s.getEqContainer().getModeGrid().getSelectedIndex(), 1);
    EXPECT_EQ (s.getFilterContainer().getKindGrid().getSelectedIndex(), 1);
}

// The meters follow the engine's: a tone through channel 1's live input shows
// on both faders within one tick.
TEST_F (ChannelStrips, MetersCopyTheEnginesLevelsEveryTick)
{
    engine->setDeckInput (0, 0);
    engine->setThru (0, true);
    std::vector<float> left (4096), right (4096), outL (4096), outR (4096);
    for (size_t i = 0; i < left.size(); ++i)
        left[i] = right[i] = 0.5f * std::sin (0.06f * (float) i);
    const float* inputs[] = { left.data(), right.data() };
    float* outputs[] = { outL.data(), outR.data() };
    for (int block = 0; block < 8; ++block)
        engine->processBlock (inputs, 2, outputs, 2, 4096, false);

    ASSERT_GT (engine->getChannelPreFaderHoldLeft (0), 0.1f);
    auto& volume = strip (0).getPlayerContainer().getVolumeFader();
    auto& gain = strip (0).getChannelUpperContainer().getGainFader();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return volume.getLevel (2) > 0.0f; }, 500));
    EXPECT_EQ (volume.getLevel (2), engine->getChannelPostFaderHoldLeft (0));
    EXPECT_EQ (volume.getLevel (1), engine->getChannelPostFaderPeakRight (0));
    EXPECT_EQ (gain.getLevel (3), engine->getChannelPreFaderHoldRight (0));
    EXPECT_EQ (gain.getLevel (0), engine->getChannelPreFaderPeakLeft (0));
    EXPECT_LT (strip (1).getPlayerContainer().getVolumeFader().getLevel (2), 1.0e-6f) << "channel 2 is silent";
}
