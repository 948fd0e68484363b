#include "ui/plugins/PluginDescriptionXml.h"

#include "common/xml/NumberAttribute.h"

namespace zund::PluginDescriptionXml
{
bool read (const juce::XmlElement& element, juce::PluginDescription& description)
{
    if (! element.hasTagName ("PLUGIN"))
        return false;

    description.name = element.getStringAttribute ("name");
    description.descriptiveName = element.getStringAttribute ("descriptiveName", description.name);
    description.pluginFormatName = element.getStringAttribute ("format");
    description.category = element.getStringAttribute ("category");
    description.manufacturerName = element.getStringAttribute ("manufacturer");
    description.version = element.getStringAttribute ("version");
    description.fileOrIdentifier = element.getStringAttribute ("file");
    description.isInstrument = element.getBoolAttribute ("isInstrument", false);
    // Hexadecimal ids and times: the framework reads those in unsigned numbers, which wrap without harm.
    description.lastFileModTime = juce::Time (element.getStringAttribute ("fileTime").getHexValue64());
    description.lastInfoUpdateTime = juce::Time (element.getStringAttribute ("infoUpdateTime").getHexValue64());
    description.numInputChannels = readWholeNumberAttribute (element, "numInputs", 0);
    description.numOutputChannels = readWholeNumberAttribute (element, "numOutputs", 0);
    description.hasSharedContainer = element.getBoolAttribute ("isShell", false);
    description.hasARAExtension = element.getBoolAttribute ("hasARAExtension", false);
    description.deprecatedUid = element.getStringAttribute ("uid").getHexValue32();
    description.uniqueId = element.getStringAttribute ("uniqueId", "0").getHexValue32();
    return true;
}

void readKnownList (const juce::XmlElement& element, juce::KnownPluginList& list)
{
    list.clear();
    list.clearBlacklistedFiles();
    if (! element.hasTagName ("KNOWNPLUGINS"))
        return;

    for (auto* child : element.getChildIterator())
    {
        juce::PluginDescription description;
        if (child->hasTagName ("BLACKLISTED"))
            list.addToBlacklist (child->getStringAttribute ("id"));
        else if (read (*child, description))
            list.addType (description);
    }
}
}
