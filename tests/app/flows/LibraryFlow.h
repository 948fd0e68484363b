#pragma once

#include "app/flows/SongFlow.h"

namespace zund::test
{
/** A flow that edits the library: a case to drop songs on, and what the
    library's files hold afterwards. */
class LibraryFlow : public SongFlow
{
protected:
    /** The library (see writeLibrary) with an empty case "Set" besides the song folder. */
    void writeLibraryWithACase (const std::vector<juce::File>& songs);

    /** The user opens the cases, shows the song folder, and drags the song's row onto the case. */
    void dropSongOnCase (const juce::File& song, const juce::String& caseName);

    /** The first cue point "database.xml" holds for the song; -1 when none is set. */
    double storedCuePoint (const juce::File& song) const;

    /** The songs "database.xml" holds records of; nothing when it cannot be read. */
    std::optional<juce::StringArray> storedSongs() const;

    /** The files of the case "TreeView.xml" holds under that name. */
    juce::StringArray storedCase (const juce::String& name) const;
};
}
