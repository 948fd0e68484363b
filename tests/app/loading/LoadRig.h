#pragma once

#include "app/loading/TrackLoader.h"
#include "app/loading/TrackLoaderHost.h"
#include "app/dispatch/DispatchRig.h"
#include "audiofile/peaks/PeakFile.h"
#include "library/database/ID3DataBase.h"
#include "support/TempFolder.h"
#include "ui/preferences/PreferencesModel.h"

#include <vector>

namespace zund::test
{
/** Track loading as the program has it, without the main component: the
    dispatcher's rig (engine, strips, feedback log), a song database in a
    temporary program folder, the four peak files and the options, and a
    stand-in for the browser and the overview that notes what reached it. */
class LoadRig : public TrackLoaderHost
{
public:
    LoadRig();

    /** A stereo WAV of a 440 Hz tone in the song folder. */
    juce::File writeTrack (const juce::String& name, double seconds = 2.0);
    /** A file with an audio name that holds no audio. */
    juce::File writeNonAudio (const juce::String& name);
    /** The record of a file, made when absent (as the song table does). */
    ID3DataBaseEntry& recordOf (const juce::File& file);

    /** Channel c plays (PLAY on) with its deck turning at `speed`. */
    void spinDeck (int c, double speed);

    ScopedProgramFolder folder;
    DispatchRig rig;
    std::unique_ptr<ID3DataBase> database;
    bool withDatabase = true;
    PreferencesModel options;
    PeakFile peakFiles[TrackLoader::numChannels];
    TrackLoader loader { rig.engine(), peakFiles, options, *this };

    // What reached the stand-in targets.
    float overviewMarkers[4][4];
    bool learnMode = false;
    std::vector<juce::String> markedLoaded, playlist;

    // TrackLoaderHost
    ID3DataBase* getDatabase() const override { return withDatabase ? database.get() : nullptr; }
    Channel* getChannel (int index) override { return rig.getChannel (index); }
    void setOverviewCuePosition (int channel, int index, float position) override;
    bool isLearnMode() const override { return learnMode; }
    void setLearnMode (bool on) override { learnMode = on; }
    void refreshDeckIndicators() override { rig.dispatcher().refreshDeckIndicators(); }
    void markSongLoaded (const juce::String& path) override { markedLoaded.push_back (path); }
    void addToCurrentPlaylist (const juce::String& path) override { playlist.push_back (path); }
};
}
