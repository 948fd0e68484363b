#pragma once

#include "common/events/SharedTimer.h"
#include "ui/panels/ModuleComponent.h"
#include "ui/widgets/KelKnob.h"
#include "ui/widgets/LevelMeterSlider.h"

#include <array>

namespace zund
{
class MixerHost;

/** "Main Channel": the MAIN and PHONES volume faders, each over its bus's
    two-bar meter (copied from the engine every 20 ms), the CUE/MAIN knob
    (what the phones hear) and the VIRTUAL Z-LOCK RANGE knob. */
class MainChannelUpperContainer : public ModuleComponent,
                                  private SharedTimer
{
public:
    static constexpr int meterIntervalMs = 20;

    MainChannelUpperContainer (int channel, MixerHost* owner);
    ~MainChannelUpperContainer() override;

    /** 500..503. */
    void assignControlIds();

    LevelMeterSlider& getMainVolume() noexcept { return mainVolume; }
    LevelMeterSlider& getPhonesVolume() noexcept { return phonesVolume; }
    KelKnob& getCueMixKnob() noexcept { return cueMix; }
    KelKnob& getZeroLockRangeKnob() noexcept { return zeroLockRange; }

    /** The meter step of the timer. */
    void updateMeters();

private:
    void timerCallback() override { updateMeters(); }

    MixerHost& owner;
    juce::Label mainLabel, phonesLabel, cueMixLabel, zeroLockLabel, markLabels[3];
    LevelMeterSlider mainVolume, phonesVolume;
    KelKnob cueMix, zeroLockRange;
    std::array<float, 8> shownLevels {};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainChannelUpperContainer)
};
}
