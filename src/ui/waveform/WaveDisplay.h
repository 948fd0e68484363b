#pragma once

#include "common/events/SharedTimer.h"
#include "ui/panels/ModuleComponent.h"
#include "ui/waveform/LabelEx.h"
#include "ui/waveform/LoadingErrorComponent.h"
#include "ui/waveform/ScrollTextComponent.h"
#include "ui/waveform/WaveComponent.h"
#include "ui/waveform/WaveOverview.h"
#include "ui/widgets/KelButton.h"

#include <array>
#include <memory>

namespace zund
{
class MixerHost;

/** "Wave Display": the top panel of a channel strip. The scrolling waveform
    with the track's title line sits over the whole-track overview with the
    time, BPM and pitch labels; four buttons below set cue points. A 100 ms
    timer rewrites the labels from the engine. Files and song-table rows
    dropped on either view load the channel. */
class WaveDisplay : public ModuleComponent,
                    public WaveOverviewListener,
                    public WaveComponentListener,
                    public LabelExListener,
                    public SharedTimer
{
public:
    /** The label backgrounds; the colour scheme edits them in place. Every new
        display sets them back to these defaults. (The label text is the
        overview's text colour, the title line's are the waveform's.) */
    struct Colours
    {
        juce::Colour timeBackground { 0x80ff003c };
        juce::Colour bpmBackground { 0x809400ff };
        juce::Colour pitchBackground { 0x80ff003c };
    };
    static Colours colours;

    static constexpr int defaultWidth = 344;
    static constexpr int defaultHeight = 168;
    static constexpr int numCueButtons = WaveOverview::numCues;
    static constexpr int statusIntervalMs = 100;

    WaveDisplay (int channel, MixerHost* owner);
    ~WaveDisplay() override;

    int getChannel() const noexcept { return channel; }

    /** The loaded file's name (with its extension), for the title line. */
    void setTrackTitle (const juce::String& name);
    /** The overlays over the waveform: "Pause Song first!" and "Loading error!". */
    void showPauseFirst();
    void showLoadingError();
    /** Takes the colour scheme's colours for the labels and the title line. */
    void updateColours();

    /** Elapsed or remaining time in the time label. */
    bool isShowingRemaining() const noexcept { return showRemaining; }

    WaveComponent& getWaveComponent() noexcept { return waveComponent; }
    WaveOverview& getOverview() noexcept { return overview; }
    LabelEx& getTimeLabel() noexcept { return timeLabel; }
    juce::Label& getBpmLabel() noexcept { return bpmLabel; }
    juce::Label& getPitchLabel() noexcept { return pitchLabel; }
    ScrollTextComponent& getTitleLine() noexcept { return titleLine; }
    LoadingErrorComponent& getOverlay() noexcept { return overlay; }
    KelButton& getCueButton (int index) { return *cueButtons.at ((size_t) index); }

    void resized() override;
    /** Rewrites the labels and the title line from the engine. */
    void timerCallback() override;

    // WaveOverviewListener
    void waveOverviewItemDropped (const juce::String& description, juce::Component* source) override;
    void waveOverviewFilesDropped (const juce::File& file) override;
    void waveOverviewNeedsData (WaveOverview* view) override;
    void waveOverviewSeek (WaveOverview* view, float fraction) override;
    void waveOverviewCueCleared (int index) override;

    // WaveComponentListener
    void waveComponentItemDropped (WaveComponent* view, juce::Component* source,
                                   const juce::String& description) override;
    void waveComponentNeedsData (WaveComponent* view) override;
    void waveComponentFilesDropped (WaveComponent* view, const juce::File& file) override;

    // LabelExListener: the time label flips between elapsed and remaining time.
    void labelExClicked (LabelEx* label) override;

private:
    void loadDroppedFile (const juce::File& file);
    void loadDroppedSong (const juce::String& description, juce::Component* source);

    const int channel;
    MixerHost& owner;
    juce::String titleText;
    bool showRemaining = false;

    WaveComponent waveComponent;
    WaveOverview overview;
    juce::Label pitchLabel;
    LabelEx timeLabel;
    juce::Label bpmLabel;
    ScrollTextComponent titleLine;
    std::array<std::unique_ptr<KelButton>, numCueButtons> cueButtons;
    LoadingErrorComponent overlay;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WaveDisplay)
};
}
