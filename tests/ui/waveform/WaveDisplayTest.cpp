#include "WaveTestSupport.h"

#include "support/AudioFixtures.h"
#include "support/OddNames.h"
#include "support/TempFolder.h"
#include "support/UiEvents.h"
#include "ui/SongDragSource.h"
#include "ui/waveform/WaveDisplay.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zund;
using namespace zund::test;

namespace
{
using Loads = std::vector<std::pair<juce::String, int>>;

struct DisplayRig : public ViewHost
{
    explicit DisplayRig (int channel = 1) : display (channel, &host)
    {
        display.setSize (480, WaveDisplay::defaultHeight);
    }

    WaveDisplay display;
};

/** The song table as a drag source, with one selected row or none. */
struct SongTableStandIn : public juce::Component, public SongDragSource
{
    juce::String getSelectedSongPath() const override { return selected; }
    juce::String selected;
};

juce::String absolutePath (const juce::String& name)
{
    return juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile (name).getFullPathName();
}

juce::DragAndDropTarget::SourceDetails dragOf (const juce::String& description, juce::Component* source)
{
    return { description, source, { 10, 10 } };
}
}

// Waveform over overview over the cue buttons, the labels left to right inside
// the overview and the title line at the waveform's foot.
TEST (WaveDisplay, LayoutStacksTheViewsAndKeepsChildrenInside)
{
    DisplayRig rig;
    auto& d = rig.display;
    auto& wave = d.getWaveComponent();
    auto& overview = d.getOverview();
    EXPECT_TRUE (d.getLocalBounds().contains (wave.getBounds()));
    EXPECT_LT (wave.getBottom(), overview.getY());
    EXPECT_GT (wave.getY(), ModuleComponent::titleBarHeight);
    for (int i = 0; i < WaveDisplay::numCueButtons; ++i)
    {
        const auto button = d.getCueButton (i).getBounds();
        EXPECT_TRUE (d.getLocalBounds().contains (button)) << i;
        EXPECT_GE (button.getY(), overview.getBottom()) << i;
        if (i > 0)
        {
            EXPECT_GT (button.getX(), d.getCueButton (i - 1).getRight()) << i;
        }
        EXPECT_EQ (d.getCueButton (i).getText(), juce::String (i + 1));
    }
    const auto time = d.getTimeLabel().getBounds(), bpm = d.getBpmLabel().getBounds(),
               pitch = d.getPitchLabel().getBounds();
    for (auto r : { time, bpm, pitch })
        EXPECT_TRUE (overview.getLocalBounds().contains (r));
    EXPECT_LT (time.getRight(), bpm.getX());
    EXPECT_LT (bpm.getRight(), pitch.getX());
    EXPECT_TRUE (wave.getLocalBounds().contains (d.getTitleLine().getBounds()));
    EXPECT_LT (d.getOverlay().getBottom(), d.getTitleLine().getY());
    EXPECT_EQ (wave.getLocatorLength(), d.getTitleLine().getY() - 2) << "the locator stops above the title";
}

TEST (WaveDisplay, StatusTextsFitTheirLabels)
{
    DisplayRig rig;
    const std::pair<juce::Label*, std::vector<const char*>> labels[] {
        { &rig.display.getTimeLabel(), { "-88:88", "THRU" } },
        { &rig.display.getBpmLabel(), { "NO SIGNAL!", "888.8 BPM", "??? BPM", "PAUSED!", "BPM=FX" } },
        { &rig.display.getPitchLabel(), { "-49.9", "+49.9", "LOCK", "THRU" } },
    };
    for (const auto& [label, texts] : labels)
    {
        const auto area = label->getBorderSize().subtractedFrom (label->getLocalBounds());
        for (const auto* text : texts)
        {
            EXPECT_LE (label->getFont().getStringWidthFloat (text) * label->getMinimumHorizontalScale(),
                       (float) area.getWidth()) << text;
            EXPECT_LE (label->getFont().getHeight(), (float) area.getHeight()) << text;
        }
    }
}

