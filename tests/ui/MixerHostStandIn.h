#pragma once

#include "engine/Engine.h"
#include "ui/MixerHost.h"

#include <array>
#include <map>
#include <utility>
#include <vector>

namespace zund::test
{
/** Stands in for the main component: keeps the section flags as it does and
    passes the channel count on to the engine. The window takes the saved
    bounds when they are set, as the main window does. Seeks and loads are
    noted, cue points kept per (channel, index). */
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
    void showColourSelector() override { ++colourSelectorShown; }
    const Engine& getEngine() const override { return engine; }

    void seekDeck (int channel, float fraction) override { seeks.emplace_back (channel, fraction); }

    // The engine's rings and no peak data, unless a test supplies its own.
    void getWaveRing (int channel, const std::atomic<float>*& peak, const std::atomic<float>*& average) override
    {
        peak = peakRing != nullptr ? peakRing : engine.getWavePeakRing (channel);
        average = averageRing != nullptr ? averageRing : engine.getWaveAverageRing (channel);
    }
    const std::atomic<float>* getPeakData (int) override { return peakData; }
    const std::atomic<float>* getAverageData (int) override { return averageData; }
    double getPositionFraction (int channel) const override { return engine.getPositionFraction (channel); }

    bool loadFileIntoDeck (const juce::String& path, int channel) override
    {
        loads.emplace_back (path, channel);
        return true;
    }
    float getCuePoint (int channel, int index) override
    {
        const auto found = cuePoints.find ({ channel, index });
        return found != cuePoints.end() ? found->second : -1.0f;
    }
    void setCuePoint (int channel, int index, float position) override { cuePoints[{ channel, index }] = position; }

    std::array<bool, numSections> sections;
    juce::Rectangle<int> window { 449, 235, 1022, 730 };
    juce::Colour panelColour { 0xffababab };
    int colourSelectorShown = 0;

    std::vector<std::pair<int, float>> seeks;                // (channel, fraction)
    std::vector<std::pair<juce::String, int>> loads;         // (path, channel)
    std::map<std::pair<int, int>, float> cuePoints;          // (channel, index) -> position
    const std::atomic<float>* peakRing = nullptr;
    const std::atomic<float>* averageRing = nullptr;
    const std::atomic<float>* peakData = nullptr;
    const std::atomic<float>* averageData = nullptr;

private:
    Engine& engine;
};
}
