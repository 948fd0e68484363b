#pragma once

#include "ui/MixerHost.h"
#include "ui/bottom/BottomBarHost.h"
#include "ui/bottom/BottomComponent.h"

#include <array>

namespace zund::test
{
/** Stands in for the main component: keeps the section flags and shows them
    on the bar as it does, and notes learn mode and the recording pair. */
struct BottomBarHostStandIn : public BottomBarHost
{
    BottomBarHostStandIn() { sections.fill (true); }

    void setSectionVisible (int index, bool visible) override
    {
        sections.at ((size_t) index) = visible;
        if (bar != nullptr)
            bar->refreshSectionToggles();
    }
    bool isSectionVisible (int index) const override { return sections.at ((size_t) index); }
    void setLearnMode (bool on) override { learnMode = on; }
    juce::StringArray getInputChannelNames() const override { return inputNames; }
    void setRecordingInputPair (int firstChannel) override { recordingPair = firstChannel; }
    AudioPluginContainer* getPluginSlot (int index) override { return pluginSlots.at ((size_t) index); }

    static constexpr int pairNeverSet = -100;

    std::array<bool, MixerHost::numSections> sections;
    bool learnMode = false;
    juce::StringArray inputNames;
    int recordingPair = pairNeverSet;
    BottomComponent* bar = nullptr;
    std::array<AudioPluginContainer*, 2> pluginSlots {}; // none unless a test gives them
};
}
