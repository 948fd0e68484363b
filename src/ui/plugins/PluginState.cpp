#include "ui/plugins/PluginState.h"

#include "common/text/NumberText.h"
#include "ui/plugins/PluginDescriptionXml.h"

namespace zund::PluginState
{
namespace
{
constexpr const char* dataAttribute = "data";

// The framework's base64 form: the byte count, a dot, then six bits a character.
constexpr const char* base64Alphabet = ".ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+";
constexpr int maxStateBytes = 64 << 20;
}

bool decodeStateBlock (const juce::String& text, juce::MemoryBlock& block)
{
    // The framework's decoder trusts the count (a negative one asks for
    // exabytes) and skips characters it does not know: check both first.
    const int dot = text.indexOfChar ('.');
    const auto count = text.substring (0, dot);
    if (dot <= 0 || dot > 9 || ! count.containsOnly ("0123456789"))
        return false;

    const auto numBytes = parseLargeWholeNumber (count);
    const auto encoded = text.substring (dot + 1);
    if (numBytes > maxStateBytes || encoded.length() != (int) ((numBytes * 8 + 5) / 6)
        || ! encoded.containsOnly (base64Alphabet))
        return false;

    return block.fromBase64Encoding (text) && (juce::int64) block.getSize() == numBytes;
}

std::unique_ptr<juce::XmlElement> createPluginStateXml (juce::AudioPluginInstance* plugin)
{
    if (plugin == nullptr)
        return nullptr;

    juce::MemoryBlock state;
    plugin->getStateInformation (state);

    auto element = std::make_unique<juce::XmlElement> (elementName);
    element->setAttribute (dataAttribute, state.toBase64Encoding());
    element->addChildElement (plugin->getPluginDescription().createXml().release());
    return element;
}

std::unique_ptr<juce::AudioPluginInstance> restorePluginFromXml (const juce::XmlElement* element,
                                                                 juce::AudioPluginFormatManager& formats,
                                                                 double sampleRate, int blockSize,
                                                                 juce::String& error)
{
    if (element == nullptr)
        return nullptr;

    juce::PluginDescription description;
    const auto* descriptionXml = element->getFirstChildElement();
    if (descriptionXml == nullptr || ! PluginDescriptionXml::read (*descriptionXml, description))
    {
        error = "no plug-in description";
        return nullptr;
    }

    auto plugin = formats.createPluginInstance (description, sampleRate, blockSize, error);
    if (plugin == nullptr)
        return nullptr;

    // A block that does not decode would hand the plug-in garbage as its state.
    juce::MemoryBlock state;
    const auto text = element->getStringAttribute (dataAttribute);
    if (decodeStateBlock (text, state) && state.getSize() > 0)
        plugin->setStateInformation (state.getData(), (int) state.getSize());
    return plugin;
}
}
