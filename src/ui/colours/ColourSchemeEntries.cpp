#include "ui/colours/ColourSchemeEntries.h"

#include "ui/colours/ZundColourSelector.h"
#include "ui/panels/ModuleComponent.h"
#include "ui/plugins/AudioPluginContainer.h"
#include "ui/waveform/WaveComponent.h"
#include "ui/waveform/WaveDisplay.h"
#include "ui/waveform/WaveOverview.h"
#include "ui/widgets/CuePointComponent.h"
#include "ui/widgets/LevelMeterSlider.h"

#include <algorithm>

namespace zund
{
namespace
{
struct Entry
{
    int id;
    const char* name;
    juce::Colour* variable;
};

// The list shows a separator after each of these.
constexpr int lastOfGroup[] = { 7000, 9, 1009, 2004, 3005, 4004, 5002, 8007 };
}

void addColourSchemeEntries (ZundColourSelector& selector, const HostColourSlots& host)
{
    auto& wave = WaveComponent::colours;
    auto& overview = WaveOverview::colours;
    auto& labels = WaveDisplay::colours;
    auto& module = ModuleComponent::colours;
    auto& meter = LevelMeterSlider::colours;
    auto& cue = CuePointComponent::colours;
    auto& plugin = AudioPluginContainer::colours;

    const Entry entries[] = {
        { 6000, "Application Background", host.applicationBackground },
        { 7000, "Browser Background", host.browserBackground },
        { 1, "Wave Display Background", &wave.background },
        { 2, "Wave Display Peak", &wave.peak },
        { 3, "Wave Display Average", &wave.average },
        { 4, "Wave Display Peak Looped", &wave.peakLooped },
        { 5, "Wave Display Average Looped", &wave.averageLooped },
        { 6, "Wave Display Position Locator", &wave.locator },
        { 7, "Wave Display Text 1", &wave.text1 },
        { 8, "Wave Display Text 2", &wave.text2 },
        { 9, "Wave Display Text Background", &wave.textBackground },
        { 1000, "Wave Overview Background", &overview.background },
        { 1001, "Wave Overview Peak Played", &overview.peakPlayed },
        { 1002, "Wave Overview Average Played", &overview.averagePlayed },
        { 1003, "Wave Overview Peak Remaining", &overview.peakRemaining },
        { 1004, "Wave Overview Average Remaining", &overview.averageRemaining },
        { 1005, "Wave Overview Position Locator", &overview.locator },
        { 1006, "Wave Overview Text", &overview.text },
        { 1007, "Wave Overview Text Background Left", &labels.timeBackground },
        { 1008, "Wave Overview Text Background Middle", &labels.bpmBackground },
        { 1009, "Wave Overview Text Background Right", &labels.pitchBackground },
        { 2000, "Modules Background 1", &module.bodyTop },
        { 2001, "Modules Background 2", &module.bodyBottom },
        { 2002, "Modules Title Bar Background 1", &module.titleBarTop },
        { 2003, "Modules Title Bar Background 2", &module.titleBarBottom },
        { 2004, "Modules Title Bar Text", &module.titleText },
        { 3000, "Sliders Triangles Inside", &meter.capInside },
        { 3001, "Sliders Triangles Inside (Mouse Over)", &meter.capInsideOver },
        { 3002, "Sliders Triangles Outside", &meter.capOutline },
        { 3003, "Level Meters Quiet", &meter.meterTrack },
        { 3004, "Level Meters Loud", &meter.meterBar },
        { 3005, "Level Meters Limit", &meter.meterLimit },
        { 4000, "Cue Points Text", &cue.text },
        { 4001, "Cue Points Outside", &cue.outline },
        { 4002, "Cue Points Inside", &cue.inside },
        { 4003, "Cue Points Inside (Mouse Over)", &cue.insideOver },
        { 4004, "Cue Points Inside (pressed)", &cue.insidePressed },
        { 5000, "Plugin Container Outside", &plugin.frame },
        { 5001, "Plugin Container Inside 1", &plugin.inside1 },
        { 5002, "Plugin Container Inside 2", &plugin.inside2 },
        { 8000, "Control Button Type 1 On 1", host.controlType1[0] },
        { 8001, "Control Button Type 1 On 2", host.controlType1[1] },
        { 8002, "Control Button Type 1 Off 1", host.controlType1[2] },
        { 8003, "Control Button Type 1 Off 2", host.controlType1[3] },
        { 8004, "Control Button Type 2 On 1", host.controlType2[0] },
        { 8005, "Control Button Type 2 On 2", host.controlType2[1] },
        { 8006, "Control Button Type 2 Off 1", host.controlType2[2] },
        { 8007, "Control Button Type 2 Off 2", host.controlType2[3] },
        { 9000, "Main Channel BPM", host.mainChannelBpm },
    };

    for (const auto& entry : entries)
    {
        selector.addColour (entry.name, entry.id, entry.variable);
        if (std::find (std::begin (lastOfGroup), std::end (lastOfGroup), entry.id) != std::end (lastOfGroup))
            selector.addSeparator();
    }
}
}
