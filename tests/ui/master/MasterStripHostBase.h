#pragma once

#include "engine/Engine.h"
#include "support/TempFolder.h"
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

    // MixerHost
    void setSectionVisible (int, bool) override {}
    bool isSectionVisible (int) const override { return true; }
    void setNumChannels (int) override {}
    void setSavedBounds (int, int, int, int) override {}
    juce::Rectangle<int> getWindowBounds() const override { return { 0, 0, 1022, 730 }; }
    juce::Colour getBackgroundColour() const override { return juce::Colour (0xffababab); }
    const Engine& getEngine() const override { return *engine; }

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
    float tapTempo = 120.0f;
};
}
