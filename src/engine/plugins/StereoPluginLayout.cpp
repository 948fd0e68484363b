#include "engine/plugins/StereoPluginLayout.h"

namespace zund
{
namespace
{
bool useLayout (juce::AudioProcessor& plugin, const juce::AudioProcessor::BusesLayout& layout)
{
    return plugin.getBusesLayout() == layout || plugin.setBusesLayout (layout);
}
}

bool applyStereoLayout (juce::AudioProcessor& plugin)
{
    if (plugin.getBusCount (true) < 1 || plugin.getBusCount (false) < 1)
        return false;

    auto withAuxiliaries = plugin.getBusesLayout();
    withAuxiliaries.inputBuses.getReference (0) = juce::AudioChannelSet::stereo();
    withAuxiliaries.outputBuses.getReference (0) = juce::AudioChannelSet::stereo();

    auto mainOnly = withAuxiliaries;
    for (int bus = 1; bus < mainOnly.inputBuses.size(); ++bus)
        mainOnly.inputBuses.getReference (bus) = juce::AudioChannelSet::disabled();
    for (int bus = 1; bus < mainOnly.outputBuses.size(); ++bus)
        mainOnly.outputBuses.getReference (bus) = juce::AudioChannelSet::disabled();

    // Side chains and extra outputs stay on for a plug-in that insists on them.
    return useLayout (plugin, mainOnly) || useLayout (plugin, withAuxiliaries);
}
}