// The labels read the engine: an empty channel is paused at 0:00; a playing
// channel with a signal but no BPM says so.
TEST (WaveDisplay, StatusComesFromTheEngine)
{
    DisplayRig rig (1);
    auto& d = rig.display;
    rig.engine->setPlaying (1, false);
    d.timerCallback();
    EXPECT_EQ (d.getTimeLabel().getText(), "0:00");
    EXPECT_EQ (d.getBpmLabel().getText(), "PAUSED!");
    EXPECT_EQ (d.getPitchLabel().getText(), "");

    rig.engine->overrideDeckSignal (1, [] (double* speed, float* position, int n) {
        for (int i = 0; i < n; ++i)
        {
            speed[i] = 1.0;
            position[i] = -1.0f;
        }
    });
    rig.engine->setPlaying (1, true);
    d.timerCallback();
    EXPECT_EQ (d.getBpmLabel().getText(), "??? BPM");
    EXPECT_EQ (d.getPitchLabel().getText(), "-") << "the channel has not moved yet: speed 0";

    d.setTrackTitle ("Track One.mp3");
    d.timerCallback();
    EXPECT_EQ (d.getTitleLine().getText(), "  Track One.mp3 ");
}

TEST (WaveDisplay, ThruShowsThruAndHidesCueButtonsAndWaveform)
{
    DisplayRig rig (0);
    auto& d = rig.display;
    PairArray loud (32768, 1.0f, -1.0f);
    rig.host.peakRing = loud.data();
    rig.host.averageRing = loud.data();
    d.setTrackTitle ("a.wav");

    const auto waveAt = [&] { return argbAt (snapshotOf (d.getWaveComponent()), 100, 40); };
    d.timerCallback();
    EXPECT_NE (waveAt(), 0xff000000u) << "a waveform before THRU";

    rig.engine->setThru (0, true);
    rig.engine->setPlaying (0, true);
    d.timerCallback();
    EXPECT_EQ (d.getTimeLabel().getText(), "THRU");
    EXPECT_EQ (d.getPitchLabel().getText(), "THRU");
    EXPECT_EQ (d.getBpmLabel().getText(), "BPM=FX");
    EXPECT_EQ (d.getTitleLine().getText(), "  THRU  ");
    for (int i = 0; i < WaveDisplay::numCueButtons; ++i)
        EXPECT_FALSE (d.getCueButton (i).isVisible()) << i;
    EXPECT_EQ (waveAt(), 0xff000000u);

    rig.engine->setThru (0, false);
    d.timerCallback();
    EXPECT_TRUE (d.getCueButton (2).isVisible());
    EXPECT_EQ (d.getTitleLine().getText(), "  a.wav ");
}

// Clicks on the time label flip elapsed and remaining time; clicks on the
// other two labels reach the overview under them.
TEST (WaveDisplay, TimeLabelTakesClicksTheOthersLetThemThrough)
{
    DisplayRig rig (1);
    auto& d = rig.display;
    auto& overview = d.getOverview();
    TempFolder temp;
    const auto track = temp.file ("ten seconds.wav");
    ASSERT_TRUE (writeAudioFile (track, FileKind::wav, 44100.0, 2, 16, 441000, sineSignal (440.0, 44100.0, 0.5f)));
    ASSERT_TRUE (rig.engine->loadTrack (1, track, 0.0));

    d.timerCallback();
    EXPECT_EQ (d.getTimeLabel().getText(), "0:00");
    d.getTimeLabel().mouseDown (mouseEventAt (d.getTimeLabel(), { 5, 5 }));
    d.timerCallback();
    EXPECT_EQ (d.getTimeLabel().getText(), "-0:10") << "the remaining time";
    EXPECT_FALSE (d.getTimeLabel().isBeingEdited());

    EXPECT_EQ (overview.getComponentAt (d.getTimeLabel().getBounds().getCentre()), &d.getTimeLabel());
    EXPECT_EQ (overview.getComponentAt (d.getBpmLabel().getBounds().getCentre()), &overview);
    EXPECT_EQ (overview.getComponentAt (d.getPitchLabel().getBounds().getCentre()), &overview);
}

