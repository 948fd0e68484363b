#pragma once

#include "common/events/SharedTimer.h"
#include "ui/panels/ModuleComponent.h"
#include "ui/plugins/AudioPluginContainer.h"
#include "ui/widgets/KelButton.h"
#include "ui/widgets/KelKnob.h"
#include "ui/widgets/KelToggleButton.h"
#include "ui/widgets/SelectorGrid.h"

#include <array>
#include <memory>

namespace zund
{
class MasterStripHost;

/** "FX": the effect section's controls (effect, its channel, speed, DEPTH,
    MIX, on/off, tempo source with TAP and a tempo display) and the two
    plug-in slots. Its 100 ms timer hands the engine the effect tempo, from
    the clock channel or the tap counter.

    It restores the plug-in slots from "lastPlugins.xml" when it is made and
    writes the file when it goes. */
class FXContainer : public ModuleComponent,
                    private SharedTimer
{
public:
    static constexpr const char* lastPluginsFileName = "lastPlugins.xml";
    static constexpr int numPluginSlots = 2;
    static constexpr int numSpeedCells = 5;
    static constexpr int tempoIntervalMs = 100;
    static constexpr double minimumTempo = 60.0;

    /** Tempo source grid cells. */
    enum TempoSource
    {
        clockSource = 0,
        tapSource = 1
    };

    FXContainer (int channel, MasterStripHost* owner);
    ~FXContainer() override;

    /** The effect panel's ids 700..707 and the slot knobs 720..722, 730..732. */
    void assignControlIds();

    /** Writes the cell texts of a speed-label mode into the speed grid, unless
        that mode is shown already: 0 bars ("1/2".."4/1"), 1 beats
        ("1/8".."1/1"), any other "N.A.". Message thread. */
    void setSpeedLabels (int mode);
    int getSpeedLabelMode() const noexcept { return speedLabelMode; }

    /** The tempo the timer last handed the engine, as shown. */
    juce::String getTempoText() const { return tempoDisplay.getText(); }
    void setTempoColour (juce::Colour colour);

    SelectorGrid& getEffectGrid() noexcept { return effectGrid; }
    KelToggleButton& getEffectOnButton() noexcept { return effectOn; }
    KelKnob& getDepthKnob() noexcept { return depth; }
    KelKnob& getMixKnob() noexcept { return mix; }
    SelectorGrid& getChannelGrid() noexcept { return channelGrid; }
    SelectorGrid& getSpeedGrid() noexcept { return speedGrid; }
    SelectorGrid& getTempoSourceGrid() noexcept { return tempoSourceGrid; }
    KelButton& getTapButton() noexcept { return tapButton; }
    AudioPluginContainer& getPluginSlot (int index) noexcept { return *pluginSlots[(size_t) index]; }

    /** The tempo step of the timer, for the timer and tests. */
    void updateTempo();

private:
    void timerCallback() override { updateTempo(); }

    void restorePluginSlots();
    void savePluginSlots();

    MasterStripHost& owner;
    int speedLabelMode = -1;

    juce::GroupComponent tempoFrame;
    juce::Label channelLabel, depthLabel, mixLabel, speedLabel, tempoDisplay;
    SelectorGrid effectGrid { 0, nullptr };
    SelectorGrid channelGrid { 0, nullptr };
    SelectorGrid speedGrid { 0, nullptr };
    KelToggleButton effectOn { nullptr };
    KelKnob depth, mix;
    KelButton tapButton { 0, nullptr };
    SelectorGrid tempoSourceGrid { 0, nullptr };
    std::array<std::unique_ptr<AudioPluginContainer>, numPluginSlots> pluginSlots;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FXContainer)
};
}
