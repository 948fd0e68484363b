#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace zund
{
/** Reads the framework's plug-in descriptions ("PLUGIN" elements, as
    PluginDescription::createXml writes them) from the program's files, with
    the channel counts read by the bounded number reader: the framework's own
    reading overflows on a count of "-2147483648". */
namespace PluginDescriptionXml
{
/** The description the element holds; false for an element that is no "PLUGIN". */
bool read (const juce::XmlElement& element, juce::PluginDescription& description);

/** Replaces the list with the one the element holds, as
    KnownPluginList::recreateFromXml does: the "PLUGIN" children of a
    "KNOWNPLUGINS" element and its "BLACKLISTED" files. */
void readKnownList (const juce::XmlElement& element, juce::KnownPluginList& list);
}
}
