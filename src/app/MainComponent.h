#pragma once

#include "app/MainAudioCallback.h"
#include "audiofile/PeakFile.h"
#include "engine/Engine.h"
#include "ui/PluginListHolder.h"

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <memory>
#include <optional>

namespace zund
{
class MainAppWindow;
class PreferencesComponent;
class ZundCloseComponent;
class ZundMidiInputCallback;

/** The main window's content and the hub of the program: owns the engine, the
    audio device manager and every panel; is the audio callback, the receiver of
    all MIDI input and the 20 ms clock of the user interface.

    Start-up and shut-down run in a fixed order (constructor and destructor,
    each a list of named steps in MainComponent.cpp), because later steps rely
    on earlier ones. */
class MainComponent : public juce::Component,
                      public juce::DragAndDropContainer,
                      public juce::MidiInputCallback,
                      public juce::Timer,
                      public juce::ChangeListener
{
public:
    explicit MainComponent (MainAppWindow* owningWindow);
    ~MainComponent() override;

    /** Every MIDI message of every input arrives here (MIDI threads); ignored
        once shut-down has begun. */
    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;

    /** The close button: asks "Really quit?" while a loaded channel plays. */
    void quitRequested();

    void setSectionVisible (int index, bool visible);
    bool isSectionVisible (int index) const;

    /** The saved window bounds from the preferences; unset values are 0x7fffffff. */
    void setSavedBounds (int x, int y, int width, int height);
    /** The saved bounds when all four are set, else nothing. */
    std::optional<juce::Rectangle<int>> getSavedBounds() const;
    /** The main window's current bounds (or this component's without a window). */
    juce::Rectangle<int> getWindowBounds() const;

    void showCloseComponent();

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    void createChildPanels();
    void openAudioDevice();
    void registerMidiInputs();
    void unregisterMidiInputs();
    bool isAnyLoadedChannelPlaying();
    // Members in the order they are made (and the reverse of the order they go).
    std::unique_ptr<Engine> engine;
    std::unique_ptr<MainAudioCallback> audioCallback;
    PluginListHolder pluginList;
    juce::AudioDeviceManager deviceManager;
    PeakFile peakFiles[4];
    juce::OwnedArray<ZundMidiInputCallback> midiInputCallbacks;
    juce::StringArray midiInputIdentifiers;

    std::unique_ptr<PreferencesComponent> preferences;

    MainAppWindow* window = nullptr;
    int lastX, lastY, lastWidth, lastHeight;
    bool sectionVisible[11];
    int tapCountdown = 0;

    std::atomic<bool> closing { false };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
}
