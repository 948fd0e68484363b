// Track loading: what a load does to the channel, the song records and the
// controls, and when a load is refused or fails.

#include "LoadRig.h"
#include "support/UiEvents.h"
#include "support/VorbisFixtures.h"
#include "ui/panels/ControlIds.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

using namespace zund;
using namespace zund::test;

namespace
{
class TrackLoading : public ::testing::Test
{
protected:
    LoadRig r;
    TrackLoader& loader = r.loader;
    Engine& engine = r.rig.engine();

    bool load (const juce::File& file, int channel) { return loader.loadFileIntoDeck (file.getFullPathName(), channel); }

    void expectMarkers (int channel, std::array<float, 4> expected)
    {
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ (r.overviewMarkers[channel][i], expected[(size_t) i]) << "marker " << i;
    }
};

constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
}

// The engine plays the track at its record's tempo, limited to 0..300; a
// track with a tempo takes the clock, one without leaves it where it was.
TEST_F (TrackLoading, TheRecordsBpmReachesTheEngineWithinItsLimits)
{
    struct Case
    {
        const char* bpmText;
        double engineBpm;
        int clockAfter; // clock on channel 1 before each load onto channel 3
    };
    for (const auto& c : { Case { "512", 300.0, 2 }, Case { "-3", 0.0, 1 }, Case { "abc", 0.0, 1 },
                           Case { "", 0.0, 1 }, Case { "127.5", 127.5, 2 }, Case { "0.9", 0.9, 1 } })
    {
        SCOPED_TRACE (c.bpmText);
        const auto file = r.writeTrack ("bpm.wav");
        r.recordOf (file).bpm = c.bpmText;
        engine.setClockChannel (1);

        ASSERT_TRUE (load (file, 2));
        EXPECT_DOUBLE_EQ (engine.getTrackBpm (2), c.engineBpm);
        EXPECT_DOUBLE_EQ (loader.getTrackBpm (file), c.engineBpm);
        EXPECT_EQ (engine.getClockChannel(), c.clockAfter);
        // The strips' CLOCK buttons show it at once.
        for (int channel = 0; channel < 4; ++channel)
            EXPECT_EQ (r.rig.strip (channel).getPlayerContainer().getClockButton().isOn(), channel == c.clockAfter)
                << "CLOCK of channel " << channel + 1;
    }
}

// A channel whose record spins is not replaced while the option asks for a
// warning; a paused channel, a still deck or the option off let the load through.
TEST (TrackLoadRefusal, LoadOntoASpinningChannelIsRefusedOnlyWithTheWarningOption)
{
    struct Case
    {
        double speed;
        bool playing, warn, loads;
    };
    for (const auto& c : { Case { 0.03, true, true, false }, Case { -0.5, true, true, false },
                           Case { 0.02, true, true, true }, Case { -0.01, true, true, true },
                           Case { 1.0, false, true, true }, Case { 1.0, true, false, true } })
    {
        SCOPED_TRACE (juce::String (c.speed) + (c.playing ? " playing" : " paused") + (c.warn ? " warn" : ""));
        LoadRig rig;
        const auto first = rig.writeTrack ("first.wav"), second = rig.writeTrack ("second.wav");
        ASSERT_TRUE (rig.loader.loadFileIntoDeck (first.getFullPathName(), 0));
        rig.spinDeck (0, c.speed);
        if (! c.playing)
            rig.rig.widget (ControlIds::play).setValue (0.0f, true);
        rig.options.warnOnLoad = c.warn;
        rig.rig.feedback.take();

        EXPECT_EQ (rig.loader.loadFileIntoDeck (second.getFullPathName(), 0), c.loads);
        EXPECT_EQ (rig.loader.getChannelFile (0), c.loads ? second : first);
        const auto& overlay = rig.rig.strip (0).getWaveDisplay().getOverlay();
        EXPECT_EQ (overlay.isVisible() && overlay.getMessage() == "Pause Song first!", ! c.loads);
        // A refused load leaves PLAY alone; a load switches it on and says so.
        EXPECT_EQ (rig.rig.feedback.valuesOf (ControlIds::play), c.loads ? std::vector<int> { 127 } : std::vector<int> {});
    }
}

// A file that is not audio: the channel keeps its track, its file and the
// cue points, which still go to the old file's record.
TEST_F (TrackLoading, AFailedLoadKeepsTheChannelsFileAndCuePoints)
{
    const auto good = r.writeTrack ("good.wav"), bad = r.writeNonAudio ("bad.wav");
    ASSERT_TRUE (load (good, 0));
    loader.setCuePoint (0, 1, 0.25f);
    r.rig.feedback.take();

    EXPECT_FALSE (load (bad, 0));
    const auto& overlay = r.rig.strip (0).getWaveDisplay().getOverlay();
    EXPECT_TRUE (overlay.isVisible());
    EXPECT_EQ (overlay.getMessage(), "Loading error!");
    EXPECT_EQ (loader.getChannelFile (0), good);
    EXPECT_TRUE (engine.isTrackLoaded (0));
    EXPECT_FLOAT_EQ (loader.getCuePoint (0, 1), 0.25f);

    loader.setCuePoint (0, 2, 0.5f);
    EXPECT_FLOAT_EQ (r.recordOf (good).cuePoint[2], 0.5f);
    EXPECT_FLOAT_EQ (r.recordOf (bad).cuePoint[2], -1.0f);
    EXPECT_TRUE (r.rig.feedback.valuesOf (ControlIds::play).empty());

    // A file that went away is refused without a word.
    EXPECT_FALSE (loader.loadFileIntoDeck (r.folder.file ("songs/gone.wav").getFullPathName(), 0));
    EXPECT_FALSE (loader.loadFileIntoDeck ("relative.wav", 0));
    EXPECT_EQ (loader.getChannelFile (0), good);
}

