#pragma once

#include "engine/Engine.h"
#include "ui/MixerHost.h"

#include <array>

namespace zund::test
{
/** Stands in for the main component: keeps the section flags as it does and
    passes the channel count on to the engine. The window takes the saved
    bounds when they are set, as the main window does. */
class MixerHostStandIn : public MixerHost
{
public:
    explicit MixerHostStandIn (Engine& engineToUse) : engine (engineToUse) { sections.fill (true); }

    void setSectionVisible (int index, bool visible) override { sections.at ((size_t) index) = visible; }
    bool isSectionVisible (int index) const override { return sections.at ((size_t) index); }

    void setNumChannels (int count) override
    {
        for (int k = 0; k < numChannelStrips; ++k)
            sections[(size_t) k] = count > k;
        engine.setNumChannels (count);
    }

    void setSavedBounds (int x, int y, int width, int height) override
    {
        if (x != unsetBound && y != unsetBound)
            window = { x, y, width, height };
    }

    juce::Rectangle<int> getWindowBounds() const override { return window; }

    juce::Colour getBackgroundColour() const override { return panelColour; }
    const Engine& getEngine() const override { return engine; }

    std::array<bool, numSections> sections;
    juce::Rectangle<int> window { 449, 235, 1022, 730 };
    juce::Colour panelColour { 0xffababab };

private:
    Engine& engine;
};
}
