#pragma once

#include <juce_core/juce_core.h>

#include <array>

namespace zund
{
class Engine;
class PeakFile;
struct PreferencesModel;
class TrackLoaderHost;

/** Puts tracks onto the mixer channels and keeps the channels' cue markers
    and their song records' cue points in step.

    A load checks the file, files it in the song database, refuses while the
    channel's record spins (with "Warn before loading new song on same
    Channel"), loads it into the engine at the BPM of its record and then
    brings the channel's views and controls up to date and starts it. The
    engine's reader and the peak-file builder do the file work on their own
    threads, so a load returns at once.

    Loads run on the message thread; the cue-point calls may also come from a
    MIDI input thread (the dispatcher's cue functions). */
class TrackLoader
{
public:
    static constexpr int numChannels = 4;
    /** The cue points the channel's markers show (a record keeps six). */
    static constexpr int numCueMarkers = 4;
    /** Above this speed (either way) a channel's deck counts as moving. */
    static constexpr double movingSpeed = 0.02;
    static constexpr double maximumBpm = 300.0;
    static constexpr float unsetCue = -1.0f;

    TrackLoader (Engine& engine, PeakFile (&peakFiles)[numChannels], const PreferencesModel& options,
                 TrackLoaderHost& host);

    /** Loads the file onto channel 0..3. False when it is gone (nothing shown),
        refused while the channel moves ("Pause Song first!") or unreadable
        ("Loading error!"). */
    bool loadFileIntoDeck (const juce::String& path, int channel);

    /** The BPM text of the file's record as a number, 0..300; 0 without a
        database or record, or for text that is not a positive number. */
    double getTrackBpm (const juce::File& file);

    /** Cue point 0..3 of the record of the channel's file, a fraction of the
        track; -1 when unset, without a file, a database or a record. Any thread. */
    float getCuePoint (int channel, int index);
    /** Stores a cue point into that record, limited to -1..1 (a value that is
        not a number clears it). Any thread. */
    void setCuePoint (int channel, int index, float position);

    /** The channel's overview markers go to its record's cue points. */
    void refreshWaveDisplay (int channel);
    /** The channel's wave display shows "Pause Song first!". */
    void showPauseFirst (int channel);

    /** The file last loaded on the channel; none before the first load. Any thread. */
    juce::File getChannelFile (int channel) const;

private:
    bool isChannelMoving (int channel) const;
    void setChannelFile (int channel, const juce::File& file);
    void markLoadedInDatabase (const juce::File& file);
    void resetStripControls (int channel);
    void startChannel (int channel);

    Engine& engine;
    PeakFile (&peakFiles)[numChannels];
    const PreferencesModel& options;
    TrackLoaderHost& host;

    juce::CriticalSection fileLock; // the channel files, read from MIDI threads too
    std::array<juce::File, numChannels> channelFiles;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrackLoader)
};
}