// An Ogg file that no decoder can be set up for (a codebook whose lengths make no
// prefix code) killed the program once a deck or the preview read it: it is a
// loading error like any unreadable file, and the channel plays on.
TEST_F (TrackLoading, AnUndecodableOggIsALoadingErrorAndTheChannelPlaysOn)
{
    const auto bad = r.folder.file ("songs").getChildFile ("overfull-codebook.ogg");
    ASSERT_TRUE (bad.getParentDirectory().createDirectory());
    ASSERT_TRUE (writeOggWithOverfullCodebook (bad, 2.0, { "TITLE=t" }));
    ASSERT_TRUE (r.rig.loadPlayingTrack (0));
    r.rig.process (2 * 44100); // past the second of pre-roll
    const float playing = r.rig.settledLevel();
    ASSERT_GT (playing, 0.01f);
    r.options.warnOnLoad = false;

    EXPECT_FALSE (load (bad, 0));
    const auto& overlay = r.rig.strip (0).getWaveDisplay().getOverlay();
    EXPECT_TRUE (overlay.isVisible());
    EXPECT_EQ (overlay.getMessage(), "Loading error!");
    EXPECT_NE (loader.getChannelFile (0), bad);
    EXPECT_FALSE (engine.loadPreviewFile (bad));
    EXPECT_GT (r.rig.settledLevel(), 0.5f * playing) << "the channel plays on";
}

// After a load the channel plays: PLAY is on, the engine plays, the
// controller hears 127; the file's own record is marked loaded, not another.
TEST_F (TrackLoading, ALoadStartsTheChannelAndMarksTheLoadedFile)
{
    const auto other = r.writeTrack ("other.wav"), file = r.writeTrack ("loaded.wav");
    r.recordOf (other);
    r.rig.widget (ControlIds::of (1, ControlIds::play)).setValue (0.0f, true);
    ASSERT_FALSE (engine.isPlaying (1));
    r.rig.feedback.take();
    ASSERT_TRUE (load (file, 1));

    EXPECT_EQ (r.rig.feedback.valuesOf (ControlIds::of (1, ControlIds::play)), std::vector<int> { 127 });
    EXPECT_TRUE (engine.isPlaying (1));
    EXPECT_TRUE (r.rig.strip (1).getPlayerContainer().getPlayButton().isOn());
    auto& display = r.rig.strip (1).getWaveDisplay();
    display.timerCallback();
    EXPECT_TRUE (display.getTitleLine().getText().contains ("loaded.wav"));
    EXPECT_FALSE (display.getOverlay().isVisible());

    EXPECT_TRUE (r.recordOf (file).loadedInDeck);
    EXPECT_TRUE (r.recordOf (file).valid) << "a loaded file is kept in the database";
    EXPECT_FALSE (r.recordOf (other).loadedInDeck);
    EXPECT_EQ (r.markedLoaded, std::vector<juce::String> { file.getFullPathName() });
    EXPECT_EQ (r.playlist, std::vector<juce::String> { file.getFullPathName() });

    // The peak file is built (and cached) for the overview.
    EXPECT_TRUE (pumpMessagesUntil ([&] { return PeakFile::getPeakFileFor (file).existsAsFile(); }, 10000));
}

// "Reset Channel EQ & Filter on load": the strip's knobs go back to their
// defaults through the dispatcher; learn mode ends as it began.
TEST_F (TrackLoading, ResetOnLoadResetsTheStripAndKeepsLearnMode)
{
    const auto file = r.writeTrack ("reset.wav");
    auto& eq = r.rig.strip (0).getEqContainer();
    for (bool reset : { true, false })
    {
        for (bool learning : { false, true })
        {
            SCOPED_TRACE (juce::String (reset ? "reset" : "keep") + (learning ? " learning" : ""));
            r.options.resetOnLoad = reset;
            r.learnMode = learning;
            eq.getLowKnob().setValue (0.1f, true);
            eq.getKillHighButton().setValue (1.0f, true);
            r.rig.strip (0).getChannelUpperContainer().getGainFader().setValue (0.9f, true);
            r.rig.feedback.take();

            ASSERT_TRUE (load (file, 0));
            EXPECT_EQ (r.learnMode, learning);
            EXPECT_FLOAT_EQ (eq.getLowKnob().getValue(), reset ? eq.getLowKnob().getDefaultValue() : 0.1f);
            EXPECT_EQ (eq.getKillHighButton().isOn(), ! reset);
            EXPECT_FLOAT_EQ (r.rig.strip (0).getChannelUpperContainer().getGainFader().getValue(), reset ? 0.5f : 0.9f);
            // The controller follows the reset (the dispatcher echoed it).
            EXPECT_EQ (r.rig.feedback.valuesOf (ControlIds::of (0, ControlIds::eqKillHigh)),
                       reset ? std::vector<int> { 0 } : std::vector<int> {});
        }
    }
}

