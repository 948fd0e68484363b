#pragma once

#include "ui/preferences/PreferencesApplier.h"
#include "ui/preferences/PreferencesModel.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <memory>

namespace zund
{
class Engine;
class MidiControlSurfaceManager;
class MixerHost;

/** "preferences.xml" in the program folder: read once at start-up (first for
    the audio device, then for everything else), written once at exit.

    A file that cannot be read is moved aside ("preferences.xml.bad-<time>")
    and the program starts with defaults; getReadWarning says so. Should it not
    move, it is never written over. */
class Preferences
{
public:
    static constexpr const char* fileName = "preferences.xml";

    Preferences();
    ~Preferences();

    /** Opens the audio device from the file's first child when that is a
        device set-up naming a device, else the default device. Returns the
        device manager's error text, empty on success. Before or after
        loadPreferences. */
    juce::String initialiseAudioDevice (juce::AudioDeviceManager& deviceManager);

    /** Applies the file (defaults where it has no value) to the main component,
        the engine and the MIDI mapping. */
    void loadPreferences (MixerHost& host, Engine& engine, MidiControlSurfaceManager& midi, DevicePairs pairs);

    /** Writes the whole file: the device state, the model and the MIDI mapping. */
    bool savePreferences (juce::AudioDeviceManager& deviceManager, const MixerHost& host, const Engine& engine,
                          const MidiControlSurfaceManager& midi, juce::String* error = nullptr);

    /** Why the file could not be used, for a warning; empty when all was well. */
    const juce::String& getReadWarning() const noexcept { return readWarning; }

    /** The values the preferences panel and the track loading read and set. */
    PreferencesModel& getModel() noexcept { return model; }
    const PreferencesModel& getModel() const noexcept { return model; }

private:
    void readFileOnce();

    PreferencesModel model;
    std::unique_ptr<juce::XmlElement> fileRoot; // as read, until applied
    std::unique_ptr<juce::XmlElement> deviceSetup; // the file's first child, kept for the device
    bool fileRead = false;
    bool fileMustStay = false;
    juce::String readWarning;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Preferences)
};
}
