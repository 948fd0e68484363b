#include "ui/waveform/WaveDisplay.h"

#include "audiofile/BufferedAudioReader.h"
#include "audiofile/peaks/PeakFile.h"
#include "common/files/AudioFileTypes.h"
#include "engine/Engine.h"
#include "ui/MixerHost.h"
#include "ui/panels/ControlIds.h"
#include "ui/waveform/ChannelStatusText.h"

namespace zund
{
WaveDisplay::Colours WaveDisplay::colours;

namespace
{
void setUpLabel (juce::Component& parent, juce::Label& label, bool takesClicks)
{
    label.setFont (juce::Font (20.0f, juce::Font::plain));
    label.setJustificationType (juce::Justification::centred);
    label.setEditable (false, false, false);
    // The boxes are small for a 20-pixel face: a narrow border, and long
    // texts are squeezed rather than cut.
    label.setBorderSize ({ 0, 1, 0, 1 });
    label.setMinimumHorizontalScale (0.5f);
    label.setInterceptsMouseClicks (takesClicks, false);
    parent.addAndMakeVisible (label);
}
}

WaveDisplay::WaveDisplay (int channelIndex, MixerHost* host)
    : ModuleComponent ("Wave Display"),
      channel (channelIndex),
      owner (*host),
      waveComponent (host, channelIndex),
      overview (channelIndex, host),
      pitchLabel ("new label", "label text"),
      timeLabel ("new label", "label text"),
      bpmLabel ("new label", "label text")
{
    colours = {};
    // Unlike the other panels, no image of its own: its two views repaint
    // on most ticks, and a copy of them in a panel image cost a second copy
    // of every repaint.
    setBufferedToImage (false);

    waveComponent.setName ("new waveComponent");
    overview.setName ("new waveComponent");
    titleLine.setName ("new waveComponent");
    addAndMakeVisible (waveComponent);
    addAndMakeVisible (overview);

    // Clicks and drags on the pitch and BPM labels reach the overview below.
    setUpLabel (overview, pitchLabel, false);
    setUpLabel (overview, timeLabel, true);
    setUpLabel (overview, bpmLabel, false);

    waveComponent.addChildComponent (titleLine);
    for (int i = 0; i < numCueButtons; ++i)
    {
        auto button = std::make_unique<KelButton> (ControlIds::of (channel, ControlIds::firstCueSet + i), nullptr);
        button->setTexts (juce::String (i + 1), {});
        addAndMakeVisible (*button);
        cueButtons[(size_t) i] = std::move (button);
    }
    waveComponent.addChildComponent (overlay);

    setSize (defaultWidth, defaultHeight);
    waveComponent.setListener (this);
    overview.setListener (this);
    timeLabel.setListener (this);
    updateColours();
    startTimer (statusIntervalMs);
}

WaveDisplay::~WaveDisplay()
{
    stopTimer();
}

void WaveDisplay::setTrackTitle (const juce::String& name)
{
    titleText = "  " + name + " ";
}

void WaveDisplay::showPauseFirst()
{
    overlay.start ("Pause Song first!");
}

void WaveDisplay::showLoadingError()
{
    overlay.start ("Loading error!");
}

void WaveDisplay::updateColours()
{
    timeLabel.setColour (juce::Label::backgroundColourId, colours.timeBackground);
    bpmLabel.setColour (juce::Label::backgroundColourId, colours.bpmBackground);
    pitchLabel.setColour (juce::Label::backgroundColourId, colours.pitchBackground);
    for (auto* label : std::initializer_list<juce::Label*> { &timeLabel, &bpmLabel, &pitchLabel })
        label->setColour (juce::Label::textColourId, WaveOverview::colours.text);

    const auto& wave = WaveComponent::colours;
    titleLine.setColours (wave.textBackground, wave.text2, wave.text1); // renders the title again
}

void WaveDisplay::resized()
{
    const int w = getWidth();
    for (int i = 0; i < numCueButtons; ++i)
        cueButtons[(size_t) i]->setBounds ((w - 150) / 2 + i * 40, 148, 30, 15);

    waveComponent.setBounds (8, 24, w - 16, 56);
    overview.setBounds (8, 88, w - 16, 56);

    const int ow = overview.getWidth();
    timeLabel.setBounds (6, 30, 50, 20);
    bpmLabel.setBounds ((ow - 78) / 2, 30, 78, 20);
    pitchLabel.setBounds (ow - 56, 30, 50, 20);

    const int ww = waveComponent.getWidth(), wh = waveComponent.getHeight();
    titleLine.setBounds (6, wh - 26, ww - 12, 20);
    overlay.setBounds (6, 6, ww - 12, titleLine.getY() - 12);

    waveComponent.setLocatorLength (titleLine.getY() - 2);
    overview.setLocatorLength (overview.getHeight());
}

void WaveDisplay::timerCallback()
{
    const auto& engine = owner.getEngine();
    ChannelReadings r;
    r.playing = engine.isPlaying (channel);
    r.thru = engine.isThru (channel);
    r.pitchLocked = engine.isPitchLocked (channel);

    titleLine.setText (r.thru ? juce::String ("  THRU  ") : titleText);
    for (auto& button : cueButtons)
        button->setVisible (! r.thru);

    if (! r.thru)
    {
        r.seconds = showRemaining ? -engine.getRemainingSeconds (channel) : engine.getPositionSeconds (channel);
        r.noSignal = engine.hasNoSignal (channel);
        r.speedState = engine.getSpeedState (channel);
        r.bpm = engine.getCurrentBpm (channel);
        r.pitch = engine.getPitch (channel);
    }

    const auto text = describeChannelStatus (r);
    timeLabel.setText (text.time, juce::dontSendNotification);
    bpmLabel.setText (text.bpm, juce::dontSendNotification);
    pitchLabel.setText (text.pitch, juce::dontSendNotification);
}

void WaveDisplay::labelExClicked (LabelEx*)
{
    showRemaining = ! showRemaining;
}

void WaveDisplay::loadDroppedFile (const juce::File& file)
{
    if (isSupportedAudioFile (file))
        owner.loadFileIntoDeck (file.getFullPathName(), channel);
}

void WaveDisplay::loadDroppedSong (const juce::String& description, juce::Component* source)
{
    if (const auto song = WaveDropTarget::songOfDrop (description, source); song != juce::File())
        loadDroppedFile (song);
}

void WaveDisplay::waveOverviewItemDropped (const juce::String& description, juce::Component* source)
{
    loadDroppedSong (description, source);
}

void WaveDisplay::waveOverviewFilesDropped (const juce::File& file)
{
    loadDroppedFile (file);
}

void WaveDisplay::waveOverviewNeedsData (WaveOverview* view)
{
    if (view != &overview)
        return;
    view->setPeakData (owner.getPeakData (channel), PeakFile::numColumns);
    view->setAverageData (owner.getAverageData (channel), PeakFile::numColumns);
    view->setPlayPosition ((float) owner.getPositionFraction (channel));
}

void WaveDisplay::waveOverviewSeek (WaveOverview*, float fraction)
{
    owner.seekDeck (channel, fraction);
}

void WaveDisplay::waveOverviewCueCleared (int index)
{
    overview.setCuePosition (index, WaveOverview::unsetCue);
    owner.setCuePoint (channel, index, WaveOverview::unsetCue);
}

void WaveDisplay::waveComponentItemDropped (WaveComponent*, juce::Component* source, const juce::String& description)
{
    loadDroppedSong (description, source);
}

void WaveDisplay::waveComponentNeedsData (WaveComponent* view)
{
    if (view != &waveComponent)
        return;
    const std::atomic<float>* peaks = nullptr;
    const std::atomic<float>* averages = nullptr;
    owner.getWaveRing (channel, peaks, averages);
    view->setRings (peaks, averages, BufferedAudioReader::ringPairs);
    view->setRingPosition (owner.getEngine().getWaveRingPosition (channel));
}

void WaveDisplay::waveComponentFilesDropped (WaveComponent*, const juce::File& file)
{
    loadDroppedFile (file);
}
}