// Cue points live in the file's record: set on one channel, they come back
// when the file is loaded again, on any channel, and are saved with the database.
TEST_F (TrackLoading, CuePointsAreKeptPerFileAndRestoredOnTheNextLoad)
{
    const auto a = r.writeTrack ("a.wav"), b = r.writeTrack ("b.wav");
    ASSERT_TRUE (load (b, 2));
    ASSERT_TRUE (load (a, 0));
    expectMarkers (0, { -1.0f, -1.0f, -1.0f, -1.0f });
    ASSERT_TRUE (r.database->save()); // both files are known: from here on only the cue points change it

    loader.setCuePoint (0, 0, 0.4f);
    loader.setCuePoint (0, 1, 1.7f);  // limited to the track's end
    loader.setCuePoint (0, 2, -5.0f); // unset
    loader.setCuePoint (0, 3, notANumber);   // not a number: unset
    loader.setCuePoint (0, 4, 0.3f);  // no such marker
    const std::array<float, 4> aCues { 0.4f, 1.0f, -1.0f, -1.0f };
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ (loader.getCuePoint (0, i), aCues[(size_t) i]);
    EXPECT_FLOAT_EQ (r.recordOf (a).cuePoint[4], -1.0f);

    ASSERT_TRUE (load (b, 0));
    expectMarkers (0, { -1.0f, -1.0f, -1.0f, -1.0f });
    ASSERT_TRUE (load (a, 1));
    expectMarkers (1, aCues);

    // Saved and read back by the framework's XML reader.
    r.database.reset();
    const auto saved = juce::XmlDocument::parse (r.folder.file ("database.xml"));
    ASSERT_NE (saved, nullptr);
    const juce::XmlElement* entry = nullptr;
    for (auto* child : saved->getChildIterator())
        if (child->getStringAttribute ("filename") == a.getFullPathName())
            entry = child;
    ASSERT_NE (entry, nullptr);
    EXPECT_NEAR (entry->getDoubleAttribute ("cuePoint0"), 0.4, 1.0e-6);
    EXPECT_DOUBLE_EQ (entry->getDoubleAttribute ("cuePoint1"), 1.0);
    EXPECT_DOUBLE_EQ (entry->getDoubleAttribute ("cuePoint2"), -1.0);
}

// A record whose cue point is not a number shows an unset marker.
TEST_F (TrackLoading, ANonFiniteCuePointInTheRecordCountsAsUnset)
{
    const auto file = r.writeTrack ("odd.wav");
    auto& record = r.recordOf (file);
    record.cuePoint[0] = notANumber;
    record.cuePoint[1] = std::numeric_limits<float>::infinity();
    record.cuePoint[2] = 0.75f;
    ASSERT_TRUE (load (file, 3));
    expectMarkers (3, { -1.0f, -1.0f, 0.75f, -1.0f });
}

// Without a database a track still loads, at no tempo and without cue points.
TEST_F (TrackLoading, WithoutADatabaseTracksLoadWithoutBpmOrCuePoints)
{
    r.withDatabase = false;
    const auto file = r.writeTrack ("plain.wav");
    engine.setClockChannel (0);
    ASSERT_TRUE (load (file, 2));
    EXPECT_EQ (engine.getTrackBpm (2), 0.0);
    EXPECT_EQ (engine.getClockChannel(), 0);
    loader.setCuePoint (2, 0, 0.5f);
    EXPECT_EQ (loader.getCuePoint (2, 0), -1.0f);
    expectMarkers (2, { -1.0f, -1.0f, -1.0f, -1.0f });
    EXPECT_TRUE (engine.isPlaying (2));
}

// A controller sets and reads cue points (on its MIDI thread) while tracks
// are loaded onto the same channel: each value lands in the record of one of
// the two files, whole.
TEST_F (TrackLoading, CuePointsFromAnotherThreadMeetLoadsSafely)
{
    const auto a = r.writeTrack ("a.wav"), b = r.writeTrack ("b.wav");
    ASSERT_TRUE (load (a, 0));
    std::atomic<bool> done { false };
    std::thread controller ([&] {
        for (int i = 0; ! done.load(); ++i)
        {
            loader.setCuePoint (0, i % 4, 0.5f);
            const float cue = loader.getCuePoint (0, i % 4);
            EXPECT_TRUE (cue == 0.5f || cue == -1.0f) << cue;
        }
    });
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE (load (i % 2 == 0 ? b : a, 0));
    done = true;
    controller.join();

    for (const auto& file : { a, b })
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE (r.recordOf (file).cuePoint[i] == 0.5f || r.recordOf (file).cuePoint[i] == -1.0f);
}
