#include "ui/channel/Channel.h"

#include "engine/Engine.h"
#include "ui/MixerHost.h"

#include <algorithm>
#include <cmath>

namespace zund
{
Channel::Channel (int channelIndex, MixerHost* host)
    : channel (channelIndex),
      owner (*host),
      waveDisplay (channelIndex, host),
      upper (channelIndex, host),
      loopSampler (channelIndex, host),
      player (channelIndex, host),
      eq (channelIndex, host),
      filter (channelIndex, host),
      modules { &waveDisplay, &upper, &loopSampler, &player, &eq, &filter }
{
    for (auto* module : modules)
        addAndMakeVisible (module);
    assignControlIds (channel);
    startTimer (meterIntervalMs);
}

Channel::~Channel()
{
    stopTimer();
}

void Channel::assignControlIds (int channelIndex)
{
    upper.assignControlIds (channelIndex);
    loopSampler.assignControlIds (channelIndex);
    filter.assignControlIds (channelIndex);
    eq.assignControlIds (channelIndex);
    player.assignControlIds (channelIndex);
}

void Channel::resetControls()
{
    loopSampler.getCue1Button().setValue (0.0f, true);
    loopSampler.getCue2Button().setValue (0.0f, true);
    loopSampler.getAdjustKnob().resetToDefault (true);
    upper.getGainFader().setValue (0.5f, true);
    for (ExComponent* widget : std::initializer_list<ExComponent*> {
             &eq.getLowKnob(), &eq.getMidKnob(), &eq.getMidFrequencyKnob(), &eq.getHighKnob(),
             &eq.getKillLowButton(), &eq.getKillMidButton(), &eq.getKillHighButton(), &filter.getLowPassKnob(),
             &filter.getBandPassKnob(), &filter.getHighPassKnob(), &filter.getCutoffKnob(),
             &filter.getResonanceKnob() })
        widget->resetToDefault (true);
}

void Channel::setSyncState (bool on)
{
    player.getSyncButton().setToggleState (on, true);
}

void Channel::selectInputDeck (int deck)
{
    if (deck >= 0 && deck < PlayerContainer::numDecks)
        player.getDeckButton (deck).setToggleState (true, true);
}

void Channel::setAbsoluteState (bool on)
{
    player.getAbsoluteButton().setToggleState (on, true);
}

void Channel::setControlState (int state)
{
    auto& control = player.getControlButton();
    control.setVisible (state != -1);
    control.setToggleState (state == 1, false);
}

void Channel::timerCallback()
{
    const auto& engine = owner.getEngine();
    const std::array<float, 8> levels {
        engine.getChannelPostFaderPeakLeft (channel), engine.getChannelPostFaderPeakRight (channel),
        engine.getChannelPostFaderHoldLeft (channel), engine.getChannelPostFaderHoldRight (channel),
        engine.getChannelPreFaderPeakLeft (channel),  engine.getChannelPreFaderPeakRight (channel),
        engine.getChannelPreFaderHoldLeft (channel),  engine.getChannelPreFaderHoldRight (channel),
    };
    // A silent or steady channel repaints nothing: a meter is at most a few
    // hundred pixels long, so smaller steps (a decay into silence) never show.
    constexpr float invisibleStep = 1.0e-3f;
    bool moved = false;
    for (size_t i = 0; i < levels.size(); ++i)
        moved = moved || std::abs (levels[i] - shownLevels[i]) >= invisibleStep;
    if (! moved)
        return;
    shownLevels = levels;
    player.getVolumeFader().setLevels (levels[0], levels[1], levels[2], levels[3]);
    upper.getGainFader().setLevels (levels[4], levels[5], levels[6], levels[7]);
}

int Channel::layOut (int width, bool place) const
{
    const int displayHeight = waveDisplay.getHeight();
    if (place)
        modules[0]->setBounds (0, 0, width, displayHeight);

    int visible = 0;
    for (auto* module : modules)
        visible += module->isVisible() ? 1 : 0;

    // A strip narrower than one module still gets one column, from its left
    // edge; and no more columns than there are heights to keep.
    const int moduleWidth = loopSampler.getWidth();
    const int columns = juce::jlimit (1, maxColumns, juce::jmin (width / moduleWidth, visible - 1));
    const int margin = juce::jmax (0, (width - columns * moduleWidth) / 2);

    std::array<int, maxColumns> heights;
    heights.fill (displayHeight);
    int tallest = displayHeight;
    int column = 0;
    int placed = 1;

    for (size_t i = 1; i < modules.size(); ++i)
    {
        auto* module = modules[i];
        if (! module->isVisible())
            continue;

        // The last module goes under the lowest column from here on.
        if (++placed == visible && column + 1 < columns)
            column = (int) (std::min_element (heights.begin() + column, heights.begin() + columns) - heights.begin());

        if (place)
            module->setTopLeftPosition (column * moduleWidth + margin, heights[(size_t) column]);
        heights[(size_t) column] += module->getHeight();
        tallest = juce::jmax (tallest, heights[(size_t) column]);
        if (++column >= columns)
            column = 0;
    }
    return tallest;
}

int Channel::getHeightForWidth (int width) const
{
    return layOut (width, false);
}

void Channel::resized()
{
    layOut (getWidth(), true);
    repaint();
}
}
