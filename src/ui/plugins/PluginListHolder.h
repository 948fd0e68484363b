#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>
#include <memory>

namespace zund
{
/** The known plug-ins ("pluginList.xml"), the plug-in scanner's settings
    ("pluginProperties.xml"), the plug-in formats (VST3 and LV2) and the list
    component of the "Plugins" manager dialog. Lives as long as the main
    component; writes the list when it goes. Message thread. */
class PluginListHolder
{
public:
    static constexpr const char* listFileName = "pluginList.xml";
    static constexpr const char* propertiesFileName = "pluginProperties.xml";
    /** The chooser's "[ NO PLUGIN ]" item. */
    static constexpr int noPluginItemId = -1;

    /** Shows a menu and returns the chosen item id, 0 when it was dismissed. */
    using MenuRunner = std::function<int (const juce::PopupMenu&)>;

    PluginListHolder();
    ~PluginListHolder();

    /** Reads "pluginList.xml"; a missing or unreadable file leaves the list
        empty, and an unreadable one is moved aside (or, when it cannot be, not
        written over). */
    void loadPluginList();
    /** Writes "pluginList.xml" beside the old file and renames it over it. */
    bool savePluginList() const;

    /** The modal "Plugins" dialog with the list component. */
    void showPluginsDialog();

    /** Scans every format's folders (the ones last used in the dialog, else the
        format's standard ones) into the known list, as the dialog's scan does. */
    void scanForPlugins();

    /** The known types that the chooser offers: effects (no instruments) with
        at least two inputs and two outputs, or instruments only when asked. */
    juce::Array<juce::PluginDescription> getOfferedTypes (bool instruments) const;

    /** The chooser: "[ NO PLUGIN ]" (which sets noneChosen) and the offered
        types in alphabetical order. A chosen type is created at the rate and
        block size given; null when nothing was chosen or the creation failed
        (error then says why). */
    std::unique_ptr<juce::AudioPluginInstance> choosePluginFromMenu (bool instruments, bool& noneChosen,
                                                                     double sampleRate, int blockSize,
                                                                     const MenuRunner& runMenu,
                                                                     juce::String& error);

    juce::KnownPluginList& getKnownList() noexcept { return knownList; }
    juce::AudioPluginFormatManager& getFormatManager() noexcept { return formatManager; }
    /** The scanner's settings ("pluginProperties.xml"). */
    juce::PropertiesFile& getProperties() noexcept { return *properties; }

private:
    juce::KnownPluginList knownList;
    juce::AudioPluginFormatManager formatManager;
    std::unique_ptr<juce::PropertiesFile> properties;
    std::unique_ptr<juce::PluginListComponent> listComponent;
    bool listFileKept = false; // an unreadable list that could not be moved aside

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginListHolder)
};
}
