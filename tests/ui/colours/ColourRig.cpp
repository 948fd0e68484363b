#include "ColourRig.h"

#include "support/TagFixtures.h"
#include "ui/panels/ModuleComponent.h"
#include "ui/plugins/AudioPluginContainer.h"
#include "ui/waveform/WaveComponent.h"
#include "ui/waveform/WaveDisplay.h"
#include "ui/waveform/WaveOverview.h"
#include "ui/widgets/CuePointComponent.h"
#include "ui/widgets/LevelMeterSlider.h"

namespace zund::test
{
void resetClassColours()
{
    WaveComponent::colours = {};
    WaveOverview::colours = {};
    WaveDisplay::colours = {};
    ModuleComponent::colours = {};
    LevelMeterSlider::colours = {};
    CuePointComponent::colours = {};
    AudioPluginContainer::colours = {};
}

ColourRig::ColourRig()
{
    resetClassColours();
    HostColourSlots host;
    host.applicationBackground = &applicationBackground;
    host.browserBackground = &browserBackground;
    for (int i = 0; i < 4; ++i)
    {
        host.controlType1[i] = &control1[i];
        host.controlType2[i] = &control2[i];
    }
    host.mainChannelBpm = &bpm;
    addColourSchemeEntries (selector, host);
    selector.addChangeListener (this);
}

ColourRig::~ColourRig()
{
    selector.removeChangeListener (this);
    resetClassColours();
}

std::vector<ExpectedEntry> ColourRig::expectedEntries()
{
    auto& w = WaveComponent::colours;
    auto& o = WaveOverview::colours;
    auto& l = WaveDisplay::colours;
    auto& m = ModuleComponent::colours;
    auto& s = LevelMeterSlider::colours;
    auto& c = CuePointComponent::colours;
    auto& p = AudioPluginContainer::colours;
    return {
        { 6000, "Application Background", &applicationBackground },
        { 7000, "Browser Background", &browserBackground },
        { 1, "Wave Display Background", &w.background },
        { 2, "Wave Display Peak", &w.peak },
        { 3, "Wave Display Average", &w.average },
        { 4, "Wave Display Peak Looped", &w.peakLooped },
        { 5, "Wave Display Average Looped", &w.averageLooped },
        { 6, "Wave Display Position Locator", &w.locator },
        { 7, "Wave Display Text 1", &w.text1 },
        { 8, "Wave Display Text 2", &w.text2 },
        { 9, "Wave Display Text Background", &w.textBackground },
        { 1000, "Wave Overview Background", &o.background },
        { 1001, "Wave Overview Peak Played", &o.peakPlayed },
        { 1002, "Wave Overview Average Played", &o.averagePlayed },
        { 1003, "Wave Overview Peak Remaining", &o.peakRemaining },
        { 1004, "Wave Overview Average Remaining", &o.averageRemaining },
        { 1005, "Wave Overview Position Locator", &o.locator },
        { 1006, "Wave Overview Text", &o.text },
        { 1007, "Wave Overview Text Background Left", &l.timeBackground },
        { 1008, "Wave Overview Text Background Middle", &l.bpmBackground },
        { 1009, "Wave Overview Text Background Right", &l.pitchBackground },
        { 2000, "Modules Background 1", &m.bodyTop },
        { 2001, "Modules Background 2", &m.bodyBottom },
        { 2002, "Modules Title Bar Background 1", &m.titleBarTop },
        { 2003, "Modules Title Bar Background 2", &m.titleBarBottom },
        { 2004, "Modules Title Bar Text", &m.titleText },
        { 3000, "Sliders Triangles Inside", &s.capInside },
        { 3001, "Sliders Triangles Inside (Mouse Over)", &s.capInsideOver },
        { 3002, "Sliders Triangles Outside", &s.capOutline },
        { 3003, "Level Meters Quiet", &s.meterTrack },
        { 3004, "Level Meters Loud", &s.meterBar },
        { 3005, "Level Meters Limit", &s.meterLimit },
        { 4000, "Cue Points Text", &c.text },
        { 4001, "Cue Points Outside", &c.outline },
        { 4002, "Cue Points Inside", &c.inside },
        { 4003, "Cue Points Inside (Mouse Over)", &c.insideOver },
        { 4004, "Cue Points Inside (pressed)", &c.insidePressed },
        { 5000, "Plugin Container Outside", &p.frame },
        { 5001, "Plugin Container Inside 1", &p.inside1 },
        { 5002, "Plugin Container Inside 2", &p.inside2 },
        { 8000, "Control Button Type 1 On 1", &control1[0] },
        { 8001, "Control Button Type 1 On 2", &control1[1] },
        { 8002, "Control Button Type 1 Off 1", &control1[2] },
        { 8003, "Control Button Type 1 Off 2", &control1[3] },
        { 8004, "Control Button Type 2 On 1", &control2[0] },
        { 8005, "Control Button Type 2 On 2", &control2[1] },
        { 8006, "Control Button Type 2 Off 1", &control2[2] },
        { 8007, "Control Button Type 2 Off 2", &control2[3] },
        { 9000, "Main Channel BPM", &bpm },
    };
}

std::vector<juce::uint32> ColourRig::allColours()
{
    std::vector<juce::uint32> values;
    for (const auto& entry : expectedEntries())
        values.push_back (entry.variable->getARGB());
    return values;
}

juce::File ColourRig::writeFile (const juce::String& name, const std::string& text) const
{
    const auto file = ZundColourSelector::getSchemeFolder().getChildFile (name);
    file.replaceWithData (text.data(), text.size());
    return file;
}

juce::File ColourRig::writeScheme (const juce::String& name,
                                   const std::vector<std::pair<int, juce::uint32>>& entries) const
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ZundColourScheme>\n";
    for (const auto& [id, value] : entries)
        text += "  <Colour Id=\"" + std::to_string (id) + "\" Value=\""
              + juce::String::toHexString ((int) value).toStdString() + "\"/>\n";
    return writeFile (name, text + "</ZundColourScheme>\n");
}

juce::StringArray ColourRig::readBackWithPython (const juce::File& file) const
{
    const auto result = runCommand (
        { "python3", "-c",
          "import sys, xml.etree.ElementTree as E\n"
          "for c in E.parse(sys.argv[1]).getroot(): print(c.tag, c.get('Id'), c.get('Value'))",
          file.getFullPathName() });
    return result.succeeded() ? juce::StringArray::fromLines (result.output.trimEnd()) : juce::StringArray();
}
}
