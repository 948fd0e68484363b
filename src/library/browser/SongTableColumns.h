#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** The thirteen columns of the song table. A row's cell for a column sits at
    index id - 1. */
struct SongTableColumns
{
    enum Id
    {
        pos = 1,
        path,
        filename,
        artist,
        song,
        album,
        bpm,
        label,
        year,
        genre,
        time,
        quality,
        kiloHertz
    };

    static constexpr int count = 13;
    static constexpr int minimumWidth = 30;

    /** "POS", "PATH", ... "KHZ"; empty for an unknown id. */
    static juce::String nameOf (int columnId);
    /** The width a column starts with. */
    static int initialWidthOf (int columnId);
    /** The column with that name (any letter case), 0 for none. */
    static int idOfName (const juce::String& name);

    /** Sample rate / 1000 with one decimal place; "N/A" for 0 or less. */
    static juce::String kiloHertzText (int sampleRate);
};
}
