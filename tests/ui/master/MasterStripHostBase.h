#pragma once

#include "engine/Engine.h"
#include "support/TempFolder.h"
#include "ui/MixerHostStandIn.h"
#include "ui/master/MasterStripHost.h"
#include "ui/plugins/PluginListHolder.h"
#include "ui/widgets/ExComponent.h"

#include <memory>

namespace zund::test
{
/** The least a master strip needs of the main component: a real engine and
    plug-in list in a temporary program folder; everything else does nothing.
    Tests and benchmarks override what they watch. */
class MasterStripHostBase : public MasterStripHost
{
public:
    MasterStripHostBase() : pluginList (std::make_unique<PluginListHolder>()) {}

    // MixerHost, as the plain stand-in answers it.
    void setSectionVisible (int index, bool visible) override { mixer.setSectionVisible (index, visible); }
    bool isSectionVisible (int index) const override { return mixer.isSectionVisible (index); }
    void setNumChannels (int count) override { mixer.setNumChannels (count); }
    void setSavedBounds (int x, int y, int w, int h) override { mixer.setSavedBounds (x, y, w, h); }
    juce::Rectangle<int> getWindowBounds() const override { return mixer.getWindowBounds(); }
    juce::Colour getBackgroundColour() const override { return mixer.getBackgroundColour(); }
    void showColourSelector() override { mixer.showColourSelector(); }
    const Engine& getEngine() const override { return *engine; }
    void seekDeck (int channel, float fraction) override { mixer.seekDeck (channel, fraction); }
    void getWaveRing (int channel, const std::atomic<float>*& peak, const std::atomic<float>*& average) override
    {
        mixer.getWaveRing (channel, peak, average);
    }
    const std::atomic<float>* getPeakData (int channel) override { return mixer.getPeakData (channel); }
    const std::atomic<float>* getAverageData (int channel) override { return mixer.getAverageData (channel); }
    double getPositionFraction (int channel) const override { return mixer.getPositionFraction (channel); }
    bool loadFileIntoDeck (const juce::String& path, int channel) override
    {
        return mixer.loadFileIntoDeck (path, channel);
    }
    float getCuePoint (int channel, int index) override { return mixer.getCuePoint (channel, index); }
    void setCuePoint (int channel, int index, float position) override { mixer.setCuePoint (channel, index, position); }

    // MasterStripHost
    float getTapTempo() const override { return tapTempo; }
    void setEffectTempo (double bpm) override { engine->setFXTempo (bpm); }

    // PluginSlotHost
    PluginListHolder& getPluginList() override { return *pluginList; }
    double getPluginSampleRate() const override { return engine->getSampleRate(); }
    bool setPlugin (int bus, int slot, juce::AudioProcessor* plugin) override
    {
        return engine->setPlugin (bus, slot, plugin);
    }
    void pluginKnobMouseDown (ExComponent&, const juce::MouseEvent&) override {}
    void pluginKnobValueChanged (ExComponent&) override {}
    juce::Rectangle<int> getPluginWindowArea() const override { return { 100, 100, 1000, 700 }; }

    ScopedProgramFolder folder; // first made, last gone
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    std::unique_ptr<PluginListHolder> pluginList;
    MixerHostStandIn mixer { *engine };
    float tapTempo = 120.0f;
};
}
