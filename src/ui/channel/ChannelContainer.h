#pragma once

#include "ui/channel/Channel.h"

#include <array>
#include <memory>

namespace zund
{
class MixerHost;

/** The four channel strips side by side. It shows or hides whole strips or
    one kind of panel in every strip, and says how tall it must be for a
    width. Strips 1 and 2 are shown at first. */
class ChannelContainer : public juce::Component
{
public:
    static constexpr int numStrips = 4;

    /** Section indexes of the panel kinds (0..3 are the strips themselves). */
    enum Section
    {
        eqSection = 4,
        filterSection = 5,
        loopSamplerSection = 6,
        playerSection = 8,
        channelSection = 9
    };

    explicit ChannelContainer (MixerHost* owner);
    ~ChannelContainer() override;

    /** 0..3 a strip, 4 every equaliser, 5 every filter, 6 every loop sampler,
        8 every player, 9 every channel panel; other values change nothing.
        Lays everything out again. */
    void setSectionVisible (int which, bool visible);

    /** Strip 0's height at its share of the width. */
    int getHeightForWidth (int width) const;

    /** The strip of that channel; null outside 0..3. */
    Channel* getChannel (int index) const noexcept;
    int getNumVisibleStrips() const noexcept;

    void resized() override;

private:
    void layOutEverything();

    std::array<std::unique_ptr<Channel>, numStrips> strips;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ChannelContainer)
};
}
