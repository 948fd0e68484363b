#include "ui/channel/ChannelContainer.h"

namespace zund
{
namespace
{
juce::Component* panelOfSection (Channel& strip, int section)
{
    switch (section)
    {
        case ChannelContainer::eqSection:          return &strip.getEqContainer();
        case ChannelContainer::filterSection:      return &strip.getFilterContainer();
        case ChannelContainer::loopSamplerSection: return &strip.getLoopSamplerContainer();
        case ChannelContainer::playerSection:      return &strip.getPlayerContainer();
        case ChannelContainer::channelSection:     return &strip.getChannelUpperContainer();
        default:                                   return nullptr;
    }
}
}

ChannelContainer::ChannelContainer (MixerHost* owner)
{
    for (int c = 0; c < numStrips; ++c)
    {
        strips[(size_t) c] = std::make_unique<Channel> (c, owner);
        addChildComponent (*strips[(size_t) c]);
    }
    strips[0]->setVisible (true);
    resized();
    strips[1]->setVisible (true);
    resized();
}

ChannelContainer::~ChannelContainer() = default;

void ChannelContainer::setSectionVisible (int which, bool visible)
{
    if (which >= 0 && which < numStrips)
    {
        strips[(size_t) which]->setVisible (visible);
    }
    else
    {
        for (auto& strip : strips)
            if (auto* panel = panelOfSection (*strip, which))
                panel->setVisible (visible);
    }
    layOutEverything();
}

void ChannelContainer::layOutEverything()
{
    resized();
    for (auto& strip : strips)
        strip->resized();
}

int ChannelContainer::getNumVisibleStrips() const noexcept
{
    int visible = 0;
    for (const auto& strip : strips)
        visible += strip->isVisible() ? 1 : 0;
    return visible;
}

int ChannelContainer::getHeightForWidth (int width) const
{
    return strips[0]->getHeightForWidth (width / juce::jmax (1, getNumVisibleStrips()));
}

Channel* ChannelContainer::getChannel (int index) const noexcept
{
    return index >= 0 && index < numStrips ? strips[(size_t) index].get() : nullptr;
}

void ChannelContainer::resized()
{
    const int width = getWidth(), height = getHeight();
    const int visible = getNumVisibleStrips();
    const int share = visible > 0 ? width / visible : width;
    // Strip 0 takes what the division leaves over.
    const int firstWidth = visible > 0 ? width - (visible - 1) * share : width;

    int x = 0;
    for (size_t i = 0; i < strips.size(); ++i)
    {
        auto& strip = *strips[i];
        const int w = i == 0 ? firstWidth : share;
        strip.setBounds (x, 0, w, height);
        if (strip.isVisible())
            x += w;
    }
}
}
