#include "support/PluginFixtures.h"

namespace zund::test
{
std::unique_ptr<juce::AudioPluginInstance> createLv2Plugin (const juce::String& uri, double sampleRate,
                                                            juce::String& error)
{
    juce::LV2PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile (found, uri);
    if (found.isEmpty())
    {
        error = "not installed: " + uri;
        return nullptr;
    }
    return format.createInstanceFromDescription (*found[0], sampleRate, 256, error);
}
}
