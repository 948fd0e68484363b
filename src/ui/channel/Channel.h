#pragma once

#include "common/events/SharedTimer.h"
#include "ui/panels/ChannelUpperContainer.h"
#include "ui/panels/EqContainer.h"
#include "ui/panels/FilterContainer.h"
#include "ui/panels/LoopSamplerContainer.h"
#include "ui/panels/PlayerContainer.h"
#include "ui/waveform/WaveDisplay.h"

#include <array>

namespace zund
{
class MixerHost;

/** The column of module panels that controls one mixer channel (0..3): the
    wave display on top, then the channel, loop sampler, player, equaliser
    and filter panels, in as many columns of modules as the width allows.

    It gives the panels' widgets the channel's control ids, and every 20 ms
    copies the channel's meters from the engine into its two meter faders. */
class Channel : public juce::Component,
                private SharedTimer
{
public:
    static constexpr int meterIntervalMs = 20;
    static constexpr int maxColumns = 10;

    Channel (int channel, MixerHost* owner);
    ~Channel() override;

    int getChannelIndex() const noexcept { return channel; }

    /** channel x 100 + function for every control of the strip's panels. */
    void assignControlIds (int channel);

    /** A load with "Reset Channel EQ & Filter on load": the loop switches off,
        the ADJ. knob, EQ and filter knobs and kills to their defaults, the
        gain to the middle; each notifies. The two grids stay. */
    void resetControls();

    /** These switch the toggle with notification, so the dispatcher acts. */
    void setSyncState (bool on);
    /** Deck 0..3; other values do nothing. */
    void selectInputDeck (int deck);
    void setAbsoluteState (bool on);

    /** The engine's control state: -1 hides CONTROL (alone on its deck);
        0 or 1 shows it off or on, without notification. Message thread. */
    void setControlState (int state);

    /** The height the strip's layout needs at that width. */
    int getHeightForWidth (int width) const;

    WaveDisplay& getWaveDisplay() noexcept { return waveDisplay; }
    ChannelUpperContainer& getChannelUpperContainer() noexcept { return upper; }
    LoopSamplerContainer& getLoopSamplerContainer() noexcept { return loopSampler; }
    PlayerContainer& getPlayerContainer() noexcept { return player; }
    EqContainer& getEqContainer() noexcept { return eq; }
    FilterContainer& getFilterContainer() noexcept { return filter; }

    void resized() override;

private:
    void timerCallback() override;

    /** Places the modules (when `place`) and returns the tallest column. */
    int layOut (int width, bool place) const;

    const int channel;
    MixerHost& owner;

    // In child order, which is the order of the layout.
    WaveDisplay waveDisplay;
    ChannelUpperContainer upper;
    LoopSamplerContainer loopSampler;
    PlayerContainer player;
    EqContainer eq;
    FilterContainer filter;
    std::array<juce::Component*, 6> modules;

    std::array<float, 8> shownLevels {};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Channel)
};
}
