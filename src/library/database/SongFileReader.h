#pragma once

#include "library/database/ID3DataBaseEntry.h"

namespace zund
{
/** Reads a song file's facts and tags into a record. Each reader owns its tag
    buffers and takes no lock, so a task can read files while the database is
    free for others and put the result in under the lock afterwards. */
class SongFileReader
{
public:
    SongFileReader();

    /** Path, last-write time and size, then by extension: an MP3's ID3 texts and
        its bitrate, rate and length; another file's rate, sample width and length
        from its reader; an Ogg file's comments. Fields the file cannot give keep
        their values. False, with the record unchanged, for a missing or
        unreadable file. */
    bool read (ID3DataBaseEntry& record, const juce::File& file);

    /** Copies what `read` fills (path, file facts, tags, audio facts); cue points
        and state flags stay as they are. */
    static void copyFileInfo (const ID3DataBaseEntry& from, ID3DataBaseEntry& to);

private:
    void readMp3Info (ID3DataBaseEntry& record, const juce::File& file);

    juce::HeapBlock<char> id3Buffers;

    JUCE_DECLARE_NON_COPYABLE (SongFileReader)
};
}
