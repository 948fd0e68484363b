#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
class Channel;
class ID3DataBase;

/** What track loading reaches beyond the engine and the peak files: the song
    database, the channel strips and the panels that join with later parts of
    the program (the browser, the waveform overview). Each call does nothing
    while its target is absent.

    The main component implements it; tests give a stand-in. Calls marked
    "any thread" may come from a MIDI input thread (the dispatcher's cue
    functions); the others come on the message thread only. */
class TrackLoaderHost
{
public:
    virtual ~TrackLoaderHost() = default;

    /** The song database (the browser owns it); null while there is none. Any thread. */
    virtual ID3DataBase* getDatabase() const = 0;

    /** Channel strip 0..3; null for others. */
    virtual Channel* getChannel (int index) = 0;

    /** The overview's cue marker `index` of the channel at a fraction of the
        track; below 0 puts it out of sight. */
    virtual void setOverviewCuePosition (int channel, int index, float position) = 0;

    virtual bool isLearnMode() const = 0;
    virtual void setLearnMode (bool on) = 0;

    /** The strips' deck radios, CONTROL and CLOCK show the engine's state. */
    virtual void refreshDeckIndicators() = 0;

    /** The browser shows the rows of this file in the "loaded" colour. */
    virtual void markSongLoaded (const juce::String& path) = 0;
    /** The file joins the browser's "Current Playlist". */
    virtual void addToCurrentPlaylist (const juce::String& path) = 0;

protected:
    TrackLoaderHost() = default;
};
}
