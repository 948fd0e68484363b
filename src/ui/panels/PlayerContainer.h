#pragma once

#include "ui/panels/ModuleComponent.h"
#include "ui/widgets/KelButton.h"
#include "ui/widgets/KelToggleButton.h"
#include "ui/widgets/LevelMeterSlider.h"

#include <array>
#include <memory>

namespace zund
{
class MixerHost;

/** "Player": a channel's volume fader (over its post-fader meter) and its
    transport and deck controls. The widgets report to the default listener
    under the ids the strip gives them. */
class PlayerContainer : public ModuleComponent
{
public:
    static constexpr int numDecks = 4;

    PlayerContainer (int channel, MixerHost* owner);
    ~PlayerContainer() override;

    /** channel x 100 + the function of each widget. */
    void assignControlIds (int channel);

    LevelMeterSlider& getVolumeFader() noexcept { return volume; }
    KelToggleButton& getPlayButton() noexcept { return play; }
    KelButton& getRewindButton() noexcept { return rewind; }
    KelToggleButton& getThruButton() noexcept { return thru; }
    KelToggleButton& getControlButton() noexcept { return control; }
    KelToggleButton& getSyncButton() noexcept { return sync; }
    KelToggleButton& getClockButton() noexcept { return clock; }
    KelToggleButton& getAbsoluteButton() noexcept { return absolute; }
    /** The input deck radios "1".."4". */
    KelToggleButton& getDeckButton (int deck) { return *decks.at ((size_t) deck); }

    int getChannel() const noexcept { return channel; }

private:
    const int channel;
    LevelMeterSlider volume;
    KelToggleButton play { nullptr };
    KelButton rewind { 0, nullptr };
    KelToggleButton thru { nullptr };
    KelToggleButton control { nullptr };
    KelToggleButton sync { nullptr };
    KelToggleButton clock { nullptr };
    KelToggleButton absolute { nullptr };
    std::array<std::unique_ptr<KelToggleButton>, numDecks> decks;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PlayerContainer)
};
}
