#pragma once

#include "app/harness/EndToEndTest.h"

#include <functional>
#include <vector>

namespace zund::test
{
/** A whole flow with songs: generated tracks of known tones in the song folder,
    a library that names that folder ("TreeView.xml") and knows the tracks as
    they are ("database.xml", so the start-up check finds nothing to report),
    and songs put on channels the way a user does it in the browser. */
class SongFlow : public EndToEndTest
{
protected:
    SongFlow() { jackOptions = JackServerOptions::steady(); }

    static constexpr const char* songFolderName = "Tracks";

    /** One part of a track: a sine of this frequency up to this fraction of its length. */
    struct Part
    {
        double untilFraction, frequency;
    };

    /** A 44.1 kHz stereo WAV in the song folder, the parts one after another at this amplitude. */
    juce::File writeTrack (const juce::String& name, double seconds, const std::vector<Part>& parts,
                           float amplitude = 0.25f);
    juce::File writeToneTrack (const juce::String& name, double seconds, double frequency, float amplitude = 0.25f)
    {
        return writeTrack (name, seconds, { { 1.0, frequency } }, amplitude);
    }
    /** The tones sound together, each at this amplitude. */
    juce::File writeChordTrack (const juce::String& name, double seconds, const std::vector<double>& frequencies,
                                float amplitude);

    /** "TreeView.xml" with the song folder, "database.xml" with a record of each file as it is now. */
    void writeLibrary (const std::vector<juce::File>& records);

    /** Routing (by default deck d on input pair d + 1, main on pair 1, ...),
        the channel count and the window bounds of a "preferences.xml". */
    void writeMixerPreferences (int numChannels, juce::Rectangle<int> bounds = { 0, 0, 1022, 730 },
                                const RoutingSetup& routing = RoutingSetup::everyPairInUse());

    /** The user opens the song folder in the tree and clicks the song's row,
        once the program shows it. Its place in the window, or nothing (the
        test failed) when it does not show. */
    std::optional<juce::Rectangle<int>> selectSong (const juce::File& song);

    /** The user selects the song, presses Enter, then the channel's number in
        the dialog that asks for it. */
    void loadSong (const juce::File& song, int channel);

    /** How many of the song table's first `upTo` rows the program draws, once
        that number has held for a second (the table fills in its own time). */
    int countShownRows (const BrowserProbe& probe, int upTo = 8);

    /** The amplitude of a tone on the main pair's left side. */
    double onMain (const Recording& heard, double frequency) const;
    /** The frequency of what the main pair's left side carries. */
    double frequencyOnMain (const Recording& heard) const;
    /** Half a second of the main pair once it carries the tone (or after five seconds). */
    Recording recordUntilHeard (double frequency, double amplitude = 0.05);

private:
    /** A 44.1 kHz stereo WAV in the song folder of the samples given by time (s) and fraction of the length. */
    juce::File writeSamples (const juce::String& name, double seconds,
                             const std::function<float (double time, double fraction)>& sampleAt);
};
}