// Song-table rows and single audio files dropped on either view load the
// channel; anything else loads nothing.
TEST (WaveDisplay, DropsLoadTheChannel)
{
    DisplayRig rig (2);
    auto& d = rig.display;
    SongTableStandIn table;
    juce::Component stranger;
    const auto song = absolutePath ("song.mp3");

    table.selected = song;
    d.getWaveComponent().itemDropped (dragOf ("StringTableListBox", &table));
    d.getOverview().itemDropped (dragOf ("StringTableListBox", &table));
    EXPECT_EQ (rig.host.loads, (Loads { { song, 2 }, { song, 2 } }));
    rig.host.loads.clear();

    d.getWaveComponent().itemDropped (dragOf ("Somewhere else", &table));
    d.getOverview().itemDropped (dragOf ("StringTableListBox", &stranger));
    d.getOverview().itemDropped (dragOf ("StringTableListBox", nullptr));
    table.selected = {};
    d.getWaveComponent().itemDropped (dragOf ("StringTableListBox", &table));
    table.selected = absolutePath ("notes.txt");
    d.getWaveComponent().itemDropped (dragOf ("StringTableListBox", &table));
    table.selected = "song.mp3";
    d.getWaveComponent().itemDropped (dragOf ("StringTableListBox", &table));
    EXPECT_TRUE (rig.host.loads.empty()) << "foreign drags, no selection, unsupported or relative paths";

    const auto other = absolutePath ("other.ogg");
    for (auto* target : std::initializer_list<WaveDropTarget*> { &d.getWaveComponent(), &d.getOverview() })
    {
        EXPECT_TRUE (target->isInterestedInFileDrag ({ other }));
        EXPECT_FALSE (target->isInterestedInFileDrag ({ other, song })) << "two files";
        EXPECT_FALSE (target->isInterestedInFileDrag ({ absolutePath ("cover.jpg") }));
        EXPECT_FALSE (target->isInterestedInFileDrag ({ "other.ogg" })) << "relative";
        target->filesDropped ({ other }, 5, 5);
        target->filesDropped ({ other, song }, 5, 5);
    }
    EXPECT_EQ (rig.host.loads, (Loads { { other, 2 }, { other, 2 } }));
}

