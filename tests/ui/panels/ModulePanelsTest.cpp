#include "support/UiEvents.h"
#include "ui/MixerHostStandIn.h"
#include "ui/panels/ChannelUpperContainer.h"
#include "ui/panels/EqContainer.h"
#include "ui/panels/FilterContainer.h"
#include "ui/panels/LoopSamplerContainer.h"
#include "ui/panels/PlayerContainer.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace zund;
using namespace zund::test;

namespace
{
class ModulePanels : public ::testing::Test
{
protected:
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    MixerHostStandIn host { *engine };
};

/** Notes the id of every widget that reports a change, as the dispatcher would hear it. */
struct IdRecorder : public ExComponentListener
{
    IdRecorder() { ExComponent::setDefaultListener (this); }
    ~IdRecorder() { ExComponent::setDefaultListener (nullptr); }
    void exComponentValueChanged (ExComponent* widget) override { ids.push_back (widget->getID()); }
    std::vector<int> ids;
};

std::vector<juce::Component*> visibleWidgetsOf (juce::Component& panel)
{
    std::vector<juce::Component*> widgets;
    for (auto* child : panel.getChildren())
        if (dynamic_cast<ExComponent*> (child) != nullptr && child->isVisible())
            widgets.push_back (child);
    return widgets;
}

bool isRedFace (const juce::Image& image, juce::Rectangle<int> box)
{
    const auto pixel = image.getPixelAt (box.getX() + 3, box.getBottom() - 3);
    return pixel.getRed() > 0x60 && pixel.getGreen() < 0x40;
}
}

// Every control lies in the panel's body, below the title bar, and none covers another.
TEST_F (ModulePanels, ControlsStayInsideTheBodyWithoutOverlap)
{
    const std::vector<std::function<std::unique_ptr<ModuleComponent>()>> makers {
        [this] { return std::make_unique<PlayerContainer> (0, &host); },
        [this] { return std::make_unique<FilterContainer> (0, &host); },
        [this] { return std::make_unique<EqContainer> (0, &host); },
        [this] { return std::make_unique<LoopSamplerContainer> (0, &host); },
        [this] {
            auto master = std::make_unique<LoopSamplerContainer> (4, &host);
            master->useSingleCueButton();
            return master;
        },
        [this] { return std::make_unique<ChannelUpperContainer> (0, &host); },
    };

    for (const auto& make : makers)
    {
        auto panel = make();
        const auto body = panel->getLocalBounds().withTrimmedTop (ModuleComponent::titleBarHeight);
        const auto widgets = visibleWidgetsOf (*panel);
        ASSERT_GE (widgets.size(), 2u) << panel->getTitle();
        for (size_t i = 0; i < widgets.size(); ++i)
        {
            EXPECT_TRUE (body.contains (widgets[i]->getBounds())) << panel->getTitle() << " widget " << i;
            for (size_t j = i + 1; j < widgets.size(); ++j)
                EXPECT_FALSE (widgets[i]->getBounds().intersects (widgets[j]->getBounds()))
                    << panel->getTitle() << " widgets " << i << " and " << j;
        }
    }
}

TEST_F (ModulePanels, SvfOpensTheFilterAndEnablesItsLevelsXCentresItAndKeepsThem)
{
    FilterContainer filter (1, &host);
    filter.assignControlIds (1);
    pumpMessages();
    EXPECT_FALSE (filter.getLowPassKnob().isEnabled()) << "a new filter is the one-knob kind";

    IdRecorder heard;
    filter.getKindGrid().selectIndex (FilterContainer::stateVariable, false);
    filter.resetForMode (FilterContainer::stateVariable);
    EXPECT_EQ (heard.ids, (std::vector<int> { 140, 142, 143, 144 })) << "each knob reaches the dispatcher";
    EXPECT_EQ (filter.getCutoffKnob().getValue(), 1.0f);
    EXPECT_EQ (filter.getCutoffKnob().getDefaultValue(), 1.0f);
    EXPECT_EQ (filter.getLowPassKnob().getValue(), 1.0f);
    EXPECT_EQ (filter.getBandPassKnob().getValue(), 0.0f);
    EXPECT_EQ (filter.getHighPassKnob().getValue(), 0.0f);
    EXPECT_FALSE (filter.getHighPassKnob().isEnabled()) << "enabled only on the message thread's turn";
    pumpMessages();
    for (auto* knob : { &filter.getLowPassKnob(), &filter.getBandPassKnob(), &filter.getHighPassKnob() })
        EXPECT_TRUE (knob->isEnabled());

    filter.getBandPassKnob().setValue (0.3f, false);
    filter.getKindGrid().selectIndex (FilterContainer::oneKnob, false);
    filter.resetForMode (FilterContainer::oneKnob);
    pumpMessages();
    EXPECT_EQ (filter.getCutoffKnob().getValue(), 0.5f);
    EXPECT_EQ (filter.getCutoffKnob().getDefaultValue(), 0.5f);
    EXPECT_EQ (filter.getBandPassKnob().getValue(), 0.3f);
    EXPECT_EQ (filter.getLowPassKnob().getValue(), 1.0f);
    for (auto* knob : { &filter.getLowPassKnob(), &filter.getBandPassKnob(), &filter.getHighPassKnob() })
        EXPECT_FALSE (knob->isEnabled());
}

