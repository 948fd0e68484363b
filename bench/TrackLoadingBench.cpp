// How long a track load keeps the message thread: the record, the engine's
// reader swap, the peak file, the strip's reset through the dispatcher and
// PLAY. The reading itself (MP3 scan, block fill, peak build) runs on its own
// threads and must not be waited for. Goal: under 20 ms for a WAV and for an
// MP3 whose scan is still running.

#include "app/dispatch/ControlDispatcher.h"
#include "app/dispatch/ControlDispatcherHost.h"
#include "app/loading/TrackLoader.h"
#include "app/loading/TrackLoaderHost.h"
#include "audiofile/peaks/PeakFile.h"
#include "library/database/ID3DataBase.h"
#include "support/AudioFixtures.h"
#include "support/Mp3Fixtures.h"
#include "support/TempFolder.h"
#include "ui/MixerHostStandIn.h"
#include "ui/channel/ChannelContainer.h"
#include "ui/midi/MidiControlSurfaceManager.h"
#include "ui/preferences/PreferencesModel.h"

#include <benchmark/benchmark.h>

using namespace zund;

namespace
{
/** The main component's part in a load, without its window and device. */
struct LoadingMixer : public ControlDispatcherHost, public TrackLoaderHost, private ExComponentListener
{
    test::ScopedProgramFolder folder;
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    test::MixerHostStandIn mixerHost { *engine };
    MidiControlSurfaceManager midi;
    MixerColours colours;
    ControlDispatcher dispatcher { *engine, midi, colours, *this };
    ChannelContainer strips { &mixerHost };
    ID3DataBase database { folder.file ("database.xml") };
    PreferencesModel options;
    PeakFile peakFiles[TrackLoader::numChannels];
    TrackLoader loader { *engine, peakFiles, options, *this };

    LoadingMixer() { ExComponent::setDefaultListener (this); }
    ~LoadingMixer() override { ExComponent::setDefaultListener (nullptr); }

    void exComponentValueChanged (ExComponent* widget) override { dispatcher.dispatch (widget); }

    // Both hosts.
    Channel* getChannel (int index) override { return strips.getChannel (index); }
    void setOverviewCuePosition (int, int, float) override {}
    void refreshDeckIndicators() override { dispatcher.refreshDeckIndicators(); }
    // ControlDispatcherHost
    MidiFeedbackOutput* getMidiFeedbackOutput() override { return nullptr; }
    FilterContainer* getFilterPanel (int set) override { return &strips.getChannel (set)->getFilterContainer(); }
    EqContainer* getEqPanel (int set) override { return &strips.getChannel (set)->getEqContainer(); }
    float getCuePoint (int channel, int index) override { return loader.getCuePoint (channel, index); }
    void setCuePoint (int channel, int index, float position) override { loader.setCuePoint (channel, index, position); }
    void seekDeck (int, float) override {}
    float getOverviewCuePosition (int, int) override { return -1.0f; }
    void setEffectSpeedLabels (int) override {}
    void tapTempo() override {}
    // TrackLoaderHost
    ID3DataBase* getDatabase() const override { return const_cast<ID3DataBase*> (&database); }
    bool isLearnMode() const override { return false; }
    void setLearnMode (bool) override {}
    void markSongLoaded (const juce::String&) override {}
    void addToCurrentPlaylist (const juce::String&) override {}
};

/** Two long tracks of each kind (five minutes of WAV, ten of MP3), made once. */
struct Tracks
{
    test::TempFolder temp;
    juce::File wav[2] { temp.file ("a.wav"), temp.file ("b.wav") };
    juce::File mp3[2] { temp.file ("a.mp3"), temp.file ("b.mp3") };
    juce::File ogg = temp.file ("a.ogg");