// A file dropped from the desktop comes as the framework made its path from the
// drop's bytes: one whose name the framework's strings cannot hold is refused
// before anything works on it; a Latin-1 name they can hold loads.
TEST (WaveDisplay, DesktopDropsOfNamesTheProgramCannotHoldAreRefused)
{
    DisplayRig rig;
    auto& d = rig.display;
    Loads expected;
    for (const auto& name : oddSongNames())
    {
        const auto bytes = pathIn (juce::File::getSpecialLocation (juce::File::tempDirectory), name.bytes);
        const juce::String path (juce::CharPointer_UTF8 (bytes.data()), juce::CharPointer_UTF8 (bytes.data() + bytes.size()));
        const bool isSong = name.safe && name.bytes.size() > 4 && name.bytes.compare (name.bytes.size() - 4, 4, ".mp3") == 0;
        for (auto* target : std::initializer_list<WaveDropTarget*> { &d.getWaveComponent(), &d.getOverview() })
        {
            EXPECT_EQ (target->isInterestedInFileDrag ({ path }), isSong) << name.what;
            target->filesDropped ({ path }, 5, 5);
            if (isSong)
                expected.push_back ({ path, 2 });
        }
    }
    ASSERT_EQ (rig.host.loads.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ (rig.host.loads[i].first.toStdString(), expected[i].first.toStdString()) << "byte for byte";
}

// A hovering drag lights the waveform; the drop puts it out again.
TEST (WaveDisplay, HoveringDragBrightensTheWaveform)
{
    DisplayRig rig (0);
    PairArray loud (32768, 1.0f, -1.0f), quiet (32768);
    rig.host.peakRing = loud.data();
    rig.host.averageRing = quiet.data();
    auto& wave = rig.display.getWaveComponent();
    const auto brightness = [&] { return snapshotOf (wave).getPixelAt (100, 10).getPerceivedBrightness(); };

    const float normal = brightness();
    wave.itemDragEnter (dragOf ("x", nullptr));
    EXPECT_GT (brightness(), normal + 0.1f);
    wave.itemDropped (dragOf ("x", nullptr));
    EXPECT_FLOAT_EQ (brightness(), normal);
}

// The views take the host's data: the rings for the waveform, the peak
// arrays and play fraction for the overview; a drag on the overview seeks.
TEST (WaveDisplay, ViewsDrawTheHostsDataAndSeekThroughIt)
{
    DisplayRig rig (3);
    auto& d = rig.display;
    PairArray peaks (1000, -0.9f, 0.9f), averages (1000, -0.1f, 0.1f);
    EXPECT_EQ (argbAt (snapshotOf (d.getOverview()), 150, 45), 0xff000000u) << "no peak data yet";
    rig.host.peakData = peaks.data();
    rig.host.averageData = averages.data();
    EXPECT_EQ (argbAt (snapshotOf (d.getOverview()), 150, 45), 0xff800080u) << "all remaining at position 0";

    d.getOverview().mouseDrag (mouseEventAt (d.getOverview(), { d.getOverview().getWidth() / 2, 20 }));
    ASSERT_EQ (rig.host.seeks.size(), 1u);
    EXPECT_EQ (rig.host.seeks[0].first, 3);
    EXPECT_NEAR (rig.host.seeks[0].second, 0.5f, 1e-6f);
}

// The cue buttons report to the control dispatcher under the channel's ids;
// a cleared cue leaves the overview and the song record.
TEST (WaveDisplay, CueButtonsReachTheDispatcherAndClearedCuesLeaveTheRecord)
{
    DisplayRig rig (2);
    auto& d = rig.display;
    struct Dispatcher : public ExComponentListener
    {
        void exComponentValueChanged (ExComponent* w) override { heard.emplace_back (w->getID(), w->getValue()); }
        std::vector<std::pair<int, float>> heard;
    } dispatcher;
    ExComponent::setDefaultListener (&dispatcher);
    auto& button = d.getCueButton (1);
    button.mouseDown (mouseEventAt (button, { 3, 3 }));
    button.mouseUp (mouseEventAt (button, { 3, 3 }));
    ExComponent::setDefaultListener (nullptr);
    EXPECT_EQ (dispatcher.heard, (std::vector<std::pair<int, float>> { { 204, 1.0f }, { 204, 0.0f } }));
    EXPECT_EQ (ExComponent::getComponentByID (221), &d.getOverview().getMarker (2)) << "markers carry 219..222";

    rig.host.setCuePoint (2, 1, 0.4f);
    d.getOverview().setCuePosition (1, 0.4f);
    d.waveOverviewCueCleared (1);
    EXPECT_LT (d.getOverview().getCuePosition (1), 0.0f);
    EXPECT_LT (d.getOverview().getMarker (1).getRight(), 0);
    EXPECT_EQ (rig.host.getCuePoint (2, 1), -1.0f);
}

TEST (WaveDisplay, LoadOverlaysShowTheirMessage)
{
    DisplayRig rig;
    auto& overlay = rig.display.getOverlay();
    EXPECT_FALSE (overlay.isVisible());
    rig.display.showPauseFirst();
    EXPECT_TRUE (overlay.isVisible());
    EXPECT_EQ (overlay.getMessage(), "Pause Song first!");
    rig.display.showLoadingError();
    EXPECT_EQ (overlay.getMessage(), "Loading error!");
    const auto image = snapshotOf (overlay);
    int red = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            red += image.getPixelAt (x, y).getRed() > 128 ? 1 : 0;
    EXPECT_GT (red, 50) << "the message in red";
}

TEST (LoadingErrorComponent, BlinksFourTimesThenHidesForGood)
{
    LoadingErrorComponent overlay;
    overlay.setBounds (0, 0, 300, 30);
    overlay.start ("Loading error!");
    EXPECT_TRUE (overlay.isVisible());
    std::vector<bool> shown;
    for (int tick = 0; tick < 8; ++tick)
    {
        overlay.timerCallback();
        shown.push_back (overlay.isVisible());
    }
    EXPECT_EQ (shown, (std::vector<bool> { true, false, true, false, true, false, true, false }));
    EXPECT_FALSE (overlay.isTimerRunning());
}
