#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace zund
{
/** The known plug-ins ("pluginList.xml") and the plug-in scanner's settings
    ("pluginProperties.xml"), both in the program folder. Lives as long as the
    main component; writes the list when it goes. */
class PluginListHolder
{
public:
    PluginListHolder();
    ~PluginListHolder();

    /** Reads "pluginList.xml"; a missing or unreadable file leaves the list empty. */
    void loadPluginList();
    /** Writes "pluginList.xml" beside the old file and renames it over it. */
    bool savePluginList() const;

private:
    juce::KnownPluginList knownList;
    juce::AudioPluginFormatManager formatManager;
    std::unique_ptr<juce::PropertiesFile> properties;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginListHolder)
};
}
