#pragma once

#include "app/device/DeviceLossHost.h"
#include "app/dispatch/ControlDispatcher.h"
#include "app/dispatch/ControlDispatcherHost.h"
#include "app/main/MainAudioCallback.h"
#include "app/main/MixerColours.h"
#include "app/loading/TrackLoader.h"
#include "app/loading/TrackLoaderHost.h"
#include "audiofile/peaks/PeakFile.h"
#include "common/events/SharedTimer.h"
#include "engine/Engine.h"
#include "library/browser/ZundBrowserListener.h"
#include "ui/bottom/BottomBarHost.h"
#include "ui/master/MasterStripHost.h"
#include "ui/master/BeatCounter.h"
#include "ui/plugins/PluginListHolder.h"
#include "ui/plugins/PluginWindowsAside.h"
#include "ui/midi/DefaultMidiFeedbackOutput.h"
#include "ui/midi/MidiControlSurfaceManager.h"
#include "ui/preferences/Preferences.h"
#include "ui/widgets/ExComponentListener.h"

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <memory>
#include <optional>

namespace zund
{
class BottomComponent;
class Channel;
class MainChannel;
class ChannelContainer;
class ColourSchemeFiles;
class DeviceLossHandler;
class VBlankTickDriver;
class CrossfaderContainer;
class ID3DataBase;
class LoadFileComponent;
class TextInputComponent;
class PreferencesComponent;
class MainAppWindow;
class ZundBrowser;
class ZundCloseComponent;
class ZundColourSelector;
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
                      public ExComponentListener,
                      public MidiControlSurfaceManagerListener,
                      public MasterStripHost,
                      public ControlDispatcherHost,
                      public TrackLoaderHost,
                      public BottomBarHost,
                      public ZundBrowserListener,
                      public DeviceLossHost,
                      public SharedTimer,
                      public juce::ChangeListener
{
public:
    explicit MainComponent (MainAppWindow* owningWindow);
    ~MainComponent() override;

    /** Every MIDI message of every input arrives here (MIDI threads); ignored
        once shut-down has begun. */
    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;

    /** The close button (and the system's quit request, which is not asked):
        asks "Really quit?" while a loaded channel plays, then saves the
        library, asking what to do when that fails, and ends the event loop. */
    void quitRequested (bool askWhilePlaying = true);

    /** Opens the audio device from the preferences (a failure is shown), puts
        the decks and outputs onto its pairs, registers the audio callback and
        the MIDI inputs. Once, after the window has been shown: the window does
        not wait for the device. Without it the mixer runs silent (tests). */
    void openAudioDevice();

    // MixerHost
    void setSectionVisible (int index, bool visible) override;
    bool isSectionVisible (int index) const override;
    void setNumChannels (int count) override;
    /** The saved window bounds from the preferences; unset values are 0x7fffffff. */
    void setSavedBounds (int x, int y, int width, int height) override;
    /** The main window's current bounds (or this component's without a window). */
    juce::Rectangle<int> getWindowBounds() const override;
    juce::Colour getBackgroundColour() const override { return colours.panel; }
    const Engine& getEngine() const override { return *engine; }
    /** For tests: the engine that the audio device drives. */
    Engine& getEngine() noexcept { return *engine; }
    /** For tests: which device opened. */
    const juce::AudioDeviceManager& getDeviceManager() const noexcept { return deviceManager; }
    /** For tests: the audio device's callback. */
    MainAudioCallback& getAudioCallback() noexcept { return *audioCallback; }

    // The preferences panel (MainComponentPreferences.cpp).
    /** Made at start-up and never a child: the bottom bar shows it in a dialog. */
    PreferencesComponent* getPreferencesPanel() const noexcept { return preferencesPanel.get(); }
    void setTestToneOn (bool on) override;
    void setXYViewsShowing (bool showing) override;

    // MasterStripHost (MainComponentMaster.cpp)
    float getTapTempo() const override { return beatCounter.getBpm(); }
    void setEffectTempo (double bpm) override;
    PluginListHolder& getPluginList() override { return pluginList; }
    double getPluginSampleRate() const override;
    bool setPlugin (int bus, int slot, juce::AudioProcessor* plugin) override;
    void pluginKnobMouseDown (ExComponent& knob, const juce::MouseEvent& e) override;
    void pluginKnobValueChanged (ExComponent& knob) override;
    juce::Rectangle<int> getPluginWindowArea() const override;

    /** The master strip; null before it is made. */
    MainChannel* getMainChannel() const noexcept { return mainChannel; }

    // The bottom bar (MainComponentBottomBar.cpp).
    /** The bottom bar; null before it is made. */
    BottomComponent* getBottomBar() const noexcept { return bottomBar; }
    juce::StringArray getInputChannelNames() const override;
    void setRecordingInputPair (int firstChannel) override;
    AudioPluginContainer* getPluginSlot (int index) override;

    // The control dispatcher (MainComponentDispatcher.cpp).
    /** Every control widget without a listener of its own reports here, on the
        thread that changed it. */
    void exComponentValueChanged (ExComponent* widget) override;
    /** MIDI learn takes the widget's id while learn mode is on. */
    void exComponentMouseDown (ExComponent* widget, const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    /** The strips' deck radios, CONTROL and CLOCK show the engine's state. */
    void refreshDeckIndicators() override;
    /** Every control's value to the MIDI output. */
    void sendMidiFeedbackForAll();

    // Track loading (MainComponentTrackLoading.cpp; the work is the track loader's).
    /** Loads a song onto channel 0..3; false when nothing was loaded (the
        channel's wave display says why). */
    bool loadFileIntoDeck (const juce::String& path, int channel) override;
    /** The BPM of the file's song record, 0..300. */
    double getTrackBpm (const juce::File& file);
    /** Cue point 0..3 of the song record of the channel's file; -1 when unset. Any thread. */
    float getCuePoint (int channel, int index) override;
    /** Stores it into that record, limited to -1..1. Any thread. */
    void setCuePoint (int channel, int index, float position) override;
    void refreshWaveDisplay (int channel);
    void showPauseFirst (int channel);

    // TrackLoaderHost
    bool isLearnMode() const override { return learnMode.load(); }

    // ControlDispatcherHost
    Channel* getChannel (int index) override;
    FilterContainer* getFilterPanel (int set) override;
    EqContainer* getEqPanel (int set) override;
    void seekDeck (int channel, float fraction) override;
    float getOverviewCuePosition (int channel, int index) override;
    void setOverviewCuePosition (int channel, int index, float position) override;
    void setEffectSpeedLabels (int mode) override;
    void tapTempo() override;

    // What the waveform views draw and ask for (MainComponentViews.cpp; the
    // seek and the cue points are the dispatcher's as well).
    void getWaveRing (int channel, const std::atomic<float>*& peakRing,
                      const std::atomic<float>*& averageRing) override;
    const std::atomic<float>* getPeakData (int channel) override;
    const std::atomic<float>* getAverageData (int channel) override;
    double getPositionFraction (int channel) const override;

    /** The saved bounds when all four are set, else nothing. */
    std::optional<juce::Rectangle<int>> getSavedBounds() const;

    // MIDI learn and feedback (MainComponentMidi.cpp).
    /** The bottom bar's LEARN toggle. A pending learn stays armed when it goes off. */
    void setLearnMode (bool on) override;
    /** A mouse-down on the control widget `controlId`: arms learn while learn
        mode is on (Ctrl held makes a reset trigger). */
    void learnFromMouseDown (int controlId);
    /** The default MIDI output, or none when no output is open. */
    MidiFeedbackOutput* getMidiFeedbackOutput() override;

    // MidiControlSurfaceManagerListener (MIDI threads, mapping lock held).
    void controllerMoved (int id, int value) override;
    void controllerTriggered (int id) override;
    void controllerLearned (int id) override;

    void showCloseComponent();

    // DeviceLossHost: a device that stops under the program (MainComponentDeviceLoss.cpp).
    std::uint64_t getBlockProgress() const noexcept override;
    std::uint64_t getDeviceStopCount() const noexcept override;
    bool isAudioCallbackStarted() const noexcept override;
    bool isQuitting() const noexcept override;
    juce::File endRecording() override;
    void showDeviceLoss (const juce::String& message, std::function<void (bool reopen)> answer) override;

    // The browser (MainComponentBrowser.cpp).
    /** The song database, owned by the browser; null before it exists. Any thread. */
    ID3DataBase* getDatabase() const override;
    void browserItemSelected (juce::String fullPath) override;
    /** A double click on a song: the preview player takes it. */
    void songChosen (const juce::String& fullPath) override;
    /** Keys the browser does not use itself. Enter asks for a channel and loads
        the selected song onto it; the function keys act while their option is
        on. True when the key was used. */
    bool browserKeyPressed (const juce::KeyPress& key) override;
    /** The song table shows the rows of this file as loaded. */
    void markSongLoaded (const juce::String& path) override;
    /** The file joins "Current Playlist". */
    void addToCurrentPlaylist (const juce::String& path) override;

    // The colour scheme (MainComponentColours.cpp).
    /** The preferences' "Colour Selector": the selector in a modal window. */
    void showColourSelector() override;
    /** The colour selector; null before it is made. */
    ZundColourSelector* getColourSelector() const noexcept { return colourSelector.get(); }

    /** The skin images from the "gfx" folder; without them the widgets draw
        their vector forms. */
    void loadBackgroundImages();

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    void createChannelStrips();
    void createMasterStrip();
    void createBottomBar();
    /** Sets the widget with that id, with notification (the dispatcher acts). */
    static void setControlValue (int id, float value);
    void createChildPanels();
    void createPreferencesPanel();
    void deletePreferencesPanel();
    void showChannelModesOnStrips();
    void createBrowser();
    /** Lists the 49 colour entries, then loads the base scheme and the last
        session's colours (every panel exists by then). */
    void createColourSelector();
    /** The last session's colours to "defaultColours.xml"; the selector goes. */
    void saveColoursAndDeleteSelector();
    /** Everything that draws in the scheme's colours shows the new ones. */
    void colourSchemeChanged();
    void registerMidiInputs();
    void unregisterMidiInputs();
    bool isAnyLoadedChannelPlaying();

    // Where the MIDI mapping reaches the control widgets (MainComponentMidi.cpp).
    void setControlFromMidi (int id, float value);
    void resetControlToDefault (int id);
    void renotifyControl (int id);

    // Members in the order they are made (and the reverse of the order they go).
    std::unique_ptr<Engine> engine;
    std::unique_ptr<MainAudioCallback> audioCallback;
    PluginListHolder pluginList;
    MixerColours colours;
    MidiControlSurfaceManager midiMapping;
    juce::AudioDeviceManager deviceManager;
    DefaultMidiFeedbackOutput midiFeedback;
    BeatCounter beatCounter;
    PeakFile peakFiles[4];
    juce::OwnedArray<ZundMidiInputCallback> midiInputCallbacks;
    juce::StringArray midiInputIdentifiers;

    Preferences preferences;
    ControlDispatcher dispatcher { *engine, midiMapping, colours, *this };
    TrackLoader trackLoader { *engine, peakFiles, preferences.getModel(), *this };
    ChannelContainer* channelContainer = nullptr;   // a child
    BottomComponent* bottomBar = nullptr;           // a child
    CrossfaderContainer* crossfaderPanel = nullptr; // a child
    MainChannel* mainChannel = nullptr;             // a child
    ZundBrowser* browser = nullptr;                 // a child
    std::unique_ptr<LoadFileComponent> loadFileDialog; // shown as its own window
    std::unique_ptr<TextInputComponent> nameEntryDialog; // never added
    std::unique_ptr<ZundColourSelector> colourSelector;
    std::unique_ptr<ColourSchemeFiles> colourFiles;
    std::unique_ptr<PreferencesComponent> preferencesPanel; // shown in the bottom bar's dialog

    MainAppWindow* window = nullptr;
    int lastX, lastY, lastWidth, lastHeight;
    bool sectionVisible[numSections];
    std::atomic<int> tapCountdown { 0 };
    PluginWindowsAside pluginWindowsAside; // no dialog opens behind a plug-in window
    std::unique_ptr<DeviceLossHandler> deviceLoss; // once the device is open
    std::unique_ptr<VBlankTickDriver> vblankTick;

    std::atomic<bool> closing { false };
    bool audioDeviceOpened = false;
    std::atomic<bool> learnMode { false };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
}
