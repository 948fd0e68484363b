#pragma once

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
class MainComponent;

/** The preferences panel and the keeper of "preferences.xml". */
class PreferencesComponent : public juce::Component
{
public:
    explicit PreferencesComponent (MainComponent& owner);
    ~PreferencesComponent() override;

    /** Opens the audio device from the first child of "preferences.xml".
        Returns the device manager's error text, empty on success. */
    static juce::String initialiseAudioDevice (juce::AudioDeviceManager& deviceManager);

    /** Applies "preferences.xml" to the main component. Missing or malformed
        files give every default. */
    void loadPreferences();

    /** Writes "preferences.xml" (beside, then renamed over the old file).
        Returns false when the file could not be written. */
    bool savePreferences (juce::AudioDeviceManager& deviceManager);

    static constexpr int numSections = 11;
    static constexpr int unsetBound = 0x7fffffff;

private:
    MainComponent& owner;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PreferencesComponent)
};
}
