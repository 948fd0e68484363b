#include "ui/preferences/Preferences.h"

#include "common/files/ProgramFolder.h"
#include "common/xml/SafeXmlReader.h"
#include "common/files/UserFiles.h"
#include "ui/preferences/PreferencesXml.h"

namespace zund
{
namespace
{
// A device set-up and a full MIDI mapping fit many times over.
const XmlLimits preferencesLimits { 1 << 20, 8 };
constexpr int requestedChannels = 256;

juce::File preferencesFile()
{
    return getApplicationFolderFile (Preferences::fileName);
}

// A set-up without any device name would open nothing at all.
bool namesADevice (const juce::XmlElement& setup)
{
    return setup.getStringAttribute ("audioOutputDeviceName").isNotEmpty()
        || setup.getStringAttribute ("audioInputDeviceName").isNotEmpty();
}
}

Preferences::Preferences() = default;
Preferences::~Preferences() = default;

void Preferences::readFileOnce()
{
    if (fileRead)
        return;
    fileRead = true;

    const auto file = preferencesFile();
    auto result = readXmlFileSafely (file, preferencesLimits);
    if (result.parsed())
    {
        fileRoot = std::move (result.root);
        return;
    }
    if (result.missing || (file.existsAsFile() && file.getSize() == 0))
        return; // nothing to lose: defaults, and the file is written at exit

    const auto reason = "The settings file \"" + juce::String (fileName) + "\" could not be read (" + result.error
                      + ").\n\n";
    if (! file.existsAsFile())
    {
        readWarning = reason + "Zund starts with its default settings.";
        return;
    }

    const auto aside = keepFileAside (file);
    if (aside != juce::File())
    {
        readWarning = reason + "It was kept as \"" + aside.getFileName()
                    + "\", and Zund starts with its default settings.";
    }
    else
    {
        fileMustStay = true;
        readWarning = reason + "Zund starts with its default settings and will not write over the file.";
    }
}

juce::String Preferences::initialiseAudioDevice (juce::AudioDeviceManager& deviceManager)
{
    readFileOnce();

    // Whatever the first child is; only a set-up that names a device is used,
    // otherwise the default device opens.
    const juce::XmlElement* setup = fileRoot != nullptr ? fileRoot->getFirstChildElement() : deviceSetup.get();
    if (setup != nullptr && ! (setup->hasTagName ("DEVICESETUP") && namesADevice (*setup)))
        setup = nullptr;

    return deviceManager.initialise (requestedChannels, requestedChannels, setup, false);
}

void Preferences::loadPreferences (MixerHost& host, Engine& engine, MidiControlSurfaceManager& midi,
                                   DevicePairs pairs)
{
    readFileOnce();
    model = fileRoot != nullptr ? preferencesFromXml (*fileRoot) : PreferencesModel();
    if (const auto* first = fileRoot != nullptr ? fileRoot->getFirstChildElement() : nullptr)
        deviceSetup = std::make_unique<juce::XmlElement> (*first); // the device may open later
    fileRoot.reset();

    applyPreferences (model, host, engine, midi, pairs);
}

bool Preferences::savePreferences (juce::AudioDeviceManager& deviceManager, const MixerHost& host,
                                   const Engine& engine, const MidiControlSurfaceManager& midi, juce::String* error)
{
    if (fileMustStay)
    {
        if (error != nullptr)
            *error = "the unreadable " + juce::String (fileName) + " could not be moved aside";
        return false;
    }

    capturePreferences (model, host, engine, midi);
    const auto root = preferencesToXml (model, deviceManager.createStateXml());
    return writeXmlFileSafely (preferencesFile(), *root, error);
}
}
