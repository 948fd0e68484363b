#pragma once

#include "ui/bottom/BottomBarDialogs.h"
#include "ui/bottom/DropLabel.h"
#include "ui/bottom/KelToggleButtonRecord.h"
#include "ui/bottom/RecordingFlow.h"
#include "ui/bottom/TransportIcon.h"
#include "ui/widgets/KelButton.h"
#include "ui/widgets/KelToggleButton.h"
#include "ui/widgets/LedComponent.h"

#include <array>
#include <memory>

namespace zund
{
class BottomBarHost;
class Engine;

/** The bar along the bottom of the main window. Left to right: the headphone
    preview player (rewind, play, fast-forward and the strip with the previewed
    track), the section toggles that show or hide parts of the mixer, and LEARN,
    INFO, Preferences, the record button and the MIDI lamp.

    Its widgets report to the bar, not to the control dispatcher. Values act at
    once (winding, preview play, LEARN); whatever opens a window or changes the
    layout (INFO, Preferences, the section toggles, the recording questions)
    runs after the mouse press has been handled. Message thread, except
    flashMidiLamp. */
class BottomComponent : public juce::Component,
                        public ExComponentListener
{
public:
    static constexpr int barHeight = 21;
    static constexpr int midiFlashMs = 50;
    static constexpr int numSectionToggles = 7;

    /** Without dialogs of its own the bar uses the framework's windows. */
    BottomComponent (Engine& engine, BottomBarHost& host, std::unique_ptr<BottomBarDialogs> dialogs = nullptr);
    ~BottomComponent() override;

    /** The panel the Preferences button shows (not owned); none until set. */
    void setPreferencesComponent (juce::Component* panel) noexcept { preferencesPanel = panel; }
    /** The fill of every bar ("background.png"); null draws the bar's own gradient. */
    static void setBackgroundBrush (const juce::FillType* brush) noexcept { backgroundBrush = brush; }

    /** Each section toggle shows whether its section is visible. */
    void refreshSectionToggles();
    /** The preview player takes the song and starts; the play toggle lights
        only when it really loaded. */
    void loadPreview (const juce::String& path);
    /** Any thread (MIDI input). */
    void flashMidiLamp() { midiLamp.flash (midiFlashMs); }

    /** Ends a running recording as the user's click on the record button
        would: the button goes off and the file is finished. Its file, or
        none when nothing was being recorded (questions still open stay). */
    juce::File endRecording();

    // The widgets, for the main component's tests and the bar's.
    DropLabel& getPreviewStrip() noexcept { return previewStrip; }
    KelButton& getRewindButton() noexcept { return rewindButton; }
    KelButton& getFastForwardButton() noexcept { return fastForwardButton; }
    KelToggleButton& getPlayToggle() noexcept { return playToggle; }
    KelToggleButtonRecord& getRecordButton() noexcept { return recordButton; }
    KelToggleButton& getLearnToggle() noexcept { return learnToggle; }
    LedComponent& getMidiLamp() noexcept { return midiLamp; }
    KelButton& getInfoButton() noexcept { return infoButton; }
    KelButton& getPreferencesButton() noexcept { return preferencesButton; }
    const RecordingFlow& getRecordingFlow() const noexcept { return recordingFlow; }
    /** The toggle of a section (4..10); null for the channel strips' sections. */
    KelToggleButton* getSectionToggle (int section) noexcept;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void exComponentMouseDown (ExComponent* widget, const juce::MouseEvent& e) override;
    void exComponentValueChanged (ExComponent* widget) override;

private:
    struct SectionToggle
    {
        int section;
        std::unique_ptr<KelToggleButton> button;
    };

    /** A press, handled once the mouse handler has returned. */
    void handlePress (ExComponent* widget);
    void showPreferences();
    void recordingSwitched (bool on);

    Engine& engine;
    BottomBarHost& host;
    std::unique_ptr<BottomBarDialogs> dialogs; // before the flow, which may hold its chooser
    RecordingFlow recordingFlow;
    juce::Component* preferencesPanel = nullptr;

    // Children, in the order they are made.
    DropLabel previewStrip;
    KelButton rewindButton { 0, this };
    KelButton fastForwardButton { 0, this };
    KelToggleButton playToggle { this };
    KelToggleButtonRecord recordButton { this };
    KelToggleButton learnToggle { this };
    LedComponent midiLamp;
    std::array<SectionToggle, numSectionToggles> sectionToggles;
    KelButton infoButton { 0, this };
    KelButton preferencesButton { 0, this };
    TransportIcon rewindIcon { TransportIcon::Kind::rewind };
    TransportIcon playIcon { TransportIcon::Kind::play };
    TransportIcon fastForwardIcon { TransportIcon::Kind::fastForward };

    static const juce::FillType* backgroundBrush;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BottomComponent)
};
}