TEST_F (ModulePanels, IsoDisablesTheMidFrequencyAndKeepsItsValue)
{
    EqContainer eq (0, &host);
    pumpMessages();
    auto& frequency = eq.getMidFrequencyKnob();
    EXPECT_TRUE (frequency.isEnabled());
    frequency.setValue (0.8f, false);

    eq.getModeGrid().selectIndex (EqContainer::isolator, false);
    eq.sendChangeMessage();
    pumpMessages();
    EXPECT_FALSE (frequency.isEnabled());
    EXPECT_EQ (frequency.getValue(), 0.8f);

    eq.getModeGrid().selectIndex (EqContainer::equaliser, false);
    eq.sendChangeMessage();
    pumpMessages();
    EXPECT_TRUE (frequency.isEnabled());
}

TEST_F (ModulePanels, NewPanelsShowTheirStartingState)
{
    PlayerContainer player (0, &host);
    EXPECT_TRUE (isRedFace (snapshotOf (player), player.getPlayButton().getBounds())) << "PLAY starts lit";
    EXPECT_FALSE (isRedFace (snapshotOf (player), player.getSyncButton().getBounds()));
    EXPECT_EQ (player.getVolumeFader().getValue(), 1.0f);
    EXPECT_EQ (player.getVolumeFader().getDefaultValue(), 1.0f);

    LoopSamplerContainer loop (0, &host);
    const auto loopImage = snapshotOf (loop);
    auto& grid = loop.getLengthGrid();
    EXPECT_EQ (grid.getCellTexts()[grid.getSelectedIndex()], "1/8");
    EXPECT_EQ (grid.getCellValue (grid.getSelectedIndex()), 0.125f);
    const auto eighth = grid.getBounds().withTrimmedLeft (60).withTrimmedTop (17); // lower row, third cell
    EXPECT_TRUE (isRedFace (loopImage, eighth.withWidth (30)));
    EXPECT_EQ (loop.getAdjustKnob().getValue(), 1.0f);
    EXPECT_FALSE (loop.getCue1Button().isOn());
    EXPECT_FALSE (loop.getCue2Button().isOn());

    ChannelUpperContainer upper (0, &host);
    EXPECT_EQ (upper.getGainFader().getValue(), 0.5f);
    EXPECT_EQ (upper.getGainFader().getDefaultValue(), 0.5f);
    EXPECT_EQ (upper.getGainFader().getMarker(), 0.5f);
    EXPECT_FALSE (upper.getPhonesButton().isOn());
}

TEST_F (ModulePanels, TheMasterLoopSamplerHasOneCueSwitchAsTallAsBothRows)
{
    LoopSamplerContainer normal (0, &host), master (4, &host);
    master.useSingleCueButton();
    EXPECT_FALSE (master.getCue1Button().isVisible());
    const auto single = master.getCue2Button().getBounds();
    EXPECT_EQ (single.getY(), normal.getCue1Button().getY());
    EXPECT_EQ (single.getBottom(), normal.getCue2Button().getBottom());
    EXPECT_EQ (single.getX(), normal.getCue1Button().getX());
    EXPECT_EQ (single.getWidth(), normal.getCue1Button().getWidth());
}
