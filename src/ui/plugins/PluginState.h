#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace zund
{
/** A plug-in's saved form, element "PluginState": its state block in base64
    ("data") and its description (child "PLUGIN"). The slot adds its own
    attributes (window place, bound parameters). */
namespace PluginState
{
constexpr const char* elementName = "PluginState";

/** The element for this plug-in; null for no plug-in. */
std::unique_ptr<juce::XmlElement> createPluginStateXml (juce::AudioPluginInstance* plugin);

/** Decodes a state block written by MemoryBlock::toBase64Encoding; false
    (block unspecified) for text that is not exactly such a block. */
bool decodeStateBlock (const juce::String& text, juce::MemoryBlock& block);

/** A new instance of the plug-in the element describes, with its saved state
    handed back to it; null (error says why) when the element is null, has no
    loadable description or the plug-in cannot be created. State that does not
    decode is not handed to the plug-in, which then keeps its defaults. */
std::unique_ptr<juce::AudioPluginInstance> restorePluginFromXml (const juce::XmlElement* element,
                                                                 juce::AudioPluginFormatManager& formats,
                                                                 double sampleRate, int blockSize,
                                                                 juce::String& error);
}
}
