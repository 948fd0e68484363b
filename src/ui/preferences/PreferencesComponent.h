#pragma once

#include "ui/preferences/OnScreenWatcher.h"
#include "ui/preferences/PreferencesDialogs.h"
#include "ui/preferences/PreferencesModel.h"
#include "ui/preferences/XYView.h"

#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

namespace zund
{
class Engine;
class MidiControlSurfaceManager;
class MixerHost;
class PluginListHolder;

/** The settings panel: the audio device, the routing of the four decks to
    device input pairs and of the channels, phones and main bus to output
    pairs, each deck's soft phono preamp and phase, the channel count, the
    test tone, the load and function-key options, the colour selector, the
    plug-in manager, the MIDI mapping files, and an XY view of each deck's
    input for judging the timecode signal.

    Its controls are bound to the preferences model: every change takes effect
    at once (engine, main component) and lands in the model, which is written
    at exit. The main component makes it once and never adds it; the bottom
    bar shows it in a dialog. Message thread. */
class PreferencesComponent : public juce::Component,
                             public juce::ComboBox::Listener,
                             public juce::ChangeListener,
                             public juce::Button::Listener
{
public:
    static constexpr int numDecks = PreferencesModel::numDecks;
    /** Routing lists after the four deck lists: channels 1..4, phones, main. */
    static constexpr int numOutputLists = PreferencesModel::numChannels + 2;
    static constexpr int phonesList = PreferencesModel::numChannels;
    static constexpr int mainList = PreferencesModel::numChannels + 1;
    static constexpr int panelWidth = 1020, panelHeight = 668;

    static constexpr const char* inputConflictText = "Input already assigned to another Deck. Reverting back to NONE!";
    static constexpr const char* outputConflictText = "Please note that this output is already assigned!";

    PreferencesComponent (MixerHost& host, Engine& engine, juce::AudioDeviceManager& deviceManager,
                          PreferencesModel& model, MidiControlSurfaceManager& midi, PluginListHolder& plugins);
    ~PreferencesComponent() override;

    /** After the preferences were read into the model (which the reader has
        applied): the toggles show it and the routing lists are rebuilt. */
    void showModel();

    /** Deck 0..3's view; the main component registers them with the engine. */
    XYView& getXYView (int deck);

    /** Refills the ten lists from the open device and selects the stored
        indexes, which go to the engine. Without a named device the lists hold
        only "NONE", are disabled and the engine keeps its routing. */
    void refreshRoutingLists();

    /** "Input 1" and "Input 2" give "Input 1/2": the first name, then the part
        of the second after what both begin with. */
    static juce::String makePairName (const juce::String& first, const juce::String& second);

    /** How the panel warns and asks (tests answer in place of the user). */
    void setDialogs (PreferencesDialogs newDialogs);

    /** For tests and the bottom bar: the routing lists. */
    juce::ComboBox& getDeckInputList (int deck) { return *deckLists[(size_t) deck]; }
    juce::ComboBox& getOutputList (int list) { return *outputLists[(size_t) list]; }

    void paint (juce::Graphics& g) override;
    void resized() override;
    void comboBoxChanged (juce::ComboBox* list) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void buttonClicked (juce::Button* button) override;

private:
    /** A new child at fixed bounds, owned by the panel. */
    template <typename ComponentType, typename... Args>
    ComponentType* make (juce::Rectangle<int> bounds, Args&&... args);
    void makeGroup (juce::Rectangle<int> bounds, const juce::String& title);
    juce::Label* makeLabel (juce::Rectangle<int> bounds, const juce::String& text, juce::Justification justification);
    /** The name of a routing row, left of its list. */
    juce::Label* makeRowLabel (int y, const juce::String& text);
    juce::ToggleButton* makeToggle (juce::Rectangle<int> bounds, const juce::String& text);
    juce::TextButton* makeButton (juce::Rectangle<int> bounds, const juce::String& text);
    juce::ComboBox* makeList (juce::Rectangle<int> bounds, const juce::String& name);
    void makeDeviceSelector (juce::Rectangle<int> bounds);
    void showDeviceSelector();

    // Routing (PreferencesComponentRouting.cpp).
    juce::String openDeviceName() const;
    void fillPairs (juce::ComboBox& list, const juce::StringArray& channelNames);
    void deviceChanged();
    void deckInputChosen (int deck, int index);
    void outputChosen (int list, int index);
    int& storedOutput (int list);
    void routeEngine();

    /** Runs `work` after the click that asked for it has been handled. */
    void deferred (std::function<void()> work);
    void askToClearMidi();

    MixerHost& host;
    Engine& engine;
    juce::AudioDeviceManager& deviceManager;
    PreferencesModel& model;
    MidiControlSurfaceManager& midi;
    PluginListHolder& plugins;
    PreferencesDialogs dialogs = PreferencesDialogs::alertWindows();

    /** The device the routing lists were last built for; a different named
        device clears the routing, a device that drops out does not. */
    juce::String lastDeviceName;

    juce::LookAndFeel_V4 plainLook; // the device selector in the framework's own style

    juce::Array<juce::Component*> controls;        // every child, in the order made
    juce::Array<juce::Rectangle<int>> placements; // the bounds of each
    juce::Viewport* deviceSelectorView = nullptr;
    juce::AudioDeviceSelectorComponent* deviceSelector = nullptr; // inside its viewport, once shown
    std::array<juce::ComboBox*, numDecks> deckLists {};
    std::array<juce::ComboBox*, numOutputLists> outputLists {};
    std::array<juce::ToggleButton*, numDecks> softPreampToggles {};
    std::array<juce::ToggleButton*, numDecks> invertPhaseToggles {};
    std::array<juce::ToggleButton*, 3> channelCountToggles {}; // 2, 3, 4 channels
    std::array<XYView*, numDecks> xyViews {};
    juce::ToggleButton* testToneToggle = nullptr;
    juce::ToggleButton* resetOnLoadToggle = nullptr;
    juce::ToggleButton* warnOnLoadToggle = nullptr;
    juce::ToggleButton* functionKeysToggle = nullptr;
    juce::TextButton* colourSelectorButton = nullptr;
    juce::TextButton* pluginsButton = nullptr;
    juce::TextButton* saveMidiButton = nullptr;
    juce::TextButton* loadMidiButton = nullptr;
    juce::TextButton* clearMidiButton = nullptr;

    std::unique_ptr<OnScreenWatcher> onScreenWatcher;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PreferencesComponent)
};
}
