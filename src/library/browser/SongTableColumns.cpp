#include "library/browser/SongTableColumns.h"

namespace zund
{
namespace
{
const char* const names[SongTableColumns::count] = { "POS",   "PATH",  "FILENAME", "ARTIST", "SONG",     "ALBUM", "BPM",
                                                     "LABEL", "YEAR",  "GENRE",    "TIME",   "KBPS/BIT", "KHZ" };
}

juce::String SongTableColumns::nameOf (int columnId)
{
    return juce::isPositiveAndNotGreaterThan (columnId, count) && columnId > 0 ? juce::String (names[columnId - 1])
                                                                               : juce::String();
}

int SongTableColumns::initialWidthOf (int columnId)
{
    return columnId == pos ? 40 : columnId == filename ? 200 : 100;
}

int SongTableColumns::idOfName (const juce::String& name)
{
    for (int i = 0; i < count; ++i)
        if (name.equalsIgnoreCase (names[i]))
            return i + 1;
    return 0;
}

juce::String SongTableColumns::kiloHertzText (int sampleRate)
{
    if (sampleRate <= 0)
        return "N/A";
    return juce::String (sampleRate / 1000.0, 1);
}
}
