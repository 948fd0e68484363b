#include "ui/PreferencesComponent.h"

#include "app/MainComponent.h"
#include "common/ProgramFolder.h"

namespace zund
{
namespace
{
const char* const preferencesFileName = "preferences.xml";
constexpr int requestedChannels = 256;

std::unique_ptr<juce::XmlElement> readPreferencesFile()
{
    const auto file = getApplicationFolderFile (preferencesFileName);
    if (! file.existsAsFile())
        return nullptr;
    return juce::XmlDocument::parse (file);
}

// A set-up without any device name would open nothing at all.
bool namesADevice (const juce::XmlElement& setup)
{
    return setup.getStringAttribute ("audioOutputDeviceName").isNotEmpty()
        || setup.getStringAttribute ("audioInputDeviceName").isNotEmpty();
}
}

PreferencesComponent::PreferencesComponent (MainComponent& ownerToUse)
    : owner (ownerToUse)
{
}

PreferencesComponent::~PreferencesComponent() = default;

juce::String PreferencesComponent::initialiseAudioDevice (juce::AudioDeviceManager& manager)
{
    const auto root = readPreferencesFile();
    const juce::XmlElement* savedSetup = root != nullptr ? root->getFirstChildElement() : nullptr;

    // Without a saved set-up that names a device the framework's default device opens.
    if (savedSetup != nullptr && ! (savedSetup->hasTagName ("DEVICESETUP") && namesADevice (*savedSetup)))
        savedSetup = nullptr;

    return manager.initialise (requestedChannels, requestedChannels, savedSetup, false);
}

void PreferencesComponent::loadPreferences()
{
    auto root = readPreferencesFile();
    if (root == nullptr)
        root = std::make_unique<juce::XmlElement> ("DummyXML");

    for (int i = 0; i < numSections; ++i)
        owner.setSectionVisible (i, root->getBoolAttribute ("MODULE_ACTIVE_" + juce::String (i), true));

    owner.setSavedBounds (root->getIntAttribute ("lastX", unsetBound), root->getIntAttribute ("lastY", unsetBound),
                          root->getIntAttribute ("lastWidth", unsetBound),
                          root->getIntAttribute ("lastHeight", unsetBound));
}

bool PreferencesComponent::savePreferences (juce::AudioDeviceManager& manager)
{
    juce::XmlElement root ("Preferences");

    if (auto state = manager.createStateXml())
        root.addChildElement (state.release());

    for (int i = 0; i < numSections; ++i)
        root.setAttribute ("MODULE_ACTIVE_" + juce::String (i), owner.isSectionVisible (i) ? 1 : 0);

    const auto bounds = owner.getWindowBounds();
    root.setAttribute ("lastX", bounds.getX());
    root.setAttribute ("lastY", bounds.getY());
    root.setAttribute ("lastWidth", bounds.getWidth());
    root.setAttribute ("lastHeight", bounds.getHeight());

    // writeTo writes a temporary file beside the old one and renames it over it.
    return root.writeTo (getApplicationFolderFile (preferencesFileName)); // UTF-8 header, no DTD
}
}
