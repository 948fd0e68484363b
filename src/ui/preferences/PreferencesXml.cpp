#include "ui/preferences/PreferencesXml.h"

#include "common/text/NumberText.h"

#include <cmath>

namespace zund
{
namespace
{
// The framework's number readers overflow on some texts ("1e9999999999", "-2147483648").
int intAttribute (const juce::XmlElement& root, const juce::String& name, int missing)
{
    return root.hasAttribute (name) ? parseWholeNumber (root.getStringAttribute (name)) : missing;
}

juce::String numbered (const char* prefix, int number, const char* suffix = "")
{
    return prefix + juce::String (number) + suffix;
}

juce::String sectionName (int index)
{
    return numbered ("MODULE_ACTIVE_", index);
}

int readRoutingIndex (const juce::XmlElement& root, const juce::String& name)
{
    return juce::jmax (0, intAttribute (root, name, 0));
}

int readChannelCount (const juce::XmlElement& root)
{
    const int count = intAttribute (root, "NumChannels", 2);
    return count >= 2 && count <= PreferencesModel::numChannels ? count : PreferencesModel::noChannelCount;
}
}

PreferencesModel preferencesFromXml (const juce::XmlElement& root)
{
    PreferencesModel model;

    for (int i = 0; i < MixerHost::numSections; ++i)
        model.sectionVisible[(size_t) i] = root.getBoolAttribute (sectionName (i), true);

    model.lastX = intAttribute (root, "lastX", MixerHost::unsetBound);
    model.lastY = intAttribute (root, "lastY", MixerHost::unsetBound);
    model.lastWidth = intAttribute (root, "lastWidth", MixerHost::unsetBound);
    model.lastHeight = intAttribute (root, "lastHeight", MixerHost::unsetBound);

    model.resetOnLoad = root.getBoolAttribute ("ResetOnLoad", true);
    model.warnOnLoad = root.getBoolAttribute ("WarnOnLoad", true);
    model.useFunctionKeys = root.getBoolAttribute ("UseFunctionKeys", false);

    const double range = parseRealNumber (root.getStringAttribute ("VirtualZeroLockRange", "0"));
    model.zeroLockRange = std::isfinite (range) ? juce::jlimit (0.0, 1.0, range) : 0.0;

    for (int d = 0; d < PreferencesModel::numDecks; ++d)
    {
        model.deckInput[(size_t) d] = readRoutingIndex (root, numbered ("Deck", d + 1, "Input"));
        model.softPreamp[(size_t) d] = root.getBoolAttribute (numbered ("SoftPreamp", d + 1), false);
        model.invertPhaseLeft[(size_t) d] = root.getBoolAttribute (numbered ("InvertPhase", d + 1, "L"), false);
    }

    for (int c = 0; c < PreferencesModel::numChannels; ++c)
    {
        model.channelOutput[(size_t) c] = readRoutingIndex (root, numbered ("Channel", c + 1, "Output"));

        const int deck = intAttribute (root, numbered ("ChannelInputDeck", c + 1), c);
        model.channelInputDeck[(size_t) c] = deck >= 0 && deck < PreferencesModel::numDecks ? deck
                                                                                            : PreferencesModel::keepDeck;
        model.channelSync[(size_t) c] = root.getBoolAttribute (numbered ("ChannelSync", c + 1), false);
        model.channelAbsolute[(size_t) c] = root.getBoolAttribute (numbered ("ChannelAbsolute", c + 1), false);
    }

    model.phonesOutput = readRoutingIndex (root, "PhonesOutput");
    model.mainOutput = readRoutingIndex (root, "MainOutput");
    model.channelCount = readChannelCount (root);

    if (const auto* midi = root.getChildByName (PreferencesModel::midiDefaultsTag))
        model.midiDefaults = std::make_unique<juce::XmlElement> (*midi);

    return model;
}

std::unique_ptr<juce::XmlElement> preferencesToXml (const PreferencesModel& model,
                                                    std::unique_ptr<juce::XmlElement> deviceState)
{
    auto root = std::make_unique<juce::XmlElement> ("Preferences");
    if (deviceState != nullptr)
        root->addChildElement (deviceState.release());

    auto setBool = [&root] (const juce::String& name, bool value) { root->setAttribute (name, value ? 1 : 0); };

    for (int i = 0; i < MixerHost::numSections; ++i)
        setBool (sectionName (i), model.sectionVisible[(size_t) i]);

    root->setAttribute ("lastX", model.lastX);
    root->setAttribute ("lastY", model.lastY);
    root->setAttribute ("lastWidth", model.lastWidth);
    root->setAttribute ("lastHeight", model.lastHeight);

    setBool ("ResetOnLoad", model.resetOnLoad);
    setBool ("WarnOnLoad", model.warnOnLoad);
    setBool ("UseFunctionKeys", model.useFunctionKeys);
    root->setAttribute ("VirtualZeroLockRange", model.zeroLockRange);

    for (int d = 0; d < PreferencesModel::numDecks; ++d)
        root->setAttribute (numbered ("Deck", d + 1, "Input"), model.deckInput[(size_t) d]);
    for (int c = 0; c < PreferencesModel::numChannels; ++c)
        root->setAttribute (numbered ("Channel", c + 1, "Output"), model.channelOutput[(size_t) c]);
    root->setAttribute ("PhonesOutput", model.phonesOutput);
    root->setAttribute ("MainOutput", model.mainOutput);

    for (int d = 0; d < PreferencesModel::numDecks; ++d)
        setBool (numbered ("SoftPreamp", d + 1), model.softPreamp[(size_t) d]);
    for (int d = 0; d < PreferencesModel::numDecks; ++d)
        setBool (numbered ("InvertPhase", d + 1, "L"), model.invertPhaseLeft[(size_t) d]);

    for (int c = 0; c < PreferencesModel::numChannels; ++c)
    {
        const int deck = model.channelInputDeck[(size_t) c];
        root->setAttribute (numbered ("ChannelInputDeck", c + 1), deck == PreferencesModel::keepDeck ? c : deck);
        setBool (numbered ("ChannelSync", c + 1), model.channelSync[(size_t) c]);
        setBool (numbered ("ChannelAbsolute", c + 1), model.channelAbsolute[(size_t) c]);
    }

    if (model.channelCount != PreferencesModel::noChannelCount)
        root->setAttribute ("NumChannels", model.channelCount);

    if (model.midiDefaults != nullptr)
        root->addChildElement (new juce::XmlElement (*model.midiDefaults));

    return root;
}
}
