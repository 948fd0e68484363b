#include "ui/PluginListHolder.h"

#include "common/ProgramFolder.h"

namespace zund
{
namespace
{
juce::File pluginListFile()
{
    return getApplicationFolderFile ("pluginList.xml");
}

juce::PropertiesFile::Options propertiesOptions()
{
    juce::PropertiesFile::Options options;
    options.storageFormat = juce::PropertiesFile::storeAsXML;
    options.millisecondsBeforeSaving = 10;
    return options;
}
}

PluginListHolder::PluginListHolder()
{
    formatManager.addDefaultFormats();
    loadPluginList();
    properties = std::make_unique<juce::PropertiesFile> (getApplicationFolderFile ("pluginProperties.xml"),
                                                         propertiesOptions());
}

PluginListHolder::~PluginListHolder()
{
    savePluginList();
}

void PluginListHolder::loadPluginList()
{
    if (auto xml = juce::XmlDocument::parse (pluginListFile()))
        knownList.recreateFromXml (*xml);
}

bool PluginListHolder::savePluginList() const
{
    auto xml = knownList.createXml();
    if (xml == nullptr)
        return false;

    juce::XmlElement::TextFormat format;
    format.dtd = "<!DOCTYPE PluginsList>";
    return xml->writeTo (pluginListFile(), format);
}
}
