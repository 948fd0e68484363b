#include "support/PluginFixtures.h"

namespace zund::test
{
std::optional<juce::PluginDescription> describeLv2Plugin (const juce::String& uri)
{
    juce::LV2PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile (found, uri);
    if (found.isEmpty())
        return std::nullopt;
    return *found[0];
}

std::unique_ptr<juce::AudioPluginInstance> createLv2Plugin (const juce::String& uri, double sampleRate,
                                                            juce::String& error)
{
    const auto description = describeLv2Plugin (uri);
    if (! description)
    {
        error = "not installed: " + uri;
        return nullptr;
    }
    return juce::LV2PluginFormat().createInstanceFromDescription (*description, sampleRate, 256, error);
}
}