    Tracks()
    {
        constexpr double rate = 44100.0;
        const auto tone = test::sineSignal (440.0, rate, 0.25f);
        const auto shortMp3 = temp.file ("short.mp3");
        test::writeMp3 (shortMp3, rate, 2, (juce::int64) (10 * rate), tone, { "-b", "192" });
        for (int i = 0; i < 2; ++i)
        {
            test::writeAudioFile (wav[i], test::FileKind::wav, rate, 2, 16, (juce::int64) (300 * rate), tone);
            test::writeRepeatedMp3 (shortMp3, mp3[i], 60);
        }
        test::writeAudioFile (ogg, test::FileKind::ogg, rate, 2, 16, (juce::int64) (300 * rate), tone);
    }
};

const Tracks& tracks()
{
    static Tracks instance;
    return instance;
}

/** Loads the two tracks in turn onto channel 1. With `cachedPeaks` both
    tracks' peak files are built first; without, every load finds none and
    starts a build (the next load stops it). With `newToTheLibrary` every load
    finds no record (a file dropped from the desktop) and reads the file's tags
    and audio facts for one. */
void loadTracks (benchmark::State& state, const juce::File (&files)[2], bool cachedPeaks, bool newToTheLibrary = false)
{
    LoadingMixer mixer;
    const auto peakFolder = mixer.folder.file ("PKFiles");
    if (cachedPeaks)
    {
        for (const auto& file : files)
        {
            mixer.loader.loadFileIntoDeck (file.getFullPathName(), 0);
            for (int tries = 0; tries < 3000 && ! PeakFile::getPeakFileFor (file).existsAsFile(); ++tries)
                juce::Thread::sleep (10);
        }
    }

    int next = 0;
    for (auto _ : state)
    {
        if (! cachedPeaks || newToTheLibrary)
        {
            state.PauseTiming();
            if (! cachedPeaks)
                peakFolder.deleteRecursively();
            if (newToTheLibrary)
                mixer.database.clear();
            state.ResumeTiming();
        }
        if (! mixer.loader.loadFileIntoDeck (files[next].getFullPathName(), 0))
            state.SkipWithError ("the track did not load");
        next = 1 - next;
    }
}

void loadWav (benchmark::State& state)
{
    loadTracks (state, tracks().wav, state.range (0) != 0);
}

// Its peak file waits for the scan (which each load starts anew), so there is
// never a cached one here.
void loadMp3WhileItsScanRuns (benchmark::State& state)
{
    loadTracks (state, tracks().mp3, false, state.range (0) != 0);
}

// A load onto a channel whose previous track came a moment before: its reader
// is still filling its first block (an Ogg's is the slowest to decode), and
// the load waits for that fill to stop before the reader takes the new track.
void loadWavWhileTheOggBeforeItFills (benchmark::State& state)
{
    LoadingMixer mixer;
    const auto& t = tracks();
    for (const auto& file : { t.ogg, t.wav[0] })
    {
        mixer.loader.loadFileIntoDeck (file.getFullPathName(), 0);
        for (int tries = 0; tries < 3000 && ! PeakFile::getPeakFileFor (file).existsAsFile(); ++tries)
            juce::Thread::sleep (10);
    }

    for (auto _ : state)
    {
        state.PauseTiming();
        mixer.loader.loadFileIntoDeck (t.ogg.getFullPathName(), 0);
        juce::Thread::sleep (6); // the fill is under way
        state.ResumeTiming();
        if (! mixer.loader.loadFileIntoDeck (t.wav[0].getFullPathName(), 0))
            state.SkipWithError ("the track did not load");
    }
}
}

BENCHMARK (loadWav)->ArgName ("cachedPeaks")->Arg (0)->Arg (1)->Unit (benchmark::kMillisecond)->UseRealTime();
BENCHMARK (loadMp3WhileItsScanRuns)->ArgName ("newToTheLibrary")->Arg (0)->Arg (1)->Unit (benchmark::kMillisecond)->UseRealTime();
BENCHMARK (loadWavWhileTheOggBeforeItFills)->Unit (benchmark::kMillisecond)->UseRealTime();
